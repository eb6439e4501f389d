#include "commands/save_command.h"

#include <future>
#include <sstream>

#include "files/data_file.h"
#include "files/file_names.h"
#include "files/information_file.h"
#include "files/package_files.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "stats/actual_statistics.h"

namespace zek {

std::vector<PendingFile> DataAndReportFiles(ProgramState& state, const std::string& dataFile,
                                            const std::function<void(WrittenScores&&)>& afterData) {
    GenerationSetup& run = state.generatedSetup;
    run.dataFileName = dataFile;
    run.infoFileName = InformationFileNameFor(dataFile);
    // Both files only read the run from here on; the report's statistics are needed first
    // by the information file (or a workbook's report sheet).
    const std::shared_future<void> statistics =
        std::async(
            TakesASecondThread(state.runThreads, run) ? std::launch::async : std::launch::deferred,
            [&state] {
                ComputeActualStatistics(state.generatedSetup, state.tables.generatedData,
                                        state.statistics);
            })
            .share();
    return {{run.dataFileName,
             [&state, statistics, afterData, format = DataFormatOf(dataFile)](std::ostream& out) {
                 if (format == DataFormat::Text) {
                     WriteDataFile(out, state.generatedSetup, state.tables.generatedData, afterData,
                                   state.runThreads);
                     return;
                 }
                 // A workbook carries the report on a sheet of its own.
                 std::vector<std::string> information;
                 if (format == DataFormat::Excel) {
                     statistics.get();
                     std::ostringstream report;
                     WriteInformationFile(report, state.generatedSetup, state.statistics,
                                          state.reportFooterLines);
                     std::istringstream lines(report.str());
                     information = ReadLines(lines);
                 }
                 WritePackageDataFile(format, out, state.generatedSetup, state.tables.generatedData,
                                      information);
                 if (afterData) {
                     afterData(ScoresAsWritten(state.generatedSetup, state.tables.generatedData));
                 }
             }},
            {run.infoFileName, [&state, statistics](std::ostream& out) {
                 statistics.get();
                 WriteInformationFile(out, state.generatedSetup, state.statistics,
                                      state.reportFooterLines);
             }}};
}

void SaveDataFiles(ProgramState& state, CommandHost& host) {
    if (!state.flags.dataGenerated) {
        host.ShowMessage("You must generate data first");
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
