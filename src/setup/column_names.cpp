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
    if (valid) return std::nullopt;
    return Refusal{
        "A NAME must begin with a letter and hold only letters, digits or _, at most "
        "32 characters (\"" +
            std::string(name) + "\")",
        ""};
}

Verdict CheckColumnLabel(std::string_view label) {
    if (label.size() > kMaxColumnLabelLength) {
        return Refusal{"A LABEL may be at most 120 characters long", ""};
    }
    if (label.find_first_of(",\r\n") != std::string_view::npos) {
        return Refusal{"A LABEL may not hold a comma or a line break", ""};
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

bool IsGroupingColumn(std::string_view defaultName) {
    return defaultName == "group" || defaultName == "factor1" || defaultName == "factor2" ||
           defaultName == "factor3";
}

}  // namespace zek
