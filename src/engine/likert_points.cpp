#include "engine/likert_points.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "engine/binary_outcome.h"
#include "engine/category_draws.h"

namespace zek {

namespace {

// Latent SDs between these, relative to the scale's width, span every SD the points can
// have but a sliver at either end.
constexpr double kNarrowestLatentSd = 1e-3;
constexpr double kWidestLatentSd = 1e3;
constexpr int kHalvings = 200;

// The share of the latent distribution above x.
double UpperTail(const LatentNormal& latent, double x) {
    return 0.5 * std::erfc((x - latent.mean) / (latent.sd * std::sqrt(2.0)));
}

// The latent mean whose points have `mean` at the latent SD `sd`: the points' mean rises with
// the latent mean, so halving the interval finds it.
LatentNormal LatentWithMean(double mean, double sd, int points) {
    double low = 1.0 - 40.0 * sd - 1.0;
    double high = points + 40.0 * sd + 1.0;
    for (int step = 0; step < kHalvings && high - low > 0.0; ++step) {
        const double middle = 0.5 * (low + high);
        if (middle == low || middle == high) break;
        if (MomentsOfPoints({middle, sd}, points).mean < mean) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return {0.5 * (low + high), sd};
}

}  // namespace

std::vector<double> PointShares(const LatentNormal& latent, int points) {
    std::vector<double> shares(static_cast<std::size_t>(points));
    double above = 1.0;  // the share above the previous cut
    for (int point = 1; point < points; ++point) {
        const double next = UpperTail(latent, point + 0.5);
        shares[static_cast<std::size_t>(point - 1)] = above - next;
        above = next;
    }
    shares.back() = above;
    return shares;
}

PointMoments MomentsOfPoints(const LatentNormal& latent, int points) {
    // A point x is 1 plus the cuts below it, and x squared 1 plus 2c + 1 for each cut c below
    // it: sums of upper tails, which keep their precision far out.
    double mean = 1.0;
    double square = 1.0;
    for (int cut = 1; cut < points; ++cut) {
        const double above = UpperTail(latent, cut + 0.5);
        mean += above;
        square += (2.0 * cut + 1.0) * above;
    }
    return {mean, std::sqrt(std::max(0.0, square - mean * mean))};
}

std::optional<SdReach> SdReachAt(double mean, int points) {
    if (!(mean > 1.0 && mean < points)) return std::nullopt;
    const double width = points - 1.0;
    return SdReach{
        MomentsOfPoints(LatentWithMean(mean, kNarrowestLatentSd * width, points), points).sd,
        MomentsOfPoints(LatentWithMean(mean, kWidestLatentSd * width, points), points).sd};
}

std::optional<LatentNormal> LatentForPoints(double mean, double sd, int points) {
    const std::optional<SdReach> reach = SdReachAt(mean, points);
    if (!reach || !(sd >= reach->lowest && sd <= reach->highest)) return std::nullopt;
    // At a fixed mean the points spread as the latent score does: halve the latent SD's
    // logarithm between the two ends.
    const double width = points - 1.0;
    double low = std::log(kNarrowestLatentSd * width);
    double high = std::log(kWidestLatentSd * width);
    for (int step = 0; step < kHalvings; ++step) {
        const double middle = 0.5 * (low + high);
        if (middle == low || middle == high) break;
        const LatentNormal latent = LatentWithMean(mean, std::exp(middle), points);
        if (MomentsOfPoints(latent, points).sd < sd) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return LatentWithMean(mean, std::exp(0.5 * (low + high)), points);
}

double PointOf(double latentScore, int points) {
    return std::clamp(std::floor(latentScore + 0.5), 1.0, static_cast<double>(points));
}

int PointsOf(const BoxParameters& box) {
    return static_cast<int>(box.maxScore);
}

BoxParameters LatentBoxOf(const BoxParameters& box, double reliability) {
    BoxParameters latent = box;
    const std::optional<LatentNormal> normal = LatentForPoints(box.mean, box.sd, PointsOf(box));
    assert(normal && "the Run command lets no unreachable mean and SD through");
    latent.mean = normal ? normal->mean : box.mean;
    latent.sd = (normal ? normal->sd : box.sd) * std::sqrt(reliability);
    latent.decimals = kLatentDecimals;
    latent.minScore = NoLimit;
    latent.maxScore = NoLimit;
    latent.distribution = DistributionKind::Normal;
    return latent;
}

PointExpansions PointExpansionsOf(const GenerationSetup& setup) {
    PointExpansions expansions;
    for (int boxNumber = 1; boxNumber <= kBoxCount; ++boxNumber) {
        const BoxParameters& box = setup.Box(boxNumber);
        if (!box.active || box.distribution != DistributionKind::Likert) continue;
        const int points = PointsOf(box);
        const std::optional<LatentNormal> latent = LatentForPoints(box.mean, box.sd, points);
        if (!latent) continue;
        std::vector<double> cuts;
        for (int cut = 1; cut < points; ++cut) {
            cuts.push_back((cut + 0.5 - latent->mean) / latent->sd);
        }
        expansions[static_cast<std::size_t>(boxNumber - 1)] =
            ShapeExpansion::OfPoints(cuts, MomentsOfPoints(*latent, points).sd);
    }
    return expansions;
}

namespace {

// How far counts of points 1 .. k are from a mean and an SD: the sum of the squared
// differences, the SD with n - 1 as the key computes it.
class MomentsDistance {
  public:
    MomentsDistance(const std::vector<std::int32_t>& counts, double mean, double sd)
        : mean_(mean), sd_(sd) {
        for (std::size_t p = 0; p < counts.size(); ++p) {
            const double point = static_cast<double>(p + 1);
            cases_ += counts[p];
            sum_ += counts[p] * point;
            squares_ += counts[p] * point * point;
        }
    }

    /// The distance once the points' sum and the sum of their squares change by these.
    double After(double sumChange, double squaresChange) const {
        const double sum = sum_ + sumChange;
        const double mean = sum / cases_;
        const double variance =
            std::max(0.0, (squares_ + squaresChange - sum * mean) / (cases_ - 1.0));
        const double sd = std::sqrt(variance);
        return (mean - mean_) * (mean - mean_) + (sd - sd_) * (sd - sd_);
    }
    void Change(double sumChange, double squaresChange) {
        sum_ += sumChange;
        squares_ += squaresChange;
    }

  private:
    double mean_;
    double sd_;
    double cases_ = 0.0;
    double sum_ = 0.0;      ///< of the points, exact in a double for any count of cases
    double squares_ = 0.0;  ///< of the squared points, likewise
};

// A case moved from one point to another (both from 1).
struct PointMove {
    int from = 0;
    int to = 0;
    double SumChange() const { return to - from; }
    double SquaresChange() const { return to * to - from * from; }
};

// The counts nearest the asked mean and SD, found from the points' shares a step at a time:
// each step the move of one or two cases that brings the counts nearest (the first such in
// point order on a tie), until none brings them nearer. Two cases at once reach what one
// cannot: one down and one up a point widen the SD and keep the mean.
void MoveTowardsTheMoments(std::vector<std::int32_t>& counts, double mean, double sd) {
    std::int32_t cases = 0;
    for (const std::int32_t count : counts) cases += count;
    if (cases < 2) return;
    const int points = static_cast<int>(counts.size());
    std::vector<PointMove> moves{PointMove{}};  // the first, no move, lets a step move one case
    for (int from = 1; from <= points; ++from) {
        for (int to = 1; to <= points; ++to) {
            if (to != from) moves.push_back({from, to});
        }
    }
    auto count = [&counts](int point) -> std::int32_t& {
        return counts[static_cast<std::size_t>(point - 1)];
    };
    MomentsDistance distance(counts, mean, sd);
    while (true) {
        double best = distance.After(0.0, 0.0);
        PointMove bestFirst, bestSecond;
        for (std::size_t a = 1; a < moves.size(); ++a) {
            const PointMove& first = moves[a];
            if (count(first.from) == 0) continue;
            for (const PointMove& second : moves) {
                const bool secondTakes = second.from != 0;
                // The second case must be there once the first has moved.
                if (secondTakes && count(second.from) - (second.from == first.from ? 1 : 0) +
                                           (second.from == first.to ? 1 : 0) ==
                                       0) {
                    continue;
                }
                // Nearer by more than rounding, so that no platform takes another step.
                const double after = distance.After(first.SumChange() + second.SumChange(),
                                                    first.SquaresChange() + second.SquaresChange());
                if (after < best * (1.0 - 1e-12)) {
                    best = after;
                    bestFirst = first;
                    bestSecond = second;
                }
            }
        }
        if (bestFirst.from == 0) return;
        for (const PointMove& move : {bestFirst, bestSecond}) {
            if (move.from == 0) continue;
            --count(move.from);
            ++count(move.to);
            distance.Change(move.SumChange(), move.SquaresChange());
        }
    }
}

// Exact statistics: the present scores of a cell take the points in the order of their
// latent scores, each point as many as its share of them gives by largest remainders, moved
// case by case towards the asked mean and SD as nearly as whole points can have them.
void PlaceAtTheirShares(const BoxParameters& box, const DataBlock& block, int column,
                        ScoreTable& scores) {
    const int points = PointsOf(box);
    const std::optional<LatentNormal> latent = LatentForPoints(box.mean, box.sd, points);
    if (!latent) return;
    std::vector<int> present;
    for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
        if (scores.At(row, column) != MissingMark) present.push_back(row);
    }
    // Lowest first; a stable sort keeps tied rows in their order.
    std::stable_sort(present.begin(), present.end(),
                     [&](int a, int b) { return scores.At(a, column) < scores.At(b, column); });
    std::vector<std::int32_t> counts = LargestRemainderCounts(
        static_cast<std::int32_t>(present.size()), PointShares(*latent, points));
    MoveTowardsTheMoments(counts, box.mean, box.sd);
    std::size_t next = 0;
    for (std::size_t point = 0; point < counts.size(); ++point) {
        for (std::int32_t k = 0; k < counts[point]; ++k) {
            scores.At(present[next++], column) = static_cast<double>(point + 1);
        }
    }
}

}  // namespace

void CutIntoPoints(const GenerationSetup& setup, ScoreTable& scores, RunRecord& record) {
    const DataLayout layout = LayoutOf(setup);
    for (const DataBlock& block : layout) {
        for (int column = 0; column < layout.variableCount; ++column) {
            const int boxNumber = block.BoxOfColumn(column);
            const BoxParameters& box = setup.Box(boxNumber);
            if (box.distribution != DistributionKind::Likert) continue;
            const int points = PointsOf(box);
            if (setup.exactStatistics) {
                PlaceAtTheirShares(box, block, column, scores);
            } else {
                for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                    double& score = scores.At(row, column);
                    if (score != MissingMark) score = PointOf(score, points);
                }
            }
            record.boxes[static_cast<std::size_t>(boxNumber - 1)] = {
                DistributionKind::Likert, false, 1.0, static_cast<double>(points)};
        }
    }
}

}  // namespace zek
