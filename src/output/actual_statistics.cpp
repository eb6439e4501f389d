#include "output/actual_statistics.h"

#include <cmath>

namespace zek {

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
                statistics.actualSd[box] =
                    std::sqrt((sumOfSquares - sum * sum / count) / (count - 1));
            }
        }
    }
}

void ComputePairwiseCorrelations(const GenerationSetup& setup, const ScoreTable& generated,
                                 ActualStatistics& statistics) {
    const int n = setup.variableCount;
    const int rows = setup.totalCases;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            double& entry = statistics.actualCorrelations[i][j];
            if (i == j) {
                entry = 1.0;
                continue;
            }
            auto complete = [&](int row) {
                return generated.At(row, i) != MissingMark && generated.At(row, j) != MissingMark;
            };
            int count = 0;
            double sumX = 0.0;
            double sumY = 0.0;
            for (int row = 0; row < rows; ++row) {
                if (!complete(row)) continue;
                ++count;
                sumX += generated.At(row, i);
                sumY += generated.At(row, j);
            }
            const double meanX = count > 0 ? sumX / count : 0.0;
            const double meanY = count > 0 ? sumY / count : 0.0;
            double sxx = 0.0;
            double syy = 0.0;
            double sxy = 0.0;
            for (int row = 0; row < rows; ++row) {
                if (!complete(row)) continue;
                const double dx = generated.At(row, i) - meanX;
                const double dy = generated.At(row, j) - meanY;
                sxx += dx * dx;
                syy += dy * dy;
                sxy += dx * dy;
            }
            if (sxx > 0.0 && syy > 0.0) entry = sxy / std::sqrt(sxx * syy);
        }
    }
}

}  // namespace zek
