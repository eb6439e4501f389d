// Doubles to decimal text and back as std::to_chars and std::from_chars give them. A standard
// library without their floating-point forms (the WebAssembly build's) has them from the C
// library's printf and strtod, which round exactly too, so that every build writes the same
// digits.
#pragma once

#include <charconv>

namespace zek {

/// The shortest text that reads back as `value`, fixed or scientific whichever is shorter.
std::to_chars_result ToChars(char* first, char* last, double value);
/// `value` with `precision` digits in `format` (fixed, scientific or general).
std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision);
/// The double nearest the decimal text at `first` (digits, a point, an exponent; a leading
/// "-"): as std::from_chars in its general format.
std::from_chars_result FromChars(const char* first, const char* last, double& value);

/// The same from the C library's snprintf and strtod: what the functions above are where the
/// standard library lacks its own, here for every build so that tests hold it to std's.
namespace by_printf {
std::to_chars_result ToChars(char* first, char* last, double value);
std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision);
std::from_chars_result FromChars(const char* first, const char* last, double& value);
}  // namespace by_printf

}  // namespace zek
