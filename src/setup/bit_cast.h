// std::bit_cast where the standard library has it; the WebAssembly build's has not, and takes
// the compiler's own, which std::bit_cast is made of.
#pragma once

#include <bit>
#include <type_traits>

namespace zek {

template <typename To, typename From>
requires(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> &&
         std::is_trivially_copyable_v<From>) constexpr To BitCast(const From& from) noexcept {
#if defined(__cpp_lib_bit_cast)
    return std::bit_cast<To>(from);
#else
    return __builtin_bit_cast(To, from);
#endif
}

}  // namespace zek
