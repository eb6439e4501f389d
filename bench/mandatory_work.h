// What a run cannot do without, as the floor against which the benchmarks measure it: the
// stream calls of its scores and the formatting of its numbers.
#pragma once

#include <cstdint>
#include <string>

#include "engine/data_layout.h"
#include "engine/random_streams.h"
#include "engine/run_record.h"
#include "files/number_format.h"
#include "setup/generation_setup.h"

namespace zek::bench {

/// The same stream calls as a run of `setup`, in the same order of kinds (one raw deviate,
/// one error deviate, the extreme and the missing test per score), without any arithmetic.
inline double BareDraws(const GeneratedRun& run, RandomStreams& streams) {
    const GenerationSetup& setup = run.setup;
    const DataLayout layout = LayoutOf(setup);
    const StreamSeeds seeds = StreamSeedsOf(setup.seed);
    std::int32_t score = seeds.negated;
    std::int32_t extreme = seeds.times727;
    std::int32_t missing = seeds.times319;
    double sink = 0.0;
    for (const DataBlock& block : layout) {
        for (int v = 0; v < layout.variableCount; ++v) {
            const DistributionKind shape = run.record.Box(block.BoxOfColumn(v)).shape;
            for (int row = 0; row < block.rowCount; ++row) {
                switch (shape) {
                    case DistributionKind::SkewPos:
                        sink += streams.BetaOrderStatistic(score, setup.betaLow, setup.betaHigh);
                        break;
                    case DistributionKind::SkewNeg:
                        sink += streams.BetaOrderStatistic(score, setup.betaHigh, setup.betaLow);
                        break;
                    case DistributionKind::Uniform:
                        sink += streams.ShuffledUniform(score);
                        break;
                    case DistributionKind::Normal:
                    case DistributionKind::RandomlyChosen:
                    case DistributionKind::Likert:  // its latent normal score
                        sink += streams.GaussianDeviate(score);
                        break;
                }
            }
        }
    }
    for (int cell = 0; cell < setup.totalCases * layout.variableCount; ++cell) {
        sink += streams.GaussianDeviate(score);
        sink += streams.SubtractiveUniform(extreme);
        sink += streams.SubtractiveUniform(missing);
    }
    return sink;
}

/// Every present score of the run formatted into one string with its box's decimals, with no
/// ids, codes, separators or line ends; returns the length, so nothing is optimised away.
inline std::size_t BareFormatting(const GenerationSetup& setup, const ScoreTable& scores) {
    const DataLayout layout = LayoutOf(setup);
    std::string text;
    text.reserve(static_cast<std::size_t>(setup.totalCases) * 8 * 12);
    for (const DataBlock& block : layout) {
        for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
            for (int v = 0; v < layout.variableCount; ++v) {
                const double score = scores.At(row, v);
                if (score != MissingMark) {
                    AppendFixed(text, score, setup.Box(block.BoxOfColumn(v)).decimals);
                }
            }
        }
    }
    return text.size();
}

}  // namespace zek::bench
