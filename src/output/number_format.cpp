#include "output/number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace zek {

namespace {

// Room for the 309 integer digits of the largest double, a sign, a point and the decimals.
using NumberBuffer = std::array<char, 400>;

// An exact tie at `decimals` places is a value of the form odd / 2^(decimals + 1), since
// 10^decimals = 2^decimals * 5^decimals. to_chars rounds such ties to even; moving the value
// one step away from zero makes the correctly rounded result the one away from zero.
double AwayFromZeroOnTie(double value, int decimals) {
    const double scaled = std::ldexp(value, decimals + 1);
    if (scaled == std::trunc(scaled) && std::fmod(scaled, 2.0) != 0.0) {
        return std::nextafter(value, std::copysign(std::numeric_limits<double>::infinity(), value));
    }
    return value;
}

std::string_view FormatFixedInto(NumberBuffer& buffer, double value, int decimals) {
    value = AwayFromZeroOnTie(value, decimals);
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    if (!text.empty() && text.front() == '-' &&
        std::all_of(text.begin() + 1, text.end(), [](char c) { return c == '0' || c == '.'; })) {
        text.remove_prefix(1);
    }
    return text;
}

void AppendScientific(std::string& out, double value, int significantDigits) {
    NumberBuffer buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
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
