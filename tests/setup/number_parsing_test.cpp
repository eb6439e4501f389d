#include "setup/number_parsing.h"

#include <gtest/gtest.h>

namespace zek {
namespace {

TEST(ParseReal, AcceptsSignDigitsOneSeparatorAndExponent) {
    EXPECT_EQ(ParseReal("12.5", '.'), 12.5);
    EXPECT_EQ(ParseReal("  -0.25 ", '.'), -0.25);
    EXPECT_EQ(ParseReal("+3", '.'), 3.0);
    EXPECT_EQ(ParseReal(".5", '.'), 0.5);
    EXPECT_EQ(ParseReal("5.", '.'), 5.0);
    EXPECT_EQ(ParseReal("1e3", '.'), 1000.0);
    EXPECT_EQ(ParseReal("2.5E-2", '.'), 0.025);
    EXPECT_EQ(ParseReal("12,5", ','), 12.5);
}

TEST(ParseReal, RefusesWhatIsNotAFiniteNumber) {
    for (const char* text :
         {"",      "  ", "abc", "1.2.3", "1,5", "1 000", "nan",   "inf", "-inf", "infinity",
          "0x1p3", "1e", "1e+", "e5",    "-",   ".",     "1e400", "--1", "+-1",  "1.5x"}) {
        EXPECT_FALSE(ParseReal(text, '.').has_value()) << text;
    }
    // With "," as separator, "." is no separator and no thousands separator either.
    EXPECT_FALSE(ParseReal("12.5", ',').has_value());
    EXPECT_FALSE(ParseReal("1.000,5", ',').has_value());
}

TEST(ParseInteger, AcceptsWholeDecimalNumbersInTheInt32Range) {
    EXPECT_EQ(ParseInteger("25"), 25);
    EXPECT_EQ(ParseInteger(" -7 "), -7);
    EXPECT_EQ(ParseInteger("+12"), 12);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseInteger("-2147483648"), -2147483647 - 1);
    for (const char* text : {"", "abc", "3a", "2.0", "1e3", "2147483648", "-2147483649", "+-5", "+",
                             "-", "0x10", "1 2"}) {
        EXPECT_FALSE(ParseInteger(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace zek
