// How the main window shows a design: the captions and colours of its parameter boxes, the
// labels of its rows of design buttons and the names of its variables in the correlation
// grid. The window and its model are their only users; the engine and the files never are.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "setup/design_catalogue.h"

namespace zek {

struct Rgb {
    std::uint8_t red, green, blue;
    constexpr bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kCream{255, 251, 240};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kSkyBlue{166, 202, 240};
inline constexpr Rgb kAqua{0, 255, 255};

using BoxCaptions = std::array<std::string_view, kBoxCount>;
using BoxColours = std::array<Rgb, kBoxCount>;

/// The caption of each box the design uses; empty for the others. With repeated measures, and
/// always in the mixed designs, the variables of a design that has occasions are named as
/// occasions ("Occasion 1").
BoxCaptions CaptionsOf(DesignKind kind, bool repeatedMeasures = false);

/// The background colour of every box under the design.
const BoxColours& ColoursOf(DesignKind kind);

/// The text of the row of radio buttons in which the design stands: its family's, or the
/// mixed designs' own.
std::string_view RowLabelOf(const DesignInfo& design);

/// What a hand-written parameters file needs, one design a line: the code of its design line,
/// its name, the boxes whose sections it must hold and the header of its data file.
std::string DesignListText();

/// Name of variable v (1..8) of the design in the correlation grid: "V1".., or "DV", "X1".. in
/// a regression.
std::string_view GridVariableName(DesignKind kind, int variable);

}  // namespace zek
