#include "setup/category_table.h"

#include <charconv>
#include <cmath>
#include <numeric>

#include "setup/decimal_conversion.h"
#include "setup/number_parsing.h"

namespace zek {

namespace {

constexpr std::int32_t kSmallestN = 2;
constexpr std::int32_t kLargestN = 25000;
// Typed percentages such as 33.33, 33.33 and 33.34 add up to 100 only to within rounding.
constexpr double kSumTolerance = 1e-6;

}  // namespace

bool AddsUpToHundred(double sum) {
    return std::fabs(sum - 100.0) <= kSumTolerance;
}

std::string SumText(double sum, char decimalSeparator) {
    const double rounded = std::round(sum * 1e6) / 1e6;
    std::array<char, 32> buffer{};
    const auto [end, error] = ToChars(buffer.data(), buffer.data() + buffer.size(), rounded);
    std::string text(buffer.data(), error == std::errc() ? end : buffer.data());
    for (char& c : text) {
        if (c == '.') c = decimalSeparator;
    }
    return text;
}

namespace {

std::string CellName(const CategoryTableTexts& texts, int cell) {
    if (texts.columns == 1) return "category " + std::to_string(cell + 1);
    return "cell (" + std::to_string(cell / texts.columns + 1) + "," +
           std::to_string(cell % texts.columns + 1) + ")";
}

// `column` from 1, or 0 for the N of all cases.
Checked<std::int32_t> ReadN(const std::string& text, int column) {
    const std::optional<std::int32_t> n = ParseInteger(text);
    if (!n || *n < kSmallestN || *n > kLargestN) {
        const std::string which = column == 0 ? "" : std::to_string(column);
        return Refusal{"N" + (column == 0 ? std::string() : " of column " + which) +
                           " must be a whole number from 2 to 25000",
                       "txt_catn" + which};
    }
    return *n;
}

// `firstCell` from 1: the entry the user is taken to.
Verdict CheckSum(double sum, const std::string& what, int firstCell, char decimalSeparator) {
    if (AddsUpToHundred(sum)) return std::nullopt;
    return Refusal{
        what + " must add up to 100 (they add up to " + SumText(sum, decimalSeparator) + ")",
        "txt_pct" + std::to_string(firstCell)};
}

}  // namespace

std::int32_t CategoryTable::TotalN() const {
    if (percentagesOf == PercentagesOf::AllCases) return n;
    std::int32_t total = 0;
    for (int column = 0; column < columns; ++column) total += ColumnN(column);
    return total;
}

Checked<CategoryTable> ReadCategoryTable(const CategoryTableTexts& texts, char decimalSeparator) {
    CategoryTable table;
    table.rows = texts.rows;
    table.columns = texts.columns;
    table.percentagesOf = texts.percentagesOf;
    for (int cell = 0; cell < table.CellCount(); ++cell) {
        const std::string text = static_cast<std::size_t>(cell) < texts.percentages.size()
                                     ? texts.percentages[static_cast<std::size_t>(cell)]
                                     : std::string();
        const std::optional<double> percentage = ParseReal(text, decimalSeparator);
        if (!percentage || !(*percentage > 0.0) || *percentage > 100.0) {
            return Refusal{"The percentage of " + CellName(texts, cell) +
                               " must be a number above 0 and at most 100",
                           "txt_pct" + std::to_string(cell + 1)};
        }
        table.percentages[static_cast<std::size_t>(cell)] = *percentage;
    }
    if (table.percentagesOf == PercentagesOf::AllCases) {
        const double sum = std::accumulate(table.percentages.begin(),
                                           table.percentages.begin() + table.CellCount(), 0.0);
        const std::string what =
            table.columns == 1 ? "The category percentages" : "The cell percentages";
        if (Verdict verdict = CheckSum(sum, what, 1, decimalSeparator)) return *verdict;
        const Checked<std::int32_t> n = ReadN(texts.n, 0);
        if (!n) return n.refusal();
        table.n = *n;
        return table;
    }
    for (int column = 0; column < table.columns; ++column) {
        double sum = 0.0;
        for (int row = 0; row < table.rows; ++row) sum += table.Percentage(row, column);
        const std::string what = "The percentages of column " + std::to_string(column + 1);
        if (Verdict verdict = CheckSum(sum, what, column + 1, decimalSeparator)) return *verdict;
        const std::string text = static_cast<std::size_t>(column) < texts.columnN.size()
                                     ? texts.columnN[static_cast<std::size_t>(column)]
                                     : std::string();
        const Checked<std::int32_t> n = ReadN(text, column + 1);
        if (!n) return n.refusal();
        table.columnN[static_cast<std::size_t>(column)] = *n;
    }
    return table;
}

}  // namespace zek
