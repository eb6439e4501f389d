#include "setup/design_catalogue.h"

#include <gtest/gtest.h>

#include <vector>

#include <set>
#include <string>

namespace zek {
namespace {

// The box that holds the parameters of `variable` (from 1) of `cell` (from 1).
int BoxOf(DesignKind kind, int cell, int variable) {
    return CellsOfDesign(Design(kind).Shape()).cells[cell - 1].boxOfVariable[variable - 1];
}

int CellCountOf(const DesignInfo& design) {
    return design.levelsFactor1 * design.levelsFactor2 * design.levelsFactor3;
}

TEST(DesignCatalogue, EveryDesignIsConsistentWithItsBoxes) {
    for (const DesignInfo& design : DesignCatalogue()) {
        SCOPED_TRACE(std::string(design.radioButton));
        EXPECT_EQ(design.boxCount, design.activeBoxes.Count());
        const bool allNsEntered = design.nEntryBoxes.Count() == kBoxCount;
        for (int box = 1; box <= kBoxCount; ++box) {
            if (design.caseBoxes.Contains(box)) {
                EXPECT_TRUE(design.activeBoxes.Contains(box));
            }
            if (!allNsEntered && design.nEntryBoxes.Contains(box)) {
                EXPECT_TRUE(design.activeBoxes.Contains(box));
            }
        }
        // Every case carries one score per variable, so each cell's boxes are one per variable.
        EXPECT_EQ(design.boxCount, design.caseBoxes.Count() * design.variableCount);
        if (design.family == DesignFamily::Factorial) {
            EXPECT_EQ(CellCountOf(design) * design.variableCount, design.boxCount);
        }
        for (int c = 0; c < design.nCopyCount; ++c) {
            EXPECT_TRUE(design.activeBoxes.Contains(design.nCopies[c].targetBox));
            EXPECT_TRUE(design.caseBoxes.Contains(design.nCopies[c].sourceBox));
            EXPECT_FALSE(design.nEntryBoxes.Contains(design.nCopies[c].targetBox));
        }
    }
}

TEST(DesignCatalogue, FileCodesRunInTableOrderAndRoundTrip) {
    std::set<std::string_view> buttons;
    for (int code = 1; code <= kDesignCount; ++code) {
        const std::optional<DesignKind> kind = DesignFromFileCode(code);
        ASSERT_TRUE(kind.has_value());
        EXPECT_EQ(FileCodeOf(*kind), code);
        buttons.insert(Design(*kind).radioButton);
    }
    EXPECT_EQ(buttons.size(), 47u);
    EXPECT_FALSE(DesignFromFileCode(0).has_value());
    EXPECT_FALSE(DesignFromFileCode(48).has_value());
    EXPECT_FALSE(DesignFromFileCode(-2).has_value());
    EXPECT_EQ(DesignFromFileCode(10), DesignKind::TwoGroupsDV2);
    EXPECT_EQ(DesignFromFileCode(17), DesignKind::TwoDV2x2);
    EXPECT_EQ(DesignFromFileCode(22), DesignKind::Regression1);
    EXPECT_EQ(DesignFromFileCode(35), DesignKind::Correlated8);
    EXPECT_EQ(DesignFromFileCode(36), DesignKind::MixedOccasions3);
    EXPECT_EQ(DesignFromFileCode(37), DesignKind::MixedOccasions4);
    EXPECT_EQ(DesignFromFileCode(38), DesignKind::Categories1);
    EXPECT_EQ(DesignFromFileCode(43), DesignKind::Table3x4);
    EXPECT_EQ(Design(DesignKind::TwoGroupsDV3).radioButton, "rdo_2group3dv");
}

TEST(DesignCatalogue, TwoGroupDesignsUseTheTopAndBottomRows) {
    const DesignInfo& oneDv = Design(DesignKind::TwoGroupsDV1);
    EXPECT_TRUE(oneDv.activeBoxes.Contains(1));
    EXPECT_TRUE(oneDv.activeBoxes.Contains(5));
    EXPECT_FALSE(oneDv.activeBoxes.Contains(2));
    EXPECT_EQ(oneDv.nEntryBoxes.Count(), 8);

    const DesignInfo& paired = Design(DesignKind::TwoDVGroups1);
    EXPECT_TRUE(paired.pairedVariables);
    EXPECT_EQ(paired.levelsFactor1, 1);
    EXPECT_TRUE(paired.activeBoxes.Contains(1) && paired.activeBoxes.Contains(5));
    EXPECT_EQ(paired.nCopyCount, 1);
    EXPECT_EQ(paired.nCopies[0].targetBox, 5);
    for (const DesignInfo& design : DesignCatalogue()) {
        if (design.kind != DesignKind::TwoDVGroups1) {
            EXPECT_FALSE(design.pairedVariables);
        }
    }
}

TEST(DesignCatalogue, TwoVariablesInTwoByTwoIsFactorialWithFourCells) {
    const DesignInfo& design = Design(DesignKind::TwoDV2x2);
    EXPECT_EQ(design.family, DesignFamily::Factorial);
    EXPECT_EQ(design.variableCount, 2);
    EXPECT_EQ(design.factorCount, 2);
    EXPECT_EQ(design.levelsFactor1, 2);
    EXPECT_EQ(design.levelsFactor2, 2);
    EXPECT_EQ(design.boxCount, 8);
    EXPECT_EQ(CellCountOf(design), 4);
    BoxSet expectedCaseBoxes;
    for (int box : {1, 2, 5, 6}) expectedCaseBoxes.Add(box);
    EXPECT_EQ(design.caseBoxes, expectedCaseBoxes);
    ASSERT_EQ(design.nCopyCount, 4);
    const NCopy expected[] = {{3, 1}, {4, 2}, {7, 5}, {8, 6}};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(design.nCopies[c].targetBox, expected[c].targetBox);
        EXPECT_EQ(design.nCopies[c].sourceBox, expected[c].sourceBox);
    }
}

TEST(DesignCatalogue, CellsPerDesign) {
    EXPECT_EQ(CellCountOf(Design(DesignKind::Factorial2x2x2)), 8);
    EXPECT_EQ(CellCountOf(Design(DesignKind::TwoGroupsDV4)), 2);
    for (const DesignInfo& design : DesignCatalogue()) {
        if (design.family == DesignFamily::Regression ||
            design.family == DesignFamily::Correlated) {
            EXPECT_EQ(CellCountOf(design), 1);
            EXPECT_EQ(design.caseBoxes.Count(), 1);
        }
    }
}

TEST(DesignCatalogue, CorrelationCellsFollowTheNumberOfVariables) {
    auto enabledCount = [](const DesignInfo& design) {
        int count = 0;
        for (int i = 1; i <= 8; ++i) {
            for (int j = i + 1; j <= 8; ++j) count += CorrelationCellEnabled(design, i, j) ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(enabledCount(Design(DesignKind::Regression7)), 28);
    EXPECT_EQ(enabledCount(Design(DesignKind::Correlated8)), 28);
    EXPECT_EQ(enabledCount(Design(DesignKind::Regression1)), 1);
    EXPECT_TRUE(CorrelationCellEnabled(Design(DesignKind::Correlated2), 1, 2));
    EXPECT_EQ(enabledCount(Design(DesignKind::Correlated2)), 1);
    for (const DesignInfo& design : DesignCatalogue()) {
        if (design.variableCount == 1) {
            EXPECT_EQ(enabledCount(design), 0);
        }
    }
}

TEST(DesignCatalogue, PlacementRules) {
    // 2x2x2: the first index moves by two boxes, the second by a row, the third by one box.
    const DesignCells cube = CellsOfDesign(Design(DesignKind::Factorial2x2x2).Shape());
    const int cubeBoxes[] = {1, 2, 5, 6, 3, 4, 7, 8};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(cube.cells[c].boxOfVariable[0], cubeBoxes[c]);

    EXPECT_EQ(BoxOf(DesignKind::TwoGroupsDV3, 2, 3), 7);
    EXPECT_EQ(BoxOf(DesignKind::TwoDVGroups3, 3, 2), 7);
    EXPECT_EQ(BoxOf(DesignKind::Factorial2x3, 2, 1), 2);
    EXPECT_EQ(BoxOf(DesignKind::Factorial2x3, 4, 1), 5);
    EXPECT_EQ(BoxOf(DesignKind::TwoDV2x2, 2, 2), 4);
    EXPECT_EQ(BoxOf(DesignKind::Regression4, 1, 5), 5);

    const DesignInfo& twoByThree = Design(DesignKind::Factorial2x3);
    BoxSet expected;
    for (int box : {1, 2, 3, 5, 6, 7}) expected.Add(box);
    EXPECT_EQ(twoByThree.activeBoxes, expected);
}

TEST(DesignCatalogue, SampleSizeLinks) {
    const DesignInfo& regression = Design(DesignKind::Regression3);
    ASSERT_EQ(regression.nCopyCount, 3);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(regression.nCopies[c].targetBox, c + 2);
        EXPECT_EQ(regression.nCopies[c].sourceBox, 1);
    }
    EXPECT_EQ(regression.nEntryBoxes.Count(), 1);
    const DesignInfo& twoGroups = Design(DesignKind::TwoGroupsDV3);
    ASSERT_EQ(twoGroups.nCopyCount, 4);
    EXPECT_EQ(twoGroups.nCopies[2].targetBox, 6);
    EXPECT_EQ(twoGroups.nCopies[2].sourceBox, 5);
    EXPECT_EQ(Design(DesignKind::Factorial2x4).nEntryBoxes.Count(), 8);
    EXPECT_EQ(Design(DesignKind::Groups3).nCopyCount, 0);
}

// The N of a block's first box flows to the others whatever the number of variables or
// groups of the stored design, as in the family's widest design.
TEST(DesignCatalogue, NChangeTargetsFollowTheStoredFamily) {
    auto targets = [](DesignKind kind, int box) {
        const NChangeTargets t = NChangeTargetsOf(Design(kind).Shape(), box);
        return std::vector<int>(t.boxes.begin(), t.boxes.begin() + t.count);
    };
    EXPECT_EQ(targets(DesignKind::Correlated2, 1), (std::vector<int>{2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(targets(DesignKind::Regression1, 1), (std::vector<int>{2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(targets(DesignKind::TwoGroupsDV2, 1), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(targets(DesignKind::TwoGroupsDV1, 5), (std::vector<int>{6, 7, 8}));
    EXPECT_EQ(targets(DesignKind::TwoDVGroups1, 1), (std::vector<int>{5}));
    EXPECT_EQ(targets(DesignKind::TwoDVGroups3, 4), (std::vector<int>{8}));
    EXPECT_EQ(targets(DesignKind::TwoDV2x2, 2), (std::vector<int>{4}));
    EXPECT_EQ(targets(DesignKind::TwoDV2x2, 6), (std::vector<int>{8}));
    EXPECT_TRUE(targets(DesignKind::TwoDV2x2, 3).empty());
    EXPECT_TRUE(targets(DesignKind::Groups4, 1).empty());
    EXPECT_TRUE(targets(DesignKind::Factorial2x2x2, 1).empty());
    for (const DesignInfo& design : DesignCatalogue()) {
        EXPECT_TRUE(targets(design.kind, 7).empty());
        EXPECT_TRUE(targets(design.kind, 8).empty());
    }
}

TEST(DesignCatalogue, ApplyingADesignChangesOnlyTheDesignFields) {
    GenerationSetup setup;
    setup.Box(1).mean = 50.0;
    setup.Box(6).sd = 3.0;
    setup.correlations.entered[0] = 0.4;
    ApplyDesign(Design(DesignKind::TwoGroupsDV3), setup);
    EXPECT_EQ(setup.family, DesignFamily::TwoGroupsMultiVariable);
    EXPECT_EQ(setup.variableCount, 3);
    EXPECT_EQ(setup.boxCount, 6);
    for (int box = 1; box <= 8; ++box) {
        EXPECT_EQ(setup.Box(box).active, box != 4 && box != 8) << box;
    }
    EXPECT_EQ(setup.Box(1).mean, 50.0);
    EXPECT_EQ(setup.Box(6).sd, 3.0);
    EXPECT_EQ(setup.correlations.entered[0], 0.4);
}

// The mixed designs share the boxes of two groups with three or four variables; only their
// occasions set them apart, with or without the option, and a setup knows which it is.
TEST(DesignCatalogue, MixedDesignsAreTwoGroupDesignsWhoseVariablesAreAlwaysOccasions) {
    GenerationSetup setup;
    for (const auto& [mixed, plain] :
         {std::pair{DesignKind::MixedOccasions3, DesignKind::TwoGroupsDV3},
          std::pair{DesignKind::MixedOccasions4, DesignKind::TwoGroupsDV4}}) {
        EXPECT_EQ(Design(mixed).activeBoxes, Design(plain).activeBoxes);
        ApplyDesign(Design(mixed), setup);
        EXPECT_EQ(DesignKindOf(setup), mixed);
        EXPECT_TRUE(TakesRepeatedMeasures(setup));
        ApplyDesign(Design(plain), setup);
        EXPECT_EQ(DesignKindOf(setup), plain);
        EXPECT_FALSE(TakesRepeatedMeasures(setup));
        setup.repeatedMeasures = true;
        EXPECT_TRUE(TakesRepeatedMeasures(setup));
        setup.repeatedMeasures = false;
    }
    for (const DesignInfo& design : DesignCatalogue()) {
        ApplyDesign(design, setup);
        EXPECT_EQ(DesignKindOf(setup), design.kind) << design.radioButton;
    }
}

}  // namespace
}  // namespace zek
