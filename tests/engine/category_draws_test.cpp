#include "engine/category_draws.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace zek {
namespace {

CategoryTable ThreeByFour(std::int32_t n) {
    CategoryTable table;
    table.rows = 3;
    table.columns = 4;
    table.percentages = {2, 8, 10, 5, 15, 5, 20, 5, 10, 5, 10, 5};
    table.n = n;
    return table;
}

std::map<std::pair<int, int>, int> CountsOf(const std::vector<CategoryCase>& cases) {
    std::map<std::pair<int, int>, int> counts;
    for (const CategoryCase& c : cases) ++counts[{c.row, c.column}];
    return counts;
}

TEST(CategoryDraws, LargestRemaindersGoToTheLargestRemaindersAndTiesToTheEarlierCell) {
    const double thirds[] = {1.0 / 3, 1.0 / 3, 1.0 / 3};
    EXPECT_EQ(LargestRemainderCounts(10, thirds), (std::vector<std::int32_t>{4, 3, 3}));
    const double halfAndQuarters[] = {0.5, 0.25, 0.25};
    EXPECT_EQ(LargestRemainderCounts(7, halfAndQuarters), (std::vector<std::int32_t>{3, 2, 2}));
    const double shares[] = {0.02, 0.08, 0.9};
    EXPECT_EQ(LargestRemainderCounts(30, shares), (std::vector<std::int32_t>{1, 2, 27}));
}

// Cell by cell, a 2x2 table of quarters puts its two extra cases in the first row; keeping
// the margins puts them on the diagonal, so that every row and column holds half the cases.
TEST(CategoryDraws, MarginKeepingCountsKeepTheRowAndColumnTotalsNearestToTheirs) {
    const double quarters[] = {0.25, 0.25, 0.25, 0.25};
    EXPECT_EQ(LargestRemainderCounts(10, quarters), (std::vector<std::int32_t>{3, 3, 2, 2}));
    EXPECT_EQ(MarginKeepingCounts(10, 2, 2, quarters), (std::vector<std::int32_t>{3, 2, 2, 3}));
    // Whole cases for every cell are the cells' own counts.
    const CategoryTable table = ThreeByFour(200);
    std::vector<double> shares;
    for (int k = 0; k < 12; ++k) shares.push_back(table.percentages[k] / 100.0);
    EXPECT_EQ(MarginKeepingCounts(200, 3, 4, shares), LargestRemainderCounts(200, shares));
    // N 7 of the 3x4 table: every margin is its own nearest count, and the cells sum to N.
    const std::optional<std::vector<std::int32_t>> seven = MarginKeepingCounts(7, 3, 4, shares);
    ASSERT_TRUE(seven.has_value());
    for (int row = 0; row < 3; ++row) {
        double share = 0;
        std::int32_t total = 0;
        for (int column = 0; column < 4; ++column) {
            share += shares[4 * row + column];
            total += (*seven)[4 * row + column];
            EXPECT_LE(std::abs((*seven)[4 * row + column] - 7 * shares[4 * row + column]), 1.0);
        }
        EXPECT_LE(std::abs(total - 7 * share), 1.0);
    }
    // One case of an anti-diagonal table: both margins want it in the empty cell (1,1).
    const double antiDiagonal[] = {0.0, 0.5, 0.5, 0.0};
    EXPECT_FALSE(MarginKeepingCounts(1, 2, 2, antiDiagonal).has_value());
}

// At N 20,000 every cell's count lies within four standard errors of N times its share.
TEST(CategoryDraws, DrawnCellsFollowTheAskedPercentages) {
    const CategoryTable table = ThreeByFour(20000);
    RandomStreams streams;
    std::int32_t state = -1804;
    const std::vector<CategoryCase> cases = DrawCategories(table, false, streams, state);
    ASSERT_EQ(cases.size(), 20000u);
    const auto counts = CountsOf(cases);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const double p = table.Proportion(row, column);
            const double expected = 20000 * p;
            const double se = std::sqrt(20000 * p * (1 - p));
            const auto found = counts.find({row + 1, column + 1});
            ASSERT_NE(found, counts.end());
            EXPECT_LT(std::fabs(found->second - expected), 4 * se) << row << "," << column;
        }
    }

    // The same seed, the same cases.
    RandomStreams again;
    std::int32_t sameState = -1804;
    EXPECT_EQ(DrawCategories(table, false, again, sameState), cases);
}

TEST(CategoryDraws, ExactCountsKeepTheMarginsInAShuffledOrder) {
    const CategoryTable table = ThreeByFour(50);
    RandomStreams streams;
    std::int32_t state = -7;
    const std::vector<CategoryCase> cases = DrawCategories(table, true, streams, state);
    const auto counts = CountsOf(cases);
    std::vector<double> shares;
    for (int cell = 0; cell < 12; ++cell) shares.push_back(table.percentages[cell] / 100.0);
    const std::vector<std::int32_t> wanted = MarginKeepingCounts(50, 3, 4, shares).value();
    for (int cell = 0; cell < 12; ++cell) {
        EXPECT_EQ(counts.at({cell / 4 + 1, cell % 4 + 1}), wanted[cell]) << cell;
    }
    EXPECT_FALSE(std::is_sorted(cases.begin(), cases.end(), [](const auto& a, const auto& b) {
        return std::pair(a.row, a.column) < std::pair(b.row, b.column);
    })) << "the cases are shuffled";
}

// Proportions in groups: each column's cases come together, in the column's own shares.
TEST(CategoryDraws, GroupsDrawTheirOwnPercentagesInTurn) {
    CategoryTable table;
    table.rows = 2;
    table.columns = 2;
    table.percentagesOf = PercentagesOf::ColumnsCases;
    table.percentages = {30, 60, 70, 40};
    table.columnN = {10, 20};
    RandomStreams streams;
    std::int32_t state = -3;
    const std::vector<CategoryCase> cases = DrawCategories(table, true, streams, state);
    ASSERT_EQ(cases.size(), 30u);
    for (std::size_t k = 0; k < cases.size(); ++k) EXPECT_EQ(cases[k].column, k < 10 ? 1 : 2);
    const auto counts = CountsOf(cases);
    EXPECT_EQ(counts.at({1, 1}), 3);
    EXPECT_EQ(counts.at({2, 1}), 7);
    EXPECT_EQ(counts.at({1, 2}), 12);
    EXPECT_EQ(counts.at({2, 2}), 8);
}

}  // namespace
}  // namespace zek
