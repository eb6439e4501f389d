#include "stats/actual_statistics.h"

#include <cmath>
#include <vector>

#include "stats/pair_sums.h"

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
    const std::vector<PairSums> pairs = SumEveryPair(
        n, setup.totalCases, [&](int row, int column) { return generated.At(row, column); },
        [](double score) { return score != MissingMark; });
    auto& entries = statistics.actualCorrelations;
    for (int v = 0; v < n; ++v) entries[v][v] = 1.0;
    // (j, i) equals (i, j): its products and sums are the same ones with the roles swapped.
    for (const PairSums& pair : pairs) {
        if (pair.sxx > 0.0 && pair.syy > 0.0) {
            const double r = pair.sxy / std::sqrt(pair.sxx * pair.syy);
            entries[pair.first][pair.second] = r;
            entries[pair.second][pair.first] = r;
        }
    }
}

void ComputeActualStatistics(const GenerationSetup& setup, const ScoreTable& generated,
                             ActualStatistics& statistics) {
    if (setup.family == DesignFamily::Categorical) {
        statistics.categoryCounts = {};
        statistics.categoryCases = 0;
        const CategoryTable& table = setup.categories;
        for (int row = 0; row < table.TotalN(); ++row) {
            const double first = generated.At(row, 0);
            const double second = setup.variableCount == 2 ? generated.At(row, 1) : 1.0;
            if (first == MissingMark || second == MissingMark) continue;
            const std::size_t cell =
                table.CellIndex(static_cast<int>(first) - 1, static_cast<int>(second) - 1);
            ++statistics.categoryCounts[cell];
            ++statistics.categoryCases;
        }
        return;
    }
    ComputeBoxStatistics(setup, generated, statistics);
    if (setup.variableCount > 1) ComputePairwiseCorrelations(setup, generated, statistics);
}

}  // namespace zek
