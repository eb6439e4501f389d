#include "commands/save_command.h"

#include <future>
#include <memory>
#include <sstream>
#include <system_error>

#include "files/data_file.h"
#include "files/file_names.h"
#include "files/information_file.h"
#include "files/package_files.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "platform/processors.h"
#include "stats/actual_statistics.h"

namespace zek {

namespace {

// The report's statistics, needed first by the information file (or a workbook's report
// sheet). A large run computes them on a thread of their own once the data file's lines are
// put together: started sooner, they would take a core from the two that format the lines.
class ReportStatistics {
  public:
    explicit ReportStatistics(ProgramState& state) : state_(state) {}

    void StartBeside() {
        if (started_ || !TakesASecondThread(state_.runThreads, state_.generated.setup) ||
            !platform::OtherProcessorsAllowed()) {
            return;
        }
        started_ = true;
        try {
            computing_ = std::async(std::launch::async, [this] { Compute(); });
        } catch (const std::system_error&) {
            // No thread to be had: they are computed when needed.
        }
    }

    void WaitUntilReady() {
        if (computing_.valid()) computing_.get();
        if (!ready_) Compute();
    }

  private:
    void Compute() {
        ComputeActualStatistics(state_.generated.setup, state_.tables.generatedData,
                                state_.statistics);
        ready_ = true;
    }

    ProgramState& state_;
    bool started_ = false;
    bool ready_ = false;  ///< read only once `computing_` has finished
    std::future<void> computing_;
};

}  // namespace

std::vector<PendingFile> DataAndReportFiles(ProgramState& state, const std::string& dataFile,
                                            const ScoresWritten& scoresWritten) {
    GenerationSetup& run = state.generated.setup;
    run.dataFileName = dataFile;
    run.infoFileName = InformationFileNameFor(dataFile);
    // Both files only read the run from here on.
    auto statistics = std::make_shared<ReportStatistics>(state);
    return {
        {run.dataFileName,
         [&state, statistics, scoresWritten, format = DataFormatOf(dataFile)](std::ostream& out) {
             if (format == DataFormat::Text) {
                 // Without a key to start, no scores are handed on, and the statistics
                 // wait for the writing too.
                 ScoresWritten thenStatistics;
                 if (scoresWritten) {
                     thenStatistics = [&](WrittenScores&& written) {
                         statistics->StartBeside();
                         scoresWritten(std::move(written));
                     };
                 }
                 WriteDataFile(out, state.generated.setup, state.tables.generatedData,
                               thenStatistics, state.runThreads);
                 statistics->StartBeside();
                 return;
             }
             statistics->StartBeside();
             // A workbook carries the report on a sheet of its own.
             std::vector<std::string> information;
             if (format == DataFormat::Excel) {
                 statistics->WaitUntilReady();
                 std::ostringstream report;
                 WriteInformationFile(report, state.generated, state.statistics,
                                      state.reportFooterLines);
                 std::istringstream lines(report.str());
                 information = ReadLines(lines);
             }
             WritePackageDataFile(format, out, state.generated.setup, state.tables.generatedData,
                                  information);
             if (scoresWritten) {
                 scoresWritten(ScoresAsWritten(state.generated.setup, state.tables.generatedData));
             }
         }},
        {run.infoFileName, [&state, statistics](std::ostream& out) {
             statistics->WaitUntilReady();
             WriteInformationFile(out, state.generated, state.statistics, state.reportFooterLines);
         }}};
}

Verdict AdoptNamesForSave(const ColumnNames& names, ProgramState& state) {
    if (Verdict verdict = CheckDistinctColumnNames(state.generated.setup, names)) return verdict;
    state.generated.setup.columnNames = names;
    return std::nullopt;
}

void SaveDataFiles(ProgramState& state, CommandHost& host) {
    if (!state.flags.dataGenerated) {
        host.ShowMessage("You must generate data first");
        return;
    }
    // A set's dataset is saved under its own name; under another it would stand beside
    // files that do not describe it.
    if (state.flags.savedByClassSet) {
        host.ShowMessage(kClassSetSavedMessage);
        return;
    }
    const std::optional<std::string> chosen =
        host.ChooseSaveFile(state.setup.dataFileName, SaveKind::DataFiles);
    if (!chosen) return;
    // Until both files are complete the last save has not written them; a failed write
    // must not let the parameters file follow a data file that is not there.
    state.flags.filesSaved = false;

    // The files describe the run as it was generated, whatever changed in the window since;
    // the data and its report replace earlier files together or not at all.
    state.setup.dataFileName = *chosen;
    state.setup.infoFileName = InformationFileNameFor(*chosen);
    WriteTextFilesTogether(DataAndReportFiles(state, *chosen));
    state.flags.filesSaved = true;
}

void SaveParametersFile(const ControlTexts& controls, ProgramState& state, CommandHost& host) {
    std::string path;
    if (state.flags.filesSaved) {
        path = ParametersFileNameFor(state.setup.dataFileName);
    } else {
        const std::optional<std::string> chosen =
            host.ChooseSaveFile(state.setup.dataFileName, SaveKind::ParametersFile);
        if (!chosen) return;
        path = *chosen;
    }
    state.setup.parametersFileName = path;
    WriteTextFile(path, [&](std::ostream& out) {
        WriteParametersFile(out, ParametersFileContentsOf(controls));
    });
}

void AfterRunSave(const ControlTexts& controls, ProgramState& state, CommandHost& host) {
    SaveDataFiles(state, host);
    SaveParametersFile(controls, state, host);
    if (state.flags.filesSaved) {
        host.ShowMessage(
            "You can VIEW and PRINT the saved Data and Information by choosing "
            "VIEW... under the FILE menu (or press F2)");
    }
}

}  // namespace zek
