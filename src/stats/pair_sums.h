// The sums behind Pearson's correlation of every pair of columns over the rows where both
// are present. The report (unrounded scores) and the answer key (scores as written) both take
// them from here, so a pair's figures have the same bits whichever of them asks, and however
// many pairs are asked at once.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <utility>
#include <vector>

namespace zek {

/// One pair's sums over its complete rows, each accumulated in row order: first the count
/// and the two sums, then, around the means those give, the squares and the products.
struct PairSums {
    int first = 0;   ///< 0-based column of x
    int second = 0;  ///< 0-based column of y
    int count = 0;
    double meanX = 0.0, meanY = 0.0;
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
};

/// The most columns `SumEveryPair` takes: the variables of a design.
inline constexpr int kMostPairedColumns = 8;

namespace pair_sums_detail {

// The sweeps for a known number of columns, so that every pair's columns are constants and
// its sums stay apart from the others'.
template <int kColumns, typename Value, typename Present>
std::vector<PairSums> SumPairsOf(int rows, Value value, Present present) {
    constexpr std::size_t kPairs = kColumns * (kColumns - 1) / 2;
    constexpr auto kColumnsOfPairs = [] {
        std::array<std::pair<std::size_t, std::size_t>, kPairs> columns{};
        std::size_t p = 0;
        for (std::size_t i = 0; i < kColumns; ++i) {
            for (std::size_t j = i + 1; j < kColumns; ++j) columns[p++] = {i, j};
        }
        return columns;
    }();
    auto forEachPair = [](auto visit) {
        [&]<std::size_t... p>(std::index_sequence<p...>) {
            (visit(std::integral_constant<std::size_t, p>{}), ...);
        }
        (std::make_index_sequence<kPairs>{});
    };
    // Every row, and in it every pair whose two columns both count, with its two values.
    std::array<double, kColumns> cells{};
    std::array<bool, kColumns> counts{};
    auto sweep = [&](auto visit) {
        for (int row = 0; row < rows; ++row) {
            for (std::size_t c = 0; c < kColumns; ++c) {
                cells[c] = value(row, static_cast<int>(c));
                counts[c] = present(cells[c]);
            }
            forEachPair([&](auto p) {
                constexpr std::size_t x = kColumnsOfPairs[p].first;
                constexpr std::size_t y = kColumnsOfPairs[p].second;
                if (counts[x] && counts[y]) visit(p, cells[x], cells[y]);
            });
        }
    };

    std::array<int, kPairs> count{};
    std::array<double, kPairs> sumX{};
    std::array<double, kPairs> sumY{};
    sweep([&](std::size_t p, double x, double y) {
        ++count[p];
        sumX[p] += x;
        sumY[p] += y;
    });
    std::array<double, kPairs> meanX{};
    std::array<double, kPairs> meanY{};
    for (std::size_t p = 0; p < kPairs; ++p) {
        if (count[p] == 0) continue;
        meanX[p] = sumX[p] / count[p];
        meanY[p] = sumY[p] / count[p];
    }
    std::array<double, kPairs> sxx{};
    std::array<double, kPairs> syy{};
    std::array<double, kPairs> sxy{};
    sweep([&](std::size_t p, double x, double y) {
        const double dx = x - meanX[p];
        const double dy = y - meanY[p];
        sxx[p] += dx * dx;
        syy[p] += dy * dy;
        sxy[p] += dx * dy;
    });

    std::vector<PairSums> pairs(kPairs);
    for (std::size_t p = 0; p < kPairs; ++p) {
        pairs[p] = {static_cast<int>(kColumnsOfPairs[p].first),
                    static_cast<int>(kColumnsOfPairs[p].second),
                    count[p],
                    meanX[p],
                    meanY[p],
                    sxx[p],
                    syy[p],
                    sxy[p]};
    }
    return pairs;
}

}  // namespace pair_sums_detail

/// The pairs i < j of `columns` columns in the order (0, 1), (0, 2), ..., (1, 2), ...
/// `value(row, column)` reads a cell and `present(value)` says whether it counts.
///
/// One sweep over the rows per pass serves every pair, each pair's sums taking its complete
/// rows in row order, so they are those of the pair on its own, bit for bit.
template <typename Value, typename Present>
std::vector<PairSums> SumEveryPair(int columns, int rows, Value value, Present present) {
    assert(columns >= 0 && columns <= kMostPairedColumns);
    using pair_sums_detail::SumPairsOf;
    switch (columns) {
        case 2:
            return SumPairsOf<2>(rows, value, present);
        case 3:
            return SumPairsOf<3>(rows, value, present);
        case 4:
            return SumPairsOf<4>(rows, value, present);
        case 5:
            return SumPairsOf<5>(rows, value, present);
        case 6:
            return SumPairsOf<6>(rows, value, present);
        case 7:
            return SumPairsOf<7>(rows, value, present);
        case 8:
            return SumPairsOf<8>(rows, value, present);
        default:
            return {};  // no pair
    }
}

}  // namespace zek
