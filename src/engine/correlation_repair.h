// Help for a correlation matrix that cannot be a correlation matrix: for each entry, the
// interval of values that would make the matrix positive definite with every other entry kept.
// The matrix is positive definite exactly when the matrix without the entry's row is and its
// determinant is positive; the determinant is a quadratic in the entry, so the usable values
// lie between its two roots.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "setup/generation_setup.h"

namespace zek {

struct UsableInterval {
    double low = 0.0;   ///< exclusive
    double high = 0.0;  ///< exclusive
};

/// The open interval of r_ij (1 <= i < j <= order) within (-1, 1) that makes `full` (order
/// `order`) positive definite with the other entries kept; nothing when no value does.
std::optional<UsableInterval> UsableIntervalOf(
    const std::array<std::array<double, kMaxVariables>, kMaxVariables>& full, int order, int i,
    int j);

/// Lines for the user: each entry that a change of its own could mend, with its interval
/// rounded inwards to two decimals ("r13 = 0.90: with the others kept, use a value between
/// -0.62 and 0.62"), or a line saying that no single change will do.
std::vector<std::string> CorrelationRepairHints(
    const std::array<std::array<double, kMaxVariables>, kMaxVariables>& full, int order);

}  // namespace zek
