// The figures below are R 4's glm(y ~ ..., family = binomial) and its summary(), printed with
// 17 digits for the same data.
#include "stats/logistic_regression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace zek {
namespace {

constexpr double NA = kMissingValue;

void ExpectAsR(double actual, double expected, double tolerance, const std::string& what) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << what << " is " << actual << ", R has NA";
        return;
    }
    EXPECT_NEAR(actual, expected, tolerance * std::max(1.0, std::fabs(expected))) << what;
}

// Estimate, SE, z and p of each coefficient, as coef(summary(fit)) lists them.
void ExpectCoefficients(const LogisticFit& fit, const std::vector<double>& table,
                        double tolerance) {
    ASSERT_EQ(fit.coefficients.size() * 4, table.size());
    for (std::size_t c = 0; c < fit.coefficients.size(); ++c) {
        const std::string name = "coefficient " + std::to_string(c);
        ExpectAsR(fit.coefficients[c].estimate, table[4 * c], tolerance, name + " estimate");
        ExpectAsR(fit.coefficients[c].se, table[4 * c + 1], tolerance, name + " SE");
        ExpectAsR(fit.coefficients[c].t, table[4 * c + 2], tolerance, name + " z");
        ExpectAsR(fit.coefficients[c].p, table[4 * c + 3], tolerance, name + " p");
    }
}

TEST(LogisticRegression, TwoPredictorsWithMissingValuesAgreeWithGlm) {
    const std::vector<double> y{1, 0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 1, 0, 0, 0,
                                0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0, 0, 1, 0, 1, 0, 1, 1};
    const std::vector<double> x1{72.9, 38.0, 43.1, 45.9, 40.3, 40.5, 57.5, 48.8, 51.5, 71.9,
                                 53.6, 77.2, 72.8, 53.2, 69.0, 54.7, 41.1, 46.9, 50.0, 59.9,
                                 58.4, 57.1, 63.1, 36.1, 62.7, 51.8, 57.5, 55.9, 40.2, 47.2,
                                 41.3, 57.2, 51.1, 49.2, 45.8, 44.4, 60.0, 38.9, 48.6, 53.1};
    const std::vector<double> x2{1.22,  -0.70, NA,    -1.31, -0.39, -0.40, 1.35,  0.59,
                                 0.10,  0.93,  -0.26, -0.01, 0.37,  1.71,  0.72,  0.48,
                                 NA,    0.32,  0.17,  -0.90, 0.08,  0.16,  0.54,  0.70,
                                 0.32,  1.11,  0.77,  1.15,  1.26,  0.70,  0.43,  -0.92,
                                 -0.62, -0.87, -1.64, -1.33, -0.89, -0.56, -0.06, 2.42};
    const LogisticFit fit = FitLogistic(y, {x1, x2});
    EXPECT_EQ(fit.n, 38);
    ExpectCoefficients(fit,
                       {-7.5693359564025168851, 2.9108432886710136067, -2.6003928091430865699,
                        0.0093117104660276773, 0.1437922828547952003, 0.0554810717374791332,
                        2.5917358542599888693, 0.0095493060192870707, 0.7871954820804942798,
                        0.4938026248544620245, 1.5941500560320100988, 0.1109024297388781222},
                       1e-9);
    ExpectAsR(fit.nullDeviance, 52.573873912783753, 1e-12, "null deviance");
    ExpectAsR(fit.nullDf, 37, 0, "null df");
    ExpectAsR(fit.residualDeviance, 36.154672612516208, 1e-12, "residual deviance");
    ExpectAsR(fit.residualDf, 35, 0, "residual df");
    ExpectAsR(fit.aic, 42.154672612516208, 1e-12, "AIC");
    EXPECT_EQ(fit.iterations, 5);
    EXPECT_TRUE(fit.converged);
}

// A separated outcome runs to R's 25 iterations, where the estimate and its SE are whatever
// the 25th step left: only the same steps give R's numbers.
TEST(LogisticRegression, ASeparatedOutcomeStopsWhereGlmStops) {
    const std::vector<double> y{0, 0, 0, 0, 1, 1, 1, 1};
    const std::vector<double> x{1, 2, 3, 4, 5, 6, 7, 8};
    const LogisticFit fit = FitLogistic(y, {x});
    ExpectCoefficients(fit,
                       {-2.0612214382731412e+02, 3.6513089425460686e+05, -5.6451575878864013e-04,
                        9.9954958161565566e-01, 4.5804920848838854e+01, 8.0643895267414628e+04,
                        5.6798993522014327e-04, 9.9954680962436393e-01},
                       1e-6);
    ExpectAsR(fit.nullDeviance, 1.1090354888959125e+01, 1e-12, "null deviance");
    ExpectAsR(fit.residualDeviance, 4.5253312206055372e-10, 1e-6, "residual deviance");
    EXPECT_EQ(fit.iterations, 25);
}

TEST(LogisticRegression, AnAliasedPredictorHasNoEstimateAndLeavesTheRank) {
    const std::vector<double> y{0, 1, 0, 0, 1, 0, 1, 1};
    const std::vector<double> x{1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<double> twice{2, 4, 6, 8, 10, 12, 14, 16};
    const LogisticFit fit = FitLogistic(y, {x, twice});
    ExpectCoefficients(fit,
                       {-1.94940664496925908, 1.86108616086248890, -1.04745641871080242,
                        0.29488912236041909, 0.43320147665983544, 0.37486556485585437,
                        1.15561821963138378, 0.24783735223105949, NA, NA, NA, NA},
                       1e-9);
    ExpectAsR(fit.residualDeviance, 9.4692387155598947, 1e-12, "residual deviance");
    ExpectAsR(fit.residualDf, 6, 0, "residual df");
    ExpectAsR(fit.aic, 13.4692387155598947, 1e-12, "AIC");

    const LogisticFit nothing = FitLogistic(std::vector<double>{NA, NA}, {});
    EXPECT_EQ(nothing.n, 0);
    EXPECT_TRUE(std::isnan(nothing.coefficients[0].estimate));
}

}  // namespace
}  // namespace zek
