#include "commands/design_presentation.h"

#include <gtest/gtest.h>

namespace zek {
namespace {

TEST(DesignPresentation, ColourPatternsAndCaptions) {
    EXPECT_EQ(ColoursOf(DesignKind::Groups3)[0], kCream);
    EXPECT_EQ(ColoursOf(DesignKind::Groups3)[4], kWhite);
    EXPECT_EQ(ColoursOf(DesignKind::Regression2)[0], kSkyBlue);
    EXPECT_EQ(ColoursOf(DesignKind::TwoDVGroups2)[3], kAqua);
    EXPECT_EQ(ColoursOf(DesignKind::Factorial2x2)[1], kSkyBlue);
    EXPECT_EQ(ColoursOf(DesignKind::TwoGroupsDV2)[5], kSkyBlue);
    EXPECT_EQ(CaptionsOf(DesignKind::Groups1)[0], "Single Group");
    EXPECT_EQ(CaptionsOf(DesignKind::Groups2)[1], "Group/Level 2");
    EXPECT_EQ(CaptionsOf(DesignKind::TwoDVGroups4)[7], "GROUP 4, VAR 2");
    EXPECT_EQ(CaptionsOf(DesignKind::Factorial2x2x2)[2], "Cell (2,1,1)");
    EXPECT_EQ(CaptionsOf(DesignKind::Regression7)[7], "Predictor X7");
    EXPECT_EQ(CaptionsOf(DesignKind::TwoGroupsDV4)[7], "GROUP 2, VAR 4");
    EXPECT_EQ(RowLabelOf(Design(DesignKind::TwoGroupsDV3)), "2 Groups with this many Variables: ");
    EXPECT_EQ(CaptionsOf(DesignKind::MixedOccasions3)[5], "GROUP 2, OCC 2");
    EXPECT_EQ(CaptionsOf(DesignKind::MixedOccasions4, false)[3], "Group 1, Occ 4");
}

TEST(DesignPresentation, CaptionsStandOnTheBoxesInUse) {
    for (const DesignInfo& design : DesignCatalogue()) {
        const BoxCaptions captions = CaptionsOf(design.kind);
        for (int box = 1; box <= 8; ++box) {
            EXPECT_EQ(design.activeBoxes.Contains(box), !captions[box - 1].empty());
        }
    }
    EXPECT_EQ(CaptionsOf(DesignKind::TwoGroupsDV1)[0], "Group 1");
    EXPECT_EQ(CaptionsOf(DesignKind::TwoGroupsDV1)[4], "GROUP 2");
    EXPECT_EQ(CaptionsOf(DesignKind::TwoDV2x2)[2], "CELL (1,1) VAR 2");
    EXPECT_EQ(CaptionsOf(DesignKind::Factorial2x3)[6], "CELL (2,3)");
    EXPECT_EQ(ColoursOf(DesignKind::TwoDV2x2),
              (BoxColours{kCream, kCream, kSkyBlue, kSkyBlue, kCream, kCream, kSkyBlue, kSkyBlue}));
    EXPECT_EQ(GridVariableName(DesignKind::Regression3, 1), "DV");
    EXPECT_EQ(GridVariableName(DesignKind::Regression3, 3), "X2");
    EXPECT_EQ(GridVariableName(DesignKind::Correlated3, 3), "V3");
}

}  // namespace
}  // namespace zek
