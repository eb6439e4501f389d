// Number formatting for the data file and the report.
//
// Fixed-point figures round the exact value of the double half away from zero, as people
// round by hand: 2.5 with no decimals reads 3 and 0.125 with two decimals reads 0.13, while
// -1.005, whose double lies just below the halfway point, reads -1.00. A value that rounds to
// zero is written without a minus sign. The decimal point is always "."; nothing here goes
// through a locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

/// Appends `value` with exactly `decimals` digits after the point (none and no point for 0).
/// Below 1e12 and with at most 6 decimals this runs on exact integer arithmetic.
void AppendFixed(std::string& out, double value, int decimals);

/// The longest text `PutFixedQuickly` writes: a sign, 13 digits, the point and 6 decimals.
inline constexpr std::size_t kLongestQuickFixed = 21;

/// Writes `AppendFixed`'s text of `value` at `out`, which has room for `kLongestQuickFixed`
/// characters, and returns its end, where the exact integer path has it (below 1e12, at most
/// 6 decimals); otherwise writes nothing and returns nullptr. Sets `asRead` to the double a
/// reader gets back from the text, as `RoundedLikeAppendFixed` gives it, or to NaN where that
/// needs the text read.
char* PutFixedQuickly(char* out, double value, int decimals, double& asRead);

/// The double a reader gets back from `AppendFixed`'s text, without the text: nothing where
/// it cannot be had exactly this way (beyond 1e12, more than 6 decimals, 2^53 or more digits).
std::optional<double> RoundedLikeAppendFixed(double value, int decimals);

/// As `AppendFixed`, but with at most 15 significant digits; a value whose integer part has
/// more than 15 digits comes out in scientific notation.
void AppendFixedSignificant15(std::string& out, double value, int decimals);

/// Appends `text` right-aligned in a field of `width` characters; a longer text widens it.
void AppendRightAligned(std::string& out, std::string_view text, int width);

/// Fixed w:d: `AppendFixed` right-aligned in `width` characters.
void AppendFixedWidth(std::string& out, double value, int width, int decimals);

/// Integer width w: decimal digits right-aligned in `width` characters.
void AppendIntegerWidth(std::string& out, std::int64_t value, int width);

void AppendInteger(std::string& out, std::int64_t value);

/// Mean and SD texts are written with 4 decimals and at most 6 significant digits; a value
/// with more than 6 digits before the point comes out in scientific notation.
std::string FormatFixed4Significant6(double value, char decimalSeparator);

}  // namespace zek
