#include "files/categorical_report.h"

#include <cmath>
#include <string>
#include <vector>

#include "engine/category_draws.h"
#include "files/number_format.h"

namespace zek {

namespace {

// A line of the general information: its label right-aligned to the colon's column.
void InformationLine(LineWriter& writer, std::string_view label, std::string_view value) {
    std::string& line = writer.line();
    line.append(label.size() < 38 ? 38 - label.size() : 0, ' ');
    line += label;
    line += ": ";
    line += value;
    writer.EndLine();
}

void IntegerLine(LineWriter& writer, std::string_view label, std::int64_t value) {
    std::string text;
    AppendInteger(text, value);
    InformationLine(writer, label, text);
}

std::string CellLabel(const CategoryTable& table, int row, int column) {
    std::string label = table.columns == 1 ? "Category " + std::to_string(row + 1)
                                           : "Cell (" + std::to_string(row + 1) + "," +
                                                 std::to_string(column + 1) + ")";
    label.resize(16, ' ');
    return label;
}

// The cases a cell's percentage is of: all cases with every code, or its column's.
std::int64_t BaseOf(const CategoryTable& table, const ActualStatistics& statistics, int column) {
    if (table.percentagesOf == PercentagesOf::AllCases) return statistics.categoryCases;
    std::int64_t base = 0;
    for (int row = 0; row < table.rows; ++row) {
        base += statistics.categoryCounts[table.CellIndex(row, column)];
    }
    return base;
}

}  // namespace

void WriteCategoricalGeneralInformation(LineWriter& writer, const GenerationSetup& setup) {
    const CategoryTable& table = setup.categories;
    writer.Line("GENERAL INFORMATION: ");
    writer.Line("-------------------- ");
    writer.Line("");
    IntegerLine(writer, "Generator Seed", setup.seed);
    IntegerLine(writer, "Number of Categorical Variables", setup.variableCount);
    IntegerLine(writer, table.columns > 1 ? "Categories of Variable 1 (Rows)" : "Categories",
                table.rows);
    if (table.columns > 1) IntegerLine(writer, "Categories of Variable 2 (Columns)", table.columns);
    InformationLine(
        writer, "Percentages Are of",
        table.percentagesOf == PercentagesOf::AllCases ? "all cases" : "each column's cases");
    IntegerLine(writer, "Total Number of Cases", table.TotalN());
    writer.Line("");
    InformationLine(writer, "Percentage Missing Data", std::to_string(setup.missingPercent) + "%");
}

void WriteCategoricalExactness(LineWriter& writer, const GenerationSetup& setup) {
    const CategoryTable& table = setup.categories;
    writer.Line("EXACT SAMPLE STATISTICS were asked for: each cell holds the asked percentage");
    writer.Line("of its cases, as nearly as whole cases can (largest remainders).");
    bool whole = true;
    for (int row = 0; row < table.rows; ++row) {
        for (int column = 0; column < table.columns; ++column) {
            const std::int32_t base =
                table.percentagesOf == PercentagesOf::AllCases ? table.n : table.ColumnN(column);
            const double cases = static_cast<double>(base) * table.Proportion(row, column);
            whole = whole && std::fabs(cases - std::round(cases)) < 1e-9;
        }
    }
    if (!whole) {
        writer.Line("The asked percentages of this N are not all whole numbers of cases: the");
        writer.Line("counts below are the nearest whole ones, not the asked percentages.");
        if (table.percentagesOf == PercentagesOf::AllCases && table.columns > 1) {
            std::vector<double> shares;
            for (int row = 0; row < table.rows; ++row) {
                for (int column = 0; column < table.columns; ++column) {
                    shares.push_back(table.Proportion(row, column));
                }
            }
            if (MarginKeepingCounts(table.n, table.rows, table.columns, shares)) {
                writer.Line("The row and column totals are the nearest whole ones to theirs too.");
            } else {
                writer.Line("No such counts keep the row and column totals nearest to theirs as");
                writer.Line("well (a total needs a case in a cell of 0%): the cells come first.");
            }
        }
    }
    if (setup.missingPercent > 0) {
        writer.Line("Missing codes moved the counts again; the actual figures below are what");
        writer.Line("was got.");
    }
    writer.Line("");
    writer.Line(std::string(63, '*'));
    writer.Line("");
}

void WriteCategoryCounts(LineWriter& writer, const GenerationSetup& setup,
                         const ActualStatistics& statistics) {
    const CategoryTable& table = setup.categories;
    const bool ofColumns = table.percentagesOf == PercentagesOf::ColumnsCases;
    writer.Line("PERCENTAGES SET BY USER AND ACTUAL COUNTS: ");
    writer.Line("------------------------------------------ ");
    writer.Line("");
    writer.Line(ofColumns ? "                Asked %            Actual %"
                          : "                 Asked             Actual");
    writer.Line(ofColumns ? "                of Col.   Count    of Col."
                          : "                   %      Count       %   ");
    writer.Line("                ------   ------    ------");
    for (int row = 0; row < table.rows; ++row) {
        for (int column = 0; column < table.columns; ++column) {
            const std::int64_t count = statistics.categoryCounts[table.CellIndex(row, column)];
            const std::int64_t base = BaseOf(table, statistics, column);
            std::string& line = writer.line();
            line += CellLabel(table, row, column);
            AppendFixedWidth(line, table.Percentage(row, column), 6, 2);
            AppendIntegerWidth(line, count, 9);
            if (base > 0) {
                AppendFixedWidth(
                    line, 100.0 * static_cast<double>(count) / static_cast<double>(base), 10, 2);
            }
            writer.EndLine();
        }
    }
    writer.Line("");
    std::string& cases = writer.line();
    cases += "Cases with every code: ";
    AppendInteger(cases, statistics.categoryCases);
    writer.EndLine();
}

}  // namespace zek
