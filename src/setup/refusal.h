// How ZEK says no. A file that cannot be read or written is an exception (`FileError`, which
// names the file); anything else that is refused (an entry, a setup, an option, a request) is
// a `Refusal`, returned where the value would have been.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace zek {

/// Why an entry, a setup or a request was refused, in the words the user sees.
struct Refusal {
    std::string message;
    /// The control the user is taken to, where there is one ("txtBetaLO").
    std::string focus;

    bool operator==(const Refusal&) const = default;
};

/// A check that passes (nothing) or refuses.
using Verdict = std::optional<Refusal>;

/// A value read from what the user gave, or the refusal that stands in its place.
template <typename T>
class Checked {
  public:
    Checked(T value) : content_(std::move(value)) {}            // NOLINT: implicit on purpose
    Checked(Refusal refusal) : content_(std::move(refusal)) {}  // NOLINT: implicit on purpose

    bool has_value() const { return std::holds_alternative<T>(content_); }
    explicit operator bool() const { return has_value(); }
    const T& operator*() const { return std::get<T>(content_); }
    T& operator*() { return std::get<T>(content_); }
    const T* operator->() const { return &std::get<T>(content_); }
    const Refusal& refusal() const { return std::get<Refusal>(content_); }

  private:
    std::variant<T, Refusal> content_;
};

}  // namespace zek
