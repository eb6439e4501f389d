// The tests a course runs on counts: chi-square goodness of fit against asked proportions,
// Pearson's chi-square test of independence (with and without Yates' correction), Fisher's
// exact test of a 2 x 2 table with its conditional odds ratio, and Cramér's V and phi, as
// R's chisq.test(), fisher.test() and cor() give them.
//
// A table keeps every category of its design, seen or not, as a factor with all its levels
// gives it to R: an empty row or column leaves a zero expected count, and R's chi-square is
// then NaN, which is `kMissingValue` here, as is every figure R would print as Inf or NaN.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "stats/sample_tests.h"

namespace zek {

/// Counts of a rows x columns table, row after row.
class CountTable {
  public:
    CountTable(int rows, int columns)
        : rows_(rows), columns_(columns), counts_(static_cast<std::size_t>(rows * columns), 0) {}

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    std::int64_t& At(int row, int column) { return counts_[Index(row, column)]; }
    std::int64_t At(int row, int column) const { return counts_[Index(row, column)]; }
    std::int64_t RowTotal(int row) const;
    std::int64_t ColumnTotal(int column) const;
    std::int64_t Total() const;

  private:
    std::size_t Index(int row, int column) const {
        return static_cast<std::size_t>(row * columns_ + column);
    }

    int rows_;
    int columns_;
    std::vector<std::int64_t> counts_;
};

struct ChiSquareTest {
    double statistic = kMissingValue;
    double df = kMissingValue;
    double p = kMissingValue;
};

struct GoodnessOfFit {
    ChiSquareTest test;
    std::vector<double> expected;  ///< N times each asked proportion
    double smallestExpected = kMissingValue;
};

/// chisq.test(observed, p = proportions); the proportions are positive and add up to 1. No
/// test where nothing was counted, as R stops there.
GoodnessOfFit TestGoodnessOfFit(std::span<const std::int64_t> observed,
                                std::span<const double> proportions);

struct IndependenceTests {
    ChiSquareTest pearson;         ///< chisq.test(table, correct = FALSE)
    ChiSquareTest yates;           ///< chisq.test(table) of a 2 x 2 table; none for larger tables
    std::vector<double> expected;  ///< row total x column total / N, row after row
    double smallestExpected = kMissingValue;
    double cramersV = kMissingValue;  ///< sqrt(X^2 / (N (min(rows, columns) - 1)))
    double phi = kMissingValue;       ///< of a 2 x 2 table, signed: cor() of the two codes
};

IndependenceTests TestIndependence(const CountTable& table);

struct FisherExactTest {
    double p = kMissingValue;
    double oddsRatio = kMissingValue;  ///< the conditional maximum likelihood estimate
    double lower = kMissingValue;      ///< its 95% interval
    double upper = kMissingValue;
};

/// fisher.test() of a 2 x 2 table, two-sided, with R's root finding, so that the estimate
/// and the interval agree with R's to the digits R prints.
FisherExactTest TestFisherExact(const CountTable& table);

}  // namespace zek
