// Rating-scale points cut from a latent normal score: a score L of a normal distribution is
// the point nearest to it on a scale of 1 to k points (below 1.5 the point 1, from k - 0.5 the
// point k), so that the latent score's mean and SD decide every point's share.
//
// A teacher asks for the points' own mean and SD; the latent mean and SD that give them are
// found here, and a mean and SD that no latent normal score gives on the scale are refused
// with the SDs that the mean can have.
#pragma once

#include <optional>
#include <vector>

#include "engine/data_layout.h"
#include "engine/mixing_factors.h"
#include "engine/run_record.h"
#include "setup/generation_setup.h"

namespace zek {

inline constexpr int kFewestLikertPoints = 3;
inline constexpr int kMostLikertPoints = 11;

/// Whether a Max Score is a scale's number of points: a whole number from 3 to 11.
constexpr bool IsPointCount(double points) {
    return points >= kFewestLikertPoints && points <= kMostLikertPoints &&
           points == static_cast<double>(static_cast<int>(points));
}

/// The mean and SD of the latent normal score.
struct LatentNormal {
    double mean = 0.0;
    double sd = 1.0;
};

/// The points' mean and SD that a latent normal score gives.
struct PointMoments {
    double mean = 0.0;
    double sd = 0.0;
};

/// The SDs the points can have at a mean, from a latent SD of almost nothing (all cases on
/// the one or two points nearest the mean) to a very wide one (almost all cases on the two
/// end points, whose SD sqrt((m - 1)(k - m)) no scale of k points exceeds).
struct SdReach {
    double lowest = 0.0;
    double highest = 0.0;
};

/// The share of each point 1..k (at [point - 1]).
std::vector<double> PointShares(const LatentNormal& latent, int points);

PointMoments MomentsOfPoints(const LatentNormal& latent, int points);

/// For a mean strictly between 1 and k; none otherwise.
std::optional<SdReach> SdReachAt(double mean, int points);

/// The latent score whose points have `mean` and `sd` on a scale of `points` points (3..11);
/// none for a mean outside (1, k) or an SD outside `SdReachAt(mean)`.
std::optional<LatentNormal> LatentForPoints(double mean, double sd, int points);

/// The point a latent score falls on.
double PointOf(double latentScore, int points);

/// A Likert box's points: its Max Score (its Min Score is 1).
int PointsOf(const BoxParameters& box);

/// The latent normal box a Likert box is drawn as: Normal with the latent mean and SD of its
/// points' mean and SD (its SD the true one that `reliability` widens to the latent SD), no
/// limits. A box whose mean and SD the scale cannot have, which the Run command lets
/// through to no run, is drawn with its own.
BoxParameters LatentBoxOf(const BoxParameters& box, double reliability);

/// The expansion of every active Likert box's points in its latent score, by box.
PointExpansions PointExpansionsOf(const GenerationSetup& setup);

/// Turns the latent scores of every Likert box's cells in `scores` into its points, and
/// records those boxes as Likert boxes of their points; missing stays missing. With exact
/// statistics a cell's present scores take the points in the order of their latent scores,
/// each point its share of them by largest remainders.
void CutIntoPoints(const GenerationSetup& setup, ScoreTable& scores, RunRecord& record);

}  // namespace zek
