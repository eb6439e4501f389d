// "Open Generation Parameters File...": a saved setup back onto the main window's controls.
#pragma once

#include <string>

#include "commands/command_host.h"
#include "commands/main_window_model.h"
#include "commands/program_state.h"
#include "setup/refusal.h"

namespace zek {

/// Reads the parameters file at `path` (chosen in the open dialog) and replays it onto
/// `window`, every line with the reactions it sets off. A file that ZEK did not write changes
/// nothing and says so; a design line that is no integer leaves the title, seed and
/// percentages applied and says so. Throws `FileError` when the file cannot be read.
void OpenParametersFile(const std::string& path, MainWindowModel& window, ProgramState& state,
                        InteractionHost& host);

/// The parameters file at `path` read and checked as a whole, for a program without a window
/// to keep its current design: refused, with a message naming the file, when it cannot be read,
/// is not complete or holds no design ZEK knows.
Checked<ParametersFileReading> ReadWholeParametersFile(const std::string& path);

}  // namespace zek
