// The repeated-measures ANOVA a course teaches: one within factor (the occasions) crossed
// with up to two between factors, as R's afex::aov_ez(..., type = 3) and car::Anova on the
// multivariate model compute it. Cases with a missing score are left out, as R leaves them
// out; the key says how many remain.
//
// Each effect is a between term (the intercept, A, B, A:B, with sum-to-zero contrasts and
// Type III hypotheses) crossed with a within term (the occasions' mean, or their
// differences), tested on the scores transformed by an orthonormal basis of that within term.
#pragma once

#include <string>
#include <vector>

#include "stats/sample_tests.h"

namespace zek {

/// The scores of cases measured on the same occasions, in the cells of a between design.
struct RepeatedScores {
    int occasions = 2;
    /// Per case, a score per occasion; NaN where it is missing.
    std::vector<std::vector<double>> scores;
    /// Per case, its level (from 1) of the first and the second between factor.
    std::vector<int> levelA;
    std::vector<int> levelB;
    int levelsA = 1;  ///< 1: no first between factor
    int levelsB = 1;  ///< 1: no second between factor
    std::string nameA = "A";
    std::string nameB = "B";
    std::string nameWithin = "occasion";
};

/// One line of R's ANOVA table.
struct RepeatedEffect {
    std::string name;  ///< "occasion", "group", "group:occasion", ...
    bool within = false;
    double ss = kMissingValue, errorSs = kMissingValue;
    double df1 = kMissingValue, df2 = kMissingValue;
    double f = kMissingValue, p = kMissingValue;
    double partialEtaSquared = kMissingValue;
    double generalizedEtaSquared = kMissingValue;  ///< afex's ges, every factor manipulated
    // Within effects of three occasions or more; missing otherwise, as in R.
    double ggEpsilon = kMissingValue, ggP = kMissingValue;
    double hfEpsilon = kMissingValue, hfP = kMissingValue;  ///< p with the epsilon at most 1
    double mauchlyW = kMissingValue, mauchlyP = kMissingValue;
};

/// t.test(x, y, paired = TRUE) of two occasions over the complete cases.
struct OccasionComparison {
    int first = 0, second = 0;  ///< occasions from 1
    double meanDifference = kMissingValue, t = kMissingValue, df = kMissingValue;
    double p = kMissingValue;
    double holmP = kMissingValue;  ///< p.adjust(p, "holm") over every pair
};

struct RepeatedMeasuresAnova {
    int completeCases = 0;
    int casesLeftOut = 0;
    /// In R's order: the between terms, then the within term and its interactions.
    std::vector<RepeatedEffect> effects;
    /// (1, 2), (1, 3), ..., (2, 3), ...
    std::vector<OccasionComparison> comparisons;

    /// The effect named `name`, or null.
    const RepeatedEffect* Effect(const std::string& name) const;
};

RepeatedMeasuresAnova AnalyseRepeatedMeasures(const RepeatedScores& data);

}  // namespace zek
