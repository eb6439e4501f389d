// What a categorical design asks for: the population percentages of the categories of one
// variable, or of the cells of a table of two, and how many cases.
//
// The percentages are either of all cases (they add up to 100 over the whole table) or, for
// proportions in groups, of the cases of each column (each column adds up to 100, and each
// column, a group, has its own N).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/refusal.h"

namespace zek {

inline constexpr int kMaxCategories = 8;
/// A 3 x 4 table, or one variable of 8 categories.
inline constexpr int kMaxTableCells = 12;
inline constexpr int kMaxTableColumns = 4;

enum class PercentagesOf {
    AllCases,      ///< cell percentages: the whole table adds up to 100
    ColumnsCases,  ///< row percentages within each column: every column adds up to 100
};

struct CategoryTable {
    int rows = 2;     ///< categories of the first variable, 2 to 8
    int columns = 1;  ///< categories of the second, 2 to 4; 1 for one variable
    PercentagesOf percentagesOf = PercentagesOf::AllCases;
    std::array<double, kMaxTableCells> percentages{};  ///< row after row
    std::int32_t n = 0;                                ///< all cases, for percentages of all cases
    std::array<std::int32_t, kMaxTableColumns> columnN{};  ///< each column's cases otherwise

    double Percentage(int row, int column) const { return percentages[CellIndex(row, column)]; }
    int CellCount() const { return rows * columns; }
    /// The place of a cell in the row-after-row order of `percentages` and of counts.
    std::size_t CellIndex(int row, int column) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
               static_cast<std::size_t>(column);
    }
    std::int32_t ColumnN(int column) const {
        return columns == 1 ? n : columnN[static_cast<std::size_t>(column)];
    }
    std::int32_t TotalN() const;
    /// The population share of a cell among all cases, or among its column's.
    double Proportion(int row, int column) const { return Percentage(row, column) / 100.0; }
};

/// Whether typed percentages add up to 100, to within the rounding of their decimals.
bool AddsUpToHundred(double sum);

/// A sum of percentages as the user would write it: at most six decimals, no trailing zeros,
/// with `decimalSeparator`.
std::string SumText(double sum, char decimalSeparator);

/// The texts a user gives a table: a percentage per cell, row after row, and the N of all
/// cases or of each column.
struct CategoryTableTexts {
    int rows = 2;
    int columns = 1;
    PercentagesOf percentagesOf = PercentagesOf::AllCases;
    std::vector<std::string> percentages;
    std::string n;
    std::vector<std::string> columnN;
};

/// The table the texts give, read with the one rule for numbers, or why it is refused: a
/// percentage that is no number, not above 0 or above 100; percentages that do not add up to
/// 100 ("The cell percentages must add up to 100 (they add up to 97.5)"), over the table or
/// within a column; an N that is not a whole number from 2 to 25000.
Checked<CategoryTable> ReadCategoryTable(const CategoryTableTexts& texts, char decimalSeparator);

}  // namespace zek
