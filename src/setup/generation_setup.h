// The one record that holds every parameter of a generation run.
//
// The main window keeps the user's texts; the Run command validates them into this
// record just before each run, and the engine and the output files read it. One
// instance lives for the whole program and is passed by reference; nothing here
// has behaviour beyond its start-up values and its share of Reset to Startup.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "setup/category_table.h"
#include "setup/column_names.h"

namespace zek {

/// Means "no minimum" or "no maximum" in a box, and marks a missing score in the data.
/// Every consumer compares with this exact value, so a typed limit of -5161963 is no limit.
inline constexpr double NoLimit = -5161963.0;
inline constexpr double MissingMark = NoLimit;

inline constexpr int kBoxCount = 8;
inline constexpr int kMaxVariables = 8;
inline constexpr int kCorrelationCellCount = 28;  // lower triangle of an 8 x 8 matrix
inline constexpr int kPackedSize = 36;            // lower triangle with its diagonal

enum class DesignFamily {
    OneWay,
    TwoGroupsMultiVariable,
    TwoVariablesInGroups,
    Factorial,
    Regression,
    Correlated,
    /// Counts: the categories of one variable, or the cells of a table of two.
    Categorical,
};

/// `Likert`: whole points 1 to k of a rating scale (its Min Score 1, its Max Score k), cut
/// from a latent normal score; never drawn for a randomly chosen box.
enum class DistributionKind { Normal, Uniform, SkewPos, SkewNeg, RandomlyChosen, Likert };

/// The caption of the radio button that selects a shape ("Normal", "+ Skew", ...).
const char* DistributionCaption(DistributionKind kind);

/// The column a scale's items may be followed by: each case's sum or mean of them.
enum class ScaleScore { None, Sum, Mean };

/// One Group/Level box. Boxes are numbered 1 to 8: 1-4 in the top row, 5-8 below.
struct BoxParameters {
    bool active = false;
    double mean = 0.0;
    double sd = 0.0;
    std::int32_t n = 0;
    std::int32_t decimals = 0;
    double minScore = 0.0;
    double maxScore = 0.0;
    DistributionKind distribution = DistributionKind::RandomlyChosen;
};

/// Index 0..27 of the correlation cell r_ij (1 <= i < j <= 8), row by row of the upper
/// triangle: r12, r13, .., r18, r23, .., r78. This is the order in which a run reads them.
constexpr int CorrelationCellIndex(int i, int j) {
    // cells before row i: sum over k < i of (8 - k)
    return (i - 1) * kMaxVariables - (i - 1) * i / 2 + (j - i - 1);
}

/// Index 0..35 into the packed lower triangle of element (i, j), j <= i, both from 1.
constexpr int PackedIndex(int i, int j) {
    return i * (i - 1) / 2 + j - 1;
}

/// A matrix of the variables of a case; `[i - 1][j - 1]` is element (i, j).
using SquareMatrix = std::array<std::array<double, kMaxVariables>, kMaxVariables>;

struct CorrelationMatrix {
    /// The typed value of each cell, by `CorrelationCellIndex`.
    std::array<double, kCorrelationCellCount> entered{};
    /// Symmetric with unit diagonal; `full[i - 1][j - 1]` is element (i, j).
    SquareMatrix full{};

    double Entered(int i, int j) const { return entered[CorrelationCellIndex(i, j)]; }
};

struct GenerationSetup {
    DesignFamily family = DesignFamily::OneWay;
    bool pairedVariables = false;
    std::int32_t variableCount = 1;
    std::int32_t factorCount = 1;
    std::int32_t levelsFactor1 = 2;
    std::int32_t levelsFactor2 = 1;
    std::int32_t levelsFactor3 = 1;
    std::int32_t boxCount = 2;
    std::int32_t totalCases = 0;

    std::array<BoxParameters, kBoxCount> boxes = StartupBoxes();
    CorrelationMatrix correlations;
    /// The categorical designs' percentages and N; the boxes and correlations do not apply.
    CategoryTable categories;

    double reliability = 1.0;
    /// "Exact Sample Statistics" in the Options menu: off at start and not stored in
    /// parameters files.
    bool exactStatistics = false;
    /// "Repeated Measures" in the Options menu: the variables are occasions of one outcome,
    /// and the key adds the repeated-measures ANOVA where the design has occasions.
    bool repeatedMeasures = false;
    /// The design's variables are occasions whatever the option says (the mixed designs).
    bool occasionsAlways = false;
    /// The outcome of a regression is 0 or 1 (logistic regression): box 1's mean is the
    /// percentage of 1s, and its other entries do not apply.
    bool binaryOutcome = false;
    /// "Long Layout" in the Options menu: with repeated measures, the data files hold one row
    /// per case and occasion (id, codes, occasion, score) instead of one row per case.
    bool longLayout = false;
    /// "Scale (Items of One Construct)" in the Options menu: the variables of a correlated
    /// design are items of one scale, and the key adds its reliability.
    bool scaleItems = false;
    /// The Options menu's scale score column after the items: none, their sum or their mean.
    ScaleScore scaleScore = ScaleScore::None;
    std::int32_t betaLow = 2;
    std::int32_t betaHigh = 6;
    std::int32_t missingPercent = 3;
    double missingFraction = 0.03;
    std::int32_t extremePercent = 3;
    double extremeFraction = 0.03;

    std::string title;
    /// The names and labels of the data file's columns and levels; none at start.
    ColumnNames columnNames;
    std::int32_t seed = 0;

    std::string dataFileName = "ZEK_data";
    std::string infoFileName;
    std::string parametersFileName;

    /// Box by its number 1..8.
    BoxParameters& Box(int boxNumber) { return boxes[boxNumber - 1]; }
    const BoxParameters& Box(int boxNumber) const { return boxes[boxNumber - 1]; }

    static std::array<BoxParameters, kBoxCount> StartupBoxes();
};

/// Program state that is not a parameter of the run.
struct RunFlags {
    /// A run completed generation since start-up or Reset to Startup; saving needs it.
    bool dataGenerated = false;
    /// The last save wrote both the data file and the information file.
    bool filesSaved = false;
    /// The last run was a class set's, whose datasets are saved already under their own names.
    bool savedByClassSet = false;
};

/// The starting states a seed gives the random streams.
struct StreamSeeds {
    std::int32_t negated = 0;   ///< -|seed|: the score and shape streams
    std::int32_t times319 = 0;  ///< the missing-value stream
    std::int32_t times727 = 0;  ///< the extreme-value stream
};

/// -|seed| and the negated seed times 319 and 727, or divided by them below -1000000; `seed`
/// must not be the lowest int32. Seed 0 would give the subtractive streams no negative seed,
/// and so no start of their own: every draw of a program's first run would be 0 and later
/// runs would go on from the run before. It takes -1 and -2 instead, which no other seed
/// gives.
StreamSeeds StreamSeedsOf(std::int32_t seed);

/// The record's part of Reset to Startup: the design of the start-up, the Beta parameters,
/// the reliability, the options and the box shapes go back; percentages, seed and file names
/// stay.
void ResetToStartup(GenerationSetup& setup, RunFlags& flags);

}  // namespace zek
