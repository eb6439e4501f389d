// Saving the results of the last generation: the data file and the information file under
// a name the user chooses, then the parameters file beside them, then a hint on viewing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "commands/command_host.h"
#include "commands/control_texts.h"
#include "commands/program_state.h"
#include "files/data_file.h"
#include "files/package_files.h"
#include "files/text_file.h"
#include "stats/answer_key.h"

namespace zek {

/// The data file and the information file of the last generation, to be written together
/// as `dataFile` and its information file: the run's record takes their names, and its actual
/// statistics are computed for the report, on a large run on a thread of its own once the
/// data file's lines are put together. `scoresWritten`, when given, receives the scores as the
/// data file has them (see `ScoresAsWritten`) as soon as they are known.
std::vector<PendingFile> DataAndReportFiles(ProgramState& state, const std::string& dataFile,
                                            const ScoresWritten& scoresWritten = {});

inline constexpr const char* kClassSetSavedMessage =
    "The class set's datasets are saved already; press Generate for a new dataset";

/// Gives the last run the names and labels the window holds now: they do not change the
/// data, so a rename after Generate reaches the next Save. Refused, with the run's names
/// kept, where two of the run's columns would share a name.
Verdict AdoptNamesForSave(const ColumnNames& names, ProgramState& state);

/// Saves the data file and the information file of the last generation (Ctrl+S). Refuses
/// with "You must generate data first" before a run, and after a class set with
/// `kClassSetSavedMessage`; a cancelled chooser writes nothing.
/// Throws `FileError` when a file cannot be written: `filesSaved` then stays false and
/// `dataGenerated` true, so the save can be tried again.
void SaveDataFiles(ProgramState& state, CommandHost& host);

/// Saves the parameters file of `controls`: beside the data file without asking when the
/// last save wrote the data files, else under a name the user chooses. Throws `FileError`.
void SaveParametersFile(const ControlTexts& controls, ProgramState& state, CommandHost& host);

/// What follows every completed generation: the data files, the parameters file, and the
/// hint that F2 shows the files. Throws `FileError`, after which nothing else is written.
void AfterRunSave(const ControlTexts& controls, ProgramState& state, CommandHost& host);

}  // namespace zek
