#include "engine/spreads.h"

#include <cmath>
#include <limits>

namespace zek {

BetaMoments BetaMomentsOf(int betaLow, int betaHigh) {
    const int p = betaLow;
    const int q = betaHigh;
    const int denominator = (p + q) * (p + q) * (p + q + 1);
    return {static_cast<double>(p) / (p + q), static_cast<double>(q) / (p + q),
            std::sqrt(static_cast<double>(p * q) / denominator)};
}

// The spreads are computed in x86-64's 80-bit extended precision and stored as doubles, in
// this order; their last bits, and so the bytes of every file with a reliability below 1,
// depend on it. Where long double has another width the same seed would silently give other
// data, so such a build is refused here instead.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the spreads need the 80-bit extended long double of x86-64");

BoxSpreads SpreadsOf(double sd, double reliability) {
    const long double rel = reliability;
    BoxSpreads spreads;
    spreads.observedSd = static_cast<double>(sd / std::sqrt(rel));
    const long double observedSquare =
        static_cast<long double>(spreads.observedSd) * spreads.observedSd;
    spreads.trueSd = static_cast<double>(std::sqrt(observedSquare * rel));
    spreads.errorSd = static_cast<double>(std::sqrt((1.0L - rel) * observedSquare));
    return spreads;
}

}  // namespace zek
