#include "engine/exact_statistics.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

namespace zek {

namespace {

using Matrix = Eigen::MatrixXd;

// Centres each column and divides it by its sample SD (n - 1); false where a column has no
// spread, which no scaling can give one.
bool Standardise(Matrix& columns) {
    const auto rows = static_cast<double>(columns.rows());
    for (Eigen::Index c = 0; c < columns.cols(); ++c) {
        auto column = columns.col(c);
        column.array() -= column.mean();
        const double sd = std::sqrt(column.squaredNorm() / (rows - 1.0));
        if (!(sd > 0.0)) return false;
        column /= sd;
    }
    return true;
}

// Standardised columns whose sample correlations become `asked`: whitened by the factor of
// their own correlations, recoloured by the factor of the asked ones. False where the sample
// correlations are singular (fewer cases than variables + 1, or collinear columns).
bool SetCorrelations(Matrix& z, const SquareMatrix& askedFull) {
    const Eigen::Index n = z.cols();
    const Matrix sample = z.transpose() * z / static_cast<double>(z.rows() - 1);
    const Eigen::LLT<Matrix> own(sample);
    if (own.info() != Eigen::Success || z.rows() <= n) return false;
    Matrix asked(n, n);
    for (Eigen::Index i = 0; i < n; ++i) {
        for (Eigen::Index j = 0; j < n; ++j) {
            asked(i, j) = askedFull[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
        }
    }
    const Eigen::LLT<Matrix> wanted(asked);
    if (wanted.info() != Eigen::Success) return false;
    const Matrix white = own.matrixL().solve(z.transpose());  // n x rows
    z = (Matrix(wanted.matrixL()) * white).transpose();
    return Standardise(z);
}

}  // namespace

TargetMoments TargetMomentsOf(const BoxParameters& box, const DrawnBox& drawn, double trueSd) {
    if (drawn.shape == DistributionKind::Uniform) {
        return {(drawn.minScore + drawn.maxScore) / 2.0,
                (drawn.maxScore - drawn.minScore) / std::sqrt(12.0)};
    }
    return {box.mean, trueSd};
}

ExactRunNotes MakeTrueScoresExact(const GenerationSetup& setup, const DrawnBoxes& drawn,
                                  const DataLayout& layout,
                                  const std::array<BoxSpreads, kBoxCount>& spreads,
                                  ScoreTable& trueScores) {
    ExactRunNotes shortfall;
    const int variables = layout.variableCount;
    for (const DataBlock& block : layout) {
        if (block.rowCount < 2) continue;
        Matrix z(block.rowCount, variables);
        for (int row = 0; row < block.rowCount; ++row) {
            for (int v = 0; v < variables; ++v) z(row, v) = trueScores.At(block.firstRow + row, v);
        }
        if (!Standardise(z)) {
            shortfall.correlationsShort = shortfall.correlationsShort || variables > 1;
            continue;
        }
        if (variables > 1 && !SetCorrelations(z, setup.correlations.full)) {
            shortfall.correlationsShort = true;
        }
        for (int v = 0; v < variables; ++v) {
            const int boxNumber = block.BoxOfColumn(v);
            const auto boxIndex = static_cast<std::size_t>(boxNumber - 1);
            const DrawnBox& drawnBox = drawn[boxIndex];
            const TargetMoments target =
                TargetMomentsOf(setup.Box(boxNumber), drawnBox, spreads[boxIndex].trueSd);
            double sd = target.sd;
            if (drawnBox.shape == DistributionKind::Uniform) {
                // The widest spread that keeps every score within the limits.
                const double highest = z.col(v).maxCoeff();
                const double lowest = z.col(v).minCoeff();
                double fitting = sd;
                if (highest > 0.0)
                    fitting = std::min(fitting, (drawnBox.maxScore - target.mean) / highest);
                if (lowest < 0.0)
                    fitting = std::min(fitting, (target.mean - drawnBox.minScore) / -lowest);
                if (fitting < sd) {
                    shortfall.uniformNarrowed[boxIndex] = true;
                    sd = fitting;
                }
            }
            for (int row = 0; row < block.rowCount; ++row) {
                trueScores.At(block.firstRow + row, v) = target.mean + sd * z(row, v);
            }
        }
    }
    return shortfall;
}

namespace {

struct GridColumn {
    std::vector<std::int64_t> steps;  ///< each score in steps of the last decimal
    std::vector<double> exact;        ///< the same before rounding, in steps
    /// The box's limits in steps: no score is moved beyond them.
    std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t highest = std::numeric_limits<std::int64_t>::max();

    bool MayGoUp(std::size_t k) const { return steps[k] < highest; }
    bool MayGoDown(std::size_t k) const { return steps[k] > lowest; }
};

// Whole steps add up exactly.
double SumOf(const std::vector<std::int64_t>& steps) {
    return static_cast<double>(std::accumulate(steps.begin(), steps.end(), std::int64_t{0}));
}

double SumOfSquares(const std::vector<std::int64_t>& steps, double mean) {
    double sum = 0.0;
    for (std::int64_t k : steps) {
        sum += (static_cast<double>(k) - mean) * (static_cast<double>(k) - mean);
    }
    return sum;
}

// Moves |excess| scores one step against the sign of `excess`, those that rounding moved
// furthest that way first: the sum comes within half a step of its target.
void MendTheSum(GridColumn& column, double target) {
    const auto excess = static_cast<std::int64_t>(std::llround(SumOf(column.steps) - target));
    if (excess == 0) return;
    std::vector<std::size_t> order(column.steps.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const double direction = excess > 0 ? 1.0 : -1.0;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return direction * (static_cast<double>(column.steps[a]) - column.exact[a]) >
               direction * (static_cast<double>(column.steps[b]) - column.exact[b]);
    });
    auto left = std::abs(excess);
    for (std::size_t k = 0; k < order.size() && left > 0; ++k) {
        const std::size_t at = order[k];
        if (excess > 0 ? !column.MayGoDown(at) : !column.MayGoUp(at)) continue;
        column.steps[at] -= excess > 0 ? 1 : -1;
        --left;
    }
}

// Moves pairs of scores one step each, one up and one down so that the sum stays, until the
// SD is within a quarter step of its target: moving up a score k_a and down a score k_b
// changes the sum of squares by 2 (k_a - k_b) + 2 steps squared, so each move takes the
// pair whose difference comes nearest to what is missing.
void MendTheSpread(GridColumn& column, double targetSd) {
    const std::size_t count = column.steps.size();
    if (count < 3) return;
    const auto n = static_cast<double>(count);
    std::vector<std::size_t> order(count);
    for (int attempt = 0; attempt < 64; ++attempt) {
        const double squares = SumOfSquares(column.steps, SumOf(column.steps) / n);
        if (std::fabs(std::sqrt(squares / (n - 1.0)) - targetSd) < 0.25) return;
        const double gap = (targetSd * targetSd * (n - 1.0) - squares) / 2.0 - 1.0;
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return column.steps[a] < column.steps[b];
        });
        std::size_t bestA = order.back();
        std::size_t bestB = order.front();
        double bestMiss = 1e300;
        for (std::size_t b : order) {
            if (!column.MayGoDown(b)) continue;
            const double wanted = static_cast<double>(column.steps[b]) + gap;
            const auto at = std::lower_bound(
                order.begin(), order.end(), wanted, [&](std::size_t index, double value) {
                    return static_cast<double>(column.steps[index]) < value;
                });
            for (auto candidate : {at, at == order.begin() ? at : at - 1}) {
                if (candidate == order.end() || *candidate == b || !column.MayGoUp(*candidate)) {
                    continue;
                }
                const double miss = std::fabs(
                    static_cast<double>(column.steps[*candidate] - column.steps[b]) - gap);
                if (miss < bestMiss) {
                    bestMiss = miss;
                    bestA = *candidate;
                    bestB = b;
                }
            }
        }
        if (bestMiss == 1e300) return;  // every score that could move stands at a limit
        column.steps[bestA] += 1;
        column.steps[bestB] -= 1;
    }
}

}  // namespace

void RoundKeepingExactness(const GenerationSetup& setup, const DrawnBoxes& drawn,
                           const DataLayout& layout,
                           const std::array<BoxSpreads, kBoxCount>& spreads, ScoreTable& scores) {
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            const int boxNumber = block.BoxOfColumn(v);
            const auto boxIndex = static_cast<std::size_t>(boxNumber - 1);
            const BoxParameters& box = setup.Box(boxNumber);
            const DrawnBox& drawnBox = drawn[boxIndex];
            const double scale = std::pow(10.0, box.decimals);
            GridColumn column;
            if (drawnBox.minScore != NoLimit) {
                column.lowest =
                    static_cast<std::int64_t>(std::ceil(drawnBox.minScore * scale - 1e-9));
            }
            if (drawnBox.maxScore != NoLimit) {
                column.highest =
                    static_cast<std::int64_t>(std::floor(drawnBox.maxScore * scale + 1e-9));
            }
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                const double inSteps = scores.At(row, v) * scale;
                column.exact.push_back(inSteps);
                column.steps.push_back(std::llround(inSteps));
            }
            const TargetMoments target = TargetMomentsOf(box, drawnBox, spreads[boxIndex].trueSd);
            MendTheSum(column, target.mean * scale * block.rowCount);
            MendTheSpread(column, target.sd * scale);
            for (int row = 0; row < block.rowCount; ++row) {
                scores.At(block.firstRow + row, v) =
                    static_cast<double>(column.steps[static_cast<std::size_t>(row)]) / scale;
            }
        }
    }
}

void NoteWrittenMisses(const GenerationSetup& setup, const DrawnBoxes& drawn,
                       const DataLayout& layout, const std::array<BoxSpreads, kBoxCount>& spreads,
                       const ScoreTable& scores, ExactRunNotes& notes) {
    std::array<std::vector<double>, kBoxCount> written;
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            auto& box = written[static_cast<std::size_t>(block.BoxOfColumn(v) - 1)];
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                box.push_back(scores.At(row, v));
            }
        }
    }
    for (int boxNumber = 1; boxNumber <= kBoxCount; ++boxNumber) {
        const auto index = static_cast<std::size_t>(boxNumber - 1);
        const std::vector<double>& values = written[index];
        if (values.size() < 2 || notes.uniformNarrowed[index]) continue;
        const BoxParameters& box = setup.Box(boxNumber);
        const TargetMoments target = TargetMomentsOf(box, drawn[index], spreads[index].trueSd);
        const auto n = static_cast<double>(values.size());
        double sum = 0.0;
        for (const double value : values) sum += value;
        const double mean = sum / n;
        double squares = 0.0;
        for (const double value : values) squares += (value - mean) * (value - mean);
        const double sd = std::sqrt(squares / (n - 1.0));
        // Compared as the report shows them: at the box's decimals.
        const double scale = std::pow(10.0, box.decimals);
        const auto onGrid = [scale](double value) { return std::llround(value * scale); };
        if (onGrid(mean) != onGrid(target.mean) || onGrid(sd) != onGrid(target.sd)) {
            notes.writtenMisses[index] = {true, mean, sd, target.mean, target.sd};
        }
    }
}

}  // namespace zek
