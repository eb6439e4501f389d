// The natural logarithm rounded to the nearest double. C libraries do not promise that last
// bit, and theirs differ between machines; the Gaussian deviates take their logarithm from
// here, so that a seed gives the same scores wherever the program runs.
#pragma once

#include <cstdint>
#include <span>

namespace zek {

/// log(x) rounded to nearest, ties to even, for every double: NaN for NaN and negative x,
/// -infinity for zero, +infinity for +infinity.
double CorrectlyRoundedLog(double x);

namespace log_detail {

/// The quick evaluation of log(x) for positive finite x other than 1: the value is hi + lo,
/// and the logarithm lies within errorBound of it.
struct QuickLog {
    double hi;
    double lo;
    double errorBound;
};
QuickLog QuickLogOf(double x);

/// Whether the double nearest quick.hi + quick.lo, quick.hi, is the logarithm's nearest too.
bool RoundsSurely(const QuickLog& quick);

/// The reduction's table, entry i - `kFirstReductionEntry` for the multiple i / 128 of 1 nearest
/// the argument's significand: 128 / i rounded to 26 significant bits, and minus its logarithm
/// as a double-double.
struct ReductionEntry {
    double reciprocal;
    double negLogHigh;
    double negLogLow;
};
inline constexpr std::uint64_t kFirstReductionEntry = 91;
std::span<const ReductionEntry> ReductionTable();

/// log(x) evaluated with 192 significant bits and rounded to the nearest double: slow, taken
/// only when the quick value lies too near the midpoint between two doubles.
double WideLogOf(double x);

}  // namespace log_detail

}  // namespace zek
