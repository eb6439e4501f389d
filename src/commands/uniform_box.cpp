#include "commands/uniform_box.h"

#include <cmath>

#include "files/number_format.h"
#include "setup/number_parsing.h"

namespace zek {

std::optional<UniformMoments> DeriveUniformMoments(std::string_view minText,
                                                   std::string_view maxText,
                                                   char decimalSeparator) {
    const std::optional<double> low = ParseReal(minText, decimalSeparator);
    const std::optional<double> high = ParseReal(maxText, decimalSeparator);
    if (!low || !high || !(*low < *high)) return std::nullopt;
    const double width = *high - *low;
    return UniformMoments{
        FormatFixed4Significant6((*low + *high) / 2.0, decimalSeparator),
        FormatFixed4Significant6(std::sqrt(width * width / 12.0), decimalSeparator)};
}

}  // namespace zek
