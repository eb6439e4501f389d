#include "engine/random_streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace zek {
namespace {

std::vector<double> Draw(RandomStreams& streams, std::int32_t state, int count,
                         double (RandomStreams::*routine)(std::int32_t&)) {
    std::vector<double> values;
    for (int i = 0; i < count; ++i) values.push_back((streams.*routine)(state));
    return values;
}

TEST(ShuffledUniform, ReproducesTheReferenceSequence) {
    RandomStreams streams;
    std::int32_t state = -1;
    // Bit for bit: 0.2853808991, 0.2533581893, 0.0934685310 to ten decimals.
    EXPECT_EQ(streams.ShuffledUniform(state), 0x1.243ae3f20f1b6p-2);
    EXPECT_EQ(streams.ShuffledUniform(state), 0x1.037054444897fp-2);
    EXPECT_EQ(streams.ShuffledUniform(state), 0x1.7ed8dbbe3c01fp-4);
    EXPECT_GT(state, 0);
}

TEST(ShuffledUniform, StateZeroRestartsLikeMinusOneAndANegativeStateAlwaysRestarts) {
    RandomStreams streams;
    const auto fromMinusOne = Draw(streams, -1, 50, &RandomStreams::ShuffledUniform);
    const auto fromZero = Draw(streams, 0, 50, &RandomStreams::ShuffledUniform);
    EXPECT_EQ(fromMinusOne, fromZero);

    const auto first = Draw(streams, -1804, 20, &RandomStreams::ShuffledUniform);
    Draw(streams, -99, 333, &RandomStreams::ShuffledUniform);
    EXPECT_EQ(Draw(streams, -1804, 20, &RandomStreams::ShuffledUniform), first);
}

TEST(ShuffledUniform, EveryInt32StateIsSafeAndStaysInRange) {
    // The sanitizer build turns any overflow in the congruential steps into a failure.
    RandomStreams streams;
    for (std::int32_t start : {std::numeric_limits<std::int32_t>::min(), -2147483647, -1, 0,
                               2147483647, 53668, 2147483562}) {
        std::int32_t state = start <= 0 ? start : -start;
        for (int i = 0; i < 200; ++i) {
            const double u = streams.ShuffledUniform(state);
            ASSERT_GT(u, 0.0);
            ASSERT_LE(u, kShuffledUniformCeiling);
        }
        // A positive state continues the sequence from whatever table is there.
        state = start;
        if (state > 0) {
            const double u = streams.ShuffledUniform(state);
            EXPECT_GT(u, 0.0);
            EXPECT_LE(u, kShuffledUniformCeiling);
        }
    }
}

// The generators were first written with quotients in doubles; the integer ones must agree
// for every value, most of all next to each multiple of the divisor, where a rounding in
// doubles could step across a whole number.
TEST(ShuffledUniform, IntegerQuotientsAreTheTruncatedRealOnes) {
    auto sameQuotient = [](std::int32_t x, std::int32_t divisor) {
        return static_cast<std::int32_t>(std::trunc(static_cast<double>(x) /
                                                    static_cast<double>(divisor))) == x / divisor;
    };
    for (const std::int32_t divisor : {53668, 52774}) {
        for (std::int64_t multiple = std::numeric_limits<std::int32_t>::min() / divisor - 1;
             multiple <= std::numeric_limits<std::int32_t>::max() / divisor + 1; ++multiple) {
            for (std::int64_t near = multiple * divisor - 2; near <= multiple * divisor + 2;
                 ++near) {
                if (near < std::numeric_limits<std::int32_t>::min() ||
                    near > std::numeric_limits<std::int32_t>::max()) {
                    continue;
                }
                ASSERT_TRUE(sameQuotient(static_cast<std::int32_t>(near), divisor)) << near;
            }
        }
    }
    // The slot: trunc(last / 67108862.3125 + 1), next to every whole quotient and elsewhere.
    auto slotInDoubles = [](std::int32_t last) {
        return static_cast<std::int32_t>(std::trunc(last / 67108862.3125 + 1.0));
    };
    for (std::int64_t whole = 0; whole <= 32; ++whole) {
        const std::int64_t edge = whole * 1073741797 / 16;
        for (std::int64_t last = edge - 3; last <= edge + 3; ++last) {
            if (last < 0 || last > 2147483562) continue;
            ASSERT_EQ(ShuffleSlotOf(static_cast<std::int32_t>(last)),
                      slotInDoubles(static_cast<std::int32_t>(last)))
                << last;
        }
    }
    std::uint32_t mixer = 12345;
    for (int k = 0; k < 1'000'000; ++k) {
        mixer = mixer * 1664525u + 1013904223u;
        const auto last = static_cast<std::int32_t>(mixer % 2147483563u);
        ASSERT_EQ(ShuffleSlotOf(last), slotInDoubles(last)) << last;
        ASSERT_TRUE(sameQuotient(last, 53668) && sameQuotient(-last, 52774)) << last;
    }
}

TEST(SubtractiveUniform, ReproducesTheReferenceSequences) {
    RandomStreams streams;
    std::int32_t state = -1;
    // Every value is a whole number times 1 / 4000000, as the table holds them.
    constexpr double kStep = 1.0 / 4000000.0;
    EXPECT_EQ(streams.SubtractiveUniform(state), 134118 * kStep);   // 0.0335295
    EXPECT_EQ(streams.SubtractiveUniform(state), 927393 * kStep);   // 0.23184825
    EXPECT_EQ(streams.SubtractiveUniform(state), 3638192 * kStep);  // 0.909548
    EXPECT_EQ(state, 1);

    state = -1804;
    EXPECT_EQ(streams.SubtractiveUniform(state), 3341012 * kStep);  // 0.835253
    EXPECT_EQ(streams.SubtractiveUniform(state), 3915488 * kStep);  // 0.978872
    EXPECT_EQ(streams.SubtractiveUniform(state), 2221779 * kStep);  // 0.55544475
}

TEST(SubtractiveUniform, StateZeroNeverInitialises) {
    RandomStreams streams;
    std::int32_t state = 0;
    for (int i = 0; i < 120; ++i) EXPECT_EQ(streams.SubtractiveUniform(state), 0.0);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(streams.subtractiveState().next, 120 % 55);
}

TEST(SubtractiveUniform, CallersShareOneTable) {
    RandomStreams streams;
    std::int32_t first = -5;
    std::int32_t second = -5;
    const double a = streams.SubtractiveUniform(first);
    const double b = streams.SubtractiveUniform(first);
    // The second caller re-seeds the shared table and so starts over.
    EXPECT_EQ(streams.SubtractiveUniform(second), a);
    // From now on both draw from one sequence.
    const double next = streams.SubtractiveUniform(first);
    EXPECT_EQ(b, next);
}

TEST(SubtractiveUniform, ReducesMinusFourMillionToBig) {
    RandomStreams streams;
    std::int32_t state = -5618033;
    streams.SubtractiveUniform(state);
    double largest = 0.0;
    for (double entry : streams.subtractiveState().table) largest = std::max(largest, entry);
    // Entry 55 was seeded with big itself; the passes that followed keep every entry <= big.
    EXPECT_LE(largest, 4000000.0);

    std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    for (int i = 0; i < 100; ++i) {
        const double u = streams.SubtractiveUniform(lowest);
        ASSERT_GE(u, 0.0);
        ASSERT_LE(u, 1.0);
    }
}

TEST(GaussianDeviate, TwoCallsConsumeOnePairAndReturnTheSecondDeviateFirst) {
    RandomStreams streams;
    std::int32_t uniforms = -42;
    double p = 0.0;
    double q = 0.0;
    do {
        p = 2.0 * streams.ShuffledUniform(uniforms) - 1.0;
        q = 2.0 * streams.ShuffledUniform(uniforms) - 1.0;
    } while (!(p * p + q * q < 1.0 && p * p + q * q > 0.0));
    const double r = p * p + q * q;
    const double fac = std::sqrt(-2.0 * std::log(r) / r);

    std::int32_t state = -42;
    streams.ResetGaussian();
    EXPECT_DOUBLE_EQ(streams.GaussianDeviate(state), q * fac);
    EXPECT_DOUBLE_EQ(streams.GaussianDeviate(state), p * fac);
    EXPECT_EQ(streams.gaussianState().hasSaved, 0);
    // Both calls together used exactly the uniforms up to the accepted pair: the caller
    // state holds the first generator's value, which moves on with every uniform.
    EXPECT_EQ(state, uniforms);
    streams.GaussianDeviate(state);
    EXPECT_NE(state, uniforms);
}

TEST(BetaOrderStatistic, DrawsExactlyAPlusBMinusOneUniforms) {
    RandomStreams streams;
    for (auto [a, b] : {std::pair{1, 1}, {1, 5}, {2, 6}, {6, 2}, {10, 10}, {3, 1}}) {
        std::int32_t betaState = -7;
        std::int32_t uniformState = -7;
        const double beta = streams.BetaOrderStatistic(betaState, a, b);
        std::vector<double> uniforms;
        for (int i = 0; i < a + b - 1; ++i)
            uniforms.push_back(streams.ShuffledUniform(uniformState));
        EXPECT_EQ(betaState, uniformState) << a << "," << b;
        std::sort(uniforms.begin(), uniforms.end());
        EXPECT_EQ(beta, uniforms[a - 1]) << "the a-th smallest";
    }
}

TEST(BetaOrderStatistic, FollowsTheBetaMean) {
    RandomStreams streams;
    std::int32_t state = -11;
    double sum = 0.0;
    const int draws = 20000;
    for (int i = 0; i < draws; ++i) sum += streams.BetaOrderStatistic(state, 2, 6);
    EXPECT_NEAR(sum / draws, 0.25, 0.004);
}

}  // namespace
}  // namespace zek
