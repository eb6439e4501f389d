#include "setup/scale_score.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "setup/data_columns.h"
#include "setup/design_catalogue.h"

namespace zek {
namespace {

// Four items: two five-point Likert items, a score from 0 to 10 with one decimal and a
// Normal score with two decimals, the second and third worded against the scale.
GenerationSetup FourItems(ScaleScore score) {
    GenerationSetup setup;
    ApplyDesign(Design(DesignKind::Correlated4), setup);
    setup.scaleItems = true;
    setup.scaleScore = score;
    for (int item : {1, 2}) {
        setup.Box(item).distribution = DistributionKind::Likert;
        setup.Box(item).minScore = 1.0;
        setup.Box(item).maxScore = 5.0;
    }
    setup.Box(3).distribution = DistributionKind::Normal;
    setup.Box(3).decimals = 1;
    setup.Box(3).minScore = 0.0;
    setup.Box(3).maxScore = 10.0;
    setup.Box(4).distribution = DistributionKind::Normal;
    setup.Box(4).decimals = 2;
    setup.Box(4).minScore = NoLimit;
    setup.Box(4).maxScore = NoLimit;
    setup.columnNames.reversed = {"var2", "var3"};
    return setup;
}

TEST(ScaleScoreTest, SumsOrAveragesTheItemsWithTheReverseKeyedOnesReversed) {
    const std::vector<double> items{4.0, 2.0, 7.5, 1.25};
    const std::optional<ScaleScoreColumn> sum = ScaleScoreColumn::Of(FourItems(ScaleScore::Sum));
    ASSERT_TRUE(sum);
    EXPECT_EQ(sum->defaultName(), "scale_sum");
    EXPECT_EQ(sum->decimals(), 2);
    EXPECT_DOUBLE_EQ(sum->ScoreOf(items), 4.0 + (6.0 - 2.0) + (10.0 - 7.5) + 1.25);
    const std::optional<ScaleScoreColumn> mean = ScaleScoreColumn::Of(FourItems(ScaleScore::Mean));
    ASSERT_TRUE(mean);
    EXPECT_EQ(mean->decimals(), 4);
    EXPECT_DOUBLE_EQ(mean->ScoreOf(items), 11.75 / 4.0);
    const std::vector<double> withAMissingItem{4.0, std::numeric_limits<double>::quiet_NaN(), 7.5,
                                               1.25};
    EXPECT_TRUE(std::isnan(mean->ScoreOf(withAMissingItem)));
    // The column closes the data file, under the user's name.
    GenerationSetup named = FourItems(ScaleScore::Mean);
    named.columnNames.names["scale_mean"] = "anxiety";
    EXPECT_EQ(DataColumnsOf(named).Header(), "id,var1,var2,var3,var4,anxiety");
}

TEST(ScaleScoreTest, OnlyAScaleInOneRowPerCaseHasAScoreColumn) {
    EXPECT_FALSE(ScaleScoreColumn::Of(FourItems(ScaleScore::None)));
    GenerationSetup notAScale = FourItems(ScaleScore::Sum);
    notAScale.scaleItems = false;
    EXPECT_FALSE(ScaleScoreColumn::Of(notAScale));
    EXPECT_EQ(DataColumnsOf(notAScale).Header(), "id,var1,var2,var3,var4");
    EXPECT_FALSE(DataColumnsOf(notAScale).ScoreColumn(2).reversed)
        << "the names keep the item reverse-keyed for when the option comes back";
    GenerationSetup groups;
    ApplyDesign(Design(DesignKind::Groups2), groups);
    groups.scaleItems = true;
    groups.scaleScore = ScaleScore::Sum;
    EXPECT_FALSE(ScaleScoreColumn::Of(groups));
}

}  // namespace
}  // namespace zek
