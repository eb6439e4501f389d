// A class set as a Moodle quiz, in Moodle XML: a category for the set and an embedded-answers
// (Cloze) question per dataset, its data file attached to the question and a NUMERICAL blank
// for each key figure the teacher chose. The format is Moodle's documented question import
// format (question types "category" and "cloze", files inlined as base64 and linked with
// @@PLUGINFILE@@, blanks written {1:NUMERICAL:=value:tolerance}).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "stats/answer_key.h"

namespace zek {

struct QuizQuestion {
    std::string name;
    std::string idNumber;  ///< the student's id, or the dataset's number
    std::string dataFile;  ///< the attached file's name, without its folder
    std::string dataBytes;
    /// The figures asked, in the key's sections (empty sections left out).
    std::vector<KeySection> sections;
};

struct MoodleQuiz {
    std::string category;
    std::string instructions;  ///< the teacher's, paragraphs between line breaks
    /// How many significant digits students give; the tolerance is half a unit of the last.
    int significantDigits = 3;
    std::vector<QuizQuestion> questions;
};

inline constexpr int kFewestQuizDigits = 2;
inline constexpr int kMostQuizDigits = 6;

/// A figure's blank: its value in plain decimals with the key's ten significant digits, and
/// the tolerance, "0" for a count (N, df), else half a unit of the `significantDigits`-th
/// significant digit of the value.
struct ClozeAnswer {
    std::string value;
    std::string tolerance;
};
ClozeAnswer ClozeAnswerOf(const KeyFigure& figure, int significantDigits);

/// A figure's blank in Cloze syntax: {1:NUMERICAL:=value:tolerance}, or for an undefined
/// figure {1:SHORTANSWER:=NA}, as the key prints it.
std::string ClozeBlank(const KeyFigure& figure, int significantDigits);

/// The figures of `key` named in `names`, in the key's order; every figure where `names` is
/// empty.
std::vector<KeySection> ChosenFigures(const AnswerKey& key, const std::vector<std::string>& names);

/// Writes the quiz. Throws `StreamError`.
void WriteMoodleQuiz(std::ostream& out, const MoodleQuiz& quiz);

/// "class.csv" gives "class_moodle.xml".
std::string MoodleQuizFileNameFor(std::string_view dataFilePath);

/// `bytes` in base64 (RFC 4648, with padding, no line breaks).
std::string Base64(std::string_view bytes);

}  // namespace zek
