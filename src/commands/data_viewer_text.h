// What the information and data viewer shows: the files of the last save, read back from the
// disk line by line, in the mode the user last chose, with its headings.
#pragma once

#include <string>
#include <vector>

#include "commands/program_state.h"
#include "files/text_file.h"
#include "stats/score_plots.h"

namespace zek {

enum class DataViewMode { Both, InformationOnly, DataOnly };

/// The captions that go with a mode once a button has chosen it.
struct DataViewCaptions {
    const char* informationButton;  ///< `Button1`
    const char* dataButton;         ///< `Button2`
    const char* window;
};
DataViewCaptions CaptionsOf(DataViewMode mode);

/// `Button1` ("View Information Only") and `Button2` ("View Data Only") each toggle between
/// their own view and both files.
DataViewMode AfterInformationButton(DataViewMode mode);
DataViewMode AfterDataButton(DataViewMode mode);

/// Appends the viewer's lines for `mode` to `lines`: the information part, then (in `Both`)
/// two separator lines, then the data part. Throws `FileError` when a file cannot be read;
/// the lines added so far stay.
void AppendViewerLines(DataViewMode mode, const ProgramState& state,
                       std::vector<std::string>& lines);

/// The information file (without its first line, the advice on fonts) under its heading,
/// with two empty lines after it. The file is looked for in the folder of the data file.
/// Throws `FileError` when it cannot be read; the lines added so far stay.
void AppendInformationPart(const ProgramState& state, std::vector<std::string>& lines);
/// The data file under its heading (see `SavedDataLines`); throws as above.
void AppendDataPart(const ProgramState& state, std::vector<std::string>& lines);
/// The line that stands twice between the two parts in `Both`.
const std::string& PartSeparatorLine();

/// The lines of the last saved data file as comma-delimited text: read from the disk; for an
/// SPSS, Stata or Excel file, which is no text, the saved run's data as the text file writes
/// them, while they are the saved ones. Throws `FileError` otherwise, or when a file cannot
/// be read.
std::vector<std::string> SavedDataLines(const ProgramState& state);

/// The scores of the last saved data file, row by row (NaN where missing), from the same
/// source as `SavedDataLines`.
std::vector<std::vector<double>> SavedDataScores(const ProgramState& state);

/// The plot page of the last saved data file, binned from `SavedDataScores`; throws as it
/// does.
ScorePlots PlotsOfSavedData(const ProgramState& state);

}  // namespace zek
