#include "commands/category_form.h"

#include <cmath>
#include <optional>

#include "setup/number_parsing.h"

namespace zek {

namespace {

std::string PercentText(double value, char decimalSeparator) {
    return SumText(value, decimalSeparator) + "%";
}

// The sum of the typed cells of `column` (or of the whole table for -1); nothing when one
// is no number.
std::optional<double> SumOf(const CategoryTableTexts& texts, int column, char separator) {
    double sum = 0.0;
    for (int row = 0; row < texts.rows; ++row) {
        for (int c = 0; c < texts.columns; ++c) {
            if (column >= 0 && c != column) continue;
            const int index = row * texts.columns + c;
            const auto cell = static_cast<std::size_t>(index);
            if (cell >= texts.percentages.size()) return std::nullopt;
            const std::optional<double> value = ParseReal(texts.percentages[cell], separator);
            if (!value) return std::nullopt;
            sum += *value;
        }
    }
    return sum;
}

}  // namespace

std::string CategoryHeader(const ColumnNames& names, int variable, int level) {
    const std::string column = "var" + std::to_string(variable);
    const std::string label = names.LevelLabelOf(column, level);
    if (!label.empty()) return label;
    return names.NameOf(column) + " = " + std::to_string(level);
}

CategorySums SumsOf(const CategoryTableTexts& texts, char decimalSeparator) {
    CategorySums sums;
    if (texts.percentagesOf == PercentagesOf::AllCases) {
        const std::optional<double> sum = SumOf(texts, -1, decimalSeparator);
        if (!sum) return {"Sum: every cell needs a percentage", false};
        sums.complete = AddsUpToHundred(*sum);
        sums.text = "Sum: " + PercentText(*sum, decimalSeparator) +
                    (sums.complete ? "" : " (must be 100%)");
        return sums;
    }
    sums.text = "Column sums:";
    sums.complete = true;
    for (int column = 0; column < texts.columns; ++column) {
        const std::optional<double> sum = SumOf(texts, column, decimalSeparator);
        sums.text += column == 0 ? " " : ", ";
        sums.text += sum ? PercentText(*sum, decimalSeparator) : "?";
        sums.complete = sums.complete && sum && AddsUpToHundred(*sum);
    }
    if (!sums.complete) sums.text += " (each must be 100%)";
    return sums;
}

CategoryTableTexts WithRows(CategoryTableTexts texts, int rows) {
    texts.rows = rows;
    const int cells = rows * texts.columns;
    texts.percentages.resize(static_cast<std::size_t>(cells));
    return texts;
}

CategoryTableTexts WithPercentagesOf(CategoryTableTexts texts, PercentagesOf percentagesOf) {
    texts.percentagesOf = percentagesOf;
    if (percentagesOf == PercentagesOf::ColumnsCases &&
        texts.columnN.size() < static_cast<std::size_t>(texts.columns)) {
        const std::optional<std::int32_t> n = ParseInteger(texts.n);
        const std::int32_t each = n && *n >= 2 * texts.columns ? *n / texts.columns : 50;
        texts.columnN.resize(static_cast<std::size_t>(texts.columns), std::to_string(each));
    }
    return texts;
}

}  // namespace zek
