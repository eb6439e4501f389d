// The answer key of a dataset: what students will compute from the data file as written
// (the rounded scores they load, missing values left out as R's defaults do): per box the N,
// mean and SD, and the tests the design calls for. The files that hold keys are written by
// files/answer_key_file.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/data_layout.h"
#include "setup/generation_setup.h"

namespace zek {

/// How a figure is printed.
enum class FigureKind {
    Count,        ///< whole numbers: N and degrees of freedom
    Score,        ///< in the units of the scores (means, SDs, mean differences)
    Statistic,    ///< t, F, r, effect sizes, sums of squares, coefficients
    Probability,  ///< p values
};

/// A figure with the name of its column in the class key ("group1_mean", "student_p"). An
/// undefined figure is NaN and prints as NA.
struct KeyFigure {
    std::string name;
    double value = 0.0;
    FigureKind kind = FigureKind::Statistic;
    int decimals = 0;  ///< the scores' decimals, for a `Score`
};

struct KeySection {
    std::string heading;
    std::vector<KeyFigure> figures;
};

struct AnswerKey {
    std::vector<KeySection> sections;
};

/// The scores of a run as students read them from the data file: per block of rows (group or
/// cell) and per column, rounded as written, NaN where a score is missing.
using WrittenScores = std::vector<std::vector<std::vector<double>>>;

/// The key of the run that `setup` records, from its scores as the data file writes them.
AnswerKey ComputeAnswerKey(const GenerationSetup& setup, const WrittenScores& scores);

}  // namespace zek
