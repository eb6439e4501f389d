// The names and labels a teacher gives the columns of a data file and the levels of its
// grouping columns ("condition", "Placebo"), so that a dataset tells its story. Each is keyed
// by the column's default name ("dv", "group", "var3"); an empty or absent entry keeps the
// default, so a setup without names writes every file as before.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "setup/refusal.h"

namespace zek {

inline constexpr std::size_t kMaxColumnNameLength = 32;
inline constexpr std::size_t kMaxColumnLabelLength = 120;

struct ColumnNames {
    std::map<std::string, std::string> names;   ///< "dv" -> "recall"
    std::map<std::string, std::string> labels;  ///< "dv" -> "Words recalled out of 40"
    /// "group" -> level 1 -> "Placebo"
    std::map<std::string, std::map<int, std::string>> levelLabels;
    /// The items of a scale worded against it ("var3"), whose scores a student reverses
    /// before adding them up.
    std::set<std::string> reversed;

    bool empty() const {
        return names.empty() && labels.empty() && levelLabels.empty() && reversed.empty();
    }
    bool operator==(const ColumnNames&) const = default;

    /// The column's name in the files: the user's, or the default.
    std::string NameOf(const std::string& defaultName) const;
    /// The column's label; empty where there is none.
    std::string LabelOf(const std::string& defaultName) const;
    /// A level's label; empty where there is none.
    std::string LevelLabelOf(const std::string& defaultName, int level) const;
    bool Reversed(const std::string& defaultName) const { return reversed.contains(defaultName); }
};

/// A name R, SPSS, Stata and pandas all take: a letter, then letters, digits or "_", at most
/// 32 characters, and none of the words SPSS or Stata keep for themselves ("BY", "if",
/// "str80"), in any letter case.
Verdict CheckColumnName(std::string_view name);

/// A label: UTF-8 text of at most 120 characters, without commas, line breaks or other
/// control characters.
Verdict CheckColumnLabel(std::string_view label);

/// The level labels of one grouping column: no two alike, nor alike once made a figure's
/// name (see `SafeNamePart`), so that SPSS and Stata keep the levels apart and every column
/// of a key is named once.
Verdict CheckLevelLabels(const std::map<int, std::string>& labels);

/// A label as part of a key's column name: letters, digits and "_", each other character
/// (a blank, a bracket, an accented letter) made one "_".
std::string SafeNamePart(std::string_view label);

/// No two of a data file's column names alike, letter case aside, as SPSS and Stata read them.
Verdict CheckDistinctNames(const std::vector<std::string>& names);

}  // namespace zek
