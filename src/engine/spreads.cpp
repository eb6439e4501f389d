#include "engine/spreads.h"

#include <boost/multiprecision/cpp_bin_float.hpp>
#include <cmath>
#include <cstdint>

namespace zek {

BetaMoments BetaMomentsOf(int betaLow, int betaHigh) {
    const int p = betaLow;
    const int q = betaHigh;
    const int denominator = (p + q) * (p + q) * (p + q + 1);
    return {static_cast<double>(p) / (p + q), static_cast<double>(q) / (p + q),
            std::sqrt(static_cast<double>(p * q) / denominator)};
}

namespace {

// The spreads are computed in x86-64's 80-bit extended format, whose 64-bit significand and
// round-to-nearest decide their last bits, and so the bytes of every file with a reliability
// below 1 that a seed promises. The format is emulated here to the bit, so that ARM64 and
// Windows, whose long double is another, compute the same numbers.
using Extended = boost::multiprecision::number<
    boost::multiprecision::backends::cpp_bin_float<
        64, boost::multiprecision::backends::digit_base_2, void, std::int16_t, -16382, 16383>,
    boost::multiprecision::et_off>;

double ToDouble(const Extended& value) {
    return value.convert_to<double>();
}

}  // namespace

BoxSpreads SpreadsOf(double sd, double reliability) {
    const Extended rel = reliability;
    BoxSpreads spreads;
    spreads.observedSd = ToDouble(Extended(sd) / sqrt(rel));
    const Extended observedSquare = Extended(spreads.observedSd) * Extended(spreads.observedSd);
    spreads.trueSd = ToDouble(sqrt(observedSquare * rel));
    spreads.errorSd = ToDouble(sqrt((Extended(1) - rel) * observedSquare));
    return spreads;
}

}  // namespace zek
