#include "engine/random_streams.h"

#include "engine/correctly_rounded_log.h"
#include "setup/bit_cast.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <limits>

namespace zek {

namespace {

// Every product below stays within int32. The generators were first written with real
// quotients truncated toward zero, trunc(x / 53668.0); integer division gives the same
// quotient for every int32 (x / d lies at least 1/d from the next whole number, far more
// than a double's rounding of it) and the compiler turns it into a multiplication.
void StepFirst(std::int32_t& x) {
    const std::int32_t k = x / 53668;
    x = 40014 * (x - 53668 * k) - 12211 * k;
    if (x < 0) x += 2147483563;
}

void StepSecond(std::int32_t& y) {
    const std::int32_t k = y / 52774;
    y = 40692 * (y - 52774 * k) - 3791 * k;
    if (y < 0) y += 2147483399;
}

}  // namespace

std::int32_t ShuffleSlotOf(std::int32_t last) {
    // First written trunc(last / 67108862.3125 + 1.0). The divisor is 1073741797 / 16, and
    // last * 16 / 1073741797 lies at least 1/1073741797 from the next whole number unless it
    // is one, far more than the rounding of the division and the sum in doubles.
    assert(last >= 0);
    return static_cast<std::int32_t>(std::int64_t{last} * 16 / 1073741797) + 1;
}

namespace {

constexpr double kShuffledScale = 1.0 / 2147483563.0;

constexpr double kSubtractiveBig = 4000000.0;
constexpr double kSubtractiveFactor = 2.5e-7;  // 1 / big

}  // namespace

double RandomStreams::ShuffledUniform(std::int32_t& state) {
    ShuffledUniformState& s = shuffled_;
    if (state <= 0) {
        // Negating the lowest int32 has no int32 result; two's complement arithmetic leaves
        // it unchanged, and the steps below are defined for it all the same.
        if (state == 0) {
            state = 1;
        } else if (state != std::numeric_limits<std::int32_t>::min()) {
            state = -state;
        }
        s.second = state;
        for (int j = 40; j >= 1; --j) {  // the first 8 steps only warm up
            StepFirst(state);
            if (j <= 32) s.table[j - 1] = state;
        }
        s.last = s.table[0];
    }
    StepFirst(state);
    StepSecond(s.second);
    std::int32_t& entry = s.table[ShuffleSlotOf(s.last) - 1];
    // Worked out in a local and stored once: the wrap below comes about half the time, which
    // as a branch the processor would mispredict half the time.
    std::int32_t last = entry - s.second;
    entry = state;
    last += last < 1 ? 2147483562 : 0;
    s.last = last;
    const double t = last * kShuffledScale;
    return t < kShuffledUniformCeiling ? t : kShuffledUniformCeiling;
}

double RandomStreams::SubtractiveUniform(std::int32_t& state) {
    SubtractiveState& s = subtractive_;
    // The table is 1-based in the algorithm; At(i) keeps its indices readable.
    auto At = [&s](int i) -> double& { return s.table[i - 1]; };
    if (state < 0) {
        double mj = static_cast<double>(state) + 1618033.0;
        if (mj >= 0) {
            mj -= std::trunc(mj / kSubtractiveBig) * kSubtractiveBig;
        } else {
            mj = std::trunc(std::fabs(mj) / kSubtractiveBig) * kSubtractiveBig +
                 (kSubtractiveBig - std::fabs(mj));
        }
        At(55) = mj;
        double mk = 1.0;
        for (int i = 1; i <= 54; ++i) {
            const int ii = (21 * i) % 55;
            At(ii) = mk;
            mk = mj - mk;
            if (mk < 0) mk += kSubtractiveBig;
            mj = At(ii);
        }
        for (int pass = 0; pass < 4; ++pass) {
            for (int i = 1; i <= 55; ++i) {
                At(i) -= At(1 + ((i + 30) % 55));
                if (At(i) < 0) At(i) += kSubtractiveBig;
            }
        }
        s.next = 0;
        s.nextPrime = 31;
        state = 1;
    }
    if (++s.next > 55) s.next = 1;
    if (++s.nextPrime > 55) s.nextPrime = 1;
    // At program start both indices are 0, so the first call without initialisation lands
    // on entry 1 of the all-zero table and returns 0.
    double mj = At(s.next) - At(s.nextPrime);
    // The wrap comes about half the time, so it is added by masking rather than behind a
    // branch the processor would mispredict; otherwise -0.0 is added, which leaves any
    // double as it is.
    const std::uint64_t wraps = 0 - static_cast<std::uint64_t>(mj < 0);
    mj += BitCast<double>((BitCast<std::uint64_t>(kSubtractiveBig) & wraps) |
                          (BitCast<std::uint64_t>(-0.0) & ~wraps));
    At(s.next) = mj;
    return mj * kSubtractiveFactor;
}

PolarPair RandomStreams::DrawPolarPair(std::int32_t& state) {
    PolarPair pair{};
    double r = 0.0;
    do {
        pair.p = 2.0 * ShuffledUniform(state) - 1.0;
        pair.q = 2.0 * ShuffledUniform(state) - 1.0;
        r = pair.p * pair.p + pair.q * pair.q;
    } while (!(r < 1.0 && r > 0.0));
    return pair;
}

DeviatePair RandomStreams::DeviatesOf(const PolarPair& pair) {
    const double r = pair.p * pair.p + pair.q * pair.q;
    // The C library's log may differ from machine to machine in its last bit; this one is
    // correctly rounded everywhere, and sqrt is correctly rounded by IEEE 754 itself.
    const double fac = std::sqrt(-2.0 * CorrectlyRoundedLog(r) / r);
    return {pair.q * fac, pair.p * fac};
}

double RandomStreams::GaussianDeviate(std::int32_t& state) {
    return GaussianDeviateWith([&] { return DeviatesOf(DrawPolarPair(state)); });
}

double RandomStreams::BetaOrderStatistic(std::int32_t& state, int a, int b) {
    assert(a >= 1 && a <= kMaxBetaParameter && b >= 1 && b <= kMaxBetaParameter);
    // kept[0] is the largest of the a smallest uniforms seen so far; the list stays
    // in descending order.
    std::array<double, kMaxBetaParameter> kept{};
    for (int j = 0; j < a; ++j) kept[j] = 2.0;
    for (int i = 1; i <= a + b - 1; ++i) {
        const double u = ShuffledUniform(state);
        if (u >= kept[0]) continue;
        int j = 1;
        for (; j < a; ++j) {
            if (u < kept[j]) {
                kept[j - 1] = kept[j];
            } else {
                break;
            }
        }
        kept[j - 1] = u;
    }
    return kept[0];
}

}  // namespace zek
