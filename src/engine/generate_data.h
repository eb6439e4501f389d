// The generation engine: one call turns a validated setup into the table of scores.
//
// The order of the draws is the behaviour: a teacher who types seed 1804 tomorrow must get
// today's file, so every step below draws in a fixed order and nothing else touches the
// streams in between.
//   1. caller states from the setup's seeds; clear the random-choice marks
//   2. the shape of each "Randomly Chosen" box, and each box's observed, true and error SD
//   3. the Cholesky factor of the correlation matrix
//   4. forget a waiting Gaussian deviate
//   5. raw deviates, block by block, column by column, case by case
//   6. each row mixed through the factor
//   7. cell by cell: true score, error, lower limit, upper limit, extreme test, missing test
#pragma once

#include <array>

#include "engine/data_layout.h"
#include "engine/random_streams.h"
#include "setup/generation_setup.h"

namespace zek {

/// The engine's tables, allocated once for the life of the program.
struct GenerationTables {
    ScoreTable deviateTable;    ///< raw deviates, then the same mixed by the factor
    ScoreTable trueScoreTable;  ///< deviates scaled to each box's mean and spread
    ScoreTable generatedData;   ///< final scores; `MissingMark` for a missing score
    /// The square lower-triangular factor, `choleskyFactor[i][j]` for 0-based i, j.
    std::array<std::array<double, kMaxVariables>, kMaxVariables> choleskyFactor{};
};

/// Fills `tables.generatedData` for the run that `setup` describes, and records in the setup each
/// box's drawn shape, its random-choice mark and, for a randomly chosen Uniform box without
/// limits, the limits it was given.
///
/// Preconditions, all established by the Run command and checked here in debug builds only:
/// the design fields come from the catalogue; every `n` of a block is 2..25000 and
/// `totalCases` is their sum; `reliability` is in (0, 1]; 1 <= `betaLow` <= `betaHigh` <= 10;
/// `full` and `packed` hold a positive definite correlation matrix of order `variableCount`;
/// a box whose shape is Uniform has both limits. A setup whose cases would not fit the tables
/// is refused even in release builds: nothing is drawn and the tables stay as they were.
void GenerateData(GenerationSetup& setup, RandomStreams& streams, GenerationTables& tables);

}  // namespace zek
