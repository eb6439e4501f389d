// What the window's panel of counts shows beside the typed percentages: the headers of its
// rows and columns, and the sums a teacher must bring to 100 as they stand while typing.
#pragma once

#include <string>

#include "setup/category_table.h"
#include "setup/column_names.h"

namespace zek {

/// The header of category `level` of variable `variable` (1 or 2): its label, or
/// "name = level" by the column's name.
std::string CategoryHeader(const ColumnNames& names, int variable, int level);

struct CategorySums {
    std::string text;       ///< "Sum: 97.5% (must be 100%)", "Column sums: 100%, 90%"
    bool complete = false;  ///< every sum is 100 and every entry a number
};

/// The sums of the typed percentages, of the table or of each column.
CategorySums SumsOf(const CategoryTableTexts& texts, char decimalSeparator);

/// The texts with `rows` categories of one variable: the typed percentages of the rows kept,
/// new ones empty.
CategoryTableTexts WithRows(CategoryTableTexts texts, int rows);

/// The texts with their percentages of all cases or of each column's; each column starts with
/// an even share of N where none is typed.
CategoryTableTexts WithPercentagesOf(CategoryTableTexts texts, PercentagesOf percentagesOf);

}  // namespace zek
