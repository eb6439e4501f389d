// The one rule by which ZEK reads a number that a user typed, wherever it was typed:
// the main window, a parameters file or the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zek {

/// A real number: optional sign, digits with at most one `decimalSeparator`, an optional
/// exponent (e or E, optional sign, digits), blanks around it ignored. No thousands
/// separators. "inf", "nan" and anything whose value is not finite are not numbers.
std::optional<double> ParseReal(std::string_view text, char decimalSeparator);

/// An integer: optional sign and decimal digits within the int32 range, blanks around it
/// ignored.
std::optional<std::int32_t> ParseInteger(std::string_view text);

}  // namespace zek
