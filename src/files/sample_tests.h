// The analyses a student runs on a generated dataset: descriptive figures, t tests, one-way
// and factorial ANOVA, regression and correlation tests, as R computes them by default
// (missing values left out, two-sided p values, sum-to-zero contrasts for Type III sums of
// squares). The answer key is made of these.
#pragma once

#include <array>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace zek {

/// A missing value in the vectors below.
inline constexpr double kMissingValue = std::numeric_limits<double>::quiet_NaN();

struct Summary {
    int n = 0;
    double mean = 0.0;
    double sd = 0.0;  ///< divisor n - 1
};
Summary Summarise(std::span<const double> values);

struct TwoGroupTests {
    double meanDifference = 0.0;  ///< first minus second
    double studentT = 0.0, studentDf = 0.0, studentP = 0.0;
    double welchT = 0.0, welchDf = 0.0, welchP = 0.0;
    double cohensD = 0.0;  ///< by the pooled SD
};
TwoGroupTests CompareTwoGroups(std::span<const double> first, std::span<const double> second);

struct OneWayAnova {
    double f = 0.0;
    int dfBetween = 0, dfWithin = 0;
    double p = 0.0;
    double etaSquared = 0.0;
};
OneWayAnova AnalyseGroups(const std::vector<std::vector<double>>& groups);

struct PairedTest {
    int n = 0;  ///< complete pairs
    double meanDifference = 0.0, t = 0.0;
    int df = 0;
    double p = 0.0;
    double r = 0.0;
};
PairedTest ComparePairs(std::span<const double> first, std::span<const double> second);

struct CorrelationTest {
    int n = 0;  ///< complete pairs
    double r = 0.0;
    double p = 0.0;
};
CorrelationTest Correlate(std::span<const double> x, std::span<const double> y);

struct Coefficient {
    double estimate = 0.0, se = 0.0, t = 0.0, p = 0.0;
};
struct RegressionFit {
    int n = 0;                              ///< complete cases
    std::vector<Coefficient> coefficients;  ///< the intercept, then each predictor
    double rSquared = 0.0, adjustedRSquared = 0.0, f = 0.0;
    int dfModel = 0, dfResidual = 0;
    double p = 0.0;
};
RegressionFit FitRegression(std::span<const double> outcome,
                            const std::vector<std::span<const double>>& predictors);

struct AnovaTerm {
    std::string name;  ///< "A", "B", "A:B", ...
    double sumOfSquares = 0.0;
    int df = 0;
    double f = 0.0, p = 0.0;
};
struct FactorialAnova {
    std::vector<AnovaTerm> terms;  ///< main effects, then interactions, as R orders them
    double residualSumOfSquares = 0.0;
    int residualDf = 0;
};
/// Type III sums of squares of a full factorial model; `levels[k]` holds observation k's
/// level (1-based) of each of `levelCounts.size()` factors (2 or 3).
FactorialAnova AnalyseFactorial(std::span<const double> values,
                                const std::vector<std::array<int, 3>>& levels,
                                const std::vector<int>& levelCounts);

}  // namespace zek
