// A Uniform box takes its mean and SD from its Min and Max, so the two always describe the
// same distribution. The window's box reactions and `zek-generate` share this derivation.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zek {

struct UniformMoments {
    std::string meanText;
    std::string sdText;
};

/// Mean (Min + Max) / 2 and SD sqrt((Max - Min)^2 / 12) as texts with 4 decimals and at
/// most 6 significant digits, in the user's decimal separator: Min "0" and Max "1" give
/// "0.5000" and "0.2887". Nothing when a text is not a number or Min >= Max.
std::optional<UniformMoments> DeriveUniformMoments(std::string_view minText,
                                                   std::string_view maxText, char decimalSeparator);

}  // namespace zek
