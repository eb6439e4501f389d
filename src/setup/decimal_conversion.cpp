#include "setup/decimal_conversion.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zek {

#if defined(__cpp_lib_to_chars)

std::to_chars_result ToChars(char* first, char* last, double value) {
    return std::to_chars(first, last, value);
}

std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision) {
    return std::to_chars(first, last, value, format, precision);
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}

#else

std::to_chars_result ToChars(char* first, char* last, double value) {
    return by_printf::ToChars(first, last, value);
}

std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision) {
    return by_printf::ToChars(first, last, value, format, precision);
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
    return by_printf::FromChars(first, last, value);
}

#endif

namespace {

std::to_chars_result Put(char* first, char* last, const std::string& text) {
    if (static_cast<std::ptrdiff_t>(text.size()) > last - first) {
        return {last, std::errc::value_too_large};
    }
    return {std::copy(text.begin(), text.end(), first), std::errc{}};
}

std::string Printed(const char* format, int precision, double value) {
    char buffer[400];
    const int length = std::snprintf(buffer, sizeof buffer, format, precision, value);
    return std::string(buffer, static_cast<std::size_t>(std::max(0, length)));
}

// The shortest digits that read back as `value`, and the power of ten of the first: the
// fewest significant digits, each count correctly rounded, so the nearest of that length.
struct ShortestDigits {
    std::string digits;
    int exponent = 0;
};

ShortestDigits ShortestOf(double value) {
    std::string scientific;
    for (int precision = 0; precision <= 16; ++precision) {
        scientific = Printed("%.*e", precision, value);
        if (std::strtod(scientific.c_str(), nullptr) == value) break;
    }
    const std::size_t e = scientific.find('e');
    ShortestDigits shortest;
    for (std::size_t k = 0; k < e; ++k) {
        if (scientific[k] >= '0' && scientific[k] <= '9') shortest.digits.push_back(scientific[k]);
    }
    shortest.exponent = std::atoi(scientific.c_str() + e + 1);
    return shortest;
}

}  // namespace

namespace by_printf {

std::to_chars_result ToChars(char* first, char* last, double value) {
    if (value == 0.0) return Put(first, last, std::signbit(value) ? "-0" : "0");
    const bool negative = value < 0.0;
    const ShortestDigits shortest = ShortestOf(negative ? -value : value);
    const std::string& digits = shortest.digits;
    const int exponent = shortest.exponent;
    const auto count = static_cast<int>(digits.size());
    std::string scientific = digits.substr(0, 1);
    if (count > 1) scientific += "." + digits.substr(1);
    const int magnitude = exponent < 0 ? -exponent : exponent;
    scientific += std::string(exponent < 0 ? "e-" : "e+") + (magnitude < 10 ? "0" : "") +
                  std::to_string(magnitude);
    std::string fixed;
    if (exponent < 0) {
        fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (exponent + 1 >= count) {
        // A whole number in fixed notation has all its digits exact, as std's has them.
        fixed = Printed("%.*f", 0, negative ? -value : value);
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        fixed = digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
    }
    const std::string& shorter = fixed.size() <= scientific.size() ? fixed : scientific;
    return Put(first, last, (negative ? "-" : "") + shorter);
}

std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision) {
    const char* printf = format == std::chars_format::fixed        ? "%.*f"
                         : format == std::chars_format::scientific ? "%.*e"
                                                                   : "%.*g";
    return Put(first, last, Printed(printf, precision, value));
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
    // strtod reads more forms than from_chars ("+1", " 1", "0x1", "inf"): those are no number
    // here, and the text ends where the digits, point and exponent do.
    const char* end = first;
    if (end != last && *end == '-') ++end;
    const char* digitsStart = end;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (end != last && isDigit(*end)) ++end;
    if (end != last && *end == '.') {
        ++end;
        while (end != last && isDigit(*end)) ++end;
    }
    if (end == digitsStart || (end - digitsStart == 1 && *digitsStart == '.')) {
        return {first, std::errc::invalid_argument};
    }
    if (end != last && (*end == 'e' || *end == 'E')) {
        const char* exponent = end + 1;
        if (exponent != last && (*exponent == '-' || *exponent == '+')) ++exponent;
        if (exponent != last && isDigit(*exponent)) {
            end = exponent;
            while (end != last && isDigit(*end)) ++end;
        }
    }
    const std::string text(first, end);
    errno = 0;
    const double read = std::strtod(text.c_str(), nullptr);
    // strtod also says ERANGE of a subnormal result, which from_chars gives as it is.
    if (errno == ERANGE && (std::isinf(read) || read == 0.0)) {
        return {end, std::errc::result_out_of_range};
    }
    value = read;
    return {end, std::errc{}};
}

}  // namespace by_printf

}  // namespace zek
