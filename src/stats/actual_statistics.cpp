#include "stats/actual_statistics.h"

#include <cmath>
#include <span>

namespace zek {

namespace {

// The SD from the running sums, which keep the report's figures those of its format, unless
// the sums cancel:
// scores of 10000000 with an SD of 0.002 leave nothing of the variance in them (or less than
// nothing, and the square root of a negative number). Where more than four of the sixteen
// digits cancel, the deviations from the mean are summed instead.
double SpreadOf(const DataBlock& block, int column, const ScoreTable& generated, int count,
                double sum, double sumOfSquares) {
    const double variance = (sumOfSquares - sum * sum / count) / (count - 1);
    if (variance > 0.0 && sumOfSquares / (count - 1) < 1e4 * variance) return std::sqrt(variance);
    const double mean = sum / count;
    double squares = 0.0;
    for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
        const double score = generated.At(row, column);
        if (score != MissingMark) squares += (score - mean) * (score - mean);
    }
    return std::sqrt(squares / (count - 1));
}

}  // namespace

void ComputeBoxStatistics(const GenerationSetup& setup, const ScoreTable& generated,
                          ActualStatistics& statistics) {
    const DataLayout layout = LayoutOf(setup);
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            const auto box = static_cast<std::size_t>(block.BoxOfColumn(v) - 1);
            std::int32_t& count = statistics.actualN[box];
            double& sum = statistics.sum[box];
            double& sumOfSquares = statistics.sumOfSquares[box];
            count = 0;
            sum = 0.0;
            sumOfSquares = 0.0;
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                const double score = generated.At(row, v);
                if (score == MissingMark) continue;
                sum += score;
                sumOfSquares += score * score;
                ++count;
            }
            if (count > 0) statistics.actualMean[box] = sum / count;
            if (count > 1) {
                statistics.actualSd[box] = SpreadOf(block, v, generated, count, sum, sumOfSquares);
            }
        }
    }
}

void ComputePairwiseCorrelations(const GenerationSetup& setup, const ScoreTable& generated,
                                 ActualStatistics& statistics) {
    const int n = setup.variableCount;
    const int rows = setup.totalCases;
    // Every pair i < j accumulates over its complete rows in row order, as a pair on its own
    // would, so one sweep over the rows serves all 28 pairs with the same bits; (j, i) then
    // equals (i, j), since its products and sums are the same ones with the roles swapped.
    struct PairSums {
        int i = 0, j = 0;
        int count = 0;
        double sumX = 0.0, sumY = 0.0, meanX = 0.0, meanY = 0.0;
        double sxx = 0.0, syy = 0.0, sxy = 0.0;
    };
    std::array<PairSums, kMaxVariables*(kMaxVariables - 1) / 2> pairs{};
    int pairCount = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            pairs[static_cast<std::size_t>(pairCount++)] = PairSums{.i = i, .j = j};
        }
    }
    const auto usedPairs = std::span(pairs).first(static_cast<std::size_t>(pairCount));

    auto forEachCompletePair = [&](auto visit) {
        for (int row = 0; row < rows; ++row) {
            const double* scores = generated.Row(row);
            for (PairSums& pair : usedPairs) {
                const double x = scores[pair.i];
                const double y = scores[pair.j];
                if (x != MissingMark && y != MissingMark) visit(pair, x, y);
            }
        }
    };
    forEachCompletePair([](PairSums& pair, double x, double y) {
        ++pair.count;
        pair.sumX += x;
        pair.sumY += y;
    });
    for (PairSums& pair : usedPairs) {
        pair.meanX = pair.count > 0 ? pair.sumX / pair.count : 0.0;
        pair.meanY = pair.count > 0 ? pair.sumY / pair.count : 0.0;
    }
    forEachCompletePair([](PairSums& pair, double x, double y) {
        const double dx = x - pair.meanX;
        const double dy = y - pair.meanY;
        pair.sxx += dx * dx;
        pair.syy += dy * dy;
        pair.sxy += dx * dy;
    });

    auto& entries = statistics.actualCorrelations;
    for (int v = 0; v < n; ++v) entries[v][v] = 1.0;
    for (const PairSums& pair : usedPairs) {
        if (pair.sxx > 0.0 && pair.syy > 0.0) {
            const double r = pair.sxy / std::sqrt(pair.sxx * pair.syy);
            entries[pair.i][pair.j] = r;
            entries[pair.j][pair.i] = r;
        }
    }
}

void ComputeActualStatistics(const GenerationSetup& setup, const ScoreTable& generated,
                             ActualStatistics& statistics) {
    ComputeBoxStatistics(setup, generated, statistics);
    if (setup.variableCount > 1) ComputePairwiseCorrelations(setup, generated, statistics);
}

}  // namespace zek
