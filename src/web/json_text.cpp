#include "web/json_text.h"

#include <cmath>
#include <cstdio>

namespace zek {

void JsonText::Separate() {
    if (!first_) text_ += ',';
    first_ = false;
}

JsonText& JsonText::Begin(char bracket) {
    Separate();
    text_ += bracket;
    first_ = true;
    return *this;
}

JsonText& JsonText::End(char bracket) {
    text_ += bracket;
    first_ = false;
    return *this;
}

JsonText& JsonText::Key(std::string_view key) {
    String(key);
    text_ += ':';
    first_ = true;
    return *this;
}

JsonText& JsonText::String(std::string_view text) {
    Separate();
    text_ += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            text_ += '\\';
            text_ += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            text_ += escaped;
        } else {
            text_ += c;
        }
    }
    text_ += '"';
    return *this;
}

JsonText& JsonText::Integer(std::int64_t value) {
    Separate();
    text_ += std::to_string(value);
    return *this;
}

JsonText& JsonText::Number(double value) {
    Separate();
    if (!std::isfinite(value)) {
        text_ += "null";
        return *this;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    text_ += text;
    return *this;
}

JsonText& JsonText::Boolean(bool value) {
    Separate();
    text_ += value ? "true" : "false";
    return *this;
}

}  // namespace zek
