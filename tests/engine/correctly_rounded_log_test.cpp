#include "engine/correctly_rounded_log.h"

#include "engine/random_streams.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <random>
#include <span>
#include <vector>

namespace zek {
namespace {

// MPFR's logarithm at 200 bits: the true value, near enough to judge any error bound.
class MpfrLog {
  public:
    MpfrLog() { mpfr_inits2(200, argument_, value_, difference_, static_cast<mpfr_ptr>(nullptr)); }
    ~MpfrLog() { mpfr_clears(argument_, value_, difference_, static_cast<mpfr_ptr>(nullptr)); }
    MpfrLog(const MpfrLog&) = delete;
    MpfrLog& operator=(const MpfrLog&) = delete;

    double Rounded(double x) {
        mpfr_set_d(argument_, x, MPFR_RNDN);
        mpfr_log(value_, argument_, MPFR_RNDN);
        return mpfr_get_d(value_, MPFR_RNDN);
    }
    // |log(x) - (hi + lo)|, for the value just rounded.
    double ErrorOf(double hi, double lo) {
        mpfr_sub_d(difference_, value_, hi, MPFR_RNDN);
        mpfr_sub_d(difference_, difference_, lo, MPFR_RNDN);
        return std::fabs(mpfr_get_d(difference_, MPFR_RNDN));
    }

  private:
    mpfr_t argument_;
    mpfr_t value_;
    mpfr_t difference_;
};

// Runs arguments through both and keeps count: wrong roundings, quick values whose error
// comes nearer than a sixteenth to its bound, and how often the wide evaluation was needed.
class LogChecker {
  public:
    void Check(double x) {
        ++checked_;
        const double expected = oracle_.Rounded(x);
        const double actual = CorrectlyRoundedLog(x);
        if (std::bit_cast<std::uint64_t>(actual) != std::bit_cast<std::uint64_t>(expected)) {
            if (wrong_ < 5)
                ADD_FAILURE() << std::hexfloat << "log(" << x << ") gave " << actual << ", not "
                              << expected;
            ++wrong_;
        }
        if (x == 1.0 || !(x > 0.0) || std::isinf(x)) return;
        const log_detail::QuickLog quick = log_detail::QuickLogOf(x);
        const double share = oracle_.ErrorOf(quick.hi, quick.lo) / quick.errorBound;
        largestShare_ = std::max(largestShare_, share);
        if (share > 1.0 / 16.0) {
            if (tight_ < 5)
                ADD_FAILURE() << std::hexfloat << "the bound at " << x << " has too little margin";
            ++tight_;
        }
        if (!log_detail::RoundsSurely(quick)) ++widened_;
    }
    void CheckWideAgrees(double x) { EXPECT_EQ(log_detail::WideLogOf(x), oracle_.Rounded(x)) << x; }

    void Report(const char* what) const {
        EXPECT_EQ(wrong_, 0) << "of " << checked_;
        EXPECT_EQ(tight_, 0) << "of " << checked_;
        std::cout << what << ": " << checked_ << " arguments, all as MPFR rounds them; the quick "
                  << "evaluation was not sure of " << widened_ << ", and its error never exceeded "
                  << largestShare_ << " of its bound\n";
    }
    long long checked() const { return checked_; }

  private:
    MpfrLog oracle_;
    long long checked_ = 0;
    long long wrong_ = 0;
    long long tight_ = 0;
    long long widened_ = 0;
    double largestShare_ = 0.0;
};

#ifdef NDEBUG
constexpr int kScale = 10;
#else
constexpr int kScale = 1;
#endif

TEST(CorrectlyRoundedLogTest, TheSpecialValuesAreIeees) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(CorrectlyRoundedLog(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(CorrectlyRoundedLog(-1.0)));
    EXPECT_TRUE(std::isnan(CorrectlyRoundedLog(-kInf)));
    EXPECT_EQ(CorrectlyRoundedLog(0.0), -kInf);
    EXPECT_EQ(CorrectlyRoundedLog(-0.0), -kInf);
    EXPECT_EQ(CorrectlyRoundedLog(kInf), kInf);
    EXPECT_EQ(CorrectlyRoundedLog(1.0), 0.0);
    EXPECT_FALSE(std::signbit(CorrectlyRoundedLog(1.0)));
}

// The arguments the Gaussian deviates take: p^2 + q^2 inside the unit circle, from the
// shuffled uniforms of many seeds.
TEST(CorrectlyRoundedLogTest, EveryRadiusTheStreamsDrawRoundsAsMpfrSays) {
    LogChecker checker;
    RandomStreams streams;
    for (std::int32_t seed = -1; seed >= -50 * kScale; --seed) {
        std::int32_t state = seed;
        for (int k = 0; k < 20'000; ++k) {
            const double p = 2.0 * streams.ShuffledUniform(state) - 1.0;
            const double q = 2.0 * streams.ShuffledUniform(state) - 1.0;
            const double radius = p * p + q * q;
            if (radius < 1.0 && radius > 0.0) checker.Check(radius);
        }
    }
    checker.Report("radii of the streams");
}

// Every binary exponent, every entry of the reduction table and both its edges, the
// neighbourhood of 1 and subnormals.
TEST(CorrectlyRoundedLogTest, ArgumentsOverTheWholeRangeRoundAsMpfrSays) {
    LogChecker checker;
    std::mt19937_64 generator(2207);
    for (int k = 0; k < 500'000 * kScale; ++k) {
        // Positive finite bit patterns, so every exponent is as likely as any other.
        const auto bits = generator() % 0x7ff0000000000000ULL;
        checker.Check(std::bit_cast<double>(bits));
    }
    for (int exponent : {-1074, -1022, -60, -1, 0, 1, 700, 1023}) {
        for (int i = 91; i <= 181; ++i) {
            for (double edge : {i - 0.5, i + 0.5}) {
                const double centre = std::ldexp(edge / 128.0, exponent);
                double down = centre;
                double up = centre;
                for (int step = 0; step < 20; ++step) {
                    checker.Check(down);
                    checker.Check(up);
                    down = std::nextafter(down, 0.0);
                    up = std::nextafter(up, std::numeric_limits<double>::infinity());
                }
            }
        }
    }
    double below = 1.0;
    double above = 1.0;
    for (int k = 0; k < 20'000; ++k) {
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, 2.0);
        checker.Check(below);
        checker.Check(above);
        checker.Check(1.0 - std::ldexp(1.0, -(k % 60) - 1));
    }
    for (double x = 5e-324; x < 1e-300; x *= 3.0) checker.Check(x);
    checker.Report("the whole range");
}

// The wide evaluation is checked apart, since the quick one leaves it so few arguments.
TEST(CorrectlyRoundedLogTest, TheWideEvaluationRoundsAsMpfrSays) {
    LogChecker checker;
    std::mt19937_64 generator(4);
    for (int k = 0; k < 2'000; ++k) {
        checker.CheckWideAgrees(std::ldexp(static_cast<double>(generator() >> 11) * 0x1p-53 + 0.5,
                                           static_cast<int>(generator() % 200) - 100));
    }
    checker.CheckWideAgrees(std::nextafter(1.0, 0.0));
    checker.CheckWideAgrees(5e-324);
    checker.CheckWideAgrees(std::numeric_limits<double>::max());
}

// The table is written again from MPFR: the reciprocal 128 / i rounded to 26 significant bits,
// minus its logarithm at 300 bits split into the nearest double and the nearest double to the
// rest. A digit mistyped in any entry fails here, even where the arguments tried elsewhere
// would not reach it.
TEST(CorrectlyRoundedLogTest, TheReductionTableIsWhatMpfrGives) {
    mpfr_t reciprocal;
    mpfr_t negLog;
    mpfr_init2(reciprocal, 26);
    mpfr_init2(negLog, 300);
    const std::span<const log_detail::ReductionEntry> table = log_detail::ReductionTable();
    ASSERT_EQ(table.size(), 91U);
    for (std::size_t k = 0; k < table.size(); ++k) {
        const auto i = static_cast<unsigned long>(log_detail::kFirstReductionEntry + k);
        mpfr_set_ui(negLog, i, MPFR_RNDN);
        mpfr_ui_div(reciprocal, 128, negLog, MPFR_RNDN);
        const double expectedReciprocal = mpfr_get_d(reciprocal, MPFR_RNDN);
        mpfr_log(negLog, reciprocal, MPFR_RNDN);
        mpfr_neg(negLog, negLog, MPFR_RNDN);
        const double high = mpfr_get_d(negLog, MPFR_RNDN);
        mpfr_sub_d(negLog, negLog, high, MPFR_RNDN);
        const double low = mpfr_get_d(negLog, MPFR_RNDN);
        EXPECT_EQ(table[k].reciprocal, expectedReciprocal) << "entry " << i;
        EXPECT_EQ(table[k].negLogHigh, high) << "entry " << i;
        EXPECT_EQ(table[k].negLogLow, low) << "entry " << i;
    }
    mpfr_clears(reciprocal, negLog, static_cast<mpfr_ptr>(nullptr));
}

// Just below a power of two the doubles lie twice as close: a quick value that rounds to the
// power but lies on the midpoint to the double below it decides nothing, however small its
// error bound, and neither does one just past that midpoint.
TEST(CorrectlyRoundedLogTest, AQuickValueNearTheMidpointBelowAPowerOfTwoIsNotSure) {
    for (const double power : {0x1p-20, 0.5, 1.0, 2.0, 0x1p9, -1.0, -0x1p9}) {
        const double gapBelow = std::fabs(power) - std::nextafter(std::fabs(power), 0.0);
        const double towardZero = power > 0 ? -1.0 : 1.0;
        for (const double share : {0.5, 0.5 + 0x1p-10}) {
            const log_detail::QuickLog quick{power, towardZero * share * gapBelow,
                                             gapBelow * 0x1p-20};
            EXPECT_FALSE(log_detail::RoundsSurely(quick)) << std::hexfloat << power;
        }
        // The double above the power has the same gap on both sides, and is sure there.
        const double above = std::nextafter(power, 2.0 * power);
        EXPECT_TRUE(log_detail::RoundsSurely({above, 0.0, gapBelow * 0x1p-20}));
    }
}

}  // namespace
}  // namespace zek
