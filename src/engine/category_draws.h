// The categories of a categorical design's cases, drawn from ZEK's own streams.
//
// Each case takes one uniform from the shuffled stream and falls in the first cell whose
// cumulative share exceeds it, so that a seed gives the same table on every machine. With
// exact counts the cells hold the asked shares of N as nearly as whole cases can (largest
// remainders, and for a table of all cases with its row and column totals kept as near too),
// and the stream then shuffles the cases' order instead.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/data_layout.h"
#include "engine/random_streams.h"
#include "setup/category_table.h"
#include "setup/generation_setup.h"

namespace zek {

/// One case's categories, from 1: its row, and its column (1 where there is one variable).
struct CategoryCase {
    std::int32_t row = 1;
    std::int32_t column = 1;
    bool operator==(const CategoryCase&) const = default;
};

/// The counts of `n` cases over cells of the given shares (adding up to 1): each cell its
/// whole share, and one more case for the cells with the largest remainders, the earlier
/// cell first where they tie.
std::vector<std::int32_t> LargestRemainderCounts(std::int32_t n, std::span<const double> shares);

/// The counts of `n` cases in a table of `rows` x `columns` cells (shares row after row,
/// adding up to 1) that keep its margins: every row's and every column's total is its own
/// largest-remainder count of `n`, and every cell holds its whole share or one case more.
/// Of the tables that do, the one whose extra cases have the largest remainders in sum, and
/// of those the one whose extra cases stand in the earlier cells; none where no table keeps
/// both margins (a margin may need a case in a cell of share 0).
std::optional<std::vector<std::int32_t>> MarginKeepingCounts(std::int32_t n, int rows, int columns,
                                                             std::span<const double> shares);

/// Every case of `table` in the data file's order: all cases at once for percentages of all
/// cases, column by column for percentages within columns (each column's cases together).
std::vector<CategoryCase> DrawCategories(const CategoryTable& table, bool exactCounts,
                                         RandomStreams& streams, std::int32_t& state);

/// The data of a categorical design: every case's codes drawn from the score stream (exact
/// counts under Exact Sample Statistics), then each code's missing test, case by case, from
/// the missing-value stream. A column per variable, a row per case, in `LayoutOf`'s block.
void GenerateCategoryData(const GenerationSetup& setup, RandomStreams& streams,
                          ScoreTable& generated);

}  // namespace zek
