// The files that hold answer keys: one plain-text key per dataset, and one comma-delimited
// class key per class set with a row per dataset.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "stats/answer_key.h"

namespace zek {

/// A figure as the keys print it: NA for an undefined one; a score with at least two more
/// places than the data have and at least `significant` significant digits; other figures
/// with `significant` significant digits, without an exponent unless below 1e-4 (p values)
/// or beyond 1e15.
void AppendFigure(std::string& out, const KeyFigure& figure, int significant);

/// The plain-text key; `dataFile` and `seed` name the dataset. Throws `StreamError`.
void WriteAnswerKeyText(std::ostream& out, const AnswerKey& key, std::string_view dataFile,
                        std::int32_t seed);

/// One dataset's row of a class key, and the class key itself, whose rows name their students
/// after the dataset's number where the set was made from a roster. Throws `StreamError`.
struct ClassKeyRow {
    int dataset = 0;
    std::int32_t seed = 0;
    std::string dataFile;
    AnswerKey key;
    /// The student's, for a set made from a roster.
    std::string studentId;
    std::string studentName;
};
void WriteClassKey(std::ostream& out, const std::vector<ClassKeyRow>& rows);

/// "scores.csv" gives "scores_key.TXT" (one dataset's key) and, for a class set named by its
/// unnumbered data file, "class.csv" gives "class_key.csv".
std::string KeyFileNameFor(std::string_view dataFilePath);
std::string ClassKeyFileNameFor(std::string_view dataFilePath);

}  // namespace zek
