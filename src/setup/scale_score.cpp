#include "setup/scale_score.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "setup/data_columns.h"
#include "setup/design_catalogue.h"

namespace zek {

std::optional<ScaleScoreColumn> ScaleScoreColumn::Of(const GenerationSetup& setup) {
    if (setup.scaleScore == ScaleScore::None || !TakesScaleItems(setup) ||
        WritesLongLayout(setup)) {
        return std::nullopt;
    }
    ScaleScoreColumn column;
    column.kind_ = setup.scaleScore;
    column.items_ = setup.variableCount;
    for (int item = 1; item <= column.items_; ++item) {
        const BoxParameters& box = setup.Box(item);
        const bool likert = box.distribution == DistributionKind::Likert;
        column.decimals_ = std::max(column.decimals_, likert ? 0 : box.decimals);
        if (setup.columnNames.Reversed(CorrelatedVariableName(item))) {
            column.reversingSums_[static_cast<std::size_t>(item - 1)] = ReversingSumOf(setup, item);
        }
    }
    if (column.kind_ == ScaleScore::Mean) column.decimals_ += 2;
    return column;
}

std::string ScaleScoreColumn::defaultName() const {
    return kind_ == ScaleScore::Sum ? "scale_sum" : "scale_mean";
}

double ScaleScoreColumn::ScoreOf(std::span<const double> items) const {
    double sum = 0.0;
    // Added in the items' order, so that every platform gets the same last bit.
    for (int item = 0; item < items_; ++item) {
        const double score = items[static_cast<std::size_t>(item)];
        if (std::isnan(score)) return std::numeric_limits<double>::quiet_NaN();
        const std::optional<double>& reversing = reversingSums_[static_cast<std::size_t>(item)];
        sum += reversing ? *reversing - score : score;
    }
    return kind_ == ScaleScore::Sum ? sum : sum / items_;
}

}  // namespace zek
