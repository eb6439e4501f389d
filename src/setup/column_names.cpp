#include "setup/column_names.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace zek {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered;
}

// The names Stata reserves (those without a leading "_", which no name here has) and the
// keywords SPSS refuses as variable names; both sets in lower case.
bool IsReservedWord(std::string_view name) {
    static constexpr std::string_view kReserved[] = {
        "byte", "double", "float", "if", "in", "int", "long", "strl", "using", "with", "all",
        "and",  "by",     "eq",    "ge", "gt", "le",  "lt",   "ne",   "not",   "or",   "to"};
    const std::string lowered = Lowered(name);
    for (const std::string_view word : kReserved) {
        if (lowered == word) return true;
    }
    // Stata's string types, str1 to str2045.
    return lowered.size() > 3 && lowered.starts_with("str") &&
           std::all_of(lowered.begin() + 3, lowered.end(), IsAsciiDigit);
}

// The length in bytes of the UTF-8 character that starts at `text[at]`, or 0 where no
// well-formed one does.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are no characters.
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

}  // namespace

std::string ColumnNames::NameOf(const std::string& defaultName) const {
    const auto found = names.find(defaultName);
    return found == names.end() || found->second.empty() ? defaultName : found->second;
}

std::string ColumnNames::LabelOf(const std::string& defaultName) const {
    const auto found = labels.find(defaultName);
    return found == labels.end() ? std::string() : found->second;
}

std::string ColumnNames::LevelLabelOf(const std::string& defaultName, int level) const {
    const auto column = levelLabels.find(defaultName);
    if (column == levelLabels.end()) return {};
    const auto found = column->second.find(level);
    return found == column->second.end() ? std::string() : found->second;
}

Verdict CheckColumnName(std::string_view name) {
    const bool valid =
        !name.empty() && name.size() <= kMaxColumnNameLength && IsAsciiLetter(name.front()) &&
        std::all_of(name.begin(), name.end(),
                    [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_'; });
    if (valid && IsReservedWord(name)) {
        return Refusal{"A NAME may not be a word that SPSS or Stata keep for themselves (\"" +
                           std::string(name) + "\")",
                       ""};
    }
    if (valid) return std::nullopt;
    return Refusal{
        "A NAME must begin with a letter and hold only letters, digits or _, at most "
        "32 characters (\"" +
            std::string(name) + "\")",
        ""};
}

Verdict CheckColumnLabel(std::string_view label) {
    if (label.find_first_of(",\r\n") != std::string_view::npos) {
        return Refusal{"A LABEL may not hold a comma or a line break", ""};
    }
    std::size_t characters = 0;
    for (std::size_t at = 0; at < label.size(); ++characters) {
        const std::size_t length = Utf8CharacterLength(label, at);
        const auto first = static_cast<unsigned char>(label[at]);
        if (length == 0 || first < 0x20 || first == 0x7F) {
            return Refusal{"A LABEL must be text (UTF-8) without control characters", ""};
        }
        at += length;
    }
    if (characters > kMaxColumnLabelLength) {
        return Refusal{"A LABEL may be at most 120 characters long", ""};
    }
    return std::nullopt;
}

std::string SafeNamePart(std::string_view label) {
    std::string safe;
    for (std::size_t at = 0; at < label.size();) {
        const char c = label[at];
        safe += IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' ? c : '_';
        at += std::max<std::size_t>(1, Utf8CharacterLength(label, at));
    }
    return safe;
}

Verdict CheckLevelLabels(const std::map<int, std::string>& labels) {
    std::set<std::string> used;
    for (const auto& [level, label] : labels) {
        if (label.empty()) continue;
        if (!used.insert(Lowered(SafeNamePart(label))).second) {
            return Refusal{"The LABEL \"" + label +
                               "\" is given to two levels, or to two that a key would name "
                               "alike",
                           ""};
        }
    }
    return std::nullopt;
}

Verdict CheckDistinctNames(const std::vector<std::string>& names) {
    std::set<std::string> used;
    for (const std::string& name : names) {
        std::string folded = name;
        for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!used.insert(folded).second) {
            return Refusal{"The NAME \"" + name + "\" is given to two columns of the data file",
                           ""};
        }
    }
    return std::nullopt;
}

}  // namespace zek
