#include "stats/scale_reliability.h"

#include <cmath>
#include <cstddef>

namespace zek {

namespace {

using Matrix = std::vector<std::vector<double>>;

bool Present(double value) {
    return !std::isnan(value);
}

// cov(x, y) over the cases with both, each mean over those cases.
double PairwiseCovariance(std::span<const double> x, std::span<const double> y) {
    double sumX = 0.0, sumY = 0.0;
    int n = 0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (!Present(x[k]) || !Present(y[k])) continue;
        sumX += x[k];
        sumY += y[k];
        ++n;
    }
    if (n < 2) return kMissingValue;
    const double meanX = sumX / n, meanY = sumY / n;
    double products = 0.0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (Present(x[k]) && Present(y[k])) products += (x[k] - meanX) * (y[k] - meanY);
    }
    return products / (n - 1);
}

// The items left when `dropped` (or none, at -1) is left out.
std::vector<std::size_t> Kept(std::size_t count, std::ptrdiff_t dropped) {
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < count; ++i) {
        if (static_cast<std::ptrdiff_t>(i) != dropped) kept.push_back(i);
    }
    return kept;
}

struct Alphas {
    double raw = kMissingValue;
    double standardised = kMissingValue;
    double meanR = kMissingValue;
};

// psych's alpha.1 over the kept items of the covariances and correlations.
Alphas AlphasOf(const Matrix& covariances, const Matrix& correlations,
                const std::vector<std::size_t>& kept) {
    const auto n = static_cast<double>(kept.size());
    double trace = 0.0, sumC = 0.0, sumR = 0.0;
    for (const std::size_t i : kept) {
        trace += covariances[i][i];
        for (const std::size_t j : kept) {
            sumC += covariances[i][j];
            sumR += correlations[i][j];
        }
    }
    return {(1.0 - trace / sumC) * (n / (n - 1.0)), (1.0 - n / sumR) * (n / (n - 1.0)),
            (sumR - n) / (n * (n - 1.0))};
}

// The mean of each case's present items (NaN where it has none).
std::vector<double> MeanScores(const std::vector<std::span<const double>>& items) {
    std::vector<double> means(items.front().size(), kMissingValue);
    for (std::size_t k = 0; k < means.size(); ++k) {
        double sum = 0.0;
        int present = 0;
        for (const std::span<const double> item : items) {
            if (!Present(item[k])) continue;
            sum += item[k];
            ++present;
        }
        if (present > 0) means[k] = sum / present;
    }
    return means;
}

// psych's figures of items that all vary: `items` and their summaries as given.
ScaleReliability AnalyseVaryingItems(const std::vector<std::span<const double>>& items) {
    const std::size_t count = items.size();
    Matrix covariances(count, std::vector<double>(count));
    Matrix correlations(count, std::vector<double>(count));
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = 0; j < count; ++j) {
            covariances[i][j] = PairwiseCovariance(items[i], items[j]);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = 0; j < count; ++j) {
            correlations[i][j] =
                covariances[i][j] / std::sqrt(covariances[i][i] * covariances[j][j]);
        }
    }
    ScaleReliability scale;
    for (const std::span<const double> item : items) scale.items.push_back({Summarise(item)});
    // A pair without two cases in common has no covariance, and psych then no result at
    // all: every figure is undefined.
    for (const std::vector<double>& row : covariances) {
        for (const double covariance : row) {
            if (std::isnan(covariance)) return scale;
        }
    }
    const Alphas all = AlphasOf(covariances, correlations, Kept(count, -1));
    scale.alpha = all.raw;
    scale.standardisedAlpha = all.standardised;
    scale.meanInterItemR = all.meanR;
    scale.meanScore = Summarise(MeanScores(items));
    for (std::size_t i = 0; i < count; ++i) {
        ScaleItem& item = scale.items[i];
        const std::vector<std::size_t> others = Kept(count, static_cast<std::ptrdiff_t>(i));
        double othersVariance = 0.0, withOthers = 0.0;
        for (const std::size_t j : others) {
            withOthers += covariances[j][i];
            for (const std::size_t l : others) othersVariance += covariances[j][l];
        }
        item.correctedItemTotalR = withOthers / std::sqrt(covariances[i][i] * othersVariance);
        if (count > 2) {
            const Alphas without = AlphasOf(covariances, correlations, others);
            item.alphaIfDropped = without.raw;
            item.standardisedAlphaIfDropped = without.standardised;
        } else {
            // Of two items psych gives the other's regression on it and their correlation.
            const std::size_t other = others.front();
            item.alphaIfDropped = covariances[0][1] / covariances[other][other];
            item.standardisedAlphaIfDropped = correlations[0][1];
        }
    }
    return scale;
}

// psych's mean score once items without variance are left out: the kept items' mean of each
// case, weighted with the left-out items counted at the first case's scores.
std::vector<double> MeanScoresWithConstants(const std::vector<std::span<const double>>& kept,
                                            std::size_t leftOut, double firstScoresLeftOut) {
    std::vector<double> means = MeanScores(kept);
    const auto k = static_cast<double>(kept.size());
    for (double& mean : means) {
        mean = (k * mean + firstScoresLeftOut) / (k + static_cast<double>(leftOut));
    }
    return means;
}

}  // namespace

ScaleReliability AnalyseScale(const std::vector<std::span<const double>>& items) {
    // psych leaves out an item whose present scores are all alike (or fewer than two), as it
    // warns; the rest are a scale of their own.
    std::vector<std::span<const double>> varying;
    std::vector<std::size_t> varyingAt;
    double firstScoresLeftOut = 0.0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (Summarise(items[i]).sd > 0.0) {
            varying.push_back(items[i]);
            varyingAt.push_back(i);
        } else if (!items[i].empty() && Present(items[i].front())) {
            firstScoresLeftOut += items[i].front();
        }
    }
    ScaleReliability scale;
    for (const std::span<const double> item : items) scale.items.push_back({Summarise(item)});
    if (varying.size() < 2) return scale;
    const ScaleReliability kept = AnalyseVaryingItems(varying);
    scale.alpha = kept.alpha;
    scale.standardisedAlpha = kept.standardisedAlpha;
    scale.meanInterItemR = kept.meanInterItemR;
    scale.meanScore = kept.meanScore;
    for (std::size_t k = 0; k < varying.size(); ++k) scale.items[varyingAt[k]] = kept.items[k];
    const std::size_t leftOut = items.size() - varying.size();
    if (leftOut > 0 && !std::isnan(kept.alpha)) {
        scale.meanScore = Summarise(MeanScoresWithConstants(varying, leftOut, firstScoresLeftOut));
    }
    return scale;
}

}  // namespace zek
