// One parameters file through everything a file can reach: the reader, the replay onto the
// window's controls, the Run command, the engine and the three writers. The fuzzer feeds it
// arbitrary bytes; the normal tests replay the inputs that once mattered.
#pragma once

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "commands/command_host.h"
#include "commands/main_window_model.h"
#include "commands/run_command.h"
#include "files/data_file.h"
#include "files/information_file.h"
#include "files/parameters_file.h"

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
    std::optional<std::string> ChooseSaveFile(std::string_view) override { return std::nullopt; }
};

/// Each input meets a freshly started program, as in `zek-generate`; only the tables (which a
/// run never clears) are reused, as the program reuses its own.
inline void RunWholePipeline(std::string_view bytes, ProgramState& state) {
    state.setup = GenerationSetup{};
    state.flags = RunFlags{};
    std::istringstream in{std::string(bytes)};
    const ParametersFileReading reading = ReadParametersFile(in);
    if (reading.outcome != ParametersFileReading::Outcome::Complete) return;
    SilentHost host;
    MainWindowModel window(state, host, '.');
    window.ApplyParametersFile(reading);
    if (DesignProblemOf(reading)) return;
    if (RunCommand(window, state, host) != RunOutcome::Generated) return;
    std::ostringstream out;
    WriteDataFile(out, state.generatedSetup, state.tables.generatedData);
    WriteInformationFile(out, state.generatedSetup, state.tables.generatedData, state.statistics,
                         AboutIdentificationLines());
    WriteParametersFile(out, ParametersFileContentsOf(window.Texts()));
}

}  // namespace zek::fuzzing
