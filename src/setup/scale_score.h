// A scale's score as a column of its own after the items: each case's sum or mean of the
// items as the data file writes them, every reverse-keyed item reversed first, as a student
// would compute it. A case with a missing item has no score, as R's rowSums and rowMeans
// give it.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

#include "setup/generation_setup.h"

namespace zek {

class ScaleScoreColumn {
  public:
    /// The column of `setup`: none unless the correlated variables are a scale's items with a
    /// score asked for, in one row per case.
    static std::optional<ScaleScoreColumn> Of(const GenerationSetup& setup);

    /// "scale_sum" or "scale_mean": the key of the user's name for it.
    std::string defaultName() const;
    /// The items' most decimals for a sum; two more for a mean.
    int decimals() const { return decimals_; }
    /// The score of a case from its items as written; NaN where one of them is NaN.
    double ScoreOf(std::span<const double> items) const;

  private:
    ScaleScoreColumn() = default;

    ScaleScore kind_ = ScaleScore::Sum;
    int items_ = 0;
    int decimals_ = 0;
    /// The sum that reverses each item (its lowest and highest score), or none for an item
    /// kept as it is.
    std::array<std::optional<double>, kMaxVariables> reversingSums_{};
};

}  // namespace zek
