#include "engine/shaped_correlation.h"

#include <gtest/gtest.h>

#include <boost/math/special_functions/beta.hpp>
#include <cmath>
#include <numbers>
#include <vector>

namespace zek {
namespace {

constexpr DistributionKind kNormal = DistributionKind::Normal;
constexpr DistributionKind kUniform = DistributionKind::Uniform;
constexpr DistributionKind kSkewPos = DistributionKind::SkewPos;
constexpr DistributionKind kSkewNeg = DistributionKind::SkewNeg;

ShapeExpansion Expansion(DistributionKind shape, int low = 2, int high = 6) {
    return ShapeExpansion::Of(shape, low, high);
}

TEST(ShapeExpansionTest, ClosedFormsOfUniformAndNormalPairs) {
    const ShapeExpansion uniform = Expansion(kUniform);
    const ShapeExpansion normal = Expansion(kNormal);
    for (double rho = -1.0; rho <= 1.0; rho += 0.05) {
        EXPECT_NEAR(uniform.CorrelationAt(uniform, rho),
                    6.0 / std::numbers::pi * std::asin(rho / 2.0), 1e-9)
            << rho;
        EXPECT_NEAR(uniform.CorrelationAt(normal, rho), rho * std::sqrt(3.0 / std::numbers::pi),
                    1e-12)
            << rho;
        EXPECT_DOUBLE_EQ(normal.CorrelationAt(normal, rho), rho);
    }
}

TEST(ShapeExpansionTest, TheSeriesHoldsTheWholeVarianceOfEveryShape) {
    for (const auto& [low, high] : {std::pair{1, 1}, {1, 10}, {2, 6}, {2, 10}, {10, 10}}) {
        for (DistributionKind shape : {kUniform, kSkewPos, kSkewNeg}) {
            EXPECT_NEAR(Expansion(shape, low, high).ExplainedVariance(), 1.0, 1e-9)
                << "Beta(" << low << ", " << high << ") shape " << static_cast<int>(shape);
        }
    }
}

// The correlation of two shaped variables by direct integration over the bivariate normal
// density on a fine grid, which converges fast for functions this smooth: an oracle that
// shares nothing with the Hermite series.
double IntegratedCorrelation(DistributionKind a, DistributionKind b, int low, int high,
                             double rho) {
    constexpr int kPoints = 1201;
    constexpr double kReach = 9.0;
    const double step = 2.0 * kReach / (kPoints - 1);
    std::vector<double> ga(kPoints);
    std::vector<double> gb(kPoints);
    auto standardised = [&](DistributionKind shape, double z) {
        const double unit = shape == kNormal ? z : ShapedUnitDeviate(z, shape, low, high);
        if (shape == kNormal) return unit;
        if (shape == kUniform) return (unit - 0.5) * std::sqrt(12.0);
        const double p = shape == kSkewPos ? low : high;
        const double q = shape == kSkewPos ? high : low;
        return (unit - p / (p + q)) / std::sqrt(p * q / ((p + q) * (p + q) * (p + q + 1)));
    };
    for (int i = 0; i < kPoints; ++i) {
        const double z = -kReach + i * step;
        ga[static_cast<std::size_t>(i)] = standardised(a, z);
        gb[static_cast<std::size_t>(i)] = standardised(b, z);
    }
    const double scale = 1.0 - rho * rho;
    const double norm = 1.0 / (2.0 * std::numbers::pi * std::sqrt(scale));
    double sum = 0.0;
    for (int i = 0; i < kPoints; ++i) {
        const double x = -kReach + i * step;
        for (int j = 0; j < kPoints; ++j) {
            const double y = -kReach + j * step;
            const double density =
                norm * std::exp(-(x * x - 2 * rho * x * y + y * y) / (2 * scale));
            sum += ga[static_cast<std::size_t>(i)] * gb[static_cast<std::size_t>(j)] * density;
        }
    }
    return sum * step * step;
}

TEST(ShapeExpansionTest, ANegativeSkewIsThePositiveOneMirrored) {
    const ShapeExpansion mirrored = Expansion(kSkewPos, 2, 10).Mirrored();
    const ShapeExpansion direct = Expansion(kSkewNeg, 2, 10);
    const ShapeExpansion uniform = Expansion(kUniform);
    for (double rho : {-0.9, -0.3, 0.4, 1.0}) {
        EXPECT_NEAR(mirrored.CorrelationAt(direct, rho), direct.CorrelationAt(direct, rho), 1e-13);
        EXPECT_NEAR(mirrored.CorrelationAt(uniform, rho), direct.CorrelationAt(uniform, rho),
                    1e-13);
    }
}

TEST(ShapeExpansionTest, SkewedPairsAgreeWithDirectIntegration) {
    struct Case {
        DistributionKind a, b;
        int low, high;
    };
    for (const Case& c : {Case{kSkewPos, kSkewNeg, 2, 6}, Case{kSkewPos, kUniform, 1, 10},
                          Case{kSkewNeg, kNormal, 2, 10}, Case{kSkewPos, kSkewPos, 3, 7}}) {
        const ShapeExpansion a = Expansion(c.a, c.low, c.high);
        const ShapeExpansion b = Expansion(c.b, c.low, c.high);
        for (double rho : {-0.6, 0.2, 0.5, 0.8}) {
            EXPECT_NEAR(a.CorrelationAt(b, rho),
                        IntegratedCorrelation(c.a, c.b, c.low, c.high, rho), 1e-6)
                << static_cast<int>(c.a) << "/" << static_cast<int>(c.b) << " rho " << rho;
        }
    }
}

TEST(ShapeExpansionTest, TheNormalCorrelationGivesTheAskedOne) {
    const ShapeExpansion uniform = Expansion(kUniform);
    const ShapeExpansion skewed = Expansion(kSkewPos);
    const ShapeExpansion normal = Expansion(kNormal);
    for (double r : {-0.6, 0.2, 0.5, 0.8}) {
        const std::optional<double> rho = NormalCorrelationFor(uniform, uniform, r);
        ASSERT_TRUE(rho);
        EXPECT_NEAR(*rho, 2.0 * std::sin(std::numbers::pi * r / 6.0), 1e-9);
        const std::optional<double> mixed = NormalCorrelationFor(uniform, skewed, r);
        ASSERT_TRUE(mixed);
        EXPECT_NEAR(uniform.CorrelationAt(skewed, *mixed), r, 1e-12);
        EXPECT_EQ(NormalCorrelationFor(normal, normal, r), r) << "Normal pairs stay as asked";
    }
    EXPECT_EQ(NormalCorrelationFor(uniform, skewed, 0.0), 0.0);
}

TEST(ShapeExpansionTest, ShapesThatDifferCannotBeCorrelatedFully) {
    const ShapeExpansion uniform = Expansion(kUniform);
    const ShapeExpansion skewed = Expansion(kSkewPos);
    const ReachableCorrelations reach = ReachableOf(uniform, skewed);
    EXPECT_GT(reach.high, 0.9);
    EXPECT_LT(reach.high, 0.99);
    EXPECT_GT(reach.low, -0.99);
    EXPECT_FALSE(NormalCorrelationFor(uniform, skewed, 0.99));
    EXPECT_FALSE(NormalCorrelationFor(uniform, skewed, -0.99));
    // A skew and its mirror image fall short of -1 and 1 the other way round.
    const ReachableCorrelations mirrored = ReachableOf(skewed, Expansion(kSkewNeg));
    EXPECT_NEAR(mirrored.low, -1.0, 1e-9);
    EXPECT_LT(mirrored.high, 0.95);
}

TEST(ShapedUnitDeviateTest, TailsKeepTheirDigitsAndMirror) {
    for (double z : {-37.0, -8.0, -2.5, 0.0, 1.0, 8.0, 37.0}) {
        for (DistributionKind shape : {kUniform, kSkewPos, kSkewNeg}) {
            const double unit = ShapedUnitDeviate(z, shape, 2, 6);
            EXPECT_TRUE(unit >= 0.0 && unit <= 1.0) << z;
        }
        // Beta(6, 2) at p is 1 - Beta(2, 6) at 1 - p.
        EXPECT_NEAR(ShapedUnitDeviate(z, kSkewNeg, 2, 6),
                    1.0 - ShapedUnitDeviate(-z, kSkewPos, 2, 6), 1e-15)
            << z;
    }
    // Far in the upper tail the quantile still comes from the tail's own probability.
    const double upper = ShapedUnitDeviate(7.0, kSkewPos, 2, 6);
    const double tail = 0.5 * std::erfc(7.0 / std::numbers::sqrt2);
    EXPECT_NEAR(boost::math::ibetac(2.0, 6.0, upper) / tail, 1.0, 1e-10);
    EXPECT_LT(ShapedUnitDeviate(-1.0, kSkewPos, 2, 6), ShapedUnitDeviate(-0.999, kSkewPos, 2, 6));
}

}  // namespace
}  // namespace zek
