// The general path of the fixed formatter, on its own: the exact integer path of
// `AppendFixed` must give the same text for every value it serves, and the tests and the
// benchmark prove it against this.
#pragma once

#include <string>

namespace zek {

/// `AppendFixed` by the general path that serves every other value (a correctly rounded
/// conversion with ties moved away from zero).
void AppendFixedGeneral(std::string& out, double value, int decimals);

}  // namespace zek
