// The figures below are R 4's, printed with 17 digits by chisq.test(), fisher.test() and
// cor() for the same tables.
#include "stats/categorical_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace zek {
namespace {

constexpr double NA = kMissingValue;

void ExpectAsR(double actual, double expected, const std::string& what) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << what << " is " << actual << ", R has none";
        return;
    }
    EXPECT_NEAR(actual, expected, 1e-10 * std::max(1.0, std::fabs(expected))) << what;
}

CountTable TwoByTwo(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
    CountTable table(2, 2);
    table.At(0, 0) = a;
    table.At(0, 1) = b;
    table.At(1, 0) = c;
    table.At(1, 1) = d;
    return table;
}

struct TwoByTwoCase {
    std::int64_t a, b, c, d;
    double pearson, pearsonP, yates, yatesP;
    double fisherP, oddsRatio, lower, upper;  // NA where R prints Inf
};

// Tables with a zero cell, a zero margin, ties and small and large odds ratios: the odds
// ratio and its interval are R's roots to the last digit only if every step of R's root
// finding is taken as R takes it.
TEST(CategoricalTests, TwoByTwoTablesAgreeWithChisqTestAndFisherTest) {
    const TwoByTwoCase cases[] = {
        {12, 5, 7, 9, 2.4305755196815575, 0.1189892055321448, 1.45599637881468391,
         0.22756821457580992, 0.16632006577356481, 2.97654727181380530, 0.59926248073703337,
         16.64548021646780640},
        {3, 0, 1, 6, 6.428571428571428825, 0.011229886652916696, 3.353174603174603252,
         0.067075538273915256, 0.033333333333333319, NA, 0.855484360074105110, NA},
        {0, 4, 5, 0, 9.0, 0.0026997960632601922, 5.40562500000000057, 0.02007196020054814,
         0.0079365079365079361, 0.0, 0.0, 0.5713140633011623004},
        {40, 12, 25, 33, 1.2972862681085495e+01, 3.1603843020470344e-04, 1.1611547529982547e+01,
         6.5543592973359567e-04, 4.3256575892634466e-04, 4.3368368619939419e+00,
         1.7917572571796039e+00, 1.1066021832125490e+01},
        {2, 9, 14, 1, 1.5143030303030304e+01, 9.9665547462919211e-05, 1.2134318181818182e+01,
         4.9502363489877291e-04, 0.00015738736966358478, 0.02115556606646100402,
         0.00034827527763520985, 0.25845314752597919883},
        {5, 5, 5, 5, 0.0, 1.0, 0.0, 1.0, 1.0, 1.0, 0.12589161533593668, 7.94334076444678239},
        // An empty first row: no chi-square, and the only possible table.
        {0, 0, 4, 6, NA, NA, NA, NA, 1.0, 0.0, 0.0, NA},
    };
    for (const TwoByTwoCase& wanted : cases) {
        const std::string table = std::to_string(wanted.a) + " " + std::to_string(wanted.b) +
                                  " / " + std::to_string(wanted.c) + " " + std::to_string(wanted.d);
        SCOPED_TRACE(table);
        const CountTable counts = TwoByTwo(wanted.a, wanted.b, wanted.c, wanted.d);
        const IndependenceTests tests = TestIndependence(counts);
        ExpectAsR(tests.pearson.statistic, wanted.pearson, "X^2");
        ExpectAsR(tests.pearson.p, wanted.pearsonP, "p");
        ExpectAsR(tests.yates.statistic, wanted.yates, "Yates' X^2");
        ExpectAsR(tests.yates.p, wanted.yatesP, "Yates' p");
        const FisherExactTest fisher = TestFisherExact(counts);
        ExpectAsR(fisher.p, wanted.fisherP, "Fisher's p");
        ExpectAsR(fisher.oddsRatio, wanted.oddsRatio, "odds ratio");
        ExpectAsR(fisher.lower, wanted.lower, "lower bound");
        ExpectAsR(fisher.upper, wanted.upper, "upper bound");
    }
}

TEST(CategoricalTests, PhiIsTheCorrelationOfTheCodesAndVTheScaledChiSquare) {
    const IndependenceTests tests = TestIndependence(TwoByTwo(12, 5, 7, 9));
    ExpectAsR(tests.phi, 0.27139234260883965, "phi");
    ExpectAsR(tests.cramersV, std::fabs(tests.phi), "V of a 2 x 2 table");

    CountTable threeByFour(3, 4);
    const std::int64_t counts[] = {10, 4, 7, 3, 12, 8, 6, 5, 9, 11, 2, 7};
    for (int cell = 0; cell < 12; ++cell) threeByFour.At(cell / 4, cell % 4) = counts[cell];
    const IndependenceTests larger = TestIndependence(threeByFour);
    ExpectAsR(larger.pearson.statistic, 7.44592688047235463, "X^2");
    ExpectAsR(larger.pearson.df, 6.0, "df");
    ExpectAsR(larger.pearson.p, 0.28156743024764008, "p");
    ExpectAsR(larger.cramersV, 0.21052551706656600, "V");
    ExpectAsR(larger.smallestExpected, 4.28571428571428559, "smallest expected count");
    EXPECT_TRUE(std::isnan(larger.yates.statistic)) << "R corrects only 2 x 2 tables";
    EXPECT_TRUE(std::isnan(larger.phi));

    // A category nobody chose leaves a row of zero expected counts: R's NaN.
    threeByFour.At(1, 0) = threeByFour.At(1, 1) = threeByFour.At(1, 2) = threeByFour.At(1, 3) = 0;
    const IndependenceTests emptyRow = TestIndependence(threeByFour);
    EXPECT_TRUE(std::isnan(emptyRow.pearson.statistic));
    EXPECT_TRUE(std::isnan(emptyRow.pearson.p));
    EXPECT_TRUE(std::isnan(emptyRow.cramersV));
    EXPECT_EQ(emptyRow.smallestExpected, 0.0);

    // Nothing counted: R stops, and there is no figure at all.
    EXPECT_TRUE(std::isnan(TestIndependence(CountTable(2, 3)).pearson.df));
}

TEST(CategoricalTests, GoodnessOfFitAgreesWithChisqTest) {
    const std::int64_t observed[] = {18, 25, 7, 10};
    const double proportions[] = {0.25, 0.4, 0.15, 0.2};
    const GoodnessOfFit fit = TestGoodnessOfFit(observed, proportions);
    ExpectAsR(fit.test.statistic, 1.41944444444444429, "X^2");
    ExpectAsR(fit.test.df, 3.0, "df");
    ExpectAsR(fit.test.p, 0.70098324207250107, "p");
    EXPECT_EQ(fit.expected, (std::vector<double>{15, 24, 9, 12}));
    EXPECT_EQ(fit.smallestExpected, 9.0);

    const std::int64_t none[] = {0, 0, 0, 0};
    EXPECT_TRUE(std::isnan(TestGoodnessOfFit(none, proportions).test.statistic));
}

}  // namespace
}  // namespace zek
