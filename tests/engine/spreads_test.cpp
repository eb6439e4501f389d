#include "engine/spreads.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace zek {
namespace {

// The spreads as the x87 extended format computes them, on a machine that has it: the
// oracle the portable computation must match bit for bit.
BoxSpreads SpreadsInLongDouble(double sd, double reliability) {
    const long double rel = reliability;
    BoxSpreads spreads;
    spreads.observedSd = static_cast<double>(sd / std::sqrt(rel));
    const long double square = static_cast<long double>(spreads.observedSd) * spreads.observedSd;
    spreads.trueSd = static_cast<double>(std::sqrt(square * rel));
    spreads.errorSd = static_cast<double>(std::sqrt((1.0L - rel) * square));
    return spreads;
}

bool SameBits(const BoxSpreads& a, const BoxSpreads& b) {
    return std::memcmp(&a.observedSd, &b.observedSd, sizeof(double)) == 0 &&
           std::memcmp(&a.trueSd, &b.trueSd, sizeof(double)) == 0 &&
           std::memcmp(&a.errorSd, &b.errorSd, sizeof(double)) == 0;
}

TEST(SpreadsTest, ThePortableSpreadsAreTheExtendedOnesBitForBit) {
    if constexpr (std::numeric_limits<long double>::digits != 64) {
        GTEST_SKIP() << "the oracle needs the 80-bit long double of x86-64";
    }
    // The edges the boxes and the reliability dialog allow, and the extremes of doubles.
    const double sds[] = {0.0,
                          5e-324,
                          1e-300,
                          1e-12,
                          0.001,
                          1.0,
                          15.0,
                          2500.5,
                          1e12,
                          123456789.25,
                          std::nextafter(1.0, 2.0)};
    const double reliabilities[] = {
        1.0, std::nextafter(1.0, 0.0), 0.999, 0.8, 0.5, 0.01, 0.001, 1e-12, 1e-300, 5e-324};
    int checked = 0;
    for (double sd : sds) {
        for (double reliability : reliabilities) {
            EXPECT_TRUE(SameBits(SpreadsOf(sd, reliability), SpreadsInLongDouble(sd, reliability)))
                << "sd " << sd << " reliability " << reliability;
            ++checked;
        }
    }
    // Ten million more in the Release build that CI runs, 200,000 under the sanitizers: SDs
    // over 80 binary orders of magnitude, reliabilities anywhere in (0, 1], a third of them
    // with the dialog's three decimals.
#ifdef NDEBUG
    constexpr int kPairs = 10'000'000;
#else
    constexpr int kPairs = 200'000;
#endif
    std::mt19937_64 generator(1804);
    const auto unit = [&] { return static_cast<double>(generator() >> 11) * 0x1p-53; };
    int differing = 0;
    for (int k = 0; k < kPairs; ++k, ++checked) {
        const double sd = std::ldexp(unit() + 0.5, static_cast<int>(generator() % 80) - 40);
        double reliability = unit();
        if (k % 3 == 0) reliability = std::round(reliability * 1000.0) / 1000.0;
        if (reliability == 0.0) reliability = 1.0;
        if (!SameBits(SpreadsOf(sd, reliability), SpreadsInLongDouble(sd, reliability))) {
            ++differing;
        }
    }
    EXPECT_EQ(differing, 0) << "of " << checked;
}

}  // namespace
}  // namespace zek
