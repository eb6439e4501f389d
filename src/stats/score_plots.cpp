#include "stats/score_plots.h"

#include <algorithm>
#include <boost/math/distributions/beta.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "engine/data_layout.h"
#include "engine/likert_points.h"
#include "engine/spreads.h"
#include "setup/data_columns.h"
#include "setup/design_catalogue.h"
#include "stats/sample_tests.h"

namespace zek {

namespace {

constexpr int kBins = 24;
constexpr int kCurvePoints = 120;

// The density of the box's shape at `score`, with the moments the engine scales it to.
double PopulationDensity(const BoxParameters& box, const DrawnBox& drawn,
                         const GenerationSetup& setup, double sd, double score) {
    switch (drawn.shape) {
        case DistributionKind::Normal:
        case DistributionKind::RandomlyChosen: {
            const double z = (score - box.mean) / sd;
            return std::exp(-0.5 * z * z) / (sd * std::sqrt(2.0 * std::numbers::pi));
        }
        case DistributionKind::Uniform:
            return score >= drawn.minScore && score <= drawn.maxScore
                       ? 1.0 / (drawn.maxScore - drawn.minScore)
                       : 0.0;
        case DistributionKind::SkewPos:
        case DistributionKind::SkewNeg: {
            const bool positive = drawn.shape == DistributionKind::SkewPos;
            const double p = positive ? setup.betaLow : setup.betaHigh;
            const double q = positive ? setup.betaHigh : setup.betaLow;
            const boost::math::beta_distribution<double> beta(p, q);
            const BetaMoments moments = BetaMomentsOf(setup);
            const double s = moments.sd;
            const double x =
                (score - box.mean) / sd * s + (positive ? moments.meanPos : moments.meanNeg);
            if (!(x > 0.0 && x < 1.0)) return 0.0;
            return boost::math::pdf(beta, x) * s / sd;
        }
        case DistributionKind::Likert:
            break;  // points, drawn as bars of their shares
    }
    return 0.0;
}

}  // namespace

namespace {

// Steps of the decimal grid per bin: at least `perBin`, and where the box has both limits,
// a number that divides the grid values between them if one does up to twice as many, so
// that the bar below the Max is as full as the others.
double StepsPerBin(const DrawnBox& drawn, double step, double perBin) {
    if (drawn.minScore == NoLimit || drawn.maxScore == NoLimit) return perBin;
    const double gridValues = std::round((drawn.maxScore - drawn.minScore) / step) + 1.0;
    if (!(gridValues < 1e9)) return perBin;
    for (double steps = perBin; steps <= 2.0 * perBin; ++steps) {
        if (std::fmod(gridValues, steps) == 0.0) return steps;
    }
    return perBin;
}

// The range covers the sample and the population's bulk, so the curve fits; within the
// limits where the box has them, as no score lies beyond (a Uniform box's axis runs from its
// Min to its Max).
std::pair<double, double> AxisOf(const BoxParameters& box, const DrawnBox& drawn, double sd,
                                 const std::vector<double>& values) {
    double low = box.mean - 3.0 * sd;
    double high = box.mean + 3.0 * sd;
    if (drawn.minScore != NoLimit) low = std::max(low, drawn.minScore);
    if (drawn.maxScore != NoLimit) high = std::min(high, drawn.maxScore);
    if (drawn.shape == DistributionKind::Uniform && drawn.minScore != NoLimit &&
        drawn.maxScore != NoLimit) {
        low = drawn.minScore;
        high = drawn.maxScore;
    }
    if (!values.empty()) {
        const auto [smallest, largest] = std::minmax_element(values.begin(), values.end());
        low = std::min(low, *smallest);
        high = std::max(high, *largest);
    }
    return {low, high};
}

// Whole points as bars, one a point from `lowest` on, under the line of the counts that the
// points' population shares expect: a binary outcome's 0s and 1s, a Likert box's points.
Histogram PointBars(Histogram histogram, const std::vector<double>& values,
                    const std::vector<double>& shares, int lowest) {
    const auto points = static_cast<int>(shares.size());
    histogram.low = lowest - 0.5;
    histogram.binWidth = 1.0;
    histogram.counts.assign(shares.size(), 0);
    for (double value : values) {
        const int bin = std::clamp(static_cast<int>(std::lround(value)) - lowest, 0, points - 1);
        ++histogram.counts[static_cast<std::size_t>(bin)];
    }
    histogram.curve.clear();
    for (int k = 0; k < points; ++k) {
        const double expected = shares[static_cast<std::size_t>(k)] * histogram.present;
        histogram.curve.push_back({lowest + k - 0.5, expected});
        histogram.curve.push_back({lowest + k + 0.5, expected});
    }
    return histogram;
}

// A binary outcome's 0s and 1s (its mean the share of 1s), or a Likert box's points.
Histogram PointBarsOf(const GenerationSetup& setup, int boxNumber, Histogram histogram,
                      const std::vector<double>& values) {
    const BoxParameters& box = setup.Box(boxNumber);
    if (setup.binaryOutcome && boxNumber == 1) {
        const double share = box.mean / 100.0;
        histogram.requestedMean = share;
        return PointBars(std::move(histogram), values, {1.0 - share, share}, 0);
    }
    const int points = PointsOf(box);
    const LatentNormal latent =
        LatentForPoints(box.mean, box.sd, points).value_or(LatentNormal{box.mean, box.sd});
    return PointBars(std::move(histogram), values, PointShares(latent, points), 1);
}

Histogram HistogramOf(const GeneratedRun& run, const DataBlock& block, int column,
                      const std::vector<std::vector<double>>& rows) {
    const GenerationSetup& setup = run.setup;
    const int boxNumber = block.BoxOfColumn(column);
    const BoxParameters& box = setup.Box(boxNumber);
    const DrawnBox& drawn = run.record.Box(boxNumber);
    Histogram histogram;
    histogram.box = boxNumber;
    histogram.requestedMean = box.mean;
    histogram.minScore = drawn.minScore;
    histogram.maxScore = drawn.maxScore;
    histogram.shape = drawn.shape;
    std::vector<double> values;
    for (int row = block.firstRow;
         row < block.firstRow + block.rowCount && row < static_cast<int>(rows.size()); ++row) {
        const double value = rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        if (std::isnan(value)) {
            ++histogram.missing;
        } else {
            values.push_back(value);
        }
    }
    histogram.present = static_cast<int>(values.size());
    histogram.actualMean = Summarise(values).mean;
    if ((setup.binaryOutcome && boxNumber == 1) || drawn.shape == DistributionKind::Likert) {
        return PointBarsOf(setup, boxNumber, std::move(histogram), values);
    }
    const double sd = SpreadsOf(box.sd, setup.reliability).observedSd;
    auto [low, high] = AxisOf(box, drawn, sd, values);
    if (!(high > low)) high = low + 1.0;
    // The scores are written with the box's decimals, so they take only the values of a grid
    // of that step. Bins of a whole number of steps, with edges midway between grid values,
    // hold equally many of them: otherwise some bins get one value more than their
    // neighbours and a flat sample shows a comb of taller bars.
    const double step = std::pow(10.0, -box.decimals);
    const double perBin = std::max(1.0, std::ceil((high - low) / kBins / step - 1e-9));
    const double width = StepsPerBin(drawn, step, perBin) * step;
    // With a Min the grid starts there, so that no bar straddles it.
    const double anchor = drawn.minScore != NoLimit ? drawn.minScore : low;
    const double anchorEdge = (std::floor(anchor / step + 0.5) - 0.5) * step;
    low = anchorEdge - std::ceil((anchorEdge - low) / width - 1e-9) * width;
    const int bins =
        std::clamp(static_cast<int>(std::ceil((high - low) / width - 1e-9)), 1, kBins + 1);
    high = low + bins * width;
    histogram.low = low;
    histogram.binWidth = width;
    histogram.counts.assign(static_cast<std::size_t>(bins), 0);
    for (double value : values) {
        const int bin =
            std::clamp(static_cast<int>(std::floor((value - low) / width)), 0, bins - 1);
        ++histogram.counts[static_cast<std::size_t>(bin)];
    }
    for (int k = 0; k <= kCurvePoints; ++k) {
        const double score = low + (high - low) * k / kCurvePoints;
        histogram.curve.push_back({score, PopulationDensity(box, drawn, setup, sd, score) *
                                              histogram.present * histogram.binWidth});
    }
    return histogram;
}

// Variables x and y over all rows, the points thinned evenly, each marked with its group.
ScatterPanel ScatterOf(const GenerationSetup& setup, const DataLayout& layout, int x, int y,
                       const std::vector<std::vector<double>>& rows, int step) {
    ScatterPanel panel;
    panel.x = x;
    panel.y = y;
    panel.requestedR =
        setup.correlations.full[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
    std::vector<double> xs, ys;
    for (const std::vector<double>& row : rows) {
        xs.push_back(row[static_cast<std::size_t>(x)]);
        ys.push_back(row[static_cast<std::size_t>(y)]);
    }
    panel.actualR = Correlate(xs, ys).r;
    int group = 0;
    for (const DataBlock& block : layout) {
        ++group;
        for (int row = block.firstRow;
             row < block.firstRow + block.rowCount && row < static_cast<int>(rows.size());
             row += step) {
            const double px = xs[static_cast<std::size_t>(row)];
            const double py = ys[static_cast<std::size_t>(row)];
            if (std::isnan(px) || std::isnan(py)) continue;
            panel.points.emplace_back(px, py);
            panel.groups.push_back(group);
        }
    }
    return panel;
}

OccasionPanel OccasionsOf(const DataBlock& block, int group, int occasions,
                          const std::vector<std::vector<double>>& rows) {
    OccasionPanel panel;
    panel.group = group;
    const int last = std::min(block.firstRow + block.rowCount, static_cast<int>(rows.size()));
    for (int v = 0; v < occasions; ++v) {
        std::vector<double> present;
        for (int row = block.firstRow; row < last; ++row) {
            const double score = rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(v)];
            if (!std::isnan(score)) present.push_back(score);
        }
        const Summary summary = Summarise(present);
        double half = kMissingValue;
        if (summary.n >= 2) {
            const boost::math::students_t t(summary.n - 1);
            half = boost::math::quantile(t, 0.975) * summary.sd / std::sqrt(summary.n);
        }
        panel.means.push_back(summary.mean);
        panel.lower.push_back(summary.mean - half);
        panel.upper.push_back(summary.mean + half);
    }
    const int cases = last - block.firstRow;
    const int paths = std::min(cases, kOccasionPaths);
    for (int k = 0; k < paths; ++k) {
        const int taken = block.firstRow + k * cases / paths;
        const auto& row = rows[static_cast<std::size_t>(taken)];
        panel.paths.emplace_back(row.begin(), row.begin() + occasions);
    }
    return panel;
}

// A category's name as the data file's names give it: its label, or "var1 = 2".
std::string CategoryName(const DataColumn& column, int level) {
    const std::string label = column.LevelLabelOf(level);
    return label.empty() ? column.name + " = " + std::to_string(level) : label;
}

std::vector<BarPanel> BarsOf(const GenerationSetup& setup,
                             const std::vector<std::vector<double>>& rows) {
    const CategoryTable& table = setup.categories;
    const DataColumns columns = DataColumnsOf(setup);
    std::vector<int> counts(static_cast<std::size_t>(table.CellCount()), 0);
    int complete = 0;
    for (const std::vector<double>& row : rows) {
        const double first = row[0];
        const double second = table.columns > 1 ? row[1] : 1.0;
        if (std::isnan(first) || std::isnan(second)) continue;
        ++counts[table.CellIndex(static_cast<int>(first) - 1, static_cast<int>(second) - 1)];
        ++complete;
    }
    std::vector<BarPanel> panels;
    for (int column = 0; column < table.columns; ++column) {
        BarPanel panel;
        if (table.columns > 1) panel.label = CategoryName(columns.ScoreColumn(2), column + 1);
        int base = complete;
        if (table.percentagesOf == PercentagesOf::ColumnsCases) {
            base = 0;
            for (int row = 0; row < table.rows; ++row) {
                base += counts[table.CellIndex(row, column)];
            }
        }
        for (int row = 0; row < table.rows; ++row) {
            const int count = counts[table.CellIndex(row, column)];
            panel.categories.push_back(CategoryName(columns.ScoreColumn(1), row + 1));
            panel.asked.push_back(table.Percentage(row, column));
            panel.actual.push_back(base > 0 ? 100.0 * count / base
                                            : std::numeric_limits<double>::quiet_NaN());
            panel.counts.push_back(count);
        }
        panels.push_back(std::move(panel));
    }
    return panels;
}

}  // namespace

ScorePlots ComputeScorePlots(const GeneratedRun& run, const std::vector<std::vector<double>>& rows,
                             int maxPoints) {
    const GenerationSetup& setup = run.setup;
    ScorePlots plots;
    if (setup.family == DesignFamily::Categorical) {
        plots.bars = BarsOf(setup, rows);
        return plots;
    }
    const DataLayout layout = LayoutOf(setup);
    plots.variableCount = layout.variableCount;
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            plots.histograms.push_back(HistogramOf(run, block, v, rows));
        }
    }
    if (TakesRepeatedMeasures(setup)) {
        int group = 0;
        for (const DataBlock& block : layout) {
            OccasionPanel panel = OccasionsOf(block, ++group, layout.variableCount, rows);
            const std::array<int, 3>& levels = block.cell.levels;
            if (setup.family == DesignFamily::Factorial) {
                panel.label =
                    "Cell (" + std::to_string(levels[0]) + "," + std::to_string(levels[1]) + ")";
            } else if (layout.blockCount > 1) {
                panel.label = "Group " + std::to_string(levels[0]);
            }
            plots.occasions.push_back(std::move(panel));
        }
    }
    const int step = std::max(1, static_cast<int>(rows.size()) / std::max(1, maxPoints));
    for (int x = 0; x < layout.variableCount; ++x) {
        for (int y = x + 1; y < layout.variableCount; ++y) {
            plots.scatter.push_back(ScatterOf(setup, layout, x, y, rows, step));
        }
    }
    return plots;
}

}  // namespace zek
