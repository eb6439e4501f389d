#include "files/moodle_quiz.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "files/file_names.h"
#include "files/number_format.h"
#include "files/text_file.h"
#include "setup/decimal_conversion.h"

namespace zek {

namespace {

constexpr int kValueDigits = 10;

// The decimal exponent of `value` rounded to `digits` significant digits (9.9996 to three
// digits is 10.0, of exponent 1).
int DecimalExponent(double value, int digits) {
    std::array<char, 64> text{};
    const auto written = ToChars(text.data(), text.data() + text.size(), value,
                                 std::chars_format::scientific, digits - 1);
    const std::string_view scientific(text.data(),
                                      static_cast<std::size_t>(written.ptr - text.data()));
    const std::size_t e = scientific.find('e');
    int exponent = 0;
    std::from_chars(scientific.data() + e + 1 + (scientific[e + 1] == '+' ? 1 : 0),
                    scientific.data() + scientific.size(), exponent);
    return exponent;
}

std::string TrimmedFixed(double value, int places) {
    std::string text;
    AppendFixed(text, value, std::max(0, places));
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

// Half a unit of decimal place 10^`exponent`, in plain decimals: "5" followed by zeros, or
// "0.005".
std::string HalfUnit(int exponent) {
    if (exponent >= 1) return "5" + std::string(static_cast<std::size_t>(exponent - 1), '0');
    return "0." + std::string(static_cast<std::size_t>(-exponent), '0') + "5";
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
}

std::string Escaped(std::string_view text) {
    std::string out;
    AppendEscaped(out, text);
    return out;
}

// A file's name in a link: every byte but the unreserved characters of URLs percent-encoded,
// as Moodle links the files it exports.
std::string UrlEncoded(std::string_view name) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
        }
    }
    return encoded;
}

// Text for a Cloze question's HTML: a Cloze text must not hold braces of its own, which
// Moodle would read as blanks, so they are written as character references.
std::string ClozeText(std::string_view text) {
    std::string html;
    for (const char c : text) {
        if (c == '{') {
            html += "&#123;";
        } else if (c == '}') {
            html += "&#125;";
        } else {
            AppendEscaped(html, std::string_view(&c, 1));
        }
    }
    return html;
}

// The teacher's paragraphs as HTML.
std::string HtmlParagraphs(std::string_view text) {
    std::string html;
    for (const std::string_view paragraph : LinesOf(text)) {
        if (!paragraph.empty()) html += "<p>" + ClozeText(paragraph) + "</p>";
    }
    return html;
}

// A category path's own slashes are doubled, as Moodle reads a single one as a level.
std::string CategoryName(std::string_view name) {
    std::string doubled;
    for (const char c : name) doubled += c == '/' ? std::string("//") : std::string(1, c);
    return doubled;
}

std::string QuestionHtml(const MoodleQuiz& quiz, const QuizQuestion& question) {
    std::string html = HtmlParagraphs(quiz.instructions);
    html += "<p>Your data file: <a href=\"@@PLUGINFILE@@/" + UrlEncoded(question.dataFile) + "\">" +
            ClozeText(question.dataFile) + "</a></p>";
    html += "<p>Give each figure to " + std::to_string(quiz.significantDigits) +
            " significant digits (N and degrees of freedom exactly); a figure that cannot be "
            "computed from your data is NA.</p>";
    for (const KeySection& section : question.sections) {
        html += "<p><b>" + ClozeText(section.heading) + "</b></p><table>";
        for (const KeyFigure& figure : section.figures) {
            html += "<tr><td>" + ClozeText(figure.name) + "</td><td>" +
                    ClozeBlank(figure, quiz.significantDigits) + "</td></tr>";
        }
        html += "</table>";
    }
    return html;
}

}  // namespace

std::string ClozeBlank(const KeyFigure& figure, int significantDigits) {
    // Every student's question has the same blanks, and Moodle takes no Cloze question
    // without one: an undefined figure is a blank too, whose answer is the key's NA.
    if (!std::isfinite(figure.value)) return "{1:SHORTANSWER:=NA}";
    const ClozeAnswer answer = ClozeAnswerOf(figure, significantDigits);
    return "{1:NUMERICAL:=" + answer.value + ":" + answer.tolerance + "}";
}

ClozeAnswer ClozeAnswerOf(const KeyFigure& figure, int significantDigits) {
    const double value = figure.value;
    if (value == 0)
        return {"0", figure.kind == FigureKind::Count ? "0" : HalfUnit(1 - significantDigits)};
    const int exponent = DecimalExponent(value, kValueDigits);
    ClozeAnswer answer{TrimmedFixed(value, kValueDigits - 1 - exponent), "0"};
    if (figure.kind != FigureKind::Count) {
        answer.tolerance =
            HalfUnit(DecimalExponent(value, significantDigits) - significantDigits + 1);
    }
    return answer;
}

std::vector<KeySection> ChosenFigures(const AnswerKey& key, const std::vector<std::string>& names) {
    std::vector<KeySection> chosen;
    for (const KeySection& section : key.sections) {
        KeySection kept{section.heading, {}};
        for (const KeyFigure& figure : section.figures) {
            const bool named =
                names.empty() || std::find(names.begin(), names.end(), figure.name) != names.end();
            if (named) kept.figures.push_back(figure);
        }
        if (!kept.figures.empty()) chosen.push_back(std::move(kept));
    }
    return chosen;
}

void WriteMoodleQuiz(std::ostream& out, const MoodleQuiz& quiz) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
    text += "  <question type=\"category\">\n    <category>\n      <text>$course$/top/" +
            Escaped(CategoryName(quiz.category)) + "</text>\n    </category>\n  </question>\n";
    WriteChecked(out, text);
    for (const QuizQuestion& question : quiz.questions) {
        text = "  <question type=\"cloze\">\n    <name>\n      <text>" + Escaped(question.name) +
               "</text>\n    </name>\n    <questiontext format=\"html\">\n      <text>" +
               Escaped(QuestionHtml(quiz, question)) + "</text>\n      <file name=\"" +
               Escaped(question.dataFile) + "\" path=\"/\" encoding=\"base64\">" +
               Base64(question.dataBytes) +
               "</file>\n    </questiontext>\n    <generalfeedback format=\"html\">\n"
               "      <text></text>\n    </generalfeedback>\n    <penalty>0.3333333</penalty>\n"
               "    <hidden>0</hidden>\n    <idnumber>" +
               Escaped(question.idNumber) + "</idnumber>\n  </question>\n";
        WriteChecked(out, text);
    }
    WriteChecked(out, "</quiz>\n");
}

std::string MoodleQuizFileNameFor(std::string_view dataFilePath) {
    return CompanionFileName(dataFilePath, "_moodle.xml");
}

std::string Base64(std::string_view bytes) {
    constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const auto byte = [&](std::size_t k) -> std::uint32_t {
            return at + k < bytes.size() ? static_cast<unsigned char>(bytes[at + k]) : 0U;
        };
        const std::uint32_t group = (byte(0) << 16) | (byte(1) << 8) | byte(2);
        const std::size_t present = std::min<std::size_t>(3, bytes.size() - at);
        for (std::size_t k = 0; k < 4; ++k) {
            encoded += k <= present ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return encoded;
}

}  // namespace zek
