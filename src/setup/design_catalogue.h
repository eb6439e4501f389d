// The types of data ZEK offers, as one constant table: the 35 designs of the first release
// (file codes 1 to 35, whose files never change), the mixed designs after them (36, 37), the
// categorical designs (38 to 43), which count cases in categories instead of scoring them
// and use no parameter box, and the regressions of an outcome of 0s and 1s (44 to 47).
//
// Every design is a list of cells (groups, or cells of a factorial design), each case of a
// cell carrying one score per variable, and every (cell, variable) pair has its own
// parameter box. The placement of cells and variables in boxes is the one rule from which
// the active boxes, the case boxes and the N copies of a design follow, and the engine and
// the output files lay out their rows by the same cells (see `CellsOfDesign`).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "setup/generation_setup.h"

namespace zek {

inline constexpr int kDesignCount = 47;

/// In the order of their file codes 1..47.
enum class DesignKind {
    Groups1,
    Groups2,
    Groups3,
    Groups4,
    Groups5,
    Groups6,
    Groups7,
    Groups8,
    TwoGroupsDV1,
    TwoGroupsDV2,
    TwoGroupsDV3,
    TwoGroupsDV4,
    TwoDVGroups1,
    TwoDVGroups2,
    TwoDVGroups3,
    TwoDVGroups4,
    TwoDV2x2,
    Factorial2x2,
    Factorial2x3,
    Factorial2x4,
    Factorial2x2x2,
    Regression1,
    Regression2,
    Regression3,
    Regression4,
    Regression5,
    Regression6,
    Regression7,
    Correlated2,
    Correlated3,
    Correlated4,
    Correlated5,
    Correlated6,
    Correlated7,
    Correlated8,
    // Two groups measured on three or four occasions: the boxes of two groups with three or
    // four variables, whose variables are always occasions.
    MixedOccasions3,
    MixedOccasions4,
    // One categorical variable of 2 to 8 categories, and tables of two.
    Categories1,
    Table2x2,
    Table2x3,
    Table2x4,
    Table3x3,
    Table3x4,
    // An outcome of 0s and 1s and one to four predictors (logistic regression): the boxes of
    // a regression, box 1 holding the outcome's percentage of 1s.
    BinaryOutcome1,
    BinaryOutcome2,
    BinaryOutcome3,
    BinaryOutcome4,
};

/// Box numbers 1..8 as a bit set (bit b - 1 for box b).
class BoxSet {
  public:
    constexpr BoxSet() = default;
    constexpr void Add(int boxNumber) { bits_ |= static_cast<std::uint8_t>(1u << (boxNumber - 1)); }
    constexpr bool Contains(int boxNumber) const { return (bits_ >> (boxNumber - 1)) & 1u; }
    constexpr int Count() const {
        int count = 0;
        for (int box = 1; box <= kBoxCount; ++box) count += Contains(box) ? 1 : 0;
        return count;
    }
    constexpr bool operator==(const BoxSet&) const = default;

  private:
    std::uint8_t bits_ = 0;
};

/// One N copy made when a design is selected or its source N changes.
struct NCopy {
    int targetBox;
    int sourceBox;
};

/// A group or cell of a design: its factor levels (or group number) and the box of each of
/// its variables.
struct DesignCell {
    std::array<int, 3> levels{};  ///< group number, or the factor levels a, b, c
    int levelCount = 0;           ///< 0 for one-group regression and correlated designs
    std::array<int, kMaxVariables> boxOfVariable{};  ///< box number of variable v at [v - 1]
};

/// The cells of a design in the order their blocks of rows follow one another.
struct DesignCells {
    int cellCount = 0;
    int variableCount = 0;
    std::array<DesignCell, kBoxCount> cells{};
};

/// The design fields that decide the cells; both `DesignInfo` and `GenerationSetup` hold them.
struct DesignShape {
    DesignFamily family;
    int variableCount;
    int factorCount;
    int levelsFactor1;
    int levelsFactor2;
    int levelsFactor3;
    constexpr bool operator==(const DesignShape&) const = default;
    /// Two variables measured in the cells of a factorial design (2x2): the one factorial
    /// design whose boxes hold two scores per case.
    constexpr bool TwoVariablesInCells() const {
        return family == DesignFamily::Factorial && variableCount == 2;
    }
};

/// Cells of a design in row order, with the placement rule that gives each variable its box.
constexpr DesignCells CellsOfDesign(const DesignShape& shape);
DesignShape ShapeOf(const GenerationSetup& setup);

struct DesignInfo {
    DesignKind kind;
    int fileCode;                  ///< 1..47, stored in parameters files
    std::string_view radioButton;  ///< e.g. "rdo_2group3dv"
    std::string_view buttonCaption;
    DesignFamily family;
    bool pairedVariables;
    /// The variables are occasions whether or not "Repeated Measures" is ticked.
    bool occasionsAlways;
    /// The outcome (box 1 of a regression) is 0 or 1: a latent normal score cut at the
    /// asked percentage of 1s.
    bool binaryOutcome;
    int variableCount;
    int factorCount;
    int levelsFactor1;
    int levelsFactor2;
    int levelsFactor3;
    int boxCount;
    BoxSet activeBoxes;
    BoxSet caseBoxes;
    BoxSet nEntryBoxes;
    std::array<NCopy, kBoxCount - 1> nCopies{};
    int nCopyCount = 0;

    constexpr DesignShape Shape() const {
        return {family, variableCount, factorCount, levelsFactor1, levelsFactor2, levelsFactor3};
    }
};

const DesignInfo& Design(DesignKind kind);
const std::array<DesignInfo, kDesignCount>& DesignCatalogue();

/// The design a setup was made for: the one of its shape, of the mixed designs if its
/// variables are occasions by design, and of the binary outcomes if its outcome is one.
DesignKind DesignKindOf(const GenerationSetup& setup);

/// Codes outside 1..47 name no design.
std::optional<DesignKind> DesignFromFileCode(int fileCode);
int FileCodeOf(DesignKind kind);

/// Whether the design lets the user type the correlation r_ij (i < j).
bool CorrelationCellEnabled(const DesignInfo& design, int i, int j);

/// The boxes whose N text follows box `sourceBox`'s whenever it changes, under the design
/// values `stored` in the setup: the N copies of the widest design of the family, so box 1 of
/// any regression copies to all seven other boxes and box 5 of two groups to 6, 7 and 8,
/// whether those boxes are in use or not. None for most boxes and designs.
struct NChangeTargets {
    std::array<int, kBoxCount - 1> boxes{};
    int count = 0;
};
NChangeTargets NChangeTargetsOf(const DesignShape& stored, int sourceBox);

/// Whether the variables of a design can be the occasions of one outcome measured on the
/// same cases ("Repeated Measures" in the Options menu): two to four variables in two
/// groups, two variables in groups or in the cells of a 2 x 2 design, and two to eight
/// correlated variables.
bool HasOccasions(const DesignShape& shape);
/// Whether a run of `setup` takes its variables as occasions: a mixed design, or the option
/// is on and the design has them.
bool TakesRepeatedMeasures(const GenerationSetup& setup);

/// Whether a run of `setup` takes its variables as the items of one scale: the option is on
/// and the design has two to eight correlated variables.
bool TakesScaleItems(const GenerationSetup& setup);

/// Sets the design fields, every box's `active` flag and, for a table of two categorical
/// variables, its size; nothing else changes.
void ApplyDesign(const DesignInfo& design, GenerationSetup& setup);

// ---------------------------------------------------------------------------------------

constexpr DesignCells CellsOfDesign(const DesignShape& shape) {
    DesignCells result;
    result.variableCount = shape.variableCount;
    auto addCell = [&result](std::array<int, 3> levels, int levelCount, auto boxOfVariable) {
        DesignCell& cell = result.cells[result.cellCount++];
        cell.levels = levels;
        cell.levelCount = levelCount;
        for (int v = 1; v <= result.variableCount; ++v) {
            cell.boxOfVariable[v - 1] = boxOfVariable(v);
        }
    };
    switch (shape.family) {
        case DesignFamily::OneWay:
            for (int g = 1; g <= shape.levelsFactor1; ++g) {
                addCell({g, 0, 0}, 1, [g](int) { return g; });
            }
            break;
        case DesignFamily::TwoGroupsMultiVariable:
            for (int g = 1; g <= shape.levelsFactor1; ++g) {
                addCell({g, 0, 0}, 1, [g](int v) { return 4 * (g - 1) + v; });
            }
            break;
        case DesignFamily::TwoVariablesInGroups:
            for (int g = 1; g <= shape.levelsFactor1; ++g) {
                addCell({g, 0, 0}, 1, [g](int v) { return 4 * (v - 1) + g; });
            }
            break;
        case DesignFamily::Factorial:
            if (shape.factorCount == 3) {
                for (int a = 1; a <= shape.levelsFactor1; ++a) {
                    for (int b = 1; b <= shape.levelsFactor2; ++b) {
                        for (int c = 1; c <= shape.levelsFactor3; ++c) {
                            addCell({a, b, c}, 3,
                                    [=](int) { return 1 + 2 * (a - 1) + 4 * (b - 1) + (c - 1); });
                        }
                    }
                }
            } else {
                // With two variables per cell (two variables in a 2x2 design) the second
                // variable of a cell stands two boxes to the right of the first.
                for (int a = 1; a <= shape.levelsFactor1; ++a) {
                    for (int b = 1; b <= shape.levelsFactor2; ++b) {
                        addCell({a, b, 0}, 2, [=](int v) { return 4 * (a - 1) + 2 * (v - 1) + b; });
                    }
                }
            }
            break;
        case DesignFamily::Regression:
        case DesignFamily::Correlated:
            addCell({0, 0, 0}, 0, [](int v) { return v; });
            break;
        case DesignFamily::Categorical:
            break;  // counts, in no box
    }
    return result;
}

}  // namespace zek
