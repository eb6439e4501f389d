// The generation engine: one call turns a validated setup into the table of scores.
//
// The order of the draws is the behaviour: a teacher who types seed 1804 tomorrow must get
// today's file, so every step below draws in a fixed order and nothing else touches the
// streams in between.
//   1. caller states from the setup's seeds; a fresh record of the run
//   2. the shape of each "Randomly Chosen" box, and each box's observed, true and error SD
//   3. the Cholesky factor each block is mixed by (see mixing_factors.h)
//   4. forget a waiting Gaussian deviate
//   5. raw deviates, block by block, column by column, case by case; a correlated column
//      that is not Normal draws Normal deviates here
//   6. each row mixed through its block's factor
//   7. cell by cell: true score (a correlated column that is not Normal first takes its
//      shape, see shaped_correlation.h), error, lower limit, upper limit, extreme test,
//      missing test
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/data_layout.h"
#include "engine/mixing_factors.h"
#include "engine/random_streams.h"
#include "engine/run_record.h"
#include "engine/run_threads.h"
#include "engine/table_memory.h"
#include "setup/generation_setup.h"

namespace zek {

/// The engine's tables, allocated once for the life of the program.
struct GenerationTables {
    ScoreTable deviateTable;    ///< raw deviates, then the same mixed by the factor
    ScoreTable trueScoreTable;  ///< deviates scaled to each box's mean and spread
    ScoreTable generatedData;   ///< final scores; `MissingMark` for a missing score
    /// The square lower-triangular factor of each block, `[block][i][j]` for 0-based i, j.
    BlockFactors blockFactors{};
    /// The polar pairs of a run's Gaussian deviates when a second thread draws them, one per
    /// score, and the deviates of those it makes itself.
    TableMemory<PolarPair> polarPairs{static_cast<std::size_t>(kMaxRows) * ScoreTable::kMaxColumns};
    TableMemory<DeviatePair> deviatesAhead{static_cast<std::size_t>(kMaxRows) *
                                           ScoreTable::kMaxColumns};
};

/// Fills `tables.generatedData` for the run that `setup` describes, and `record` with each
/// box's drawn shape and limits and what kept exact statistics from being exact.
///
/// Preconditions, all established by the Run command and checked here in debug builds only:
/// the design fields come from the catalogue; every `n` of a block is 2..25000 and
/// `totalCases` is their sum; `reliability` is in (0, 1]; 1 <= `betaLow` <= `betaHigh` <= 10;
/// `full` holds a positive definite correlation matrix of order `variableCount`;
/// a box whose shape is Uniform has both limits.
///
/// Refused, before any score is drawn and with the score tables and `record` as they were:
/// a setup whose drawn shapes cannot carry its correlations (see `MixingFactorsOf`), and, even
/// in release builds, one whose cases would not fit the tables.
///
/// With `RunThreads::TwoWhenLarge`, a large run whose columns all draw Normal deviates
/// draws their uniforms on a second thread (see polar_pairs_ahead.h): the same scores,
/// sooner.
[[nodiscard]] std::optional<GenerationRefusal> GenerateData(const GenerationSetup& setup,
                                                            RandomStreams& streams,
                                                            GenerationTables& tables,
                                                            RunRecord& record,
                                                            RunThreads threads = RunThreads::One);

/// What `GenerateData` would refuse for `setup` before it draws a score: the shapes it would
/// draw for randomly chosen boxes, and the correlations those can reach. Nothing is drawn
/// but the shapes, in streams of its own, so that a class set can check the seed of every
/// dataset before it writes any. `setup` as for `GenerateData`.
[[nodiscard]] std::optional<GenerationRefusal> RefusalBeforeScores(const GenerationSetup& setup);

}  // namespace zek
