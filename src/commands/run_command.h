// The Run command: where the texts the user typed become a generation.
//
// It reads the percentages, shapes, title and seed, checks every active box, the
// correlations and the decimals with fixed messages, derives the stream seeds, builds the
// correlation matrix and refuses it unless it is positive definite, and runs the engine.
// The desktop window and `zek-generate` call the very same function, so they validate
// alike and write the same files.
#pragma once

#include <string_view>

#include "commands/command_host.h"
#include "commands/control_texts.h"
#include "commands/main_window_model.h"
#include "commands/program_state.h"

namespace zek {

enum class RunOutcome {
    Generated,  ///< the data were generated; `dataGenerated` is true
    Stopped,    ///< a check failed and its message was shown; nothing was generated
};

/// Steps 1 to 14 of a run: validation into `state.setup`, then `GenerateData`. The seed drawn
/// for an empty seed box and a percentage accepted in its dialog are written back into
/// `controls`. A stop keeps in the setup every field stored before the failing check.
RunOutcome RunCommand(ControlTexts& controls, const EnabledCorrelationCells& enabledCells,
                      char decimalSeparator, ProgramState& state, CommandHost& host);

/// The Run command on the main window's controls: a seed drawn for an empty seed box and a
/// percentage accepted in its dialog show in the window afterwards.
RunOutcome RunCommand(MainWindowModel& window, ProgramState& state, CommandHost& host);

/// The OK button of the Set Missing Values or Set Extreme Values dialog: accepts an integer
/// from 0 to 100 into the setup, or shows the message and refuses.
bool AcceptPercentage(PercentageKind kind, std::string_view text, GenerationSetup& setup,
                      CommandHost& host);

/// The Set Missing Values or Set Extreme Values dialog, offering `text`, shown until it
/// accepts a percentage; the accepted text, or nothing where no dialog can be shown.
std::optional<std::string> AskPercentageUntilAccepted(PercentageKind kind, std::string text,
                                                      GenerationSetup& setup, CommandHost& host);

}  // namespace zek
