// Doubles that probe a fixed-point formatter where it can go wrong: exact binary ties at
// every place, values a hair either side of decimal ties, and random bit patterns over the
// whole exact range, both signs. Shared by the test and the benchmark that compare the exact
// and the general paths of `AppendFixed`.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace zek::testing {

/// Calls `visit(value)` for about 3 * `perKind` values below 1e12 in magnitude.
template <typename Visit>
void ForEachFormatProbe(std::uint64_t seed, long perKind, Visit visit) {
    std::mt19937_64 random(seed);
    for (long k = 0; k < perKind; ++k) {
        // k / 2^j: an exact tie at j - 1 places and exact halves of every size.
        const int j = static_cast<int>(k % 24);
        visit(std::ldexp(static_cast<double>(random() % 4000000000ULL), -j));
    }
    for (long k = 0; k < perKind; ++k) {
        // A decimal tie n.5 / 10^d as the nearest double, and its two neighbours.
        const int d = static_cast<int>(k % 7);
        const double tie = (static_cast<double>(random() % 100000000ULL) + 0.5) / std::pow(10.0, d);
        visit(tie);
        visit(std::nextafter(tie, 0.0));
        visit(-std::nextafter(tie, 1e300));
    }
    for (long k = 0; k < perKind; ++k) {
        // Any bits with an exponent from 2^-80 to 2^39.
        std::uint64_t bits = random();
        const std::uint64_t exponent = 1023 - 80 + (bits >> 56) % 120;
        bits = (bits & 0x800FFFFFFFFFFFFFULL) | (exponent << 52);
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        visit(value);
    }
}

}  // namespace zek::testing
