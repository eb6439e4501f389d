// The reliability of a scale of items as a course computes it with R's psych::alpha(items):
// covariances of every pair of items over the cases that have both (psych's "pairwise"),
// Cronbach's alpha from them (raw) and from their correlations (standardised), the mean
// inter-item correlation, and per item its corrected item-total correlation and the alphas
// of the scale without it. A reverse-keyed item is reversed before it comes here, as a student
// reverses it.
#pragma once

#include <span>
#include <vector>

#include "stats/sample_tests.h"

namespace zek {

struct ScaleItem {
    Summary summary;  ///< n, mean and SD over the item's present scores
    /// The item against the sum of the others (psych's r.drop).
    double correctedItemTotalR = kMissingValue;
    /// Raw and standardised alpha of the scale without the item.
    double alphaIfDropped = kMissingValue;
    double standardisedAlphaIfDropped = kMissingValue;
};

struct ScaleReliability {
    double alpha = kMissingValue;  ///< raw_alpha
    double standardisedAlpha = kMissingValue;
    double meanInterItemR = kMissingValue;  ///< average_r
    /// The mean score of each case over its present items, and its SD.
    Summary meanScore;
    std::vector<ScaleItem> items;
};

/// Two or more items of the same cases, NaN where a score is missing. Where two items have
/// fewer than two cases in common psych gives nothing, and every figure but the items' own
/// summaries is undefined.
ScaleReliability AnalyseScale(const std::vector<std::span<const double>>& items);

}  // namespace zek
