#include "engine/binary_outcome.h"

#include <gtest/gtest.h>

#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "engine/generate_data.h"
#include "support/runnable_setup.h"
#include "support/sample_moments.h"

namespace zek {
namespace {

using testing::RunnableSetup;
using testing::SetCorrelation;

class BinaryOutcomeTest : public ::testing::Test {
  protected:
    std::unique_ptr<GenerationTables> tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;

    // Column `column` of the cases whose outcome and column are both present.
    std::vector<double> Present(const GenerationSetup& setup, int column) const {
        std::vector<double> values;
        for (int row = 0; row < setup.totalCases; ++row) {
            if (tables->generatedData.At(row, 0) == MissingMark) continue;
            values.push_back(tables->generatedData.At(row, column));
        }
        return values;
    }
};

TEST(LatentCut, IsTheNormalQuantileOfTheObservedLatentScore) {
    // qnorm(0.7) and qnorm(0.975) in R, to its 17 digits.
    EXPECT_NEAR(LatentCut(0.3, 1.0), 0.52440051270804067, 1e-15);
    EXPECT_NEAR(LatentCut(0.025, 1.0), 1.9599639845400538, 1e-15);
    EXPECT_NEAR(LatentCut(0.9, 1.0), -1.2815515655446004, 1e-15);
    // Measurement error widens the observed latent score, and the cut with it.
    EXPECT_NEAR(LatentCut(0.3, 0.8), 0.52440051270804067 / std::sqrt(0.8), 1e-14);
    EXPECT_EQ(LatentCut(0.0, 1.0), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LatentCut(1.0, 1.0), -std::numeric_limits<double>::infinity());
}

// At N 20,000 the share of 1s is within four standard errors of the asked one, and each
// predictor's point-biserial correlation with the outcome is the latent correlation r times
// phi(z) / sqrt(p (1 - p)) at the cut z, within four standard errors of a correlation.
TEST_F(BinaryOutcomeTest, OnesFollowTheAskedShareAndThePredictorsTheLatentCorrelations) {
    for (const double percent : {30.0, 50.0, 8.0}) {
        SCOPED_TRACE(percent);
        GenerationSetup setup = RunnableSetup(DesignKind::BinaryOutcome2, 1804, 20000);
        setup.Box(1).mean = percent;
        SetCorrelation(setup, 1, 2, 0.6);
        SetCorrelation(setup, 1, 3, -0.3);
        SetCorrelation(setup, 2, 3, 0.2);
        ASSERT_FALSE(GenerateData(setup, streams, *tables, record));

        const std::vector<double> outcome = Present(setup, 0);
        const double p = percent / 100.0;
        const double share = testing::Mean(outcome);
        EXPECT_NEAR(share, p, 4.0 * std::sqrt(p * (1 - p) / 20000));
        for (const double value : outcome) ASSERT_TRUE(value == 0.0 || value == 1.0);

        const double z = boost::math::quantile(boost::math::normal(), 1 - p);
        const double attenuation =
            boost::math::pdf(boost::math::normal(), z) / std::sqrt(p * (1 - p));
        for (const auto& [column, latentR] : {std::pair{1, 0.6}, std::pair{2, -0.3}}) {
            const double expected = latentR * attenuation;
            EXPECT_NEAR(testing::Correlation(outcome, Present(setup, column)), expected,
                        4.0 * (1 - expected * expected) / std::sqrt(20000.0));
        }
    }
}

// With exact statistics the present outcomes hold round(p m) 1s, missing values and few
// cases included, and the outcome is written as whole numbers.
TEST_F(BinaryOutcomeTest, ExactStatisticsGiveTheAskedCountOfOnes) {
    for (const auto& [percent, n] :
         {std::pair{12.5, 25}, std::pair{50.0, 7}, std::pair{99.0, 300}}) {
        SCOPED_TRACE(percent);
        GenerationSetup setup = RunnableSetup(DesignKind::BinaryOutcome1, 77, n);
        setup.Box(1).mean = percent;
        setup.exactStatistics = true;
        setup.missingPercent = 10;
        setup.missingFraction = 0.1;
        SetCorrelation(setup, 1, 2, 0.5);
        ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
        const std::vector<double> outcome = Present(setup, 0);
        double ones = 0;
        for (const double value : outcome) ones += value;
        EXPECT_EQ(ones, std::llround(percent / 100.0 * static_cast<double>(outcome.size())));
        EXPECT_EQ(DecimalsOf(setup, LayoutOf(setup).blocks[0], 0), 0);
    }
}

}  // namespace
}  // namespace zek
