// The one rule by which ZEK reads a number that a user typed, wherever it was typed:
// the main window, a parameters file or the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

/// A real number: optional sign, digits with at most one `decimalSeparator`, an optional
/// exponent (e or E, optional sign, digits), blanks around it ignored. No thousands
/// separators. "inf", "nan" and anything whose value is not finite are not numbers.
std::optional<double> ParseReal(std::string_view text, char decimalSeparator);

/// A real number in a text that may have been typed under another locale: "." or "," as the
/// decimal separator. A text holds one number and no thousands separators, so this is never
/// ambiguous. For parameters files, which colleagues share across locales.
std::optional<double> ParseRealEitherSeparator(std::string_view text);

/// `text` with its decimal separator made `decimalSeparator` when it reads as a number with
/// the other one ("0,5" becomes "0.5" for "."); any other text comes back unchanged, so a bad
/// entry still surfaces at the next run.
std::string WithDecimalSeparator(std::string_view text, char decimalSeparator);

/// The fewest digits, with a point, that `ParseReal` reads back as `value`: "6", "7.5".
std::string ShortestText(double value);

/// An integer: optional sign and decimal digits within the int32 range, blanks around it
/// ignored.
std::optional<std::int32_t> ParseInteger(std::string_view text);

}  // namespace zek
