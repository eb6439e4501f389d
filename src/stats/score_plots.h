// What the viewer's plots show, computed once from the saved data file: a histogram of every
// group, cell or variable with its requested population curve, and the pairs of scores of
// every two variables, thinned to a few thousand points.
#pragma once

#include <string>
#include <vector>

#include "engine/run_record.h"
#include "setup/generation_setup.h"

namespace zek {

struct CurvePoint {
    double score = 0.0;
    double count = 0.0;  ///< the expected count of a bin of the histogram's width at `score`
};

struct Histogram {
    int box = 0;       ///< the box whose parameters the scores follow
    double low = 0.0;  ///< left edge of the first bin
    double binWidth = 1.0;
    std::vector<int> counts;
    int present = 0;
    int missing = 0;
    double requestedMean = 0.0;
    double actualMean = 0.0;
    double minScore = NoLimit;  ///< the box's limits, `NoLimit` where there is none
    double maxScore = NoLimit;
    DistributionKind shape = DistributionKind::Normal;
    std::vector<CurvePoint> curve;
};

struct ScatterPanel {
    int x = 0, y = 0;  ///< variables, 0-based
    double requestedR = 0.0;
    double actualR = 0.0;
    std::vector<std::pair<double, double>> points;
    std::vector<int> groups;  ///< the group (or cell, from 1) of each point
};

/// One group's or cell's occasions under repeated measures: each occasion's mean with its
/// 95% confidence interval (t over the occasion's present scores), and the paths of a few of
/// its cases, taken evenly, NaN where a score is missing.
struct OccasionPanel {
    int group = 1;      ///< the group or cell, from 1
    std::string label;  ///< "Group 2", "Cell (1,2)"; empty for a single group
    std::vector<double> means, lower, upper;
    std::vector<std::vector<double>> paths;
};

/// A categorical design's counts: one panel for one variable, one per column of a table, a
/// bar per category with the asked percentage beside the got one (of all cases with every
/// code, or of the column's cases for percentages within columns).
struct BarPanel {
    std::string label;  ///< the column's category ("var2 = 1", or its label); empty for one
    std::vector<std::string> categories;
    std::vector<double> asked;   ///< percent
    std::vector<double> actual;  ///< percent; NaN where no case has every code
    std::vector<int> counts;
};

struct ScorePlots {
    std::vector<Histogram> histograms;
    /// For a categorical design, instead of every other panel.
    std::vector<BarPanel> bars;
    std::vector<ScatterPanel> scatter;
    /// Under repeated measures, one per group or cell; empty otherwise.
    std::vector<OccasionPanel> occasions;
    int variableCount = 1;
};

/// Paths drawn per group or cell.
inline constexpr int kOccasionPaths = 20;

/// Bins the scores of `run` as its data file holds them (`rows`, row by row, NaN for a
/// missing score); at most `maxPoints` pairs per scatter panel, taken evenly.
ScorePlots ComputeScorePlots(const GeneratedRun& run, const std::vector<std::vector<double>>& rows,
                             int maxPoints = 3000);

}  // namespace zek
