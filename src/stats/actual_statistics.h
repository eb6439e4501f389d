// What the generated sample actually holds, for the report beside the requested figures:
// per box the count, mean and SD of the present scores, and the Pearson correlations of
// the variables over the cases that have both scores (pairwise deletion).
//
// Two readings of one sample stand in this room, on purpose: the report describes the scores
// as generated, unrounded (these), while the answer key holds what students compute from the
// data file, the scores rounded as written (`Summarise` and the tests of sample_tests.h). A
// box with 2 decimals may show a mean of 49.83 in the report and 49.8317 in the key.
#pragma once

#include <array>
#include <cstdint>

#include "engine/data_layout.h"
#include "setup/generation_setup.h"

namespace zek {

/// One record for the whole program. Entries outside the current design, and entries that
/// a sample cannot define (no present score, no spread), keep their previous values.
struct ActualStatistics {
    std::array<std::int32_t, kBoxCount> actualN{};
    std::array<double, kBoxCount> actualMean{};
    std::array<double, kBoxCount> actualSd{};
    std::array<double, kBoxCount> sum{};
    std::array<double, kBoxCount> sumOfSquares{};
    /// `actualCorrelations[i][j]` for 0-based variables; both triangles are filled.
    SquareMatrix actualCorrelations{};
    /// A categorical design's counts per cell (row after row) over the cases with every code,
    /// and how many cases those are.
    std::array<std::int64_t, kMaxTableCells> categoryCounts{};
    std::int64_t categoryCases = 0;
};

/// Count, mean and SD (divisor count - 1) of the present scores of every box of the design.
void ComputeBoxStatistics(const GenerationSetup& setup, const ScoreTable& generated,
                          ActualStatistics& statistics);

/// Correlations of variables 1..`variableCount` over all rows, pairwise complete.
void ComputePairwiseCorrelations(const GenerationSetup& setup, const ScoreTable& generated,
                                 ActualStatistics& statistics);

/// What the information file reports of the run: the box statistics, and the correlations
/// where the design has more than one variable; a categorical design's counts instead.
void ComputeActualStatistics(const GenerationSetup& setup, const ScoreTable& generated,
                             ActualStatistics& statistics);

}  // namespace zek
