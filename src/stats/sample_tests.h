// The analyses a student runs on a generated dataset: descriptive figures, t tests, one-way
// and factorial ANOVA, regression and correlation tests, as R computes them by default
// (missing values left out, two-sided p values, sum-to-zero contrasts for Type III sums of
// squares). The answer key is made of these.
//
// A figure R leaves undefined for the data at hand (a t test of a group of one, a correlation
// over one pair, a coefficient whose column is aliased, anything over no degrees of freedom)
// is `kMissingValue` here; so is anything that would come out infinite. Degrees of freedom are
// doubles for that reason.
#pragma once

#include <array>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace zek {

/// A missing value in the vectors below, and an undefined figure in the results.
inline constexpr double kMissingValue = std::numeric_limits<double>::quiet_NaN();

/// pf(f, df1, df2, lower.tail = FALSE).
double UpperFP(double f, double df1, double df2);

struct Summary {
    int n = 0;
    double mean = kMissingValue;
    double sd = kMissingValue;  ///< divisor n - 1
};
Summary Summarise(std::span<const double> values);

/// t.test(x, mu = populationMean).
struct OneSampleTest {
    int n = 0;
    double meanDifference = kMissingValue;  ///< sample mean minus `populationMean`
    double t = kMissingValue, df = kMissingValue, p = kMissingValue;
    double cohensD = kMissingValue;  ///< the difference in sample SDs
};
OneSampleTest CompareWithMean(std::span<const double> values, double populationMean);

/// t.test(x, y, var.equal = TRUE) and t.test(x, y).
struct TwoGroupTests {
    double meanDifference = kMissingValue;  ///< first minus second
    double studentT = kMissingValue, studentDf = kMissingValue, studentP = kMissingValue;
    double welchT = kMissingValue, welchDf = kMissingValue, welchP = kMissingValue;
    double cohensD = kMissingValue;  ///< by the pooled SD
};
TwoGroupTests CompareTwoGroups(std::span<const double> first, std::span<const double> second);

/// anova(lm(y ~ group)): an empty group is no level of the factor.
struct OneWayAnova {
    double f = kMissingValue;
    double dfBetween = kMissingValue, dfWithin = kMissingValue;
    double p = kMissingValue;
    double etaSquared = kMissingValue;
};
OneWayAnova AnalyseGroups(const std::vector<std::vector<double>>& groups);

/// t.test(x, y, paired = TRUE) and cor.test(x, y) over the complete pairs.
struct PairedTest {
    int n = 0;  ///< complete pairs
    double meanDifference = kMissingValue, t = kMissingValue, df = kMissingValue;
    double p = kMissingValue;
    double dz = kMissingValue;  ///< the mean difference in SDs of the differences
    double r = kMissingValue, rP = kMissingValue;
};
PairedTest ComparePairs(std::span<const double> first, std::span<const double> second);

/// cor(x, y, use = "pairwise") and cor.test(x, y).
struct CorrelationTest {
    int n = 0;  ///< complete pairs
    double r = kMissingValue;
    double p = kMissingValue;
};
CorrelationTest Correlate(std::span<const double> x, std::span<const double> y);
/// `Correlate` of every pair i < j of equally long columns, in the order (0, 1), (0, 2), ...,
/// (1, 2), ...: one sweep over the rows for all of them, with the same figures as one by one.
/// At most eight columns.
std::vector<CorrelationTest> CorrelateEveryPair(std::span<const std::span<const double>> columns);

struct Coefficient {
    double estimate = kMissingValue, se = kMissingValue, t = kMissingValue, p = kMissingValue;
};
/// summary(lm(y ~ x1 + ...)) over the complete cases. A column that is aliased (constant,
/// collinear with the columns before it, or beyond the number of cases) has no estimate, as
/// lm() pivots it out; the rank decides the degrees of freedom.
struct RegressionFit {
    int n = 0;                              ///< complete cases
    std::vector<Coefficient> coefficients;  ///< the intercept, then each predictor
    double rSquared = kMissingValue, adjustedRSquared = kMissingValue, f = kMissingValue;
    double dfModel = kMissingValue, dfResidual = kMissingValue;
    double p = kMissingValue;
};
RegressionFit FitRegression(std::span<const double> outcome,
                            const std::vector<std::span<const double>>& predictors);

struct AnovaTerm {
    std::vector<int> factors;  ///< 0-based factors of the term: {0}, {1}, {0, 1}, ...
    double sumOfSquares = kMissingValue;
    double df = kMissingValue;
    double f = kMissingValue, p = kMissingValue;
    double partialEtaSquared = kMissingValue;
};
struct FactorialAnova {
    std::vector<AnovaTerm> terms;  ///< main effects, then interactions, as R orders them
    double residualSumOfSquares = kMissingValue;
    double residualDf = kMissingValue;
    /// Cells without a score: Type III tests are undefined while there is one.
    int emptyCells = 0;
};
/// Type III sums of squares of a full factorial model; `levels[k]` holds observation k's
/// level (1-based) of each of `levelCounts.size()` factors (2 or 3).
FactorialAnova AnalyseFactorial(std::span<const double> values,
                                const std::vector<std::array<int, 3>>& levels,
                                const std::vector<int>& levelCounts);

}  // namespace zek
