#include "setup/decimal_conversion.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace zek {
namespace {

std::string Text(std::to_chars_result result, char* first) {
    EXPECT_EQ(result.ec, std::errc{});
    return std::string(first, static_cast<std::size_t>(result.ptr - first));
}

// Doubles of every kind a run writes: scores and figures of a few decimals, tiny and huge
// magnitudes, ties at the last printed place, and doubles of random bits.
std::vector<double> Probes() {
    std::vector<double> probes{0.0,    -0.0,   0.5,     1.5,       2.5,
                               0.125,  0.3,    1e22,    1e-7,      123.45,
                               -7.125, 5e-324, 1e300,   0.1 + 0.2, 9007199254740993.0,
                               4.35,   2.675,  -0.0005, 1e16,      1e15};
    std::mt19937_64 bits(20261210);
    std::uniform_real_distribution<double> scores(-1000.0, 1000.0);
    for (int k = 0; k < 20000; ++k) {
        probes.push_back(scores(bits));
        probes.push_back(std::round(scores(bits) * 1000.0) / 1000.0);
        const double random = std::bit_cast<double>(bits());
        if (std::isfinite(random)) probes.push_back(random);
    }
    return probes;
}

// The WebAssembly build formats and reads doubles with the C library; every digit must be
// std's, or its files would differ from the desktop's.
TEST(DecimalConversion, ThePrintfWayGivesTheStandardLibrarysDigits) {
    std::array<char, 400> ours{};
    std::array<char, 400> theirs{};
    char* oursEnd = ours.data() + ours.size();
    char* theirsEnd = theirs.data() + theirs.size();
    for (const double value : Probes()) {
        SCOPED_TRACE(value);
        const std::string shortest =
            Text(by_printf::ToChars(ours.data(), oursEnd, value), ours.data());
        ASSERT_EQ(shortest, Text(std::to_chars(theirs.data(), theirsEnd, value), theirs.data()));
        for (const auto format : {std::chars_format::fixed, std::chars_format::scientific,
                                  std::chars_format::general}) {
            for (const int precision : {0, 2, 6, 15}) {
                ASSERT_EQ(Text(by_printf::ToChars(ours.data(), oursEnd, value, format, precision),
                               ours.data()),
                          Text(std::to_chars(theirs.data(), theirsEnd, value, format, precision),
                               theirs.data()));
            }
        }
        double back = 1.0;
        const auto read =
            by_printf::FromChars(shortest.data(), shortest.data() + shortest.size(), back);
        ASSERT_EQ(read.ec, std::errc{});
        ASSERT_EQ(read.ptr, shortest.data() + shortest.size());
        ASSERT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(value));
    }
}

TEST(DecimalConversion, ThePrintfWayReadsOnlyWhatFromCharsReads) {
    for (const std::string text : {"+1", " 1", "inf", "nan", ".", "-", "e5", ""}) {
        double value = 7.0;
        const auto result = by_printf::FromChars(text.data(), text.data() + text.size(), value);
        EXPECT_EQ(result.ec, std::errc::invalid_argument) << text;
        EXPECT_EQ(value, 7.0) << text;
    }
    const std::string partly = "2.5e+3x";
    double value = 0.0;
    const auto result = by_printf::FromChars(partly.data(), partly.data() + partly.size(), value);
    EXPECT_EQ(value, 2500.0);
    EXPECT_EQ(result.ptr, partly.data() + 6);
    const std::string tooLarge = "1e400";
    EXPECT_EQ(by_printf::FromChars(tooLarge.data(), tooLarge.data() + 5, value).ec,
              std::errc::result_out_of_range);
}

}  // namespace
}  // namespace zek
