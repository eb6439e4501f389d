// JSON text for the page, put together as the window model is read: strings escaped, numbers
// as integers, nothing the page could misread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zek {

class JsonText {
  public:
    JsonText& Begin(char bracket);
    JsonText& End(char bracket);
    /// The key of the next value in an object.
    JsonText& Key(std::string_view key);
    JsonText& String(std::string_view text);
    JsonText& Integer(std::int64_t value);
    /// Six significant digits, for drawing; null for NaN or an infinity.
    JsonText& Number(double value);
    JsonText& Boolean(bool value);
    std::string Take() { return std::move(text_); }

  private:
    void Separate();

    std::string text_;
    bool first_ = true;
};

}  // namespace zek
