#include "stats/scale_reliability.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zek {
namespace {

constexpr double NA = kMissingValue;

// psych::alpha(x) in R 4, psych 2.2.9, printed to 17 digits: four items of ten cases, two
// scores missing, the last item running against the others.
TEST(ScaleReliability, AgreesWithPsychsAlphaOverPairwiseCovariances) {
    const std::vector<double> a{4, 3, 5, 2, 4, NA, 3, 5, 1, 4};
    const std::vector<double> b{5, 3, 4, 2, 3, 2, 3, 5, 2, 4};
    const std::vector<double> c{3, 2, 5, 1, NA, 2, 4, 4, 2, 5};
    const std::vector<double> d{2, 4, 3, 3, 2, 1, 5, 3, 3, 2};
    const ScaleReliability scale = AnalyseScale({a, b, c, d});
    EXPECT_NEAR(scale.alpha, 0.71865066008452072, 1e-13);
    EXPECT_NEAR(scale.standardisedAlpha, 0.69476715839203484, 1e-13);
    EXPECT_NEAR(scale.meanInterItemR, 0.3626704042359184, 1e-13);
    EXPECT_NEAR(scale.meanScore.mean, 3.1166666666666667, 1e-13);
    EXPECT_NEAR(scale.meanScore.sd, 0.95112019725670294, 1e-13);
    const double dropped[][2] = {{0.53174603174603186, 0.50779121433999941},
                                 {0.51934061529211339, 0.46124215534001073},
                                 {0.42021758839528539, 0.39975984277869236},
                                 {0.91504524217872141, 0.91910303235869117}};
    const double rDrop[] = {0.694348629953569052, 0.748267194145795456, 0.821404564512409618,
                            -0.067458618605719819};
    const int n[] = {9, 10, 9, 10};
    const double sd[] = {1.3333333333333333, 1.1595018087284057, 1.4529663145135578,
                         1.1352924243950935};
    ASSERT_EQ(scale.items.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const ScaleItem& item = scale.items[i];
        EXPECT_NEAR(item.alphaIfDropped, dropped[i][0], 1e-13);
        EXPECT_NEAR(item.standardisedAlphaIfDropped, dropped[i][1], 1e-13);
        EXPECT_NEAR(item.correctedItemTotalR, rDrop[i], 1e-13);
        EXPECT_EQ(item.summary.n, n[i]);
        EXPECT_NEAR(item.summary.sd, sd[i], 1e-13);
    }
}

// Of two items psych's "alpha if dropped" is the other item's regression on it, and the
// standardised one their correlation.
TEST(ScaleReliability, TwoItemsAsPsychGivesThem) {
    const std::vector<double> a{4, 3, 5, 2, 4, NA, 3, 5, 1, 4};
    const std::vector<double> b{5, 3, 4, 2, 3, 2, 3, 5, 2, 4};
    const ScaleReliability scale = AnalyseScale({a, b});
    EXPECT_NEAR(scale.alpha, 0.90019569471624261, 1e-13);
    EXPECT_NEAR(scale.standardisedAlpha, 0.90501221204629134, 1e-13);
    EXPECT_NEAR(scale.meanInterItemR, 0.82650438845309893, 1e-13);
    EXPECT_NEAR(scale.items[0].alphaIfDropped, 0.9504132231404957, 1e-13);
    EXPECT_NEAR(scale.items[1].alphaIfDropped, 0.71875, 1e-13);
    for (const ScaleItem& item : scale.items) {
        EXPECT_NEAR(item.standardisedAlphaIfDropped, 0.82650438845309904, 1e-13);
        EXPECT_NEAR(item.correctedItemTotalR, 0.82650438845309904, 1e-13);
    }
}

// psych::alpha stops ("missing values (NAs) in the correlation matrix") when two items share
// fewer than two cases; so the key has no figure of the scale.
TEST(ScaleReliability, ItemsWithoutTwoCasesInCommonHaveNoReliability) {
    const std::vector<double> a{1, 2, NA, NA};
    const std::vector<double> b{NA, 3, 4, 5};
    const std::vector<double> c{2, 3, 3, 1};
    const ScaleReliability scale = AnalyseScale({a, b, c});
    EXPECT_TRUE(std::isnan(scale.alpha));
    EXPECT_TRUE(std::isnan(scale.meanScore.mean));
    ASSERT_EQ(scale.items.size(), 3u);
    EXPECT_TRUE(std::isnan(scale.items[0].correctedItemTotalR));
    EXPECT_EQ(scale.items[1].summary.n, 3);
}

// An item whose present scores are all alike: psych leaves it out of the scale (its figures
// NA) but counts its first case's score in each case's mean, as psych::alpha gives it.
TEST(ScaleReliability, AnItemWithoutVarianceIsLeftOutAsPsychLeavesIt) {
    const std::vector<double> a{1, 2, 3, 4, 5, 2, NA, 4};
    const std::vector<double> b{3, 3, 3, NA, 3, 3, 3, 3};
    const std::vector<double> c{2, 2, 4, 5, 4, 1, 3, NA};
    const std::vector<double> d{1, 3, 2, 5, 5, 2, 2, 3};
    const ScaleReliability scale = AnalyseScale({a, b, c, d});
    EXPECT_NEAR(scale.alpha, 0.93950177935943058, 1e-13);
    EXPECT_NEAR(scale.standardisedAlpha, 0.93986714481878375, 1e-13);
    EXPECT_NEAR(scale.meanInterItemR, 0.83896805563629562, 1e-13);
    EXPECT_NEAR(scale.meanScore.mean, 2.96875, 1e-13);
    EXPECT_NEAR(scale.meanScore.sd, 0.94195370677878099, 1e-13);
    EXPECT_NEAR(scale.items[0].correctedItemTotalR, 0.96249351280059836, 1e-13);
    EXPECT_NEAR(scale.items[2].alphaIfDropped, 0.94117647058823528, 1e-13);
    EXPECT_NEAR(scale.items[3].standardisedAlphaIfDropped, 0.94736842105263164, 1e-13);
    EXPECT_TRUE(std::isnan(scale.items[1].correctedItemTotalR));
    EXPECT_TRUE(std::isnan(scale.items[1].alphaIfDropped));
    EXPECT_EQ(scale.items[1].summary.n, 7);
    // One varying item is no scale.
    const ScaleReliability one = AnalyseScale({a, b});
    EXPECT_TRUE(std::isnan(one.alpha));
    EXPECT_TRUE(std::isnan(one.items[0].correctedItemTotalR));
}

}  // namespace
}  // namespace zek
