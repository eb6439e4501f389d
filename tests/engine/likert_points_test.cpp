#include "engine/likert_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "engine/category_draws.h"
#include "engine/generate_data.h"
#include "support/runnable_setup.h"
#include "support/sample_moments.h"

namespace zek {
namespace {

using testing::SetCorrelation;

// A box as the Run command leaves a Likert box of `points` points.
void MakeLikert(BoxParameters& box, int points, double mean, double sd) {
    box.distribution = DistributionKind::Likert;
    box.mean = mean;
    box.sd = sd;
    box.decimals = 0;
    box.minScore = 1;
    box.maxScore = points;
}

// pnorm(-1.5) and pnorm(-0.5) in R: a latent N(3, 1) on five points.
TEST(LikertPoints, SharesAreTheLatentNormalsProbabilitiesBetweenTheCuts) {
    const std::vector<double> shares = PointShares({3.0, 1.0}, 5);
    ASSERT_EQ(shares.size(), 5u);
    EXPECT_NEAR(shares[0], 0.06680720126885807, 1e-15);
    EXPECT_NEAR(shares[1], 0.3085375387259869 - 0.06680720126885807, 1e-15);
    EXPECT_NEAR(shares[2], 1 - 2 * 0.3085375387259869, 1e-15);
    EXPECT_NEAR(shares[4], 0.06680720126885807, 1e-15);
    const PointMoments moments = MomentsOfPoints({3.0, 1.0}, 5);
    double mean = 0, square = 0;
    for (int point = 1; point <= 5; ++point) {
        mean += point * shares[point - 1];
        square += point * point * shares[point - 1];
    }
    EXPECT_NEAR(moments.mean, mean, 1e-14);
    EXPECT_NEAR(moments.sd, std::sqrt(square - mean * mean), 1e-14);
    EXPECT_EQ(PointOf(1.49, 5), 1.0);
    EXPECT_EQ(PointOf(1.5, 5), 2.0);
    EXPECT_EQ(PointOf(-40.0, 5), 1.0);
    EXPECT_EQ(PointOf(7.2, 5), 5.0);
}

// Whatever latent score made a mean and SD, the one found for them gives them again.
TEST(LikertPoints, TheLatentFoundForAMeanAndSdGivesThem) {
    for (const int points : {3, 5, 7, 11}) {
        for (const double latentMean : {1.2, 2.0, 2.7, 0.5 * (points + 1), points - 0.4}) {
            for (const double latentSd : {0.3, 0.8, 1.5, 0.6 * points}) {
                const PointMoments asked = MomentsOfPoints({latentMean, latentSd}, points);
                const std::optional<LatentNormal> found =
                    LatentForPoints(asked.mean, asked.sd, points);
                ASSERT_TRUE(found.has_value()) << points << " " << latentMean << " " << latentSd;
                const PointMoments got = MomentsOfPoints(*found, points);
                EXPECT_NEAR(got.mean, asked.mean, 1e-10);
                EXPECT_NEAR(got.sd, asked.sd, 1e-10);
                EXPECT_NEAR(found->mean, latentMean, 1e-6 * points);
                EXPECT_NEAR(found->sd, latentSd, 1e-6 * points);
            }
        }
    }
}

// The SD at mean m runs from that of the two points around m to sqrt((m - 1)(k - m)), the
// SD of cases all on the end points; beyond either, and for means outside (1, k), nothing.
TEST(LikertPoints, AMeanAndSdTheScaleCannotHaveFindNoLatentScore) {
    const std::optional<SdReach> reach = SdReachAt(4.5, 5);
    ASSERT_TRUE(reach.has_value());
    EXPECT_NEAR(reach->lowest, 0.5, 0.005);
    EXPECT_NEAR(reach->highest, std::sqrt(3.5 * 0.5), 0.005);
    EXPECT_LE(reach->highest, std::sqrt(3.5 * 0.5));
    EXPECT_NEAR(SdReachAt(3.0, 7)->lowest, 0.0, 0.005);
    EXPECT_TRUE(LatentForPoints(4.5, 1.0, 5).has_value());
    EXPECT_FALSE(LatentForPoints(4.5, 1.4, 5).has_value());
    EXPECT_FALSE(LatentForPoints(4.5, 0.45, 5).has_value());
    for (const double mean : {1.0, 5.0, 0.2, 6.0}) {
        EXPECT_FALSE(SdReachAt(mean, 5).has_value()) << mean;
        EXPECT_FALSE(LatentForPoints(mean, 1.0, 5).has_value()) << mean;
    }
}

// At N 20,000 every point's share lies within four standard errors of its population share,
// for scales of 3, 5, 7 and 11 points over means and SDs across each scale, with measurement
// error (which the latent score takes) and the scores written as whole points.
TEST(LikertPoints, DrawnPointsFollowTheirShares) {
    const auto tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;
    struct Scale {
        int points;
        double mean, sd;
    };
    for (const Scale scale :
         {Scale{3, 2.0, 0.5}, Scale{3, 2.6, 0.6}, Scale{5, 3.8, 1.1}, Scale{5, 1.6, 0.9},
          Scale{7, 4.0, 1.5}, Scale{7, 5.5, 2.2}, Scale{11, 6.0, 2.0}, Scale{11, 8.5, 3.5}}) {
        SCOPED_TRACE(::testing::Message() << scale.points << " " << scale.mean << " " << scale.sd);
        GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups1, 2026, 20000);
        MakeLikert(setup.Box(1), scale.points, scale.mean, scale.sd);
        setup.reliability = 0.8;
        ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
        EXPECT_EQ(record.Box(1).shape, DistributionKind::Likert);
        const std::vector<double> shares =
            PointShares(*LatentForPoints(scale.mean, scale.sd, scale.points), scale.points);
        std::vector<int> counts(static_cast<std::size_t>(scale.points), 0);
        for (int row = 0; row < setup.totalCases; ++row) {
            const double point = tables->generatedData.At(row, 0);
            ASSERT_EQ(point, std::floor(point));
            ASSERT_TRUE(point >= 1 && point <= scale.points) << point;
            ++counts[static_cast<std::size_t>(point - 1)];
        }
        for (int k = 0; k < scale.points; ++k) {
            const double p = shares[static_cast<std::size_t>(k)];
            EXPECT_NEAR(counts[static_cast<std::size_t>(k)] / 20000.0, p,
                        4.0 * std::sqrt(p * (1 - p) / 20000.0) + 1e-9)
                << "point " << k + 1;
        }
    }
}

// Items of 3, 5, 7 and 11 points, and a positively skewed score, correlated with each other:
// at N 20,000 every asked Pearson correlation of the points is within 0.02.
TEST(LikertPoints, CorrelatedItemsKeepTheAskedCorrelationsOfTheirPoints) {
    const auto tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated5, 99, 20000);
    struct Item {
        int points;
        double mean, sd;
    };
    const Item items[] = {{3, 2.4, 0.7}, {5, 3.8, 1.1}, {7, 3.0, 1.8}, {11, 7.5, 2.5}};
    for (int box = 1; box <= 4; ++box) {
        const Item& item = items[box - 1];
        MakeLikert(setup.Box(box), item.points, item.mean, item.sd);
    }
    setup.Box(5).distribution = DistributionKind::SkewPos;
    const double asked[5][5] = {{1, 0.35, 0.3, 0.45, 0.3},
                                {0.35, 1, 0.4, 0.4, -0.2},
                                {0.3, 0.4, 1, 0.2, 0.25},
                                {0.45, 0.4, 0.2, 1, 0.35},
                                {0.3, -0.2, 0.25, 0.35, 1}};
    for (int i = 1; i <= 5; ++i) {
        for (int j = i + 1; j <= 5; ++j) SetCorrelation(setup, i, j, asked[i - 1][j - 1]);
    }
    const std::optional<GenerationRefusal> refusal = GenerateData(setup, streams, *tables, record);
    ASSERT_FALSE(refusal) << refusal->message << (refusal->help.empty() ? "" : refusal->help[0]);
    std::vector<std::vector<double>> columns(5);
    for (int row = 0; row < setup.totalCases; ++row) {
        for (int v = 0; v < 5; ++v) columns[v].push_back(tables->generatedData.At(row, v));
    }
    for (int i = 0; i < 5; ++i) {
        for (int j = i + 1; j < 5; ++j) {
            EXPECT_NEAR(testing::Correlation(columns[i], columns[j]), asked[i][j], 0.02)
                << "r" << i + 1 << j + 1;
        }
    }
}

// The squared distance of counts of points 1 .. k from a mean and an SD (n - 1).
double DistanceOf(const std::vector<std::int32_t>& counts, double mean, double sd) {
    std::vector<double> scores;
    for (std::size_t p = 0; p < counts.size(); ++p) {
        scores.insert(scores.end(), static_cast<std::size_t>(counts[p]),
                      static_cast<double>(p + 1));
    }
    return std::pow(testing::Mean(scores) - mean, 2) + std::pow(testing::Sd(scores) - sd, 2);
}

// The least distance of any counts of `cases` over `points` points, every one tried.
double LeastDistance(std::int32_t cases, int points, double mean, double sd) {
    std::vector<std::int32_t> counts(static_cast<std::size_t>(points), 0);
    double least = std::numeric_limits<double>::infinity();
    auto fill = [&](auto& self, int point, std::int32_t left) -> void {
        if (point == points - 1) {
            counts.back() = left;
            least = std::min(least, DistanceOf(counts, mean, sd));
            return;
        }
        for (std::int32_t k = 0; k <= left; ++k) {
            counts[static_cast<std::size_t>(point)] = k;
            self(self, point + 1, left - k);
        }
    };
    fill(fill, 0, cases);
    return least;
}

// Exact statistics: each group's points have the mean and SD nearest the asked ones that any
// counts of its present cases can have (every count tried), whatever the missing values leave.
TEST(LikertPoints, ExactStatisticsComeAsNearAsWholePointsAllow) {
    const auto tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 31, 20);
    MakeLikert(setup.Box(1), 5, 3.6, 1.1);
    MakeLikert(setup.Box(2), 7, 2.5, 1.4);
    setup.exactStatistics = true;
    setup.missingPercent = 10;
    setup.missingFraction = 0.1;
    ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
    for (int group = 0; group < 2; ++group) {
        const BoxParameters& box = setup.Box(group + 1);
        const int points = static_cast<int>(box.maxScore);
        std::vector<std::int32_t> counts(static_cast<std::size_t>(points), 0);
        std::int32_t present = 0;
        for (int row = 20 * group; row < 20 * (group + 1); ++row) {
            const double point = tables->generatedData.At(row, 0);
            if (point == MissingMark) continue;
            ++counts[static_cast<std::size_t>(point - 1)];
            ++present;
        }
        EXPECT_NEAR(DistanceOf(counts, box.mean, box.sd),
                    LeastDistance(present, points, box.mean, box.sd), 1e-12)
            << group;
    }
}

// A three-point item bunched at its floor cannot follow a Normal score all the way: the
// refusal names its reach, as for the other shapes.
TEST(LikertPoints, ACorrelationTheirPointsCannotReachIsRefusedWithTheirInterval) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated2, 1, 100);
    MakeLikert(setup.Box(1), 3, 1.2, 0.45);
    SetCorrelation(setup, 1, 2, 0.95);
    const std::optional<GenerationRefusal> refusal = RefusalBeforeScores(setup);
    ASSERT_TRUE(refusal.has_value());
    ASSERT_EQ(refusal->help.size(), 1u);
    EXPECT_NE(refusal->help[0].find("r12 = 0.95: Likert scores (box 1) and Normal scores (box 2) "
                                    "can only be correlated between -0."),
              std::string::npos)
        << refusal->help[0];
}

}  // namespace
}  // namespace zek
