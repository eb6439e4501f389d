// A roster of students, as a learning platform or a spreadsheet exports it: a header line
// naming an id column and, where there is one, a name column (or first and last names), in
// any order among other columns; comma or semicolon between fields, quotes as spreadsheets
// write them, UTF-8 with or without a byte-order mark.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "setup/refusal.h"

namespace zek {

/// A roster is a few kilobytes; a larger file is refused before it can take memory.
inline constexpr std::size_t kMaxRosterFileBytes = 4 * 1024 * 1024;

struct RosterStudent {
    std::string id;
    std::string name;  ///< empty where the roster has no names
    int line = 0;      ///< the student's line in the roster, for messages
};

/// The students of roster text `text` in their order, or why it cannot be read; `fileName`
/// names the roster in the message. An id is refused unless it can stand in a file name on
/// every system: letters, digits, '-', '_' and '.', not starting with '.', at most 64.
Checked<std::vector<RosterStudent>> ReadRoster(std::string_view text, std::string_view fileName);

/// Reads the roster file `path`: its students, or why it cannot be read (a file that cannot be
/// opened too).
Checked<std::vector<RosterStudent>> ReadRosterFile(const std::string& path);

}  // namespace zek
