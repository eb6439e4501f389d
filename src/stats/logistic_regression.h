// Logistic regression as a course runs it: summary(glm(y ~ x1 + ..., family = binomial)) over
// the complete cases, fitted by R's own iteratively reweighted least squares (glm.fit with
// its start, its convergence rule and its limit of 25 iterations), so that a fit R stops
// early, as it does when the outcome is separated, stops here at the same step.
#pragma once

#include <span>
#include <vector>

#include "stats/sample_tests.h"

namespace zek {

struct LogisticFit {
    int n = 0;  ///< complete cases
    /// The intercept, then each predictor; `t` holds the z value. No estimate for a column
    /// glm() pivots out as aliased.
    std::vector<Coefficient> coefficients;
    double nullDeviance = kMissingValue, nullDf = kMissingValue;
    double residualDeviance = kMissingValue, residualDf = kMissingValue;
    double aic = kMissingValue;
    int iterations = 0;
    bool converged = false;
};

/// `outcome` holds 0 and 1, NaN where missing; so may the predictors.
LogisticFit FitLogistic(std::span<const double> outcome,
                        const std::vector<std::span<const double>>& predictors);

}  // namespace zek
