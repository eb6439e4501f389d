// The answer key's figures against R's on fixed data: t.test, aov, lm with sum contrasts and
// drop1 (Type III), cor.test. The expected values were printed by R 4.2 and are kept here.
#include "stats/sample_tests.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <span>

namespace zek {
namespace {

constexpr double NA = kMissingValue;
// R's figures are printed to 12 significant digits; ours must agree to about 1e-9 relative.
void ExpectClose(double actual, double r) {
    EXPECT_NEAR(actual, r, 1e-9 * std::max(1.0, std::fabs(r)));
}

const std::vector<double> kGroupA{12.1, 14.3, 9.8, 11.0, 15.2, 13.3, 10.9};
const std::vector<double> kGroupB{8.2, 9.9, 7.4, 12.8, 6.1, 10.0, 9.3, NA, 5.5, 11.7, 8.8};

TEST(SampleTests, TwoGroupsWithUnequalNAndSdAsTTest) {
    const TwoGroupTests tests = CompareTwoGroups(kGroupA, kGroupB);
    ExpectClose(tests.studentT, 3.17619179311);
    ExpectClose(tests.studentDf, 15);
    ExpectClose(tests.studentP, 0.00626168198635);
    ExpectClose(tests.welchT, 3.26831901526);
    ExpectClose(tests.welchDf, 14.2485317926);
    ExpectClose(tests.welchP, 0.00549328538237);
    ExpectClose(tests.meanDifference, 3.40142857143);
    ExpectClose(tests.cohensD, 1.56524440452);
    EXPECT_EQ(Summarise(kGroupB).n, 10);
}

TEST(SampleTests, ThreeGroupsAsAov) {
    std::vector<double> b;
    for (double v : kGroupB) {
        if (!std::isnan(v)) b.push_back(v);
    }
    const OneWayAnova anova = AnalyseGroups({kGroupA, b, {4.4, 6.1, 5.9, 7.2, 5.0}});
    ExpectClose(anova.f, 16.5169712699);
    EXPECT_EQ(anova.dfBetween, 2);
    EXPECT_EQ(anova.dfWithin, 19);
    ExpectClose(anova.p, 6.97325015603e-05);
    ExpectClose(anova.etaSquared, 0.634853730612);
}

TEST(SampleTests, PairedScoresWithMissingValuesAsPairedTTest) {
    const PairedTest test = ComparePairs(std::vector<double>{10, 12, NA, 15, 11, 14, 13, 9},
                                         std::vector<double>{12, 13, 14, 17, NA, 15, 16, 10});
    EXPECT_EQ(test.n, 6);
    ExpectClose(test.t, -5);
    EXPECT_EQ(test.df, 5);
    ExpectClose(test.p, 0.00410471598005);
    ExpectClose(test.meanDifference, -1.66666666667);
    ExpectClose(test.r, 0.954007892458);
    ExpectClose(test.rP, 0.00312426798);
    ExpectClose(test.dz, -2.04124145232);
}

TEST(SampleTests, TwoByThreeWithUnequalCellsAsTypeThreeAnova) {
    const std::vector<double> y{5.1, 6.2, 5.8, 7.0, 6.5, 8.1, 7.7, 8.4,
                                9.0, 4.9, 5.5, 6.8, 7.9, 7.1, 9.5, 10.2};
    const int a[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2};
    const int b[] = {1, 1, 1, 2, 2, 3, 3, 3, 3, 1, 1, 2, 2, 2, 3, 3};
    std::vector<std::array<int, 3>> levels;
    for (int k = 0; k < 16; ++k) levels.push_back({a[k], b[k], 0});
    const FactorialAnova anova = AnalyseFactorial(y, levels, {2, 3});
    ExpectClose(anova.residualSumOfSquares, 2.71666666667);
    EXPECT_EQ(anova.residualDf, 10);
    ASSERT_EQ(anova.terms.size(), 3u);
    const struct {
        const char* name;
        double ss;
        int df;
        double f, p;
    } r[] = {{"A", 1.01563218391, 1, 3.73852337635, 0.0819547592486},
             {"B", 33.5953690476, 2, 61.8319675723, 2.34384444726e-06},
             {"A:B", 2.65736904762, 2, 4.89086327783, 0.0330125467013}};
    for (int t = 0; t < 3; ++t) {
        SCOPED_TRACE(r[t].name);
        ExpectClose(anova.terms[t].sumOfSquares, r[t].ss);
        EXPECT_EQ(anova.terms[t].df, r[t].df);
        ExpectClose(anova.terms[t].f, r[t].f);
        ExpectClose(anova.terms[t].p, r[t].p);
    }
    // Partial eta squared, SS / (SS + RSS) of drop1's table.
    ExpectClose(anova.terms[0].partialEtaSquared, 0.272119737612);
    ExpectClose(anova.terms[1].partialEtaSquared, 0.925185503560);
    ExpectClose(anova.terms[2].partialEtaSquared, 0.494482952645);
    EXPECT_EQ(anova.terms[2].factors, (std::vector<int>{0, 1}));
    EXPECT_EQ(anova.emptyCells, 0);
}

// A cell without scores leaves Type III undefined; lm() still fits the other cells, and its
// residual degrees of freedom count only those (R: 7, not 6).
TEST(SampleTests, AnEmptyCellLeavesTheTermsUndefinedAndTheResidualsOfTheOthers) {
    const std::vector<double> y{5.1, 6.2, 5.8, 7.0, 6.5, 8.1, 7.7, 4.9, 5.5, 6.8, 7.9};
    const int a[] = {1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2};
    const int b[] = {1, 1, 1, 2, 2, 3, 3, 2, 2, 2, 2};
    std::vector<std::array<int, 3>> levels;
    for (int k = 0; k < 11; ++k) levels.push_back({a[k], b[k], 0});
    const FactorialAnova anova = AnalyseFactorial(y, levels, {2, 3});
    EXPECT_EQ(anova.emptyCells, 2);
    EXPECT_EQ(anova.residualDf, 7);
    ExpectClose(anova.residualSumOfSquares, 6.2325);
    for (const AnovaTerm& term : anova.terms) {
        EXPECT_TRUE(std::isnan(term.sumOfSquares));
        EXPECT_TRUE(std::isnan(term.f));
        EXPECT_TRUE(std::isnan(term.p));
    }
}

// aov() drops a level without scores and keeps a level of one.
TEST(SampleTests, SingletonAndEmptyGroupsAsAov) {
    std::vector<std::vector<double>> groups{
        {10.1, 11.2, 9.8, 10.5, 10.9},
        {30.2},
        {20.1, 21.3, 19.8, 20.5, 22.0, 18.9, 20.7, 21.1, 19.5, 20.2, 20.9, 21.4}};
    OneWayAnova anova = AnalyseGroups(groups);
    EXPECT_EQ(anova.dfBetween, 2);
    EXPECT_EQ(anova.dfWithin, 15);
    ExpectClose(anova.f, 385.149373731);
    ExpectClose(anova.p, 1.28210223486e-13);
    ExpectClose(anova.etaSquared, 0.980898989017);

    anova = AnalyseGroups({{3.0, 3.6}, {5.1}, {}, {9.2}});
    EXPECT_EQ(anova.dfBetween, 2);
    EXPECT_EQ(anova.dfWithin, 1);
    ExpectClose(anova.f, 64.5208333333);
    ExpectClose(anova.p, 0.0876917498915);

    // One level with scores is no comparison, and no residual df leaves F undefined.
    EXPECT_TRUE(std::isnan(AnalyseGroups({{1.0, 2.0}, {}, {}}).f));
    EXPECT_TRUE(std::isnan(AnalyseGroups({{1.0}, {2.0}, {3.0}}).f));
}

TEST(SampleTests, StudentsTestTakesAGroupOfOneAndWelchsDoesNot) {
    const TwoGroupTests tests = CompareTwoGroups(std::vector<double>{3.2, 4.1}, std::vector{7.5});
    ExpectClose(tests.studentT, -4.93955230307);
    EXPECT_EQ(tests.studentDf, 1);
    ExpectClose(tests.studentP, 0.12716340588);
    EXPECT_TRUE(std::isnan(tests.welchT));
    EXPECT_TRUE(std::isnan(tests.welchDf));
    // Groups of one each, an empty group, constant groups: no test at all.
    for (const auto& [first, second] :
         std::vector<std::pair<std::vector<double>, std::vector<double>>>{
             {{1.0}, {2.0}}, {{1.0, 2.0}, {}}, {{NA, NA}, {1.0, 2.0, 3.0}}, {{4, 4}, {5, 5}}}) {
        const TwoGroupTests none = CompareTwoGroups(first, second);
        EXPECT_TRUE(std::isnan(none.studentT));
        EXPECT_TRUE(std::isnan(none.studentDf));
        EXPECT_TRUE(std::isnan(none.welchDf));
        EXPECT_TRUE(std::isnan(none.cohensD));
    }
}

TEST(SampleTests, OneSampleAgainstThePopulationMeanAsTTest) {
    const OneSampleTest test =
        CompareWithMean(std::vector<double>{52.1, 48.3, 55.0, 49.9, 51.2, 47.8, 53.3, NA}, 50.0);
    EXPECT_EQ(test.n, 7);
    ExpectClose(test.t, 1.09582462138);
    EXPECT_EQ(test.df, 6);
    ExpectClose(test.p, 0.315180161854);
    ExpectClose(test.meanDifference, 1.08571428571);
    ExpectClose(test.cohensD, 0.414182775532);
    // One score: t.test() refuses ("not enough 'x' observations"), so no figure at all.
    const OneSampleTest one = CompareWithMean(std::vector<double>{50.5}, 50.0);
    EXPECT_TRUE(std::isnan(one.t));
    EXPECT_TRUE(std::isnan(one.meanDifference));
}

// Scores near 1e6 that differ by thousandths: the mean difference and t keep their digits
// (R's mean(x) - mu gives 0.000583333312534 and t 0.770207953409; the exact figures of
// these doubles, by rational arithmetic, are 0.000583333331936 and 0.770207979027).
TEST(SampleTests, LargeScoresWithSmallDifferencesKeepTheirDigits) {
    const std::vector<double> x{1000000.001, 1000000.002, 999999.999,
                                1000000.003, 999999.998,  1000000.0005};
    const OneSampleTest test = CompareWithMean(x, 1e6);
    EXPECT_NEAR(test.meanDifference, 0.0005833333319363495, 1e-12 * 0.000583);
    EXPECT_NEAR(test.t, 0.77020797902690816, 1e-9);
}

// Scores alike in every cell leave no error to test against: R's drop1 prints noise over
// noise (F 1, p 0.3739 for eight 7s); the key says NA. So do cells each constant at their
// own mean, whose residuals are rounding noise alone.
TEST(SampleTests, WithoutErrorBeyondRoundingAFactorialEffectIsUndefined) {
    std::vector<std::array<int, 3>> levels;
    for (int k = 0; k < 8; ++k) levels.push_back({1 + (k / 2) % 2, 1 + k % 2, 0});
    for (const std::vector<double>& y :
         {std::vector<double>(8, 7.0), std::vector<double>{3, 4, 6, 8, 3, 4, 6, 8}}) {
        const FactorialAnova anova = AnalyseFactorial(y, levels, {2, 2});
        ASSERT_EQ(anova.terms.size(), 3u);
        for (const AnovaTerm& term : anova.terms) {
            EXPECT_TRUE(std::isnan(term.f)) << term.f;
            EXPECT_TRUE(std::isnan(term.p));
            EXPECT_TRUE(std::isnan(term.partialEtaSquared));
        }
        EXPECT_LT(anova.residualSumOfSquares, 1e-20);
    }
}

// A level of a factor without any score: lm() refuses the model, so there are no residuals
// to report either.
TEST(SampleTests, AFactorLevelWithoutScoresLeavesNoResiduals) {
    const std::vector<double> y{5.1, 6.2, NA, NA, 4.9, 5.5, NA, NA};
    std::vector<std::array<int, 3>> levels;
    for (int k = 0; k < 8; ++k) levels.push_back({1 + k / 4, 1 + (k / 2) % 2, 0});
    const FactorialAnova anova = AnalyseFactorial(y, levels, {2, 2});
    EXPECT_TRUE(std::isnan(anova.residualSumOfSquares));
    EXPECT_TRUE(std::isnan(anova.residualDf));
}

TEST(SampleTests, ThreePredictorsAsLm) {
    const std::vector<double> y{61.2, 70.4, 55.9, 80.1, 66.3, 72.8,
                                58.4, 77.0, 69.5, 63.1, 74.2, 81.9};
    const std::vector<double> x1{150, 172, 140, 190, 160, 175, 148, 185, NA, 155, 178, 195};
    const std::vector<double> x2{1800, 2100, 1600, 2500, 1900, 2200,
                                 1700, 2400, 2000, 1850, 2300, 2600};
    const std::vector<double> x3{28, 31, 25, 36, 30, 33, 27, 35, 31, 29, 34, 37};
    const RegressionFit fit = FitRegression(y, {x1, x2, x3});
    EXPECT_EQ(fit.n, 11);
    const double r[4][4] = {{-7.88470323219, 6.40123636099, -1.23174692943, 0.257812867439},
                            {0.322113558231, 0.112441488865, 2.86472156748, 0.0241737768495},
                            {0.000340768880587, 0.00704075369136, 0.0483994889645, 0.962749840862},
                            {0.709986185894, 0.445718814928, 1.59290153818, 0.155210300079}};
    ASSERT_EQ(fit.coefficients.size(), 4u);
    for (int c = 0; c < 4; ++c) {
        ExpectClose(fit.coefficients[c].estimate, r[c][0]);
        ExpectClose(fit.coefficients[c].se, r[c][1]);
        ExpectClose(fit.coefficients[c].t, r[c][2]);
        ExpectClose(fit.coefficients[c].p, r[c][3]);
    }
    ExpectClose(fit.rSquared, 0.996906369533);
    ExpectClose(fit.adjustedRSquared, 0.995580527904);
    ExpectClose(fit.f, 751.90456222);
    EXPECT_EQ(fit.dfModel, 3);
    EXPECT_EQ(fit.dfResidual, 7);
    ExpectClose(fit.p, 3.82946794534e-09);
}

TEST(SampleTests, CorrelationsWithPairwiseMissingValuesAsCorTest) {
    const std::vector<double> v1{1.2, 2.3, 3.1, NA, 5.0, 6.2, 7.1, 8.4, 9.0, 10.3};
    const std::vector<double> v2{2.1, NA, 3.9, 4.2, 6.1, 5.8, 8.0, 8.1, 10.2, 9.9};
    const std::vector<double> v3{9.0, 8.2, NA, 6.1, 5.5, 4.0, 3.8, NA, 1.9, 1.2};
    const CorrelationTest r12 = Correlate(v1, v2);
    EXPECT_EQ(r12.n, 8);
    ExpectClose(r12.r, 0.97457751597);
    ExpectClose(r12.p, 4.0297331042e-05);
    const CorrelationTest r13 = Correlate(v1, v3);
    EXPECT_EQ(r13.n, 7);
    ExpectClose(r13.r, -0.995698847602);
    ExpectClose(r13.p, 2.32495464562e-06);
    const CorrelationTest r23 = Correlate(v2, v3);
    ExpectClose(r23.r, -0.963053206572);
    ExpectClose(r23.p, 0.00049402068465);
}

// cor() has no value for fewer than two pairs or a constant variable; cor.test() no p below
// three pairs. A key that printed r 0 and p 0 read as "highly significant".
TEST(SampleTests, CorrelationsOverTooFewPairsAreUndefined) {
    for (const auto& [x, y] : std::vector<std::pair<std::vector<double>, std::vector<double>>>{
             {{}, {}}, {{1.0, NA}, {NA, 2.0}}, {{1.0, 2.0}, {NA, 3.0}}, {{1, 2, 3}, {4, 4, 4}}}) {
        const CorrelationTest test = Correlate(x, y);
        EXPECT_TRUE(std::isnan(test.r));
        EXPECT_TRUE(std::isnan(test.p));
    }
    const CorrelationTest two = Correlate(std::vector<double>{1.0, 2.0}, std::vector{5.0, 3.0});
    EXPECT_EQ(two.r, -1.0);
    EXPECT_TRUE(std::isnan(two.p));
    const PairedTest paired = ComparePairs(std::vector<double>{1.0, NA}, std::vector{2.0, 3.0});
    EXPECT_EQ(paired.n, 1);
    EXPECT_TRUE(std::isnan(paired.t));
    EXPECT_TRUE(std::isnan(paired.r));
}

// The skipping loop the sweep over all pairs stands in for, written the plain way.
double SkippingCorrelation(const std::vector<double>& x, const std::vector<double>& y) {
    int n = 0;
    double sumX = 0.0, sumY = 0.0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (std::isnan(x[k]) || std::isnan(y[k])) continue;
        ++n;
        sumX += x[k];
        sumY += y[k];
    }
    const double meanX = sumX / n, meanY = sumY / n;
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (std::isnan(x[k]) || std::isnan(y[k])) continue;
        sxx += (x[k] - meanX) * (x[k] - meanX);
        syy += (y[k] - meanY) * (y[k] - meanY);
        sxy += (x[k] - meanX) * (y[k] - meanY);
    }
    return std::clamp(sxy / std::sqrt(sxx * syy), -1.0, 1.0);
}

// Eight columns with a fifth of their scores missing, signed zeros among them, and values
// of very different sizes, so that any change in the order or the set of the sums shows in
// the last bits.
TEST(SampleTests, EveryPairAtOnceHasTheBitsOfEachPairOnItsOwn) {
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<std::vector<double>> columns(8);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        for (int k = 0; k < 5000; ++k) {
            const double u = uniform(random);
            double value = std::ldexp(uniform(random), static_cast<int>(c) * 7 - 20);
            if (u < -0.6) value = NA;
            if (u > 0.97) value = -0.0;
            if (u > 0.99) value = 0.0;
            columns[c].push_back(value);
        }
    }
    const std::vector<std::span<const double>> spans(columns.begin(), columns.end());
    const std::vector<CorrelationTest> tests = CorrelateEveryPair(spans);
    ASSERT_EQ(tests.size(), 28u);
    std::size_t pair = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        for (std::size_t j = i + 1; j < columns.size(); ++j, ++pair) {
            const double expected = SkippingCorrelation(columns[i], columns[j]);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(tests[pair].r),
                      std::bit_cast<std::uint64_t>(expected))
                << i << ", " << j;
            const CorrelationTest alone = Correlate(columns[i], columns[j]);
            EXPECT_EQ(alone.n, tests[pair].n);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(alone.p),
                      std::bit_cast<std::uint64_t>(tests[pair].p));
        }
    }
}

// lm() pivots a constant predictor out (NA) and keeps the intercept; the rank sets the
// degrees of freedom.
TEST(SampleTests, AnAliasedPredictorIsNotEstimatedAsLm) {
    const std::vector<double> y{3.1, 4.5, 2.2, 6.0, 5.1};
    const RegressionFit fit =
        FitRegression(y, {std::vector<double>{1, 2, 3, 4, 5}, std::vector<double>{5, 5, 5, 5, 5},
                          std::vector<double>{2, 4, 6, 8.5, 9.1}});
    ASSERT_EQ(fit.coefficients.size(), 4u);
    ExpectClose(fit.coefficients[0].estimate, 2.242374854482);
    ExpectClose(fit.coefficients[0].se, 1.83936542483);
    ExpectClose(fit.coefficients[1].estimate, -1.185029103609);
    ExpectClose(fit.coefficients[1].p, 0.761523482950);
    EXPECT_TRUE(std::isnan(fit.coefficients[2].estimate));
    EXPECT_TRUE(std::isnan(fit.coefficients[2].se));
    ExpectClose(fit.coefficients[3].estimate, 0.927823050058);
    ExpectClose(fit.coefficients[3].t, 0.514662474395);
    ExpectClose(fit.rSquared, 0.402703783793);
    ExpectClose(fit.adjustedRSquared, -0.194592432414);
    ExpectClose(fit.f, 0.674211175069);
    EXPECT_EQ(fit.dfModel, 2);
    EXPECT_EQ(fit.dfResidual, 2);
    ExpectClose(fit.p, 0.597296216207);
}

// As many estimated coefficients as cases: R² 1, everything that needs residual df NaN.
TEST(SampleTests, ARegressionWithoutResidualDegreesOfFreedomAsLm) {
    const RegressionFit fit =
        FitRegression(std::vector<double>{1, 3, 2, NA},
                      {std::vector<double>{1, 2, 3, 4}, std::vector<double>{2, 1, 5, 6},
                       std::vector<double>{7, 1, 2, 0}});
    EXPECT_EQ(fit.n, 3);
    ExpectClose(fit.coefficients[0].estimate, 0.8);
    ExpectClose(fit.coefficients[1].estimate, 1.4);
    ExpectClose(fit.coefficients[2].estimate, -0.6);
    EXPECT_TRUE(std::isnan(fit.coefficients[3].estimate));
    for (const Coefficient& c : fit.coefficients) {
        EXPECT_TRUE(std::isnan(c.se));
        EXPECT_TRUE(std::isnan(c.t));
        EXPECT_TRUE(std::isnan(c.p));
    }
    EXPECT_EQ(fit.rSquared, 1.0);
    EXPECT_TRUE(std::isnan(fit.adjustedRSquared));
    EXPECT_TRUE(std::isnan(fit.f));
    EXPECT_EQ(fit.dfModel, 2);
    EXPECT_EQ(fit.dfResidual, 0);

    const RegressionFit none = FitRegression(std::vector<double>{NA}, {std::vector{1.0}});
    EXPECT_EQ(none.n, 0);
    EXPECT_TRUE(std::isnan(none.dfResidual));
    EXPECT_TRUE(std::isnan(none.coefficients[0].estimate));
}

}  // namespace
}  // namespace zek
