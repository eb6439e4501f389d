#include "files/roster_file.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "files/file_names.h"
#include "files/text_file.h"

namespace zek {

namespace {

constexpr std::size_t kLongestId = 64;

// A header's words without case, spaces, underscores or hyphens: "Student ID" is "studentid".
std::string HeaderWord(std::string_view field) {
    std::string word;
    for (const char c : field) {
        if (c == ' ' || c == '_' || c == '-' || c == '\t') continue;
        word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return word;
}

std::string Trimmed(std::string_view field) {
    const std::size_t first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = field.find_last_not_of(" \t");
    return std::string(field.substr(first, last - first + 1));
}

struct SplitLine {
    std::vector<std::string> fields;
    bool unclosedQuote = false;
};

// The fields of one line; a field in quotes may hold the delimiter and doubled quotes.
SplitLine Fields(std::string_view line, char delimiter) {
    SplitLine split;
    std::string field;
    bool quoted = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (k + 1 < line.size() && line[k + 1] == '"') {
                field += '"';
                ++k;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter) {
            split.fields.push_back(Trimmed(field));
            field.clear();
        } else {
            field += c;
        }
    }
    split.fields.push_back(Trimmed(field));
    split.unclosedQuote = quoted;
    return split;
}

// Spreadsheets set to a decimal comma write semicolons; a header holds no numbers, so the
// delimiter is whichever of the two it has.
char DelimiterOf(std::string_view header) {
    const auto commas = std::count(header.begin(), header.end(), ',');
    const auto semicolons = std::count(header.begin(), header.end(), ';');
    return semicolons > commas ? ';' : ',';
}

// The first of `names` that the header has, by preference.
std::optional<std::size_t> ColumnOf(const std::vector<std::string>& header,
                                    std::initializer_list<std::string_view> names) {
    for (const std::string_view name : names) {
        const auto found = std::find(header.begin(), header.end(), name);
        if (found != header.end()) return static_cast<std::size_t>(found - header.begin());
    }
    return std::nullopt;
}

bool IdCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

// Why `id` cannot name a student's files; empty when it can.
std::string IdFault(const std::string& id) {
    if (id.empty()) return "has no id";
    if (id.size() > kLongestId) return "has an id longer than 64 characters";
    if (!std::all_of(id.begin(), id.end(), IdCharacter)) {
        return "has the id \"" + id +
               "\", which a file name cannot take on every system (letters, digits, '-', '_' "
               "and '.' only)";
    }
    if (id.front() == '.') return "has an id starting with '.'";
    return {};
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    return text.substr(0, kMark.size()) == kMark ? text.substr(kMark.size()) : text;
}

// The columns a header names.
struct RosterColumns {
    std::optional<std::size_t> id, name, firstName, lastName;
};

RosterColumns ColumnsOf(std::string_view headerLine, char delimiter) {
    std::vector<std::string> header = Fields(headerLine, delimiter).fields;
    std::transform(header.begin(), header.end(), header.begin(), HeaderWord);
    return {ColumnOf(header, {"id", "studentid", "idnumber", "studentnumber", "matriculationnumber",
                              "username"}),
            ColumnOf(header, {"name", "studentname", "fullname"}),
            ColumnOf(header, {"firstname", "givenname"}),
            ColumnOf(header, {"lastname", "surname", "familyname"})};
}

// The lines of the first two students whose ids are one file name where case is ignored (as
// on Windows and macOS); none where every id differs.
std::optional<std::pair<int, int>> FirstRepeatedId(const std::vector<RosterStudent>& students,
                                                   std::string& id) {
    std::vector<std::pair<std::string, int>> seen;
    for (const RosterStudent& student : students) {
        seen.emplace_back(CaseFolded(student.id), student.line);
    }
    std::stable_sort(seen.begin(), seen.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::optional<std::pair<int, int>> first;
    for (std::size_t k = 1; k < seen.size(); ++k) {
        if (seen[k].first != seen[k - 1].first) continue;
        const std::pair<int, int> lines{seen[k - 1].second, seen[k].second};
        if (!first || lines.second < first->second) {
            first = lines;
            id = seen[k].first;
        }
    }
    return first;
}

constexpr std::size_t kMostStudents = 100000;

}  // namespace

Checked<std::vector<RosterStudent>> ReadRoster(std::string_view text, std::string_view fileName) {
    const std::string where(fileName);
    const auto refuse = [&](int line, const std::string& why) {
        return Refusal{where + " line " + std::to_string(line) + ": " + why, "txt_roster"};
    };
    std::istringstream in{std::string(WithoutByteOrderMark(text))};
    const std::vector<std::string> lines = ReadLines(in);
    std::size_t headerIndex = 0;
    while (headerIndex < lines.size() && Trimmed(lines[headerIndex]).empty()) ++headerIndex;
    if (headerIndex == lines.size()) {
        return Refusal{where + " is empty: a roster starts with a header line such as id,name",
                       "txt_roster"};
    }
    const char delimiter = DelimiterOf(lines[headerIndex]);
    const RosterColumns columns = ColumnsOf(lines[headerIndex], delimiter);
    const int headerLine = static_cast<int>(headerIndex) + 1;
    if (!columns.id) {
        return refuse(headerLine,
                      "the header names no id column (id, student id, id number, student "
                      "number or username)");
    }
    std::vector<RosterStudent> students;
    for (std::size_t k = headerIndex + 1; k < lines.size(); ++k) {
        const int lineNumber = static_cast<int>(k) + 1;
        if (Trimmed(lines[k]).empty()) continue;
        const SplitLine split = Fields(lines[k], delimiter);
        if (split.unclosedQuote) return refuse(lineNumber, "a quote is not closed on its line");
        const auto field = [&](std::optional<std::size_t> column) -> std::string {
            return column && *column < split.fields.size() ? split.fields[*column] : std::string();
        };
        RosterStudent student{field(columns.id), field(columns.name), lineNumber};
        if (student.name.empty()) {
            student.name = Trimmed(field(columns.firstName) + " " + field(columns.lastName));
        }
        if (const std::string fault = IdFault(student.id); !fault.empty()) {
            return refuse(lineNumber, "the student " + fault);
        }
        if (students.size() == kMostStudents) {
            return refuse(lineNumber, "a roster holds 100000 students at most");
        }
        students.push_back(std::move(student));
    }
    if (students.empty()) {
        return refuse(headerLine, "the roster lists no students below its header");
    }
    std::string id;
    if (const auto repeated = FirstRepeatedId(students, id)) {
        return refuse(repeated->second, "the id " + id + " is the id of line " +
                                            std::to_string(repeated->first) +
                                            " too (ids must differ, also in case alone, as "
                                            "they name the students' files)");
    }
    return students;
}

Checked<std::vector<RosterStudent>> ReadRosterFile(const std::string& path) {
    try {
        return ReadRoster(ReadWholeFile(path, kMaxRosterFileBytes, "roster"), path);
    } catch (const FileError& failure) {
        return Refusal{failure.what(), "txt_roster"};
    }
}

}  // namespace zek
