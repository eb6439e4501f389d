#include "setup/number_parsing.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "setup/decimal_conversion.h"

namespace zek {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<double> ParseReal(std::string_view text, char decimalSeparator) {
    text = TrimBlanks(text);
    // Checked by hand first, so that what from_chars would also accept ("inf", "nan",
    // hexadecimal) stays out, and then rewritten with "." for a conversion that does not
    // depend on the process locale.
    std::string normalized;
    normalized.reserve(text.size());
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-') normalized.push_back('-');
        ++pos;
    }
    int mantissaDigits = 0;
    bool seenSeparator = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (IsDigit(c)) {
            normalized.push_back(c);
            ++mantissaDigits;
        } else if (c == decimalSeparator && !seenSeparator) {
            normalized.push_back('.');
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        normalized.push_back('e');
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            normalized.push_back(text[pos]);
            ++pos;
        }
        int exponentDigits = 0;
        for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
            normalized.push_back(text[pos]);
            ++exponentDigits;
        }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (pos != text.size()) return std::nullopt;

    double value = 0.0;
    const char* first = normalized.data();
    const char* last = first + normalized.size();
    const auto [end, error] = FromChars(first, last, value);
    if (error != std::errc{} || end != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> ParseRealEitherSeparator(std::string_view text) {
    if (const std::optional<double> value = ParseReal(text, '.')) return value;
    return ParseReal(text, ',');
}

std::string WithDecimalSeparator(std::string_view text, char decimalSeparator) {
    std::string result(text);
    if (ParseReal(text, decimalSeparator)) return result;
    const char other = decimalSeparator == ',' ? '.' : ',';
    if (ParseReal(text, other)) {
        for (char& c : result) {
            if (c == other) c = decimalSeparator;
        }
    }
    return result;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    // from_chars takes a "-" but no "+"; a "+" is allowed only directly before a digit.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || !IsDigit(text.front())) return std::nullopt;
    }
    std::int32_t value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (error != std::errc{} || end != last) return std::nullopt;
    return value;
}

std::string ShortestText(double value) {
    std::array<char, 32> text{};
    return {text.data(), ToChars(text.data(), text.data() + text.size(), value).ptr};
}

}  // namespace zek
