#include "engine/generate_data.h"

#include "engine/binary_outcome.h"
#include "engine/category_draws.h"
#include "engine/likert_points.h"

#include "engine/spreads.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <system_error>

#include "engine/exact_statistics.h"
#include "engine/polar_pairs_ahead.h"
#include "engine/shaped_correlation.h"
#include "platform/processors.h"

namespace zek {

namespace {

struct CallerStates {
    std::int32_t scoreStreamState;    ///< every raw deviate and every error term
    std::int32_t shapeStreamState;    ///< the shape of each randomly chosen box
    std::int32_t extremeStreamState;  ///< extreme values
    std::int32_t missingStreamState;  ///< missing values
};

CallerStates StatesOf(const GenerationSetup& setup) {
    const StreamSeeds seeds = StreamSeedsOf(setup.seed);
    return {seeds.negated, seeds.negated, seeds.times727, seeds.times319};
}

// Every test draws a number of its own, so a box costs one to four draws.
void DrawShape(const BoxParameters& box, RandomStreams& streams, std::int32_t& shapeState,
               DrawnBox& drawn) {
    drawn.chosenAtRandom = true;
    if (streams.SubtractiveUniform(shapeState) < 0.4) {
        drawn.shape = DistributionKind::Normal;
    } else if (streams.SubtractiveUniform(shapeState) < 0.6) {
        drawn.shape = DistributionKind::SkewPos;
    } else if (streams.SubtractiveUniform(shapeState) < 0.8) {
        drawn.shape = DistributionKind::SkewNeg;
    } else {
        streams.SubtractiveUniform(shapeState);
        drawn.shape = DistributionKind::Uniform;
        const double halfWidth = std::sqrt(12.0) * box.sd / 2.0;
        if (drawn.minScore == NoLimit) drawn.minScore = box.mean - halfWidth;
        if (drawn.maxScore == NoLimit) drawn.maxScore = halfWidth + box.mean;
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

// `nextGaussian()` gives a Normal deviate, drawn in place or ahead.
template <typename NextGaussian>
double RawDeviate(DistributionKind shape, const GenerationSetup& setup, RandomStreams& streams,
                  std::int32_t& scoreState, NextGaussian& nextGaussian) {
    switch (shape) {
        case DistributionKind::Normal:
            return nextGaussian();
        case DistributionKind::Uniform:
            return streams.ShuffledUniform(scoreState);
        case DistributionKind::SkewPos:
            return streams.BetaOrderStatistic(scoreState, setup.betaLow, setup.betaHigh);
        case DistributionKind::SkewNeg:
            return streams.BetaOrderStatistic(scoreState, setup.betaHigh, setup.betaLow);
        case DistributionKind::RandomlyChosen:
        case DistributionKind::Likert:  // drawn as its latent normal score
            break;
    }
    assert(false && "a drawn shape is never RandomlyChosen or Likert");
    return 0.0;
}

double TrueScore(double z, const BoxParameters& box, const DrawnBox& drawn, double trueSd,
                 const BetaMoments& beta) {
    switch (drawn.shape) {
        case DistributionKind::Normal:
            return box.mean + trueSd * z;
        case DistributionKind::Uniform:
            return drawn.minScore + z * (drawn.maxScore - drawn.minScore);
        case DistributionKind::SkewPos:
            return (z - beta.meanPos) / beta.sd * trueSd + box.mean;
        case DistributionKind::SkewNeg:
            return (z - beta.meanNeg) / beta.sd * trueSd + box.mean;
        case DistributionKind::RandomlyChosen:
        case DistributionKind::Likert:
            break;
    }
    return 0.0;
}

void MixBlock(const DataBlock& block, int n, const SquareMatrix& factor, ScoreTable& deviates) {
    if (n == 1) return;  // the factor is (1)
    for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
        double* z = deviates.Row(row);
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
std::array<BoxSpreads, kBoxCount> DrawShapesAndSpreads(const GenerationSetup& setup,
                                                       const DataLayout& layout,
                                                       RandomStreams& streams, CallerStates& states,
                                                       DrawnBoxes& drawn) {
    std::array<BoxSpreads, kBoxCount> spreads{};
    VisitBoxesForShapes(setup, layout, [&](int boxNumber) {
        const BoxParameters& box = setup.Box(boxNumber);
        DrawnBox& drawnBox = drawn[static_cast<std::size_t>(boxNumber - 1)];
        drawnBox = {box.distribution, false, box.minScore, box.maxScore};
        if (box.distribution == DistributionKind::RandomlyChosen) {
            DrawShape(box, streams, states.shapeStreamState, drawnBox);
        }
        spreads[boxNumber - 1] = SpreadsOf(box.sd, setup.reliability);
    });
    return spreads;
}

// The shape column `v` of `block` draws its raw deviates in: a correlated column that is not
// Normal draws Normal deviates, and takes its shape after the mixing.
DistributionKind DrawnShapeOf(const DrawnBoxes& drawn, const DataBlock& block,
                              const CorrelatedColumns& correlated, int v) {
    const DistributionKind shape = drawn[static_cast<std::size_t>(block.BoxOfColumn(v) - 1)].shape;
    return DrawnAsNormal(correlated[static_cast<std::size_t>(v)], shape) ? DistributionKind::Normal
                                                                         : shape;
}

// Whether every draw of the score stream in the run is a Gaussian deviate.
bool DrawsOnlyGaussians(const DrawnBoxes& drawn, const DataLayout& layout,
                        const CorrelatedColumns& correlated) {
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            if (DrawnShapeOf(drawn, block, correlated, v) != DistributionKind::Normal) return false;
        }
    }
    return true;
}

// Step 5: block by block, column by column, case by case. A correlated column that is not
// Normal draws a Normal deviate in its shape's place and takes its shape after the mixing.
template <typename NextGaussian>
void DrawRawDeviates(const GenerationSetup& setup, const DrawnBoxes& drawn,
                     const DataLayout& layout, const CorrelatedColumns& correlated,
                     RandomStreams& streams, CallerStates& states, NextGaussian& nextGaussian,
                     ScoreTable& deviates) {
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            const DistributionKind shape = DrawnShapeOf(drawn, block, correlated, v);
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                deviates.At(row, v) =
                    RawDeviate(shape, setup, streams, states.scoreStreamState, nextGaussian);
            }
        }
    }
}

// Step 7 for one cell, after its true score: error, lower limit, upper limit, extreme test,
// missing test. The extreme and missing tests draw even at 0% so that every later draw keeps
// its place in the sequence.
struct FinishedCell {
    double score = 0.0;
    bool limitCut = false;  ///< the Min or the Max moved it
};

FinishedCell FinishedScore(double trueScore, double errorDeviate, const BoxParameters& box,
                           const DrawnBox& drawn, const BoxSpreads& spread,
                           const GenerationSetup& setup, RandomStreams& streams,
                           CallerStates& states) {
    double y = trueScore + errorDeviate * spread.errorSd;
    const double beforeLimits = y;
    if (drawn.minScore != NoLimit && y < drawn.minScore) y = drawn.minScore;
    if (drawn.maxScore != NoLimit && y > drawn.maxScore) y = drawn.maxScore;
    const bool limitCut = y != beforeLimits;
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
    return {y, limitCut};
}

// What every cell of one column of a block shares, taken once for the block: the cells'
// writes could otherwise be any of these, and each would be read again per cell.
struct BlockColumn {
    BoxParameters box;
    DrawnBox drawn;
    BoxSpreads spread;
    bool shapedAfterMixing = false;  ///< drawn as Normal for its correlations
};
using BlockColumns = std::array<BlockColumn, kMaxVariables>;

BlockColumns ColumnsOf(const GenerationSetup& setup, const DrawnBoxes& drawn,
                       const DataBlock& block, int columnCount, const CorrelatedColumns& correlated,
                       const std::array<BoxSpreads, kBoxCount>& spreads) {
    BlockColumns columns{};
    for (int v = 0; v < columnCount; ++v) {
        const int boxNumber = block.BoxOfColumn(v);
        const auto boxIndex = static_cast<std::size_t>(boxNumber - 1);
        BlockColumn& column = columns[static_cast<std::size_t>(v)];
        column.box = setup.Box(boxNumber);
        column.drawn = drawn[boxIndex];
        column.spread = spreads[boxIndex];
        column.shapedAfterMixing =
            DrawnAsNormal(correlated[static_cast<std::size_t>(v)], column.drawn.shape);
    }
    return columns;
}

// Step 7, first part: every cell's true score; a correlated column that is not Normal takes
// its shape here.
void DrawTrueScores(const GenerationSetup& setup, const DrawnBoxes& drawn, const DataLayout& layout,
                    const CorrelatedColumns& correlated,
                    const std::array<BoxSpreads, kBoxCount>& spreads, const BetaMoments& beta,
                    GenerationTables& tables) {
    const int n = layout.variableCount;
    for (const DataBlock& block : layout) {
        const BlockColumns columns = ColumnsOf(setup, drawn, block, n, correlated, spreads);
        for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
            const double* deviates = tables.deviateTable.Row(row);
            double* trueScores = tables.trueScoreTable.Row(row);
            for (int v = 0; v < n; ++v) {
                const BlockColumn& column = columns[static_cast<std::size_t>(v)];
                double z = deviates[v];
                if (column.shapedAfterMixing) {
                    z = ShapedUnitDeviate(z, column.drawn.shape, setup.betaLow, setup.betaHigh);
                }
                trueScores[v] = TrueScore(z, column.box, column.drawn, column.spread.trueSd, beta);
            }
        }
    }
}

// Step 7, second part: each cell finished before the next starts.
struct FinishedScores {
    bool anyScoreMoved = false;  ///< some score differs from its true score
    bool limitsCut = false;
};

template <typename NextGaussian>
FinishedScores FinishScores(const GenerationSetup& setup, const DrawnBoxes& drawn,
                            const DataLayout& layout, const CorrelatedColumns& correlated,
                            const std::array<BoxSpreads, kBoxCount>& spreads,
                            RandomStreams& streams, CallerStates& states,
                            NextGaussian& nextGaussian, GenerationTables& tables) {
    const int n = layout.variableCount;
    FinishedScores finished;
    for (const DataBlock& block : layout) {
        const BlockColumns columns = ColumnsOf(setup, drawn, block, n, correlated, spreads);
        for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
            const double* trueScores = tables.trueScoreTable.Row(row);
            double* scores = tables.generatedData.Row(row);
            for (int v = 0; v < n; ++v) {
                const BlockColumn& column = columns[static_cast<std::size_t>(v)];
                const FinishedCell cell =
                    FinishedScore(trueScores[v], nextGaussian(), column.box, column.drawn,
                                  column.spread, setup, streams, states);
                finished.limitsCut = finished.limitsCut || cell.limitCut;
                finished.anyScoreMoved = finished.anyScoreMoved || cell.score != trueScores[v];
                scores[v] = cell.score;
            }
        }
    }
    return finished;
}

// A raw and an error deviate per score, one polar pair. Where they are all the score stream
// draws, a second thread may draw the pairs ahead; below some thousands a thread costs more
// than it saves, and a process held to one processor gains nothing from it. The thread draws
// a pair in about the time the run takes the logarithm of one, and the run has more to do
// besides: with the deviates of the last three tenths made by the thread, both finish
// together.
void StartDrawingAhead(std::optional<PolarPairsAhead>& ahead, const GenerationSetup& setup,
                       const DrawnBoxes& drawn, const DataLayout& layout,
                       const CorrelatedColumns& correlated, RandomStreams& streams,
                       CallerStates& states, GenerationTables& tables) {
    if (!WorthASecondThread(setup) || !DrawsOnlyGaussians(drawn, layout, correlated) ||
        !platform::OtherProcessorsAllowed()) {
        return;
    }
    const auto scores =
        static_cast<std::size_t>(layout.totalRows) * static_cast<std::size_t>(layout.variableCount);
    const std::size_t madeAhead = scores * 3 / 10;
    const std::size_t pairs = scores - madeAhead;
    try {
        tables.polarPairs.PrepareFor(pairs);
        tables.deviatesAhead.PrepareFor(madeAhead);
        ahead.emplace(streams, states.scoreStreamState, std::span(tables.polarPairs.data(), pairs),
                      std::span(tables.deviatesAhead.data(), madeAhead));
    } catch (const std::system_error&) {
        // No thread to be had: the pairs are drawn in place.
    }
}

// The end of an exact run: where no step after the true scores moved a score, the scores go
// on the decimal grid the data file writes, still at their targets where the grid allows.
void KeepExactOnTheGrid(const GenerationSetup& setup, const DataLayout& layout,
                        const std::array<BoxSpreads, kBoxCount>& spreads,
                        const FinishedScores& finished, ScoreTable& scores, RunRecord& record) {
    record.exactNotes.limitsCut = record.exactNotes.limitsCut || finished.limitsCut;
    if (finished.anyScoreMoved) return;
    RoundKeepingExactness(setup, record.boxes, layout, spreads, scores);
    NoteWrittenMisses(setup, record.boxes, layout, spreads, scores, record.exactNotes);
}

}  // namespace

std::optional<GenerationRefusal> RefusalBeforeScores(const GenerationSetup& given) {
    const GenerationSetup& setup = HasLatentScores(given) ? LatentSetupOf(given) : given;
    const DataLayout layout = LayoutOf(setup);
    // Every stream a run's shapes come from starts afresh at its seed, so streams of its own
    // draw the run's shapes.
    const auto streams = std::make_unique<RandomStreams>();
    CallerStates states = StatesOf(setup);
    DrawnBoxes drawn{};
    DrawShapesAndSpreads(setup, layout, *streams, states, drawn);
    const auto factors = std::make_unique<BlockFactors>();
    return MixingFactorsOf(setup, drawn, layout, CorrelatedColumnsOf(setup), *factors,
                           PointExpansionsOf(given));
}

namespace {

// Steps 1 to 7 for the designs whose cases have scores.
std::optional<GenerationRefusal> GenerateScores(const GenerationSetup& setup,
                                                RandomStreams& streams, GenerationTables& tables,
                                                RunRecord& record, RunThreads threads,
                                                const PointExpansions& points = {}) {
    const DataLayout layout = LayoutOf(setup);
    // The Run command lets no such setup through; should a caller ever break that, the run
    // is refused rather than allowed to write outside the tables.
    if (!WithinTables(setup, layout)) {
        assert(false && "the setup's cases do not fit the tables");
        return GenerationRefusal{"The cases of this setup do not fit the tables", {}};
    }
    assert(SetupIsRunnable(setup, layout));
    const int n = layout.variableCount;

    // 1. Caller states; the record starts afresh.
    CallerStates states = StatesOf(setup);
    RunRecord drawing;
    DrawnBoxes& drawn = drawing.boxes;
    // 2. and 3. A refusal comes before any score is drawn, and leaves the record as it was.
    const std::array<BoxSpreads, kBoxCount> spreads =
        DrawShapesAndSpreads(setup, layout, streams, states, drawn);
    const CorrelatedColumns correlated = CorrelatedColumnsOf(setup);
    if (std::optional<GenerationRefusal> refusal =
            MixingFactorsOf(setup, drawn, layout, correlated, tables.blockFactors, points)) {
        return refusal;
    }
    const BetaMoments beta = BetaMomentsOf(setup);
    for (ScoreTable* table :
         {&tables.deviateTable, &tables.trueScoreTable, &tables.generatedData}) {
        table->SetShape(layout.totalRows, n);
    }
    // 4. to 6.
    streams.ResetGaussian();
    std::optional<PolarPairsAhead> ahead;
    if (threads == RunThreads::TwoWhenLarge) {
        StartDrawingAhead(ahead, setup, drawn, layout, correlated, streams, states, tables);
    }
    auto nextGaussian = [&] {
        return ahead ? streams.GaussianDeviateWith([&] { return ahead->NextDeviates(); })
                     : streams.GaussianDeviate(states.scoreStreamState);
    };
    DrawRawDeviates(setup, drawn, layout, correlated, streams, states, nextGaussian,
                    tables.deviateTable);
    for (int b = 0; b < layout.blockCount; ++b) {
        const auto index = static_cast<std::size_t>(b);
        MixBlock(layout.blocks[index], n, tables.blockFactors[index], tables.deviateTable);
    }

    // 7. True scores, then each cell finished in turn. True scores draw nothing, so taking
    // them all first leaves every draw in its place.
    DrawTrueScores(setup, drawn, layout, correlated, spreads, beta, tables);
    if (setup.exactStatistics) {
        drawing.exactNotes =
            MakeTrueScoresExact(setup, drawn, layout, spreads, tables.trueScoreTable);
    }
    const FinishedScores finished = FinishScores(setup, drawn, layout, correlated, spreads, streams,
                                                 states, nextGaussian, tables);
    ahead.reset();  // every pair taken: the thread has ended, the streams are as serial
    if (setup.exactStatistics) {
        KeepExactOnTheGrid(setup, layout, spreads, finished, tables.generatedData, drawing);
    }
    record = drawing;
    return std::nullopt;
}

}  // namespace

std::optional<GenerationRefusal> GenerateData(const GenerationSetup& setup, RandomStreams& streams,
                                              GenerationTables& tables, RunRecord& record,
                                              RunThreads threads) {
    if (setup.family == DesignFamily::Categorical) {
        GenerateCategoryData(setup, streams, tables.generatedData);
        record = RunRecord{};
        return std::nullopt;
    }
    if (HasLatentScores(setup)) {
        std::optional<GenerationRefusal> refusal = GenerateScores(
            LatentSetupOf(setup), streams, tables, record, threads, PointExpansionsOf(setup));
        if (refusal) return refusal;
        if (setup.binaryOutcome) CutAtShareOfOnes(setup, tables.generatedData);
        CutIntoPoints(setup, tables.generatedData, record);
        return std::nullopt;
    }
    return GenerateScores(setup, streams, tables, record, threads);
}

}  // namespace zek
