// The categories of a categorical design's cases, drawn from ZEK's own streams.
//
// Each case takes one uniform from the shuffled stream and falls in the first cell whose
// cumulative share exceeds it, so that a seed gives the same table on every machine. With
// exact counts the cells hold the asked shares of N as nearly as whole cases can (largest
// remainders), and the stream then shuffles the cases' order instead.
#pragma once

#include <cstdint>
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
