// The last element of a list of what was shown, or an empty one when nothing was: a step that
// failed to show its message must fail the comparison, not the test program.
#pragma once

namespace zek::testing {

template <typename List>
typename List::value_type LastOf(const List& list) {
    if (list.empty()) return typename List::value_type{};
    return list.back();
}

}  // namespace zek::testing
