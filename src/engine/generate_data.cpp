#include "engine/generate_data.h"

#include "engine/spreads.h"

#include <cassert>
#include <cmath>
#include <limits>

#include "engine/cholesky.h"

namespace zek {

namespace {

struct CallerStates {
    std::int32_t scoreStreamState;    ///< every raw deviate and every error term
    std::int32_t shapeStreamState;    ///< the shape of each randomly chosen box
    std::int32_t extremeStreamState;  ///< extreme values
    std::int32_t missingStreamState;  ///< missing values
};

// Every test draws a number of its own, so a box costs one to four draws.
void DrawShape(BoxParameters& box, RandomStreams& streams, std::int32_t& shapeState) {
    box.chosenAtRandom = true;
    if (streams.SubtractiveUniform(shapeState) < 0.4) {
        box.drawnDistribution = DistributionKind::Normal;
    } else if (streams.SubtractiveUniform(shapeState) < 0.6) {
        box.drawnDistribution = DistributionKind::SkewPos;
    } else if (streams.SubtractiveUniform(shapeState) < 0.8) {
        box.drawnDistribution = DistributionKind::SkewNeg;
    } else {
        streams.SubtractiveUniform(shapeState);
        box.drawnDistribution = DistributionKind::Uniform;
        const double halfWidth = std::sqrt(12.0) * box.sd / 2.0;
        if (box.minScore == NoLimit) box.minScore = box.mean - halfWidth;
        if (box.maxScore == NoLimit) box.maxScore = halfWidth + box.mean;
    }
}

// The boxes in the order their shapes are drawn: variable by variable through the cells,
// except in the two-group multi-variable designs, which go group by group.
template <typename Visit>
void VisitBoxesForShapes(const GenerationSetup& setup, const DataLayout& layout, Visit visit) {
    if (setup.family == DesignFamily::TwoGroupsMultiVariable) {
        for (const DataBlock& block : layout) {
            for (int v = 0; v < layout.variableCount; ++v) visit(block.BoxOfColumn(v));
        }
    } else {
        for (int v = 0; v < layout.variableCount; ++v) {
            for (const DataBlock& block : layout) visit(block.BoxOfColumn(v));
        }
    }
}

double RawDeviate(DistributionKind shape, const GenerationSetup& setup, RandomStreams& streams,
                  std::int32_t& scoreState) {
    switch (shape) {
        case DistributionKind::Normal:
            return streams.GaussianDeviate(scoreState);
        case DistributionKind::Uniform:
            return streams.ShuffledUniform(scoreState);
        case DistributionKind::SkewPos:
            return streams.BetaOrderStatistic(scoreState, setup.betaLow, setup.betaHigh);
        case DistributionKind::SkewNeg:
            return streams.BetaOrderStatistic(scoreState, setup.betaHigh, setup.betaLow);
        case DistributionKind::RandomlyChosen:
            break;
    }
    assert(false && "a drawn shape is never RandomlyChosen");
    return 0.0;
}

double TrueScore(double z, const BoxParameters& box, double trueSd, const BetaMoments& beta) {
    switch (box.drawnDistribution) {
        case DistributionKind::Normal:
            return box.mean + trueSd * z;
        case DistributionKind::Uniform:
            return box.minScore + z * (box.maxScore - box.minScore);
        case DistributionKind::SkewPos:
            return (z - beta.meanPos) / beta.sd * trueSd + box.mean;
        case DistributionKind::SkewNeg:
            return (z - beta.meanNeg) / beta.sd * trueSd + box.mean;
        case DistributionKind::RandomlyChosen:
            break;
    }
    return 0.0;
}

// A uniform deviate on (0, 1) has this standard deviation.
const double kUniformSd = std::sqrt(1.0 / 12.0);

// A deviate that is not Normal lies in (0, 1) with its own mean and spread. Mixed as it is,
// it would carry that location into the other variables of its case and come out with the
// wrong mean, SD and correlation, so in a correlated column it is mixed standardised.
double Standardised(double d, DistributionKind shape, const BetaMoments& beta) {
    switch (shape) {
        case DistributionKind::Uniform:
            return (d - 0.5) / kUniformSd;
        case DistributionKind::SkewPos:
            return (d - beta.meanPos) / beta.sd;
        case DistributionKind::SkewNeg:
            return (d - beta.meanNeg) / beta.sd;
        case DistributionKind::Normal:
        case DistributionKind::RandomlyChosen:
            break;
    }
    return d;
}

// The true score of a standardised deviate after the mixing: back on the shape's own scale.
double TrueScoreOfStandardised(double z, const BoxParameters& box, double trueSd) {
    if (box.drawnDistribution == DistributionKind::Uniform) {
        return box.minScore + (z * kUniformSd + 0.5) * (box.maxScore - box.minScore);
    }
    return z * trueSd + box.mean;
}

// A column takes part in a correlation when any of its entries off the diagonal is not 0.
std::array<bool, kMaxVariables> CorrelatedColumns(const GenerationSetup& setup) {
    std::array<bool, kMaxVariables> correlated{};
    const int n = setup.variableCount;
    for (int v = 0; v < n; ++v) {
        for (int k = 0; k < n; ++k) {
            if (k != v && setup.correlations.full[v][k] != 0.0) correlated[v] = true;
        }
    }
    return correlated;
}

void FactoriseCorrelations(GenerationSetup& setup, GenerationTables& tables) {
    const int n = setup.variableCount;
    CorrelationMatrix& matrix = setup.correlations;
    matrix.PackFull(n);
    // The Run command has already accepted the matrix.
    [[maybe_unused]] const CholeskyStatus status = CholeskyFactor(n, matrix.packed);
    assert(status == CholeskyStatus::PositiveDefinite);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            tables.choleskyFactor[i - 1][j - 1] = j <= i ? matrix.packed[PackedIndex(i, j)] : 0.0;
        }
    }
}

void MixRows(int totalRows, int n, GenerationTables& tables) {
    if (n == 1) return;  // the factor is (1)
    const auto& factor = tables.choleskyFactor;
    for (int row = 0; row < totalRows; ++row) {
        double* z = tables.deviateTable.Row(row);
        std::array<double, kMaxVariables> mixed{};
        for (int i = 0; i < n; ++i) {
            double sum = 0.0;
            for (int j = 0; j < n; ++j) {
                sum += factor[i][j] * z[j];
            }
            mixed[i] = sum;
        }
        for (int i = 0; i < n; ++i) z[i] = mixed[i];
    }
}

bool WithinTables(const GenerationSetup& setup, const DataLayout& layout) {
    if (setup.variableCount < 1 || setup.variableCount > kMaxVariables) return false;
    if (setup.totalCases != layout.totalRows || layout.totalRows > kMaxRows) return false;
    for (const DataBlock& block : layout) {
        if (block.rowCount < 0 || block.rowCount > kMaxCasesPerBox) return false;
    }
    return true;
}

// What the Run command establishes beyond the size of the run.
[[maybe_unused]] bool SetupIsRunnable(const GenerationSetup& setup, const DataLayout& layout) {
    if (!(setup.reliability > 0.0 && setup.reliability <= 1.0)) return false;
    if (setup.betaLow < 1 || setup.betaLow > setup.betaHigh || setup.betaHigh > kMaxBetaParameter) {
        return false;
    }
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            const BoxParameters& box = setup.Box(block.BoxOfColumn(v));
            if (box.n < 2) return false;
            if (box.distribution == DistributionKind::Uniform &&
                (box.minScore == NoLimit || box.maxScore == NoLimit)) {
                return false;
            }
        }
    }
    return true;
}

// Step 2: the shape of each randomly chosen box, and every visited box's spreads.
std::array<BoxSpreads, kBoxCount> DrawShapesAndSpreads(GenerationSetup& setup,
                                                       const DataLayout& layout,
                                                       RandomStreams& streams,
                                                       CallerStates& states) {
    std::array<BoxSpreads, kBoxCount> spreads{};
    VisitBoxesForShapes(setup, layout, [&](int boxNumber) {
        BoxParameters& box = setup.Box(boxNumber);
        if (box.distribution == DistributionKind::RandomlyChosen) {
            DrawShape(box, streams, states.shapeStreamState);
        } else {
            box.drawnDistribution = box.distribution;
        }
        spreads[boxNumber - 1] = SpreadsOf(box.sd, setup.reliability);
    });
    return spreads;
}

// Step 5: block by block, column by column, case by case.
void DrawRawDeviates(const GenerationSetup& setup, const DataLayout& layout, RandomStreams& streams,
                     CallerStates& states, ScoreTable& deviates) {
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            const DistributionKind shape = setup.Box(block.BoxOfColumn(v)).drawnDistribution;
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                deviates.At(row, v) = RawDeviate(shape, setup, streams, states.scoreStreamState);
            }
        }
    }
}

// Between 5 and 6: the deviates of correlated columns that are not Normal are standardised,
// so that they are mixed like Normal ones. Columns without a correlation keep the scaling of
// their shape, and so their bytes.
struct Standardisation {
    std::array<bool, kMaxVariables> correlated{};
    bool Applies(int column, DistributionKind shape) const {
        return correlated[static_cast<std::size_t>(column)] && shape != DistributionKind::Normal;
    }
};

void StandardiseCorrelatedDeviates(const GenerationSetup& setup, const DataLayout& layout,
                                   const Standardisation& standardisation, const BetaMoments& beta,
                                   ScoreTable& deviates) {
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            const DistributionKind shape = setup.Box(block.BoxOfColumn(v)).drawnDistribution;
            if (!standardisation.Applies(v, shape)) continue;
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                double& d = deviates.At(row, v);
                d = Standardised(d, shape, beta);
            }
        }
    }
}

// Step 7 for one cell, after its true score: error, lower limit, upper limit, extreme test,
// missing test. The extreme and missing tests draw even at 0% so that every later draw keeps
// its place in the sequence.
double FinishedScore(double trueScore, const BoxParameters& box, const BoxSpreads& spread,
                     const GenerationSetup& setup, RandomStreams& streams, CallerStates& states) {
    double y = trueScore + streams.GaussianDeviate(states.scoreStreamState) * spread.errorSd;
    if (box.minScore != NoLimit && y < box.minScore) y = box.minScore;
    if (box.maxScore != NoLimit && y > box.maxScore) y = box.maxScore;
    if (streams.SubtractiveUniform(states.extremeStreamState) < setup.extremeFraction) {
        const double w = streams.SubtractiveUniform(states.extremeStreamState);
        if (y < box.mean) {
            y = y - (w + 1.0) * spread.trueSd;
        } else {
            y = (w + 1.0) * spread.trueSd + y;
        }
    }
    if (streams.SubtractiveUniform(states.missingStreamState) < setup.missingFraction) {
        y = MissingMark;
    }
    return y;
}

}  // namespace

void GenerateData(GenerationSetup& setup, RandomStreams& streams, GenerationTables& tables) {
    const DataLayout layout = LayoutOf(setup);
    // The Run command lets no such setup through; should a caller ever break that, the run
    // is refused rather than allowed to write outside the tables.
    if (!WithinTables(setup, layout)) {
        assert(false && "the setup's cases do not fit the tables");
        return;
    }
    assert(SetupIsRunnable(setup, layout));
    const int n = layout.variableCount;
    for (ScoreTable* table :
         {&tables.deviateTable, &tables.trueScoreTable, &tables.generatedData}) {
        table->SetColumnCount(n);
    }

    // 1. Caller states and random-choice marks.
    CallerStates states{setup.negatedSeed, setup.negatedSeed, setup.streamSeed727,
                        setup.streamSeed319};
    for (BoxParameters& box : setup.boxes) box.chosenAtRandom = false;
    // 2. to 6.
    const std::array<BoxSpreads, kBoxCount> spreads =
        DrawShapesAndSpreads(setup, layout, streams, states);
    const BetaMoments beta = BetaMomentsOf(setup);
    FactoriseCorrelations(setup, tables);
    streams.ResetGaussian();
    DrawRawDeviates(setup, layout, streams, states, tables.deviateTable);
    const Standardisation standardisation{CorrelatedColumns(setup)};
    StandardiseCorrelatedDeviates(setup, layout, standardisation, beta, tables.deviateTable);
    MixRows(layout.totalRows, n, tables);

    // 7. Scores, each cell finished before the next starts.
    for (const DataBlock& block : layout) {
        for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
            for (int v = 0; v < n; ++v) {
                const int boxNumber = block.BoxOfColumn(v);
                const BoxParameters& box = setup.Box(boxNumber);
                const BoxSpreads& spread = spreads[boxNumber - 1];
                const double z = tables.deviateTable.At(row, v);
                const double trueScore = standardisation.Applies(v, box.drawnDistribution)
                                             ? TrueScoreOfStandardised(z, box, spread.trueSd)
                                             : TrueScore(z, box, spread.trueSd, beta);
                tables.trueScoreTable.At(row, v) = trueScore;
                tables.generatedData.At(row, v) =
                    FinishedScore(trueScore, box, spread, setup, streams, states);
            }
        }
    }
}

}  // namespace zek
