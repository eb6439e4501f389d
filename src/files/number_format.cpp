#include "files/number_format.h"
#include "files/number_format_general.h"
#include "setup/bit_cast.h"
#include "setup/decimal_conversion.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

namespace zek {

namespace {

// Room for the 309 integer digits of the largest double, a sign, a point and the decimals.
using NumberBuffer = std::array<char, 400>;

// An exact tie at `decimals` places is a value of the form odd / 2^(decimals + 1), since
// 10^decimals = 2^decimals * 5^decimals; its decimal expansion ends at place decimals + 1 with
// a 5.
bool IsTie(double value, int decimals) {
    const double scaled = std::ldexp(value, decimals + 1);
    return scaled == std::trunc(scaled) && std::fmod(scaled, 2.0) != 0.0;
}

// Adds one unit in the last place of a fixed-point text, away from zero: "2.49" gives "2.50",
// "-9.9" gives "-10.0". Returns the new end.
char* IncrementMagnitude(char* first, char* last) {
    char* digit = last;
    while (digit != first) {
        --digit;
        if (*digit == '.') continue;
        if (*digit == '-') {
            ++digit;
            break;
        }
        if (*digit != '9') {
            ++*digit;
            return last;
        }
        *digit = '0';
        if (digit == first) break;
    }
    // Every digit was 9: a 1 goes in front of them.
    std::memmove(digit + 1, digit, static_cast<std::size_t>(last - digit));
    *digit = '1';
    return last + 1;
}

constexpr std::array<std::uint64_t, 7> kPowersOfTen{1, 10, 100, 1000, 10000, 100000, 1000000};

// Below this magnitude and with at most 6 decimals a score is formatted by exact integer
// arithmetic: the scaled value stays below 2^63.
constexpr double kExactLimit = 1e12;

__extension__ using Unsigned128 = unsigned __int128;

// The double is exactly m / 2^shift with an integer m < 2^53 (its mantissa bits), so m *
// 10^decimals / 2^shift is the scaled value with its exact remainder: rounding half away from zero
// needs no floating point, and gives what the general path below gives, only without its
// conversions. |value| x 10^decimals rounded half away from zero, exactly.
std::uint64_t ScaledExactly(double value, int decimals) {
    const auto bits = BitCast<std::uint64_t>(value);
    const auto exponentBits = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    if (exponentBits != 0) mantissa |= std::uint64_t{1} << 52;         // else subnormal
    const int shift = exponentBits != 0 ? 1075 - exponentBits : 1074;  // at least 13 here
    const std::uint64_t power = kPowersOfTen[static_cast<std::size_t>(decimals)];
    const Unsigned128 scaled = static_cast<Unsigned128>(mantissa) * power;
    if (shift >= 128) return 0;  // below 2^-74: zero at any of the 6 places
    const Unsigned128 whole = scaled >> shift;
    const Unsigned128 remainder = scaled - (whole << shift);
    const Unsigned128 half = static_cast<Unsigned128>(1) << (shift - 1);
    return static_cast<std::uint64_t>(whole) + (remainder >= half ? 1u : 0u);
}

// The double nearest `rounded` / 10^decimals, with `value`'s sign unless it rounded to 0:
// below 2^53 the integer is exact as a double, and one correctly rounded division gives the
// double nearest to the decimal, as reading the text back would. Nothing at 2^53 or more.
std::optional<double> AsRead(double value, std::uint64_t rounded, int decimals) {
    if (rounded >= (std::uint64_t{1} << 53)) return std::nullopt;
    const double magnitude = static_cast<double>(rounded) /
                             static_cast<double>(kPowersOfTen[static_cast<std::size_t>(decimals)]);
    return std::signbit(value) && rounded != 0 ? -magnitude : magnitude;
}

// Room for the longest text is the caller's; see kLongestQuickFixed. `asRead`, when given,
// takes what `AsRead` gives, NaN for nothing.
char* PutFixedExactly(char* out, double value, int decimals, double* asRead = nullptr) {
    const auto bits = BitCast<std::uint64_t>(value);
    const std::uint64_t power = kPowersOfTen[static_cast<std::size_t>(decimals)];
    const std::uint64_t rounded = ScaledExactly(value, decimals);
    if (asRead != nullptr) {
        *asRead =
            AsRead(value, rounded, decimals).value_or(std::numeric_limits<double>::quiet_NaN());
    }

    if ((bits >> 63) != 0 && rounded != 0) *out++ = '-';
    out = std::to_chars(out, out + 14, rounded / power).ptr;
    if (decimals > 0) {
        *out++ = '.';
        std::uint64_t digits = rounded % power;
        for (int place = decimals - 1; place >= 0; --place) {
            out[place] = static_cast<char>('0' + digits % 10);
            digits /= 10;
        }
        out += decimals;
    }
    return out;
}

bool HasQuickFixed(double value, int decimals) {
    return decimals >= 0 && decimals <= 6 && std::fabs(value) < kExactLimit;
}

// to_chars rounds exact ties to even. A tie is written instead with its one more place, which
// is exact and ends in 5; that 5 is dropped and the rest rounded up in magnitude by hand.
// (Moving the value one step away from zero first would overshoot the next decimal wherever
// a step of the double is wider than half a unit of the last place.)
std::string_view FormatFixedGeneral(NumberBuffer& buffer, double value, int decimals) {
    char* const first = buffer.data();
    char* end = nullptr;
    if (IsTie(value, decimals)) {
        end =
            ToChars(first, first + buffer.size() - 1, value, std::chars_format::fixed, decimals + 1)
                .ptr;
        --end;                     // the 5
        if (decimals == 0) --end;  // and the point before it
        end = IncrementMagnitude(first, end);
    } else {
        end = ToChars(first, first + buffer.size(), value, std::chars_format::fixed, decimals).ptr;
    }
    std::string_view text(first, static_cast<std::size_t>(end - first));
    if (!text.empty() && text.front() == '-' &&
        std::all_of(text.begin() + 1, text.end(), [](char c) { return c == '0' || c == '.'; })) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view FormatFixedInto(NumberBuffer& buffer, double value, int decimals) {
    if (HasQuickFixed(value, decimals)) {
        const char* end = PutFixedExactly(buffer.data(), value, decimals);
        return std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    }
    return FormatFixedGeneral(buffer, value, decimals);
}

void AppendScientific(std::string& out, double value, int significantDigits) {
    NumberBuffer buffer;
    const auto result = ToChars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::scientific, significantDigits - 1);
    for (char* c = buffer.data(); c != result.ptr; ++c) out.push_back(*c == 'e' ? 'E' : *c);
}

std::size_t IntegerDigits(std::string_view fixedText) {
    if (!fixedText.empty() && fixedText.front() == '-') fixedText.remove_prefix(1);
    const std::size_t point = fixedText.find('.');
    return point == std::string_view::npos ? fixedText.size() : point;
}

// Fixed with `decimals` digits, but rounded to at most `significant` significant digits and
// padded with zeros back to `decimals`.
void AppendFixedLimited(std::string& out, double value, int decimals, int significant) {
    NumberBuffer buffer;
    // Below 1e8 a score has at most 9 digits before the point, even once rounded, so 15
    // significant digits hold all of its 6 decimals at most.
    if (significant >= 15 && decimals <= 6 && std::fabs(value) < 1e8) {
        out += FormatFixedInto(buffer, value, decimals);
        return;
    }
    const std::size_t integerDigits = IntegerDigits(FormatFixedInto(buffer, value, 0));
    if (std::fabs(value) >= 1.0 && integerDigits > static_cast<std::size_t>(significant)) {
        AppendScientific(out, value, significant);
        return;
    }
    int shown = decimals;
    if (std::fabs(value) >= 1.0) {
        shown = std::min(decimals, significant - static_cast<int>(integerDigits));
    }
    out += FormatFixedInto(buffer, value, shown);
    if (shown < decimals) {
        if (shown == 0) out.push_back('.');
        out.append(static_cast<std::size_t>(decimals - shown), '0');
    }
}

}  // namespace

void AppendFixed(std::string& out, double value, int decimals) {
    NumberBuffer buffer;
    out += FormatFixedInto(buffer, value, decimals);
}

char* PutFixedQuickly(char* out, double value, int decimals, double& asRead) {
    return HasQuickFixed(value, decimals) ? PutFixedExactly(out, value, decimals, &asRead)
                                          : nullptr;
}

std::optional<double> RoundedLikeAppendFixed(double value, int decimals) {
    if (!HasQuickFixed(value, decimals)) return std::nullopt;
    return AsRead(value, ScaledExactly(value, decimals), decimals);
}

void AppendFixedGeneral(std::string& out, double value, int decimals) {
    NumberBuffer buffer;
    out += FormatFixedGeneral(buffer, value, decimals);
}

void AppendFixedSignificant15(std::string& out, double value, int decimals) {
    AppendFixedLimited(out, value, decimals, 15);
}

void AppendRightAligned(std::string& out, std::string_view text, int width) {
    if (static_cast<int>(text.size()) < width) {
        out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    }
    out += text;
}

void AppendFixedWidth(std::string& out, double value, int width, int decimals) {
    NumberBuffer buffer;
    AppendRightAligned(out, FormatFixedInto(buffer, value, decimals), width);
}

void AppendIntegerWidth(std::string& out, std::int64_t value, int width) {
    std::array<char, 24> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    AppendRightAligned(
        out, std::string_view(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data())),
        width);
}

void AppendInteger(std::string& out, std::int64_t value) {
    AppendIntegerWidth(out, value, 0);
}

std::string FormatFixed4Significant6(double value, char decimalSeparator) {
    std::string text;
    AppendFixedLimited(text, value, 4, 6);
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

}  // namespace zek
