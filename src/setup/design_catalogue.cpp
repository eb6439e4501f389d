#include "setup/design_catalogue.h"

namespace zek {

namespace {

using enum DesignKind;
using enum DesignFamily;

// What distinguishes one design from another; everything else follows from the rules below.
struct DesignRow {
    DesignKind kind;
    std::string_view radioButton;
    std::string_view buttonCaption;
    DesignFamily family;
    int variableCount;
    int factorCount;
    int levelsFactor1, levelsFactor2, levelsFactor3;
    bool occasionsAlways = false;
    bool binaryOutcome = false;
};

constexpr std::array<DesignRow, kDesignCount> kRows{{
    {Groups1, "rdo_1group", "1", OneWay, 1, 1, 1, 1, 1},
    {Groups2, "rdo_2groups", "2", OneWay, 1, 1, 2, 1, 1},
    {Groups3, "rdo_3groups", "3", OneWay, 1, 1, 3, 1, 1},
    {Groups4, "rdo_4groups", "4", OneWay, 1, 1, 4, 1, 1},
    {Groups5, "rdo_5groups", "5", OneWay, 1, 1, 5, 1, 1},
    {Groups6, "rdo_6groups", "6", OneWay, 1, 1, 6, 1, 1},
    {Groups7, "rdo_7groups", "7", OneWay, 1, 1, 7, 1, 1},
    {Groups8, "rdo_8groups", "8", OneWay, 1, 1, 8, 1, 1},
    {TwoGroupsDV1, "rdo_2group1dv", "1 DV", TwoGroupsMultiVariable, 1, 1, 2, 1, 1},
    {TwoGroupsDV2, "rdo_2group2dv", "2 DV", TwoGroupsMultiVariable, 2, 1, 2, 1, 1},
    {TwoGroupsDV3, "rdo_2group3dv", "3 DV", TwoGroupsMultiVariable, 3, 1, 2, 1, 1},
    {TwoGroupsDV4, "rdo_2group4dv", "4 DV", TwoGroupsMultiVariable, 4, 1, 2, 1, 1},
    {TwoDVGroups1, "rdo_2dv1group", "1", TwoVariablesInGroups, 2, 1, 1, 1, 1},
    {TwoDVGroups2, "rdo_2dv2group", "2", TwoVariablesInGroups, 2, 1, 2, 1, 1},
    {TwoDVGroups3, "rdo_2dv3group", "3", TwoVariablesInGroups, 2, 1, 3, 1, 1},
    {TwoDVGroups4, "rdo_2dv4group", "4", TwoVariablesInGroups, 2, 1, 4, 1, 1},
    {TwoDV2x2, "rdo_2dv2x2", "2x2", Factorial, 2, 2, 2, 2, 1},
    {Factorial2x2, "rdo_2x2", "2x2", Factorial, 1, 2, 2, 2, 1},
    {Factorial2x3, "rdo_2x3", "2x3", Factorial, 1, 2, 2, 3, 1},
    {Factorial2x4, "rdo_2x4", "2x4", Factorial, 1, 2, 2, 4, 1},
    {Factorial2x2x2, "rdo_2x2x2", "2x2x2", Factorial, 1, 3, 2, 2, 2},
    {Regression1, "rdo_regression1", "1", Regression, 2, 1, 1, 1, 1},
    {Regression2, "rdo_regression2", "2", Regression, 3, 1, 1, 1, 1},
    {Regression3, "rdo_regression3", "3", Regression, 4, 1, 1, 1, 1},
    {Regression4, "rdo_regression4", "4", Regression, 5, 1, 1, 1, 1},
    {Regression5, "rdo_regression5", "5", Regression, 6, 1, 1, 1, 1},
    {Regression6, "rdo_regression6", "6", Regression, 7, 1, 1, 1, 1},
    {Regression7, "rdo_regression7", "7", Regression, 8, 1, 1, 1, 1},
    {Correlated2, "rdo_corr2", "2", Correlated, 2, 1, 1, 1, 1},
    {Correlated3, "rdo_corr3", "3", Correlated, 3, 1, 1, 1, 1},
    {Correlated4, "rdo_corr4", "4", Correlated, 4, 1, 1, 1, 1},
    {Correlated5, "rdo_corr5", "5", Correlated, 5, 1, 1, 1, 1},
    {Correlated6, "rdo_corr6", "6", Correlated, 6, 1, 1, 1, 1},
    {Correlated7, "rdo_corr7", "7", Correlated, 7, 1, 1, 1, 1},
    {Correlated8, "rdo_corr8", "8", Correlated, 8, 1, 1, 1, 1},
    {MixedOccasions3, "rdo_mixed3occ", "3", TwoGroupsMultiVariable, 3, 1, 2, 1, 1, true},
    {MixedOccasions4, "rdo_mixed4occ", "4", TwoGroupsMultiVariable, 4, 1, 2, 1, 1, true},
    {Categories1, "rdo_cat1", "1", Categorical, 1, 1, 1, 1, 1},
    {Table2x2, "rdo_cat2x2", "2x2", Categorical, 2, 2, 2, 2, 1},
    {Table2x3, "rdo_cat2x3", "2x3", Categorical, 2, 2, 2, 3, 1},
    {Table2x4, "rdo_cat2x4", "2x4", Categorical, 2, 2, 2, 4, 1},
    {Table3x3, "rdo_cat3x3", "3x3", Categorical, 2, 2, 3, 3, 1},
    {Table3x4, "rdo_cat3x4", "3x4", Categorical, 2, 2, 3, 4, 1},
    {BinaryOutcome1, "rdo_logistic1", "1", Regression, 2, 1, 1, 1, 1, false, true},
    {BinaryOutcome2, "rdo_logistic2", "2", Regression, 3, 1, 1, 1, 1, false, true},
    {BinaryOutcome3, "rdo_logistic3", "3", Regression, 4, 1, 1, 1, 1, false, true},
    {BinaryOutcome4, "rdo_logistic4", "4", Regression, 5, 1, 1, 1, 1, false, true},
}};

constexpr DesignInfo BuildDesign(const DesignRow& row, int fileCode) {
    DesignInfo info{};
    info.kind = row.kind;
    info.fileCode = fileCode;
    info.radioButton = row.radioButton;
    info.buttonCaption = row.buttonCaption;
    info.family = row.family;
    info.pairedVariables = row.kind == TwoDVGroups1;
    info.occasionsAlways = row.occasionsAlways;
    info.binaryOutcome = row.binaryOutcome;
    info.variableCount = row.variableCount;
    info.factorCount = row.factorCount;
    info.levelsFactor1 = row.levelsFactor1;
    info.levelsFactor2 = row.levelsFactor2;
    info.levelsFactor3 = row.levelsFactor3;

    // The first variable's box of every cell takes the cell's N; the boxes of the cell's
    // other variables copy it, since every case carries one score per variable.
    const DesignCells cells = CellsOfDesign(info.Shape());
    for (int c = 0; c < cells.cellCount; ++c) {
        const DesignCell& cell = cells.cells[c];
        info.caseBoxes.Add(cell.boxOfVariable[0]);
        for (int v = 0; v < cells.variableCount; ++v) {
            info.activeBoxes.Add(cell.boxOfVariable[v]);
            if (v > 0) {
                info.nCopies[info.nCopyCount++] = {cell.boxOfVariable[v], cell.boxOfVariable[0]};
            }
        }
    }
    info.boxCount = info.activeBoxes.Count();
    if (info.nCopyCount == 0) {
        for (int box = 1; box <= kBoxCount; ++box) info.nEntryBoxes.Add(box);
    } else {
        info.nEntryBoxes = info.caseBoxes;
    }

    return info;
}

constexpr std::array<DesignInfo, kDesignCount> BuildCatalogue() {
    std::array<DesignInfo, kDesignCount> catalogue{};
    for (int i = 0; i < kDesignCount; ++i) {
        catalogue[i] = BuildDesign(kRows[i], i + 1);
    }
    return catalogue;
}

constexpr std::array<DesignInfo, kDesignCount> kCatalogue = BuildCatalogue();

static_assert(kCatalogue[9].kind == TwoGroupsDV2 && kCatalogue[9].fileCode == 10);
static_assert(kCatalogue[16].nCopyCount == 4 && kCatalogue[16].caseBoxes.Count() == 4);
static_assert(kCatalogue[36].kind == MixedOccasions4 && kCatalogue[36].activeBoxes.Count() == 8);
static_assert(kCatalogue[46].kind == BinaryOutcome4 && kCatalogue[46].activeBoxes.Count() == 5);

}  // namespace

DesignShape ShapeOf(const GenerationSetup& setup) {
    return {setup.family,        setup.variableCount, setup.factorCount,
            setup.levelsFactor1, setup.levelsFactor2, setup.levelsFactor3};
}

const std::array<DesignInfo, kDesignCount>& DesignCatalogue() {
    return kCatalogue;
}

const DesignInfo& Design(DesignKind kind) {
    return kCatalogue[static_cast<std::size_t>(kind)];
}

std::optional<DesignKind> DesignFromFileCode(int fileCode) {
    if (fileCode < 1 || fileCode > kDesignCount) return std::nullopt;
    return kCatalogue[fileCode - 1].kind;
}

DesignKind DesignKindOf(const GenerationSetup& setup) {
    for (const DesignInfo& design : kCatalogue) {
        if (design.Shape() == ShapeOf(setup) && design.occasionsAlways == setup.occasionsAlways &&
            design.binaryOutcome == setup.binaryOutcome) {
            return design.kind;
        }
    }
    return Groups2;
}

int FileCodeOf(DesignKind kind) {
    return Design(kind).fileCode;
}

NChangeTargets NChangeTargetsOf(const DesignShape& stored, int sourceBox) {
    DesignShape widest = stored;
    switch (stored.family) {
        case TwoGroupsMultiVariable:
            widest.variableCount = 4;
            break;
        case TwoVariablesInGroups:
            widest.levelsFactor1 = 4;
            break;
        case Regression:
        case Correlated:
            widest.variableCount = kMaxVariables;
            break;
        case OneWay:
        case Factorial:
        case Categorical:
            break;
    }
    const DesignCells cells = CellsOfDesign(widest);
    NChangeTargets targets;
    for (int c = 0; c < cells.cellCount; ++c) {
        const DesignCell& cell = cells.cells[c];
        if (cell.boxOfVariable[0] != sourceBox) continue;
        for (int v = 1; v < cells.variableCount; ++v) {
            targets.boxes[targets.count++] = cell.boxOfVariable[v];
        }
    }
    return targets;
}

bool CorrelationCellEnabled(const DesignInfo& design, int i, int j) {
    return 1 <= i && i < j && j <= design.variableCount;
}

void ApplyDesign(const DesignInfo& design, GenerationSetup& setup) {
    setup.family = design.family;
    setup.pairedVariables = design.pairedVariables;
    setup.occasionsAlways = design.occasionsAlways;
    setup.binaryOutcome = design.binaryOutcome;
    setup.variableCount = design.variableCount;
    setup.factorCount = design.factorCount;
    setup.levelsFactor1 = design.levelsFactor1;
    setup.levelsFactor2 = design.levelsFactor2;
    setup.levelsFactor3 = design.levelsFactor3;
    setup.boxCount = design.boxCount;
    for (int box = 1; box <= kBoxCount; ++box) {
        setup.Box(box).active = design.activeBoxes.Contains(box);
    }
    // A table's size is the design's; one variable keeps its number of categories.
    if (design.family == Categorical && design.variableCount == 2) {
        setup.categories.rows = design.levelsFactor1;
        setup.categories.columns = design.levelsFactor2;
    } else if (design.family == Categorical) {
        setup.categories.columns = 1;
    }
}

bool HasOccasions(const DesignShape& shape) {
    switch (shape.family) {
        case DesignFamily::TwoVariablesInGroups:
            return true;
        case DesignFamily::Factorial:
            return shape.variableCount == 2;
        case DesignFamily::TwoGroupsMultiVariable:
        case DesignFamily::Correlated:
            return shape.variableCount >= 2;
        case DesignFamily::OneWay:
        case DesignFamily::Regression:
        case DesignFamily::Categorical:
            return false;
    }
    return false;
}

bool TakesScaleItems(const GenerationSetup& setup) {
    return setup.scaleItems && setup.family == DesignFamily::Correlated;
}

bool TakesRepeatedMeasures(const GenerationSetup& setup) {
    return (setup.repeatedMeasures || setup.occasionsAlways) && HasOccasions(ShapeOf(setup));
}

}  // namespace zek
