// Correlated variables keep the shape they were asked for: large samples with fixed seeds,
// so that the bounds below hold for these draws and cannot flake.
#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/special_functions/beta.hpp>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/generate_data.h"
#include "support/runnable_setup.h"
#include "support/sample_moments.h"

namespace zek {
namespace {

using testing::Correlation;
using testing::RunnableSetup;
using testing::SetCorrelation;

constexpr int kCases = 20000;

// The largest distance between the sample's distribution function and the population's.
double KolmogorovDistance(std::vector<double> x, const std::function<double(double)>& cdf) {
    std::sort(x.begin(), x.end());
    const auto n = static_cast<double>(x.size());
    double distance = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double f = cdf(x[i]);
        distance = std::max(
            {distance, f - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - f});
    }
    return distance;
}

// The population distribution of a box: Normal, Uniform between its limits, or the Beta
// shape scaled to the box's mean and SD.
std::function<double(double)> PopulationCdf(const BoxParameters& box, int low, int high) {
    switch (box.distribution) {
        case DistributionKind::Uniform:
            return [box](double x) { return (x - box.minScore) / (box.maxScore - box.minScore); };
        case DistributionKind::SkewPos:
        case DistributionKind::SkewNeg: {
            const double p = box.distribution == DistributionKind::SkewPos ? low : high;
            const double q = box.distribution == DistributionKind::SkewPos ? high : low;
            const double mean = p / (p + q);
            const double sd = std::sqrt(p * q / ((p + q) * (p + q) * (p + q + 1)));
            return [=](double x) {
                const double unit = (x - box.mean) / box.sd * sd + mean;
                return unit <= 0.0 ? 0.0 : unit >= 1.0 ? 1.0 : boost::math::ibeta(p, q, unit);
            };
        }
        case DistributionKind::Normal:
        case DistributionKind::RandomlyChosen:
        case DistributionKind::Likert:  // not among the shapes tested here
            break;
    }
    return
        [box](double x) { return 0.5 * std::erfc(-(x - box.mean) / box.sd / std::numbers::sqrt2); };
}

class ShapedScoresTest : public ::testing::Test {
  protected:
    std::unique_ptr<GenerationTables> tables = std::make_unique<GenerationTables>();
    RandomStreams streams;

    std::vector<double> Column(const DataBlock& block, int column) const {
        std::vector<double> values;
        for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
            values.push_back(tables->generatedData.At(row, column));
        }
        return values;
    }

    // In every group or cell: each column has its box's shape, no value sits on a limit that
    // is the Uniform's own range, a skewed column keeps its skewness, and every pair its
    // asked correlation.
    void ExpectShapesAndCorrelations(GenerationSetup& setup) {
        RunRecord record;
        ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
        for (const DataBlock& block : LayoutOf(setup)) {
            ExpectShapesAndCorrelations(setup, block);
        }
    }

    void ExpectShapesAndCorrelations(const GenerationSetup& setup, const DataBlock& block) {
        const int n = setup.variableCount;
        std::vector<std::vector<double>> columns;
        for (int v = 0; v < n; ++v) {
            columns.push_back(Column(block, v));
            const BoxParameters& box = setup.Box(block.BoxOfColumn(v));
            SCOPED_TRACE("box " + std::to_string(block.BoxOfColumn(v)) + ", " +
                         DistributionCaption(box.distribution));
            EXPECT_LT(KolmogorovDistance(columns.back(),
                                         PopulationCdf(box, setup.betaLow, setup.betaHigh)),
                      0.012);
            if (box.distribution == DistributionKind::Uniform) {
                const auto onLimit = std::ranges::count_if(columns.back(), [&](double x) {
                    return x == box.minScore || x == box.maxScore;
                });
                EXPECT_LT(static_cast<double>(onLimit), 0.002 * block.rowCount);
            }
            if (box.distribution == DistributionKind::SkewPos ||
                box.distribution == DistributionKind::SkewNeg) {
                const double p = setup.betaLow;
                const double q = setup.betaHigh;
                const double skewness =
                    2.0 * (q - p) * std::sqrt(p + q + 1.0) / ((p + q + 2.0) * std::sqrt(p * q));
                const double sign = box.distribution == DistributionKind::SkewPos ? 1.0 : -1.0;
                EXPECT_NEAR(testing::Skewness(columns.back()), sign * skewness, 0.06);
            }
        }
        for (int i = 1; i <= n; ++i) {
            for (int j = i + 1; j <= n; ++j) {
                EXPECT_NEAR(Correlation(columns[static_cast<std::size_t>(i - 1)],
                                        columns[static_cast<std::size_t>(j - 1)]),
                            setup.correlations.full[i - 1][j - 1], 0.02)
                    << "r" << i << j;
            }
        }
    }
};

void SetShape(BoxParameters& box, DistributionKind shape) {
    box.distribution = shape;
    box.mean = 50.0;
    box.sd = 10.0;
    box.decimals = 3;
    if (shape == DistributionKind::Uniform) {
        box.minScore = 50.0 - std::sqrt(3.0) * 10.0;
        box.maxScore = 50.0 + std::sqrt(3.0) * 10.0;
    }
}

TEST_F(ShapedScoresTest, EveryPairOfShapesKeepsItsShapesAndItsCorrelation) {
    using enum DistributionKind;
    const std::pair<DistributionKind, DistributionKind> pairs[] = {
        {Uniform, Uniform}, {Uniform, Normal}, {Uniform, SkewPos},
        {SkewPos, SkewNeg}, {SkewNeg, Normal}, {SkewPos, SkewPos}};
    int seed = 400;
    for (const auto& [first, second] : pairs) {
        for (double r : {-0.6, 0.2, 0.5, 0.8}) {
            SCOPED_TRACE("r = " + std::to_string(r));
            GenerationSetup setup = RunnableSetup(DesignKind::Correlated2, ++seed, kCases);
            SetShape(setup.Box(1), first);
            SetShape(setup.Box(2), second);
            SetCorrelation(setup, 1, 2, r);
            ExpectShapesAndCorrelations(setup);
        }
    }
}

TEST_F(ShapedScoresTest, EightUniformVariablesStayFlatAtSevenTenths) {
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated8, 1804, kCases);
    for (int v = 1; v <= 8; ++v) {
        SetShape(setup.Box(v), DistributionKind::Uniform);
        setup.Box(v).minScore = 0.0;
        setup.Box(v).maxScore = 100.0;
        for (int k = v + 1; k <= 8; ++k) SetCorrelation(setup, v, k, 0.7);
    }
    ExpectShapesAndCorrelations(setup);
}

TEST_F(ShapedScoresTest, ShapesAndNormalsMixedInOneMatrix) {
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated4, 77, kCases);
    SetShape(setup.Box(1), DistributionKind::SkewNeg);
    SetShape(setup.Box(2), DistributionKind::SkewPos);
    SetShape(setup.Box(3), DistributionKind::Uniform);
    SetShape(setup.Box(4), DistributionKind::Normal);
    setup.betaLow = 1;
    setup.betaHigh = 10;
    SetCorrelation(setup, 1, 2, -0.29);
    SetCorrelation(setup, 2, 3, 0.4);
    SetCorrelation(setup, 3, 4, 0.5);
    SetCorrelation(setup, 1, 4, 0.2);
    ExpectShapesAndCorrelations(setup);
}

// Blocks whose shapes differ mix by different factors; each keeps its own shapes.
TEST_F(ShapedScoresTest, EachGroupOfATwoGroupDesignKeepsItsShapes) {
    GenerationSetup setup = RunnableSetup(DesignKind::TwoGroupsDV2, 9, kCases);
    const DataLayout layout = LayoutOf(setup);
    ASSERT_EQ(layout.blockCount, 2);
    const DistributionKind shapes[2][2] = {{DistributionKind::Uniform, DistributionKind::Normal},
                                           {DistributionKind::SkewPos, DistributionKind::SkewPos}};
    for (int b = 0; b < 2; ++b) {
        for (int v = 0; v < 2; ++v)
            SetShape(setup.Box(layout.blocks[b].BoxOfColumn(v)), shapes[b][v]);
    }
    SetCorrelation(setup, 1, 2, 0.8);
    ExpectShapesAndCorrelations(setup);
}

}  // namespace
}  // namespace zek
