#include "engine/correctly_rounded_log.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <mutex>

#include <boost/multiprecision/cpp_bin_float.hpp>

#include "setup/bit_cast.h"

namespace zek {

namespace {

struct DoubleDouble {
    double hi;
    double lo;
};

// Knuth's sum: hi + lo is a + b exactly, whatever their sizes.
DoubleDouble TwoSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// Dekker's sum: hi + lo is a + b exactly when a is zero or its exponent is at least b's.
DoubleDouble FastTwoSum(double a, double b) {
    const double sum = a + b;
    return {sum, b - (sum - a)};
}

// v as high + low, high keeping the first 26 significant bits: products of such halves
// with numbers of 26 bits are exact. Masking needs no fused multiply-add, which not every
// target has in hardware and the build turns off.
DoubleDouble Halves(double v) {
    const double high = BitCast<double>(BitCast<std::uint64_t>(v) & ~((1ULL << 27) - 1));
    return {high, v - high};
}

// ln 2 split so that e * kLn2High is exact for every binary exponent e of a double.
constexpr double kLn2High = 0x1.62e42ffp-1;
constexpr double kLn2Low = -0x1.718432a1b0e26p-35;

// The reduction multiplies m in [sqrt(1/2), sqrt(2)) by a near reciprocal of its nearest
// multiple of 1/128, i / 128, leaving 1 + r with |r| < 0.0055. Per i: 128 / i rounded to 26
// significant bits, and -log of that in two parts. Written from MPFR at 300 bits; a test
// writes the table again from MPFR and compares it entry by entry.
using log_detail::ReductionEntry;
constexpr std::uint64_t kFirstEntry = log_detail::kFirstReductionEntry;
constexpr std::array<ReductionEntry, 91> kReduction{{
    {0x1.6816818p+0, -0x1.5d5bde3995f3p-2, 0x1.f5c1148655df8p-56},    // 91
    {0x1.642c858p+0, -0x1.522ae0438a3d8p-2, 0x1.0fbf4d9e934bdp-56},   // 92
    {0x1.605816p+0, -0x1.4718dc171c41bp-2, -0x1.0fb4c14b01999p-60},   // 93
    {0x1.5c98828p+0, -0x1.3c2526cb33183p-2, 0x1.39a4fd6241d8ep-57},   // 94
    {0x1.58ed23p+0, -0x1.314f1e0535ce4p-2, 0x1.4f69909ea43dcp-56},    // 95
    {0x1.5555558p+0, -0x1.269621934db92p-2, 0x1.f1051fb7a52afp-60},   // 96
    {0x1.51d07e8p+0, -0x1.1bf995a9a6b94p-2, -0x1.1228a3a707c43p-56},  // 97
    {0x1.4e5e0a8p+0, -0x1.1178e84a7e47cp-2, 0x1.7263a5ed81be6p-57},   // 98
    {0x1.4afd6ap+0, -0x1.071385f4d5862p-2, -0x1.c5b16ed4d3be3p-56},   // 99
    {0x1.47ae148p+0, -0x1.f991c6eb3b379p-3, -0x1.e665066fc2b4cp-57},  // 100
    {0x1.446f868p+0, -0x1.e530f10671011p-3, -0x1.e7605959b03f5p-63},  // 101
    {0x1.4141418p+0, -0x1.d10380b655e79p-3, 0x1.8e75b1e0ce42ep-59},   // 102
    {0x1.3e22ccp+0, -0x1.bd0874c3bd8abp-3, -0x1.fba6ac93f4d84p-57},   // 103
    {0x1.3b13b1p+0, -0x1.a93ed248ad9e1p-3, -0x1.795f517d2e402p-58},   // 104
    {0x1.381381p+0, -0x1.95a5ac5f7017dp-3, -0x1.18589d09849c7p-59},   // 105
    {0x1.3521cf8p+0, -0x1.823c15051a3cp-3, -0x1.39a619ca30fa4p-62},   // 106
    {0x1.323e348p+0, -0x1.6f0127cf56abbp-3, 0x1.adcb38c2c9784p-58},   // 107
    {0x1.2f684cp+0, -0x1.5bf407b543db1p-3, 0x1.1f5b3f6b8a29ap-61},    // 108
    {0x1.2c9fb5p+0, -0x1.4913d9433b56p-3, 0x1.0aab01e32cdfp-57},      // 109
    {0x1.29e4128p+0, -0x1.365fca3159016p-3, 0x1.e55f72fffb2ffp-57},   // 110
    {0x1.27350b8p+0, -0x1.23d7126c9c202p-3, 0x1.9f38161136814p-57},   // 111
    {0x1.249249p+0, -0x1.1178e7227e47bp-3, 0x1.0e63a69ac713cp-58},    // 112
    {0x1.21fb78p+0, -0x1.fe89129dbd565p-4, -0x1.4d82f752c5c5dp-60},   // 113
    {0x1.1f7048p+0, -0x1.da727838446ap-4, -0x1.401fa7c1ddac2p-58},    // 114
    {0x1.1cf06bp+0, -0x1.b6ac8afad5b1ap-4, 0x1.882bf69c2fd7bp-58},    // 115
    {0x1.1a7b96p+0, -0x1.9335e4d594988p-4, -0x1.70eaf4f4bbbe8p-59},   // 116
    {0x1.181181p+0, -0x1.700d2f4eac0ep-4, -0x1.36a670c61e13ap-63},    // 117
    {0x1.15b1e6p+0, -0x1.4d31165207eacp-4, -0x1.ed3e85945daedp-59},   // 118
    {0x1.135c81p+0, -0x1.2aa04924717a4p-4, 0x1.6574e3c568fddp-60},    // 119
    {0x1.111111p+0, -0x1.08598a59e3a06p-4, -0x1.147fb2d3f5bc3p-61},   // 120
    {0x1.0ecf568p+0, -0x1.ccb7357ddb2bep-5, 0x1.223ee2adb15p-61},     // 121
    {0x1.0c9715p+0, -0x1.894aa1c9fb343p-5, -0x1.28be97675f792p-60},   // 122
    {0x1.0a68108p+0, -0x1.466ae8a2de3e4p-5, -0x1.9c520bf7783a8p-60},  // 123
    {0x1.0842108p+0, -0x1.0415d81e74444p-5, -0x1.805cf1d6a8b77p-59},  // 124
    {0x1.0624ddp+0, -0x1.8492470c8caaep-6, -0x1.cda4f65160658p-65},   // 125
    {0x1.041041p+0, -0x1.0205648935847p-6, -0x1.4f91d08032393p-61},   // 126
    {0x1.020408p+0, -0x1.01014f588de6dp-7, -0x1.46662bec2797ap-62},   // 127
    {1.0, 0.0, 0.0},                                                  // 128
    {0x1.fc07fp-1, 0x1.fe02b6b106791p-8, -0x1.e44b538c673f4p-67},     // 129
    {0x1.f81f82p-1, 0x1.fc0a890fc03e4p-7, 0x1.f3db4e851a025p-64},     // 130
    {0x1.f4465ap-1, 0x1.7b91acfd5b11cp-6, 0x1.893fa9f13608bp-61},     // 131
    {0x1.f07c1fp-1, 0x1.f829b1e7833p-6, 0x1.b3e3f05074478p-60},       // 132
    {0x1.ecc07bp-1, 0x1.39e87ebfebd62p-5, 0x1.a015b48db63c3p-61},     // 133
    {0x1.e9131a8p-1, 0x1.774593832dd01p-5, -0x1.e32c3401eed68p-59},   // 134
    {0x1.e573ac8p-1, 0x1.b42dd821971bfp-5, 0x1.59a2992e6c2f1p-62},    // 135
    {0x1.e1e1e2p-1, 0x1.f0a30a01162a7p-5, 0x1.85f3259b11022p-59},     // 136
    {0x1.de5d6ep-1, 0x1.1653710a37ae3p-4, 0x1.5312e2535944p-59},      // 137
    {0x1.dae6078p-1, 0x1.341d78b1bd1d1p-4, -0x1.8733e45d5aeccp-59},   // 138
    {0x1.d77b658p-1, 0x1.51b0722861841p-4, -0x1.70e36b7460d84p-65},   // 139
    {0x1.d41d42p-1, 0x1.6f0d272e56b4dp-4, -0x1.106d99604b992p-58},    // 140
    {0x1.d0cb59p-1, 0x1.8c345d1319b21p-4, 0x1.165a151e21805p-63},     // 141
    {0x1.cd85688p-1, 0x1.a926d434ad564p-4, -0x1.c9d0b751c3157p-58},   // 142
    {0x1.ca4b308p-1, 0x1.c5e5477dbc744p-4, 0x1.4fb0bef4db62fp-59},    // 143
    {0x1.c71c72p-1, 0x1.e27074e2af2e8p-4, -0x1.615782ac8ac09p-60},    // 144
    {0x1.c3f8fp-1, 0x1.fec9141dbeabbp-4, 0x1.51728cfa743d2p-59},      // 145
    {0x1.c0e07p-1, 0x1.0d77e8cd08e5ap-3, 0x1.9a5dc63e58601p-57},      // 146
    {0x1.bdd2b88p-1, 0x1.1b72adc6f67ap-3, 0x1.765811ab86d64p-57},     // 147
    {0x1.bacf918p-1, 0x1.29552e91ff524p-3, 0x1.682ee2fb6fb7ep-58},    // 148
    {0x1.b7d6c4p-1, 0x1.371fc161e8f75p-3, -0x1.80c9a4ff5c905p-57},    // 149
    {0x1.b4e81b8p-1, 0x1.44d2b5e4b7d1fp-3, 0x1.d09eca08bd465p-58},    // 150
    {0x1.b20364p-1, 0x1.526e5e5a1b438p-3, -0x1.646ff8a44628fp-57},    // 151
    {0x1.af286cp-1, 0x1.5ff3060a793d5p-3, -0x1.bc60f05a71a18p-58},    // 152
    {0x1.ac57018p-1, 0x1.6d60ff459d21dp-3, 0x1.e723b34352a64p-58},    // 153
    {0x1.a98ef6p-1, 0x1.7ab890410d909p-3, 0x1.fe36b2d74b0b3p-59},     // 154
    {0x1.a6d01a8p-1, 0x1.87fa05f60c911p-3, -0x1.3b3fdbfdfec45p-57},   // 155
    {0x1.a41a418p-1, 0x1.9525aa7f456b5p-3, -0x1.0becf83d89cbep-59},   // 156
    {0x1.a16d3f8p-1, 0x1.a23bc2722b563p-3, 0x1.371c46c9dad0ep-57},    // 157
    {0x1.9ec8e98p-1, 0x1.af3c94000bff4p-3, -0x1.53c67fdaa4218p-57},   // 158
    {0x1.9c2d15p-1, 0x1.bc2866ead8cd6p-3, 0x1.20e73a20c1255p-57},     // 159
    {0x1.9999998p-1, 0x1.c8ff7cf9a9a22p-3, -0x1.3da27de62559cp-59},   // 160
    {0x1.970e4f8p-1, 0x1.d5c216b8fbb91p-3, 0x1.6e843597e4e95p-57},    // 161
    {0x1.948b1p-1, 0x1.e27075e2af2e7p-3, -0x1.61578157356b5p-59},     // 162
    {0x1.920fb48p-1, 0x1.ef0add51c5937p-3, -0x1.615c869ea6c9ep-57},   // 163
    {0x1.8f9c19p-1, 0x1.fb9186b5e3e2bp-3, -0x1.baaae64f4c576p-57},    // 164
    {0x1.8d3019p-1, 0x1.040258d74d041p-2, 0x1.1009ef231643fp-56},     // 165
    {0x1.8acb91p-1, 0x1.0a324e0f390e3p-2, 0x1.8fcfde8019c03p-56},     // 166
    {0x1.886e5fp-1, 0x1.1058bfb6e4ad5p-2, 0x1.ebfa0ab694872p-58},     // 167
    {0x1.8618618p-1, 0x1.1675cacaba60ep-2, 0x1.6731f55d970e1p-60},    // 168
    {0x1.83c9778p-1, 0x1.1c898c88999fbp-2, 0x1.853a39f32543cp-56},    // 169
    {0x1.8181818p-1, 0x1.22941fc0f7966p-2, -0x1.7675eb096235ap-56},   // 170
    {0x1.7f406p-1, 0x1.2895a0bde86a4p-2, -0x1.0a5b682d74d38p-57},     // 171
    {0x1.7d05f4p-1, 0x1.2e8e2bee11d31p-2, -0x1.0f4cdb90968a4p-56},    // 172
    {0x1.7ad2208p-1, 0x1.347dd9cf87d55p-2, -0x1.e7298afcac144p-58},   // 173
    {0x1.78a4c8p-1, 0x1.3a64c596945eap-2, -0x1.8d0ca31369da2p-58},    // 174
    {0x1.767dce8p-1, 0x1.404307c26a7e5p-2, -0x1.aeafb6653d5c2p-56},   // 175
    {0x1.745d178p-1, 0x1.4618bb81c5ec3p-2, 0x1.142dec8b779c8p-56},    // 176
    {0x1.724288p-1, 0x1.4be5f937778a1p-2, -0x1.cb366b633ad24p-58},    // 177
    {0x1.702e06p-1, 0x1.51aad7c2df82ep-2, -0x1.0db0aebabfed6p-60},    // 178
    {0x1.6e1f768p-1, 0x1.5767720655a6dp-2, -0x1.3752498789492p-60},   // 179
    {0x1.6c16c18p-1, 0x1.5d1bdbbd809cap-2, 0x1.a436383a35536p-56},    // 180
    {0x1.6a13cdp-1, 0x1.62c82f679c795p-2, 0x1.2e3d7c8efd073p-56},     // 181
}};

// x as 2^e * m * (1 + r) / reciprocal, r exact in two parts.
struct Reduction {
    double e;
    const ReductionEntry* entry;
    DoubleDouble r;
};

inline Reduction Reduce(double x) {
    // x = 2^e * m with m in [sqrt(1/2), sqrt(2)), read from the bits; subnormals are scaled
    // up first, exactly.
    int e = 0;
    if (x < std::numeric_limits<double>::min()) {
        x *= 0x1p54;
        e = -54;
    }
    // Subtracting sqrt(1/2)'s bits leaves e in the top bits and, taken off x's exponent,
    // m in range, without a branch the processor could mispredict.
    constexpr std::uint64_t kSqrtHalfBits = 0x3fe6a09e667f3bcdULL;
    const std::uint64_t shifted = BitCast<std::uint64_t>(x) - kSqrtHalfBits;
    e += static_cast<int>(static_cast<std::int64_t>(shifted) >> 52);
    const double m = BitCast<double>(BitCast<std::uint64_t>(x) - (shifted & (0xfffULL << 52)));

    // The nearest i to m * 128, halves rounded up, from m's bits: m * 128 is the 9 leading
    // fraction bits over 4 (m >= 1) or 8 (m < 1), plus 128 or 64, plus less than a step.
    const auto mBits = BitCast<std::uint64_t>(m);
    const std::uint64_t shift = 3 - ((mBits >> 52) & 1);
    const std::uint64_t leading = (mBits >> 43) & 0x1ff;
    const std::uint64_t index = (512 + leading + (std::uint64_t{1} << (shift - 1))) >> shift;
    const ReductionEntry& entry = kReduction[static_cast<std::size_t>(index - kFirstEntry)];
    // r = m * reciprocal - 1 held exactly: both products of m's halves are exact, and the
    // first lies within 1% of 1, so subtracting 1 is exact too (Sterbenz).
    const DoubleDouble mHalves = Halves(m);
    return {static_cast<double>(e), &entry,
            TwoSum(mHalves.hi * entry.reciprocal - 1.0, mHalves.lo * entry.reciprocal)};
}

inline log_detail::QuickLog QuickOf(double x) {
    const Reduction reduced = Reduce(x);
    const DoubleDouble& r = reduced.r;
    const ReductionEntry& entry = *reduced.entry;
    const double eScaled = reduced.e;

    // log(1 + r) = r - r^2/2 + r^3/3 - ...: the first two terms in double-double, the rest,
    // below 2^-24, in double, up to r^9: the terms beyond are below 2^-55 |r|^3. The tail's
    // polynomial goes by Estrin's scheme, whose short chains the processor overlaps.
    const DoubleDouble rHalves = Halves(r.hi);
    const double squareHigh = r.hi * r.hi;
    const double squareLow =
        ((rHalves.hi * rHalves.hi - squareHigh) + 2.0 * rHalves.hi * rHalves.lo) +
        rHalves.lo * rHalves.lo;
    const double r2 = squareHigh;
    const double r4 = r2 * r2;
    const double series = ((1.0 / 3.0 - 0.25 * r.hi) + r2 * (0.2 - (1.0 / 6.0) * r.hi)) +
                          r4 * ((1.0 / 7.0 - 0.125 * r.hi) + r2 * (1.0 / 9.0));
    const double tail = (squareHigh * r.hi) * series;

    // Each sum's first term is zero or has at least the exponent of the second (|e ln 2| >=
    // 0.69 > |log(inv)|, |log(inv)| >= 0.0078 > |r| unless it is 0, |r| > r^2 / 2 > the
    // tail), which is all Dekker's shorter sum asks.
    const DoubleDouble first = FastTwoSum(eScaled * kLn2High, entry.negLogHigh);
    const DoubleDouble second = FastTwoSum(first.hi, r.hi);
    const DoubleDouble third = FastTwoSum(second.hi, -0.5 * squareHigh);
    // The small parts, smallest first, and the tail last, so that only the tail's size
    // bounds the rounding of their sum. squareHigh * r.lo is the tail's slope times r.lo.
    const double small = (((first.lo + second.lo) + third.lo) + eScaled * kLn2Low) +
                         entry.negLogLow + (r.lo - 0.5 * squareLow - r.hi * r.lo) +
                         squareHigh * r.lo;
    const DoubleDouble value = FastTwoSum(third.hi, small + tail);

    // The tail's few roundings stay below 2^-47 |r|^3. Everything else, ln 2's split
    // included, stays below 2^-86 of the parts' sizes, which are at most six times the
    // result's (|log(inv)| - |r| >= 0.0023, and |e| ln 2 - |log(inv)| >= |e| / 3).
    const double errorBound =
        0x1p-47 * std::fabs(r.hi) * squareHigh + 0x1p-78 * std::fabs(third.hi);
    return {value.hi, value.lo, errorBound};
}

inline bool Surely(const log_detail::QuickLog& quick) {
    // quick.hi is the double nearest quick.hi + quick.lo; it is the logarithm's nearest
    // double too when the logarithm cannot lie beyond a midpoint to a neighbour, half an ulp
    // away, except below a power of two, where the gap halves: those few go the wide way. The
    // logarithm of a double other than 1 is never a midpoint itself, nor zero, subnormal or
    // infinite.
    const auto bits = BitCast<std::uint64_t>(quick.hi);
    constexpr std::uint64_t kExponentBits = 0x7ff0000000000000ULL;
    const double halfUlp = BitCast<double>((bits & kExponentBits) - (53ULL << 52));
    const bool powerOfTwo = (bits << 12) == 0;
    return !powerOfTwo && std::fabs(quick.lo) + quick.errorBound < halfUlp;
}

}  // namespace

namespace log_detail {

QuickLog QuickLogOf(double x) {
    return QuickOf(x);
}

std::span<const ReductionEntry> ReductionTable() {
    return kReduction;
}

bool RoundsSurely(const QuickLog& quick) {
    return Surely(quick);
}

double WideLogOf(double x) {
    using Wide = boost::multiprecision::number<
        boost::multiprecision::cpp_bin_float<192, boost::multiprecision::digit_base_2>>;
    // Boost fills its constants for this type (epsilon, ln 2) on first use without a lock; one
    // evaluation at a time keeps a thread from reading them half filled. So few arguments come
    // this way that the lock costs nothing.
    static std::mutex oneAtATime;
    const std::lock_guard lock(oneAtATime);
    const Wide logarithm = log(Wide(x));
    // Round by comparing with the midpoints to the neighbours, whatever rounding the
    // conversion to double does.
    double nearest = logarithm.convert_to<double>();
    for (;;) {
        const double up = std::nextafter(nearest, std::numeric_limits<double>::infinity());
        const double down = std::nextafter(nearest, -std::numeric_limits<double>::infinity());
        const Wide upperMidpoint = (Wide(nearest) + Wide(up)) / 2;
        const Wide lowerMidpoint = (Wide(nearest) + Wide(down)) / 2;
        if (logarithm > upperMidpoint) {
            nearest = up;
        } else if (logarithm < lowerMidpoint) {
            nearest = down;
        } else {
            return nearest;
        }
    }
}

}  // namespace log_detail

double CorrectlyRoundedLog(double x) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    if (!(x > 0.0 && x < kInfinity)) {
        if (x == 0.0) return -kInfinity;
        return x == kInfinity ? x : std::numeric_limits<double>::quiet_NaN();
    }
    if (x == 1.0) return 0.0;

    const log_detail::QuickLog quick = QuickOf(x);
    if (Surely(quick)) return quick.hi;
    return log_detail::WideLogOf(x);
}

}  // namespace zek
