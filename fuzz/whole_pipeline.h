// One parameters file through everything a file can reach: the reader, the replay onto the
// window's controls, the Run command, the engine, the three writers to memory, and then a
// class set of two datasets written by the real writers into a folder (answer keys, class
// key, atomic replacement), read back by the viewer and its plots. The fuzzer feeds it
// arbitrary bytes; the normal tests replay the inputs that once mattered.
#pragma once

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include <filesystem>

#include "commands/class_set.h"
#include "commands/command_host.h"
#include "commands/data_viewer_text.h"
#include "commands/main_window_model.h"
#include "commands/run_command.h"
#include "files/data_file.h"
#include "files/file_names.h"
#include "files/information_file.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "stats/actual_statistics.h"
#include "stats/score_plots.h"

namespace zek::fuzzing {

// Answers like `zek-generate`: no dialog to loop on, a fixed clock.
class SilentHost final : public CommandHost {
  public:
    void ShowMessage(std::string_view) override {}
    void Focus(std::string_view) override {}
    std::optional<std::string> AskPercentage(PercentageKind, std::string_view) override {
        return std::nullopt;
    }
    std::int32_t ClockRandomBelow(std::int32_t) override { return 1804; }
    std::optional<std::string> ChooseSaveFile(std::string_view, SaveKind) override {
        return std::nullopt;
    }
};

// A class set of two from the same window, written into `folder`, and read back as the viewer
// reads it; the folder is emptied afterwards.
inline void WriteAndReadBack(MainWindowModel& window, ProgramState& state, CommandHost& host,
                             const std::filesystem::path& folder) {
    ClassSetRequest request;
    request.count = 2;
    request.firstSeed = 7;
    request.dataFile = (folder / "fuzz.csv").string();
    try {
        const ClassSetResult result = GenerateClassSet(window, state, host, request, {});
        if (result.outcome == ClassSetOutcome::Written) {
            // As the viewer shows the last saved files.
            state.setup.dataFileName = result.datasets.front().dataFile;
            state.setup.infoFileName = InformationFileNameFor(state.setup.dataFileName);
            std::vector<std::string> lines;
            AppendViewerLines(DataViewMode::Both, state, lines);
            ComputeScorePlots(state.generated, SavedDataScores(state));
        }
    } catch (const FileError&) {
        // A file that cannot be written or read is a message for the user, not a fault.
    }
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        std::filesystem::remove(entry.path(), ignored);
    }
}

/// Each input meets a freshly started program, as in `zek-generate`; only the tables (which a
/// run never clears) are reused, as the program reuses its own. With a folder, the files are
/// written there too.
inline void RunWholePipeline(std::string_view bytes, ProgramState& state,
                             const std::filesystem::path& folder = {}) {
    state.setup = GenerationSetup{};
    state.flags = RunFlags{};
    std::istringstream in{std::string(bytes)};
    const ParametersFileReading reading = ReadParametersFile(in);
    if (reading.outcome != ParametersFileReading::Outcome::Complete) return;
    SilentHost host;
    MainWindowModel window(state, host, '.');
    window.ApplyParametersFile(reading);
    if (CheckDesignOf(reading)) return;
    if (RunCommand(window, state, host) != RunOutcome::Generated) return;
    std::ostringstream out;
    WriteDataFile(out, state.generated.setup, state.tables.generatedData);
    ComputeActualStatistics(state.generated.setup, state.tables.generatedData, state.statistics);
    WriteInformationFile(out, state.generated, state.statistics, AboutIdentificationLines());
    WriteParametersFile(out, ParametersFileContentsOf(window.Texts()));
    if (!folder.empty()) WriteAndReadBack(window, state, host, folder);
}

}  // namespace zek::fuzzing
