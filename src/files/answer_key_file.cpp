#include "files/answer_key_file.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <ostream>

#include "files/file_names.h"
#include "files/number_format.h"
#include "files/text_file.h"
#include "setup/decimal_conversion.h"

namespace zek {

namespace {

// Fixed-point digits, without trailing zeros beyond `keep` places.
void AppendFixedTrimmed(std::string& out, double value, int places, int keep) {
    std::array<char, 400> buffer;
    const auto result = ToChars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::fixed, places);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    if (const std::size_t point = text.find('.'); point != std::string_view::npos) {
        const std::size_t shortest = keep > 0 ? point + 1 + static_cast<std::size_t>(keep) : point;
        while (text.size() > shortest && text.back() == '0') text.remove_suffix(1);
        if (text.back() == '.') text.remove_suffix(1);
    }
    if (text == "-0") text = "0";
    out += text;
}

// Places after the point that give `significant` significant digits of `value`.
int PlacesForSignificant(double value, int significant) {
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    return std::max(0, significant - 1 - exponent);
}

}  // namespace

void AppendFigure(std::string& out, const KeyFigure& figure, int significant) {
    const double value = figure.value;
    if (!std::isfinite(value)) {
        out += "NA";
        return;
    }
    if (value == 0.0) {
        out += '0';
        return;
    }
    const double magnitude = std::fabs(value);
    switch (figure.kind) {
        case FigureKind::Count:
            if (value == std::trunc(value) && magnitude < 1e15) {
                AppendInteger(out, static_cast<std::int64_t>(value));
                return;
            }
            break;  // Welch's degrees of freedom are not whole
        case FigureKind::Score:
            if (magnitude < 1e15) {
                const int places =
                    std::max(figure.decimals + 2, PlacesForSignificant(value, significant));
                AppendFixedTrimmed(out, value, places, figure.decimals);
                return;
            }
            break;
        case FigureKind::Statistic:
        case FigureKind::Probability:
            break;
    }
    if (magnitude >= 1e-4 && magnitude < 1e15) {
        AppendFixedTrimmed(out, value, PlacesForSignificant(value, significant), 0);
        return;
    }
    std::array<char, 64> buffer;
    const auto result = ToChars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::general, significant);
    out.append(buffer.data(), result.ptr);
}

void WriteAnswerKeyText(std::ostream& out, const AnswerKey& key, std::string_view dataFile,
                        std::int32_t seed) {
    LineWriter writer(out);
    writer.Line("ANSWER KEY");
    writer.Line("Data file: " + std::string(dataFile));
    std::string& seedLine = writer.line();
    seedLine += "Seed: ";
    AppendInteger(seedLine, seed);
    writer.EndLine();
    writer.Line("Computed from the data as written (rounded scores, missing values left out).");
    for (const KeySection& section : key.sections) {
        writer.Line("");
        writer.Line(section.heading);
        writer.Line(std::string(section.heading.size(), '-'));
        std::size_t width = 0;
        for (const KeyFigure& figure : section.figures) width = std::max(width, figure.name.size());
        for (const KeyFigure& figure : section.figures) {
            std::string& line = writer.line();
            line += "  ";
            line += figure.name;
            line.append(width - figure.name.size() + 2, ' ');
            AppendFigure(line, figure, 6);
            writer.EndLine();
        }
    }
    writer.Flush();
}

namespace {

// A field quoted where it holds a comma, a quote or a line break, as spreadsheets expect.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

void WriteClassKey(std::ostream& out, const std::vector<ClassKeyRow>& rows) {
    LineWriter writer(out);
    const bool roster = !rows.empty() && !rows.front().studentId.empty();
    std::string& header = writer.line();
    header += roster ? "dataset,id,name,seed,data_file" : "dataset,seed,data_file";
    if (!rows.empty()) {
        for (const KeySection& section : rows.front().key.sections) {
            for (const KeyFigure& figure : section.figures) header += "," + figure.name;
        }
    }
    writer.EndLine();
    for (const ClassKeyRow& row : rows) {
        std::string& line = writer.line();
        AppendInteger(line, row.dataset);
        line += ',';
        if (roster) {
            line += CsvField(row.studentId) + ',' + CsvField(row.studentName) + ',';
        }
        AppendInteger(line, row.seed);
        line += ',';
        // The name alone.
        line += CsvField(std::filesystem::path(row.dataFile).filename().string());
        for (const KeySection& section : row.key.sections) {
            for (const KeyFigure& figure : section.figures) {
                line += ',';
                AppendFigure(line, figure, 10);
            }
        }
        writer.EndLine();
    }
    writer.Flush();
}

std::string KeyFileNameFor(std::string_view dataFilePath) {
    return CompanionFileName(dataFilePath, "_key.TXT");
}

std::string ClassKeyFileNameFor(std::string_view dataFilePath) {
    return CompanionFileName(dataFilePath, "_key.csv");
}

}  // namespace zek
