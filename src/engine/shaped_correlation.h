// Correlated scores that keep the shape they were asked for ("normal to anything").
//
// A correlated column whose shape is Uniform or skewed is drawn as a standard normal deviate,
// mixed with the other columns of its case like a Normal one, and only then turned into its
// shape by the exact quantile of its distribution at the normal probability of the mixed
// deviate. The quantile bends the correlation, so the columns are mixed with a normal
// correlation chosen per pair such that the shaped pair has exactly the asked Pearson
// correlation.
//
// The correlation of two shaped columns as a function of the normal correlation rho comes
// from Mehler's formula: write each shape, standardised, as a function g(z) of a standard
// normal z and expand it in the normalised Hermite polynomials, g = sum_k c_k He_k / sqrt(k!);
// then corr(g1(Z1), g2(Z2)) = sum_{k >= 1} c1_k c2_k rho^k. The coefficients come once per shape
// from Gauss-Hermite quadrature, so finding rho is the root of a polynomial, and the
// correlations a pair can reach at all run from its value at rho = -1 to that at rho = 1.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "setup/generation_setup.h"

namespace zek {

/// A shape seen as a standardised function of a standard normal deviate, by its Hermite
/// coefficients c_1..c_K (c_0, the mean, is 0).
class ShapeExpansion {
  public:
    static constexpr int kDegree = 40;

    /// The expansion of a drawn shape (not `RandomlyChosen`); skewed shapes are those of
    /// Beta(betaLow, betaHigh) and its mirror image.
    static ShapeExpansion Of(DistributionKind shape, int betaLow, int betaHigh);

    /// The expansion of whole points cut from a standard normal deviate at `cuts` (rising),
    /// the point rising by one at each, standardised by the points' SD `pointsSd`: a step at
    /// t contributes phi(t) He_{k-1}(t) / sqrt(k!) to c_k.
    static ShapeExpansion OfPoints(std::span<const double> cuts, double pointsSd);

    /// The expansion of the mirror image -g(-z): a negative skew from a positive one.
    ShapeExpansion Mirrored() const;

    /// The Pearson correlation of the two shapes of a normal pair with correlation `rho`.
    double CorrelationAt(const ShapeExpansion& other, double rho) const;

    /// The sum of the squared coefficients: 1 up to the truncation of the series.
    double ExplainedVariance() const;

    /// The Normal shape, whose correlations stay exactly as asked.
    bool IsNormal() const { return normal_; }

  private:
    std::array<double, kDegree + 1> coefficients_{};
    bool normal_ = false;
};

/// The correlations that a pair of shapes can have: from the value at rho = -1 (the one
/// shape falling where the other rises) to that at rho = 1 (both rising together).
struct ReachableCorrelations {
    double low = -1.0;
    double high = 1.0;
    bool Contains(double r) const { return low <= r && r <= high; }
};
ReachableCorrelations ReachableOf(const ShapeExpansion& a, const ShapeExpansion& b);

/// The normal correlation whose shaped pair has Pearson correlation `r`; nothing when the pair
/// cannot reach `r`. A correlation of 0 stays exactly 0, and so does any between two Normal
/// shapes.
std::optional<double> NormalCorrelationFor(const ShapeExpansion& a, const ShapeExpansion& b,
                                           double r);

/// A standard normal deviate turned into a deviate of the shape on the shape's own scale
/// (0, 1): its probability for Uniform, the Beta(betaLow, betaHigh) quantile of it for a
/// positive skew, the Beta(betaHigh, betaLow) quantile for a negative one.
double ShapedUnitDeviate(double z, DistributionKind shape, int betaLow, int betaHigh);

}  // namespace zek
