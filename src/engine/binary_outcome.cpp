#include "engine/binary_outcome.h"

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <boost/multiprecision/cpp_bin_float.hpp>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "engine/likert_points.h"
#include "engine/spreads.h"

namespace zek {

bool HasLatentScores(const GenerationSetup& setup) {
    if (setup.binaryOutcome) return true;
    for (const BoxParameters& box : setup.boxes) {
        if (box.active && box.distribution == DistributionKind::Likert) return true;
    }
    return false;
}

GenerationSetup LatentSetupOf(const GenerationSetup& setup) {
    GenerationSetup latent = setup;
    for (BoxParameters& box : latent.boxes) {
        if (box.active && box.distribution == DistributionKind::Likert) {
            box = LatentBoxOf(box, setup.reliability);
        }
    }
    if (!setup.binaryOutcome) return latent;
    latent.binaryOutcome = false;
    BoxParameters& outcome = latent.Box(1);
    outcome.mean = 0.0;
    outcome.sd = 1.0;
    outcome.decimals = kLatentDecimals;
    outcome.minScore = NoLimit;
    outcome.maxScore = NoLimit;
    outcome.distribution = DistributionKind::Normal;
    return latent;
}

double LatentCut(double share, double reliability) {
    // The Run command takes only shares strictly between 0 and 1; beyond them every case
    // is a 0 or a 1.
    if (!(share > 0.0)) return std::numeric_limits<double>::infinity();
    if (!(share < 1.0)) return -std::numeric_limits<double>::infinity();
    // The quantile in software floating point: its last bit decides which cases are 1s, and
    // must not depend on the machine's own functions.
    using Wide = boost::multiprecision::cpp_bin_float_50;
    const Wide quantile =
        boost::math::quantile(boost::math::normal_distribution<Wide>(), Wide(1) - Wide(share));
    return quantile.convert_to<double>() * SpreadsOf(1.0, reliability).observedSd;
}

void CutAtShareOfOnes(const GenerationSetup& setup, ScoreTable& scores) {
    const double share = setup.Box(1).mean / 100.0;
    const int rows = setup.totalCases;
    if (!setup.exactStatistics) {
        const double cut = LatentCut(share, setup.reliability);
        for (int row = 0; row < rows; ++row) {
            double& score = scores.At(row, 0);
            if (score != MissingMark) score = score > cut ? 1.0 : 0.0;
        }
        return;
    }
    std::vector<int> present;
    present.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        if (scores.At(row, 0) != MissingMark) present.push_back(row);
    }
    const auto ones =
        static_cast<std::ptrdiff_t>(std::llround(share * static_cast<double>(present.size())));
    // Highest first; a stable sort keeps tied rows in their order.
    std::stable_sort(present.begin(), present.end(),
                     [&](int a, int b) { return scores.At(a, 0) > scores.At(b, 0); });
    for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(present.size()); ++i) {
        scores.At(present[static_cast<std::size_t>(i)], 0) = i < ones ? 1.0 : 0.0;
    }
}

}  // namespace zek
