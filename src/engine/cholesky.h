#pragma once

#include <array>

#include "setup/generation_setup.h"

namespace zek {

/// The status value `CholeskyFactor` sets when a pivot is not positive.
inline constexpr int NotPositiveDefinite = 2;

/// Replaces the packed lower triangle of a symmetric matrix of order `order` (<= 8) by its
/// lower Cholesky factor. A pivot that is not positive zeroes its column, sets `status` to
/// `NotPositiveDefinite` and the factorisation goes on; otherwise `status` is left alone,
/// so callers set it to 0 first.
void CholeskyFactor(int order, std::array<double, kPackedSize>& packed, int& status);

}  // namespace zek
