#pragma once

#include <array>

#include "setup/generation_setup.h"

namespace zek {

/// Whether a correlation matrix could be factorised.
enum class CholeskyStatus { PositiveDefinite, NotPositiveDefinite };

/// The lower triangle of rows and columns 1..`order` of `matrix`, row by row (`PackedIndex`).
std::array<double, kPackedSize> PackedLowerTriangle(const SquareMatrix& matrix, int order);

/// Replaces the packed lower triangle of a symmetric matrix of order `order` (<= 8) by its
/// lower Cholesky factor. A pivot that is not positive zeroes its column and the
/// factorisation goes on, so that the factor is complete either way; the status says whether
/// any pivot was not positive.
[[nodiscard]] CholeskyStatus CholeskyFactor(int order, std::array<double, kPackedSize>& packed);

}  // namespace zek
