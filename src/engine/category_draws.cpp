#include "engine/category_draws.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zek {

namespace {

// A block of cases drawn together: its N and the cells it draws from, with their shares.
struct DrawnBlock {
    std::int32_t n = 0;
    std::vector<CategoryCase> cells;
    std::vector<double> shares;
};

std::vector<DrawnBlock> BlocksOf(const CategoryTable& table) {
    std::vector<DrawnBlock> blocks;
    if (table.percentagesOf == PercentagesOf::AllCases) {
        DrawnBlock all;
        all.n = table.n;
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
    const std::vector<std::int32_t> counts = LargestRemainderCounts(block.n, block.shares);
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
