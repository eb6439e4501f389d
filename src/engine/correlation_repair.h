// Help for a correlation matrix that cannot be a correlation matrix: for each entry, the
// interval of values that would make the matrix positive definite with every other entry kept.
// The matrix is positive definite exactly when the matrix without the entry's row is and its
// determinant is positive; the determinant is a quadratic in the entry, so the usable values
// lie between its two roots.
#pragma once

#include <functional>
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
std::optional<UsableInterval> UsableIntervalOf(const SquareMatrix& full, int order, int i, int j);

/// The interval rounded inwards to `decimals` decimals, so that both ends are usable as
/// typed; nothing when no such value lies inside.
std::optional<UsableInterval> RoundedInwards(const UsableInterval& interval, int decimals = 2);

/// A correlation as the user types it back into the grid: two decimals and a point,
/// whatever the locale ("-0.62", never "-0.00").
std::string TwoDecimals(double value);
/// The same with `decimals` decimals.
std::string FixedDecimals(double value, int decimals);
/// A correlation as the user typed it: the shortest text that reads back as the same number
/// ("0.981", never "0.98" for it).
std::string AsTyped(double value);

/// How entry (i, j) of a factorised matrix reads to the user. A matrix of normal
/// correlations that stand for the correlations of shaped scores reads as those; a plain
/// matrix reads as itself (no reading given).
using EntryReading = std::function<double(int i, int j, double entry)>;

/// Lines for the user: each entry that a change of its own could mend, with its interval
/// rounded inwards to two decimals ("r13 = 0.90: with the others kept, use a value between
/// -0.62 and 0.62"), or a line saying that no single change will do. Values and intervals
/// are shown as `reading` reads them.
std::vector<std::string> CorrelationRepairHints(const SquareMatrix& full, int order,
                                                const EntryReading& reading = nullptr);

}  // namespace zek
