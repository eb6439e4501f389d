#include "engine/shaped_correlation.h"

#include "engine/spreads.h"

#include <algorithm>
#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <cassert>
#include <cmath>
#include <numbers>

namespace zek {

namespace {

// Double precision throughout, so that a quantile does not depend on the width of long
// double; a quantile deep in a tail whose search stops short returns its best value instead
// of throwing out of a run.
using QuantilePolicy = boost::math::policies::policy<
    boost::math::policies::promote_double<false>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

// Enough nodes that the quadrature of every coefficient up to `kDegree` is exact far beyond
// the 1e-6 a correlation needs (the series of the Uniform, the slowest, has lost all but
// 1e-12 of its variance by degree 30).
constexpr int kNodeCount = 80;

constexpr double kFarthestDeviate = 20.0;

double NormalLowerTail(double z) {
    return 0.5 * boost::math::erfc(-z / std::numbers::sqrt2, QuantilePolicy());
}

// The Beta(a, b) quantile of the normal probability of z, from the tail z lies in so that a
// probability near 1 keeps its digits.
double BetaQuantileOfNormal(double z, int a, int b) {
    if (z <= 0.0) return boost::math::ibeta_inv(a, b, NormalLowerTail(z), QuantilePolicy());
    return boost::math::ibetac_inv(a, b, NormalLowerTail(-z), QuantilePolicy());
}

struct Quadrature {
    std::array<double, kNodeCount> nodes{};
    std::array<double, kNodeCount> weights{};
};

// sqrt(k) for the recurrence of the Hermite polynomials up to the quadrature's degree.
using RootTable = std::array<double, kNodeCount + 1>;
RootTable RootsOfIntegers() {
    RootTable roots{};
    for (std::size_t k = 0; k < roots.size(); ++k) roots[k] = std::sqrt(static_cast<double>(k));
    return roots;
}

// The orthonormal Hermite polynomials of the standard normal weight at x up to degree
// `degree`: h_0 = 1, h_1 = x, h_{k+1} = (x h_k - sqrt(k) h_{k-1}) / sqrt(k + 1). Returns
// h_degree and h_{degree-1}.
std::pair<double, double> HermiteAt(double x, int degree, const RootTable& root) {
    double previous = 0.0;
    double current = 1.0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(degree); ++k) {
        const double next = (x * current - root[k] * previous) / root[k + 1];
        previous = current;
        current = next;
    }
    return {current, previous};
}

// Gauss-Hermite quadrature for the standard normal weight: the nodes are the roots of
// h_N, found by Newton's method from the Stroud-Secrest starting values (for the roots of
// the physicists' polynomial, scaled by sqrt 2), and the weights are 1 / (N h_{N-1}^2).
Quadrature GaussHermite() {
    const RootTable root = RootsOfIntegers();
    Quadrature quadrature;
    const int n = kNodeCount;
    const double twoNPlusOne = 2.0 * n + 1.0;
    std::array<double, kNodeCount> roots{};  // physicists' scale, descending
    for (std::size_t i = 0; i < kNodeCount / 2; ++i) {
        double z = 0.0;
        if (i == 0) {
            z = std::sqrt(twoNPlusOne) - 1.85575 * std::pow(twoNPlusOne, -1.0 / 6.0);
        } else if (i == 1) {
            z = roots[0] - 1.14 * std::pow(static_cast<double>(n), 0.426) / roots[0];
        } else if (i == 2) {
            z = 1.86 * roots[1] - 0.86 * roots[0];
        } else if (i == 3) {
            z = 1.91 * roots[2] - 0.91 * roots[1];
        } else {
            z = 2.0 * roots[i - 1] - roots[i - 2];
        }
        double x = z * std::numbers::sqrt2;
        for (int step = 0; step < 100; ++step) {
            const auto [value, below] = HermiteAt(x, n, root);
            const double change = value / (root[kNodeCount] * below);
            x -= change;
            if (std::fabs(change) <= 1e-15 * std::fabs(x)) break;
        }
        const double lower = HermiteAt(x, n, root).second;
        roots[i] = x / std::numbers::sqrt2;
        const double weight = 1.0 / (n * lower * lower);
        quadrature.nodes[i] = x;
        quadrature.nodes[kNodeCount - 1 - i] = -x;
        quadrature.weights[i] = weight;
        quadrature.weights[kNodeCount - 1 - i] = weight;
    }
    return quadrature;
}

// The same for every shape and every run: computed once, never changed.
const Quadrature& StandardNormalQuadrature() {
    static const Quadrature quadrature = GaussHermite();
    return quadrature;
}

// The shape at z on a scale with mean 0 and SD 1.
double StandardisedShape(double z, DistributionKind shape, int betaLow, int betaHigh) {
    const double unit = ShapedUnitDeviate(z, shape, betaLow, betaHigh);
    if (shape == DistributionKind::Uniform) return (unit - 0.5) * std::sqrt(12.0);
    const BetaMoments beta = BetaMomentsOf(betaLow, betaHigh);
    return (unit - (shape == DistributionKind::SkewPos ? beta.meanPos : beta.meanNeg)) / beta.sd;
}

}  // namespace

double ShapedUnitDeviate(double z, DistributionKind shape, int betaLow, int betaHigh) {
    // Beyond 20 SDs the probability is below 1e-88, where the Beta quantile's search breaks
    // down. No score comes near: a Gaussian deviate lies within 9.2 SDs, and the mixing keeps
    // each column's variance at 1.
    z = std::clamp(z, -kFarthestDeviate, kFarthestDeviate);
    switch (shape) {
        case DistributionKind::Uniform:
            return NormalLowerTail(z);
        case DistributionKind::SkewPos:
            return BetaQuantileOfNormal(z, betaLow, betaHigh);
        case DistributionKind::SkewNeg:
            return BetaQuantileOfNormal(z, betaHigh, betaLow);
        case DistributionKind::Normal:
        case DistributionKind::RandomlyChosen:
        case DistributionKind::Likert:
            break;
    }
    assert(false && "only Uniform and skewed shapes are turned from normal deviates");
    return z;
}

ShapeExpansion ShapeExpansion::Of(DistributionKind shape, int betaLow, int betaHigh) {
    ShapeExpansion expansion;
    if (shape == DistributionKind::Normal) {
        expansion.coefficients_[1] = 1.0;
        expansion.normal_ = true;
        return expansion;
    }
    const Quadrature& quadrature = StandardNormalQuadrature();
    const RootTable root = RootsOfIntegers();
    for (std::size_t i = 0; i < quadrature.nodes.size(); ++i) {
        const double x = quadrature.nodes[i];
        const double weighted =
            quadrature.weights[i] * StandardisedShape(x, shape, betaLow, betaHigh);
        double previous = 0.0;
        double current = 1.0;
        for (std::size_t k = 0; k <= kDegree; ++k) {
            expansion.coefficients_[k] += weighted * current;
            const double next = (x * current - root[k] * previous) / root[k + 1];
            previous = current;
            current = next;
        }
    }
    return expansion;
}

ShapeExpansion ShapeExpansion::OfPoints(std::span<const double> cuts, double pointsSd) {
    ShapeExpansion expansion;
    const RootTable root = RootsOfIntegers();
    for (const double cut : cuts) {
        // Beyond 40 SDs a step holds no case; its density is 0 there, and its polynomial must
        // not overflow on the way.
        const double t = std::clamp(cut, -40.0, 40.0);
        const double density = std::exp(-0.5 * t * t) / std::sqrt(2.0 * std::numbers::pi);
        double previous = 0.0;
        double current = 1.0;  // He_{k-1}(t) / sqrt((k-1)!), from k = 1
        for (std::size_t k = 1; k <= kDegree; ++k) {
            expansion.coefficients_[k] += density * current / root[k] / pointsSd;
            const double next = (t * current - root[k - 1] * previous) / root[k];
            previous = current;
            current = next;
        }
    }
    return expansion;
}

ShapeExpansion ShapeExpansion::Mirrored() const {
    ShapeExpansion mirrored = *this;
    for (std::size_t k = 0; k < coefficients_.size(); k += 2) {
        mirrored.coefficients_[k] = -coefficients_[k];
    }
    return mirrored;
}

double ShapeExpansion::CorrelationAt(const ShapeExpansion& other, double rho) const {
    double sum = 0.0;
    for (int k = kDegree; k >= 1; --k) {
        const auto index = static_cast<std::size_t>(k);
        sum = (sum + coefficients_[index] * other.coefficients_[index]) * rho;
    }
    return sum;
}

double ShapeExpansion::ExplainedVariance() const {
    return CorrelationAt(*this, 1.0);
}

ReachableCorrelations ReachableOf(const ShapeExpansion& a, const ShapeExpansion& b) {
    return {a.CorrelationAt(b, -1.0), a.CorrelationAt(b, 1.0)};
}

std::optional<double> NormalCorrelationFor(const ShapeExpansion& a, const ShapeExpansion& b,
                                           double r) {
    if (r == 0.0) return 0.0;
    if (!ReachableOf(a, b).Contains(r)) return std::nullopt;
    if (a.IsNormal() && b.IsNormal()) return r;
    // The correlation rises with rho (both shapes rise with z), so halving the bracket
    // converges, to far closer than any sample can tell.
    double low = -1.0;
    double high = 1.0;
    while (high - low > 1e-15) {
        const double middle = 0.5 * (low + high);
        if (a.CorrelationAt(b, middle) < r) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return 0.5 * (low + high);
}

}  // namespace zek
