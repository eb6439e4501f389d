// Applies a parameters file to the controls of a freshly started window, with the reactions
// its lines trigger there: the design selection, the N copies, the Min/Max check boxes and a
// Uniform box's mean and SD. `zek-generate` uses it; the window replays a file through its
// own controls, whose reactions call the same core functions.
#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "commands/control_texts.h"
#include "files/parameters_file.h"

namespace zek {

/// Replays `reading` onto `controls`, which hold the start-up texts; a reading that stopped at
/// its design line sets only the title, seed and percentages. `showMessage` receives what the
/// window would show on the way ("N must be an INTEGER").
void ReplayOnStartupControls(const ParametersFileReading& reading, ControlTexts& controls,
                             char decimalSeparator,
                             const std::function<void(std::string_view)>& showMessage);

/// The boxes whose N text follows box `boxNumber`'s when it changes, under the design
/// currently stored in the setup; none for most boxes and designs.
struct NCopyTargets {
    std::array<int, kBoxCount - 1> boxes{};
    int count = 0;
};
NCopyTargets NChangeCopyTargets(DesignFamily family, int variableCount, int boxNumber);

}  // namespace zek
