// The answer key of a dataset: what students will compute from the data file as written
// (the rounded scores they load, missing values left out as R's defaults do): per box the N,
// mean and SD, and the tests the design calls for. One plain-text key per dataset, and one
// comma-delimited key per class set with a row per dataset.
#pragma once

#include <iosfwd>
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

/// The key of the run that `setup` records, from its scores as the data file writes them.
AnswerKey ComputeAnswerKey(const GenerationSetup& setup, const ScoreTable& generated);

/// A figure as the keys print it: NA for an undefined one; a score with at least two more
/// places than the data have and at least `significant` significant digits; other figures
/// with `significant` significant digits, without an exponent unless below 1e-4 (p values)
/// or beyond 1e15.
void AppendFigure(std::string& out, const KeyFigure& figure, int significant);

/// The plain-text key; `dataFile` and `seed` name the dataset. Throws `StreamError`.
void WriteAnswerKeyText(std::ostream& out, const AnswerKey& key, std::string_view dataFile,
                        std::int32_t seed);

/// One dataset's row of a class key, and the class key itself. Throws `StreamError`.
struct ClassKeyRow {
    int dataset = 0;
    std::int32_t seed = 0;
    std::string dataFile;
    AnswerKey key;
};
void WriteClassKey(std::ostream& out, const std::vector<ClassKeyRow>& rows);

/// "scores.csv" gives "scores_key.TXT" (one dataset's key) and, for a class set named by its
/// unnumbered data file, "class.csv" gives "class_key.csv".
std::string KeyFileNameFor(std::string_view dataFilePath);
std::string ClassKeyFileNameFor(std::string_view dataFilePath);

}  // namespace zek
