// Exact sample statistics: data whose sample mean, SD and correlations are the asked ones,
// so that every student's first step checks out against the worksheet.
//
// The true scores are drawn as always; then each box's scores are shifted and scaled to the
// asked mean and SD (n - 1 divisor), and where a block has several variables its columns are
// first whitened by the Cholesky factor of their own sample correlations and recoloured by
// the asked one. The seed still decides the data: the same seed gives the same bytes.
#pragma once

#include <array>

#include "engine/data_layout.h"
#include "engine/run_record.h"
#include "engine/spreads.h"
#include "setup/generation_setup.h"

namespace zek {

/// The mean and SD a box's sample is made to have: the box's own, or for a Uniform box those
/// of the uniform distribution between its limits.
struct TargetMoments {
    double mean = 0.0;
    double sd = 0.0;
};
TargetMoments TargetMomentsOf(const BoxParameters& box, const DrawnBox& drawn, double trueSd);

/// Makes the true scores of every block exact and says where that could not be done;
/// `spreads` holds each box's spreads by box number - 1.
ExactRunNotes MakeTrueScoresExact(const GenerationSetup& setup, const DrawnBoxes& drawn,
                                  const DataLayout& layout,
                                  const std::array<BoxSpreads, kBoxCount>& spreads,
                                  ScoreTable& trueScores);

/// Puts each score of the run on its box's decimal grid, as the data file writes it, and
/// moves as few scores as it needs by one step of the last decimal so that the written mean
/// and SD of each box are still its targets at the box's decimals. The scores are taken in
/// order of how far rounding moved them, so the result is deterministic. For runs in which
/// no later step (error, limits, extreme or missing values) moved a score.
/// After `RoundKeepingExactness`: which boxes' written means or SDs still miss their targets
/// at the box's decimals, with what was written, so that the report never claims what the
/// data do not show.
void NoteWrittenMisses(const GenerationSetup& setup, const DrawnBoxes& drawn,
                       const DataLayout& layout, const std::array<BoxSpreads, kBoxCount>& spreads,
                       const ScoreTable& scores, ExactRunNotes& notes);

void RoundKeepingExactness(const GenerationSetup& setup, const DrawnBoxes& drawn,
                           const DataLayout& layout,
                           const std::array<BoxSpreads, kBoxCount>& spreads, ScoreTable& scores);

}  // namespace zek
