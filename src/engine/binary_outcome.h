// The outcome of a logistic regression design: a latent normal score, correlated with the
// predictors as the grid asks, cut into 0s and 1s at the asked percentage of 1s; and the
// setup whose run draws the latent scores, of that outcome and of rating-scale boxes.
//
// The latent score is drawn as box 1 of an ordinary regression run, so that its draws take
// the places an outcome's draws take and the predictors get the scores a regression of the
// same seed gives them.
#pragma once

#include "engine/data_layout.h"
#include "setup/generation_setup.h"

namespace zek {

/// Decimals the latent score is drawn to: fine enough that two cases tie on it only by
/// chance, so that the cut of an exact run takes the asked count.
inline constexpr int kLatentDecimals = 6;

/// Whether a run of `setup` draws latent scores to cut: a binary outcome's, or a Likert box's.
bool HasLatentScores(const GenerationSetup& setup);

/// `setup` with its latent scores' boxes: box 1 of a binary outcome Normal, mean 0 and SD 1,
/// no limits, and no longer a binary design, so that a run of it is a regression run; every
/// Likert box as its latent normal box (see likert_points.h).
GenerationSetup LatentSetupOf(const GenerationSetup& setup);

/// Replaces column 0 of `scores` (the latent score, `MissingMark` where missing) by 1 for the
/// cases above the cut and 0 for the others; missing stays missing.
///
/// The cut is the latent score's population quantile at 1 - p for the asked share p of 1s
/// (box 1's mean as a percentage), so that the sample's share varies as a sample's does.
/// With exact statistics, it is the sample's own: the round(p m) highest of the m present scores
/// are 1s (ties taken in row order).
void CutAtShareOfOnes(const GenerationSetup& setup, ScoreTable& scores);

/// The latent score's population cut for a share `share` of 1s and a reliability: the score
/// that leaves `share` of a normal distribution of mean 0 and the observed SD above it.
double LatentCut(double share, double reliability);

}  // namespace zek
