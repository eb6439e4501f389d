#include "engine/category_draws.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zek {

namespace {

// A block of cases drawn together: its N and the cells it draws from, with their shares;
// the table's size where its margins are to be kept.
struct DrawnBlock {
    std::int32_t n = 0;
    std::vector<CategoryCase> cells;
    std::vector<double> shares;
    int rows = 1;
    int columns = 1;
};

std::vector<DrawnBlock> BlocksOf(const CategoryTable& table) {
    std::vector<DrawnBlock> blocks;
    if (table.percentagesOf == PercentagesOf::AllCases) {
        DrawnBlock all;
        all.n = table.n;
        all.rows = table.rows;
        all.columns = table.columns;
        for (int row = 0; row < table.rows; ++row) {
            for (int column = 0; column < table.columns; ++column) {
                all.cells.push_back({row + 1, column + 1});
                all.shares.push_back(table.Proportion(row, column));
            }
        }
        blocks.push_back(std::move(all));
        return blocks;
    }
    for (int column = 0; column < table.columns; ++column) {
        DrawnBlock group;
        group.n = table.ColumnN(column);
        for (int row = 0; row < table.rows; ++row) {
            group.cells.push_back({row + 1, column + 1});
            group.shares.push_back(table.Proportion(row, column));
        }
        blocks.push_back(std::move(group));
    }
    return blocks;
}

void DrawBlock(const DrawnBlock& block, RandomStreams& streams, std::int32_t& state,
               std::vector<CategoryCase>& cases) {
    // The cumulative shares, summed in the cells' order; the last cell takes whatever a
    // sum short of 1 leaves.
    std::vector<double> cumulative(block.shares.size());
    std::partial_sum(block.shares.begin(), block.shares.end(), cumulative.begin());
    for (std::int32_t k = 0; k < block.n; ++k) {
        const double u = streams.ShuffledUniform(state);
        std::size_t cell = 0;
        while (cell + 1 < cumulative.size() && u >= cumulative[cell]) ++cell;
        cases.push_back(block.cells[cell]);
    }
}

void PlaceExactly(const DrawnBlock& block, RandomStreams& streams, std::int32_t& state,
                  std::vector<CategoryCase>& cases) {
    std::vector<std::int32_t> counts;
    if (block.columns > 1) {
        counts = MarginKeepingCounts(block.n, block.rows, block.columns, block.shares)
                     .value_or(std::vector<std::int32_t>{});
    }
    if (counts.empty()) counts = LargestRemainderCounts(block.n, block.shares);
    const std::size_t first = cases.size();
    for (std::size_t cell = 0; cell < counts.size(); ++cell) {
        cases.insert(cases.end(), static_cast<std::size_t>(counts[cell]), block.cells[cell]);
    }
    // Fisher and Yates' shuffle, from the last case down, one uniform a step.
    for (std::size_t i = cases.size() - first; i > 1; --i) {
        const double u = streams.ShuffledUniform(state);
        const auto j = std::min(static_cast<std::size_t>(u * static_cast<double>(i)), i - 1);
        std::swap(cases[first + i - 1], cases[first + j]);
    }
}

// Every row's and column's total, each its own largest-remainder count of the cases.
struct TableMargins {
    std::vector<std::int32_t> rows;
    std::vector<std::int32_t> columns;
};

TableMargins LargestRemainderMargins(std::int32_t n, int rows, int columns,
                                     std::span<const double> shares) {
    std::vector<double> rowShares(static_cast<std::size_t>(rows), 0.0);
    std::vector<double> columnShares(static_cast<std::size_t>(columns), 0.0);
    for (std::size_t k = 0; k < shares.size(); ++k) {
        rowShares[k / static_cast<std::size_t>(columns)] += shares[k];
        columnShares[k % static_cast<std::size_t>(columns)] += shares[k];
    }
    return {LargestRemainderCounts(n, rowShares), LargestRemainderCounts(n, columnShares)};
}

bool KeepsMargins(const std::vector<std::int32_t>& counts, int columns,
                  const TableMargins& margins) {
    std::vector<std::int32_t> rowTotals(margins.rows.size(), 0);
    std::vector<std::int32_t> columnTotals(margins.columns.size(), 0);
    for (std::size_t k = 0; k < counts.size(); ++k) {
        rowTotals[k / static_cast<std::size_t>(columns)] += counts[k];
        columnTotals[k % static_cast<std::size_t>(columns)] += counts[k];
    }
    return rowTotals == margins.rows && columnTotals == margins.columns;
}

}  // namespace

std::vector<std::int32_t> LargestRemainderCounts(std::int32_t n, std::span<const double> shares) {
    std::vector<std::int32_t> counts(shares.size());
    std::vector<double> remainders(shares.size());
    std::int32_t placed = 0;
    for (std::size_t cell = 0; cell < shares.size(); ++cell) {
        const double exact = static_cast<double>(n) * shares[cell];
        counts[cell] = static_cast<std::int32_t>(std::floor(exact));
        remainders[cell] = exact - std::floor(exact);
        placed += counts[cell];
    }
    std::vector<std::size_t> order(shares.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return remainders[a] > remainders[b]; });
    for (std::size_t k = 0; placed < n && k < order.size(); ++k, ++placed) ++counts[order[k]];
    return counts;
}

std::optional<std::vector<std::int32_t>> MarginKeepingCounts(std::int32_t n, int rows, int columns,
                                                             std::span<const double> shares) {
    const TableMargins margins = LargestRemainderMargins(n, rows, columns, shares);
    // Each cell with a fraction of a case may take one case more than its whole share; a
    // table has at most 12 cells, so every choice of them is tried.
    std::vector<std::int32_t> floors(shares.size());
    std::vector<double> remainders(shares.size());
    std::vector<std::size_t> fractional;
    for (std::size_t k = 0; k < shares.size(); ++k) {
        const double exact = static_cast<double>(n) * shares[k];
        floors[k] = static_cast<std::int32_t>(std::floor(exact));
        remainders[k] = exact - std::floor(exact);
        if (remainders[k] > 0.0) fractional.push_back(k);
    }
    // The first fractional cell is the choice's highest bit, so that going down from the
    // choice of all of them, the first of equal choices is the one of the earlier cells.
    const auto taking = [&](std::uint32_t choice, std::size_t f) {
        return ((choice >> (fractional.size() - 1 - f)) & 1u) != 0;
    };
    const auto countsOf = [&](std::uint32_t choice) {
        std::vector<std::int32_t> counts = floors;
        for (std::size_t f = 0; f < fractional.size(); ++f) {
            if (taking(choice, f)) ++counts[fractional[f]];
        }
        return counts;
    };
    std::optional<std::uint32_t> best;
    double bestRemainders = -1.0;
    for (std::uint32_t choice = (std::uint32_t{1} << fractional.size()); choice-- > 0;) {
        double taken = 0.0;
        for (std::size_t f = 0; f < fractional.size(); ++f) {
            if (taking(choice, f)) taken += remainders[fractional[f]];
        }
        if (taken > bestRemainders && KeepsMargins(countsOf(choice), columns, margins)) {
            best = choice;
            bestRemainders = taken;
        }
    }
    if (!best) return std::nullopt;
    return countsOf(*best);
}

std::vector<CategoryCase> DrawCategories(const CategoryTable& table, bool exactCounts,
                                         RandomStreams& streams, std::int32_t& state) {
    std::vector<CategoryCase> cases;
    cases.reserve(static_cast<std::size_t>(table.TotalN()));
    for (const DrawnBlock& block : BlocksOf(table)) {
        if (exactCounts) {
            PlaceExactly(block, streams, state, cases);
        } else {
            DrawBlock(block, streams, state, cases);
        }
    }
    return cases;
}

void GenerateCategoryData(const GenerationSetup& setup, RandomStreams& streams,
                          ScoreTable& generated) {
    const StreamSeeds seeds = StreamSeedsOf(setup.seed);
    std::int32_t scoreState = seeds.negated;
    std::int32_t missingState = seeds.times319;
    const std::vector<CategoryCase> cases =
        DrawCategories(setup.categories, setup.exactStatistics, streams, scoreState);
    const int rows = static_cast<int>(cases.size());
    generated.SetShape(rows, setup.variableCount);
    for (int row = 0; row < rows; ++row) {
        const CategoryCase& drawn = cases[static_cast<std::size_t>(row)];
        for (int v = 0; v < setup.variableCount; ++v) {
            double code = v == 0 ? drawn.row : drawn.column;
            if (streams.SubtractiveUniform(missingState) < setup.missingFraction) {
                code = MissingMark;
            }
            generated.At(row, v) = code;
        }
    }
}

}  // namespace zek
