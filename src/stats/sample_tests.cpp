#include "stats/sample_tests.h"

#include <Eigen/Dense>
#include <algorithm>
#include <bit>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cassert>
#include <cmath>
#include <numeric>
#include <optional>

#include "stats/least_squares.h"
#include "stats/pair_sums.h"

namespace zek {

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

bool Present(double value) {
    return !std::isnan(value);
}

// What R prints as a number; an infinite or undefined figure is no figure for a key.
double Finite(double value) {
    return std::isfinite(value) ? value : kMissingValue;
}

double TwoSidedP(double t, double df) {
    if (!std::isfinite(t) || !(df > 0.0)) return kMissingValue;
    const boost::math::students_t distribution(df);
    return 2.0 * boost::math::cdf(boost::math::complement(distribution, std::fabs(t)));
}

// t.test() stops with "data are essentially constant" when the standard error vanishes
// beside the means; it then gives no t at all.
bool EssentiallyConstant(double standardError, double scale) {
    return !(standardError >= 10.0 * kEpsilon * scale) || standardError == 0.0;
}

// The terms of the full model: every non-empty set of factors, main effects first.
std::vector<AnovaTerm> FullModelTerms(int factors) {
    std::vector<AnovaTerm> terms;
    for (int size = 1; size <= factors; ++size) {
        for (int mask = 1; mask < (1 << factors); ++mask) {
            if (std::popcount(static_cast<unsigned>(mask)) != size) continue;
            AnovaTerm term;
            for (int f = 0; f < factors; ++f) {
                if (mask & (1 << f)) term.factors.push_back(f);
            }
            terms.push_back(term);
        }
    }
    return terms;
}

// The scores of each cell of the design, cells numbered with the last factor fastest.
std::vector<std::vector<double>> ScoresByCell(std::span<const double> values,
                                              const std::vector<std::array<int, 3>>& levels,
                                              const std::vector<int>& levelCounts) {
    int cellCount = 1;
    for (int count : levelCounts) cellCount *= count;
    std::vector<std::vector<double>> cells(static_cast<std::size_t>(cellCount));
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (!Present(values[k])) continue;
        int cell = 0;
        for (std::size_t f = 0; f < levelCounts.size(); ++f) {
            cell = cell * levelCounts[f] + levels[k][f] - 1;
        }
        cells[static_cast<std::size_t>(cell)].push_back(values[k]);
    }
    return cells;
}

// The columns of each term in sum-to-zero coding: level l < L of a factor is its own column,
// level L is -1 in all of them; an interaction's columns are the products of its factors'.
std::vector<Eigen::MatrixXd> TermColumns(const std::vector<AnovaTerm>& terms,
                                         const std::vector<std::size_t>& complete,
                                         const std::vector<std::array<int, 3>>& levels,
                                         const std::vector<int>& levelCounts) {
    const auto n = static_cast<Eigen::Index>(complete.size());
    auto contrast = [&](std::size_t k, int factor, int column) {
        const int level = levels[k][static_cast<std::size_t>(factor)];
        const int count = levelCounts[static_cast<std::size_t>(factor)];
        if (level == count) return -1.0;
        return level == column + 1 ? 1.0 : 0.0;
    };
    std::vector<Eigen::MatrixXd> columns;
    for (const AnovaTerm& term : terms) {
        int width = 1;
        for (int f : term.factors) width *= levelCounts[static_cast<std::size_t>(f)] - 1;
        Eigen::MatrixXd block(n, width);
        for (Eigen::Index row = 0; row < n; ++row) {
            const std::size_t k = complete[static_cast<std::size_t>(row)];
            for (int c = 0; c < width; ++c) {
                double product = 1.0;
                int rest = c;
                for (int f : term.factors) {
                    const int levelsOf = levelCounts[static_cast<std::size_t>(f)] - 1;
                    product *= contrast(k, f, rest % levelsOf);
                    rest /= levelsOf;
                }
                block(row, c) = product;
            }
        }
        columns.push_back(block);
    }
    return columns;
}

// The residual sum of squares of the model without term `without` (none when it is past the
// last term): the intercept and every other term's columns.
double ResidualWithout(const std::vector<Eigen::MatrixXd>& termColumns, const Eigen::VectorXd& y,
                       std::size_t without) {
    Eigen::Index width = 1;
    for (std::size_t t = 0; t < termColumns.size(); ++t) {
        if (t != without) width += termColumns[t].cols();
    }
    Eigen::MatrixXd x(y.size(), width);
    x.col(0).setOnes();
    Eigen::Index at = 1;
    for (std::size_t t = 0; t < termColumns.size(); ++t) {
        if (t == without) continue;
        x.middleCols(at, termColumns[t].cols()) = termColumns[t];
        at += termColumns[t].cols();
    }
    const Eigen::VectorXd beta = x.colPivHouseholderQr().solve(y);
    return (y - x * beta).squaredNorm();
}

}  // namespace

double UpperFP(double f, double df1, double df2) {
    if (!std::isfinite(f) || !(df1 > 0.0) || !(df2 > 0.0)) return kMissingValue;
    const boost::math::fisher_f distribution(df1, df2);
    return boost::math::cdf(boost::math::complement(distribution, std::max(f, 0.0)));
}

Summary Summarise(std::span<const double> values) {
    Summary summary;
    double sum = 0.0;
    for (double value : values) {
        if (!Present(value)) continue;
        ++summary.n;
        sum += value;
    }
    if (summary.n == 0) return summary;
    summary.mean = sum / summary.n;
    // The sum of large scores loses the last digits of their mean; the mean of what is left
    // over puts them back (scores near 1e6 that differ by 0.001 keep every digit of it).
    double leftOver = 0.0;
    for (double value : values) {
        if (Present(value)) leftOver += value - summary.mean;
    }
    summary.mean += leftOver / summary.n;
    double squares = 0.0;
    for (double value : values) {
        if (Present(value)) squares += (value - summary.mean) * (value - summary.mean);
    }
    if (summary.n > 1) summary.sd = std::sqrt(squares / (summary.n - 1));
    return summary;
}

OneSampleTest CompareWithMean(std::span<const double> values, double populationMean) {
    const Summary s = Summarise(values);
    OneSampleTest test;
    test.n = s.n;
    if (s.n < 2) return test;  // "not enough 'x' observations"
    // Each score's own difference: the difference of two means near 1e6 keeps only the
    // digits of the means' last places.
    double differences = 0.0;
    for (double value : values) {
        if (Present(value)) differences += value - populationMean;
    }
    test.meanDifference = differences / s.n;
    const double standardError = s.sd / std::sqrt(static_cast<double>(s.n));
    if (EssentiallyConstant(standardError, std::fabs(s.mean))) return test;
    test.df = s.n - 1;
    test.t = Finite(test.meanDifference / standardError);
    test.p = TwoSidedP(test.t, test.df);
    test.cohensD = Finite(test.meanDifference / s.sd);
    return test;
}

TwoGroupTests CompareTwoGroups(std::span<const double> first, std::span<const double> second) {
    const Summary a = Summarise(first);
    const Summary b = Summarise(second);
    TwoGroupTests tests;
    if (a.n < 1 || b.n < 1) return tests;
    tests.meanDifference = a.mean - b.mean;
    const double na = a.n;
    const double nb = b.n;
    const double scale = std::max(std::fabs(a.mean), std::fabs(b.mean));
    // Student's test pools what variance there is, so a group of one takes part.
    if (a.n + b.n >= 3) {
        double squares = 0.0;
        if (a.n > 1) squares += (na - 1.0) * a.sd * a.sd;
        if (b.n > 1) squares += (nb - 1.0) * b.sd * b.sd;
        const double df = na + nb - 2.0;
        const double pooledVariance = squares / df;
        const double standardError = std::sqrt(pooledVariance * (1.0 / na + 1.0 / nb));
        if (!EssentiallyConstant(standardError, scale)) {
            tests.studentDf = df;
            tests.studentT = Finite(tests.meanDifference / standardError);
            tests.studentP = TwoSidedP(tests.studentT, df);
            tests.cohensD = Finite(tests.meanDifference / std::sqrt(pooledVariance));
        }
    }
    // Welch's test needs a variance in each group.
    if (a.n >= 2 && b.n >= 2) {
        const double va = a.sd * a.sd / na;
        const double vb = b.sd * b.sd / nb;
        const double standardError = std::sqrt(va + vb);
        if (!EssentiallyConstant(standardError, scale)) {
            tests.welchT = Finite(tests.meanDifference / standardError);
            tests.welchDf =
                Finite((va + vb) * (va + vb) / (va * va / (na - 1.0) + vb * vb / (nb - 1.0)));
            tests.welchP = TwoSidedP(tests.welchT, tests.welchDf);
        }
    }
    return tests;
}

OneWayAnova AnalyseGroups(const std::vector<std::vector<double>>& groups) {
    OneWayAnova anova;
    double grandSum = 0.0;
    int total = 0;
    int levels = 0;
    std::vector<Summary> summaries;
    for (const std::vector<double>& group : groups) {
        summaries.push_back(Summarise(group));
        if (summaries.back().n == 0) continue;
        ++levels;
        grandSum += summaries.back().mean * summaries.back().n;
        total += summaries.back().n;
    }
    // A factor of one level is no comparison, and without residual degrees of freedom there
    // is no error to compare with.
    if (levels < 2 || total - levels < 1) return anova;
    const double grandMean = grandSum / total;
    double between = 0.0;
    double within = 0.0;
    for (const Summary& s : summaries) {
        if (s.n == 0) continue;
        between += s.n * (s.mean - grandMean) * (s.mean - grandMean);
        if (s.n > 1) within += (s.n - 1) * s.sd * s.sd;
    }
    anova.dfBetween = levels - 1;
    anova.dfWithin = total - levels;
    anova.f = Finite((between / anova.dfBetween) / (within / anova.dfWithin));
    anova.p = UpperFP(anova.f, anova.dfBetween, anova.dfWithin);
    anova.etaSquared = Finite(between / (between + within));
    return anova;
}

PairedTest ComparePairs(std::span<const double> first, std::span<const double> second) {
    std::vector<double> differences;
    std::vector<double> x;
    std::vector<double> y;
    for (std::size_t k = 0; k < first.size() && k < second.size(); ++k) {
        if (!Present(first[k]) || !Present(second[k])) continue;
        differences.push_back(first[k] - second[k]);
        x.push_back(first[k]);
        y.push_back(second[k]);
    }
    // t.test(x, y, paired = TRUE) is the one-sample test of the differences against 0.
    const OneSampleTest differenceTest = CompareWithMean(differences, 0.0);
    PairedTest test;
    test.n = differenceTest.n;
    test.meanDifference = differenceTest.meanDifference;
    test.t = differenceTest.t;
    test.df = differenceTest.df;
    test.p = differenceTest.p;
    test.dz = differenceTest.cohensD;
    const CorrelationTest correlation = Correlate(x, y);
    test.r = correlation.r;
    test.rP = correlation.p;
    return test;
}

CorrelationTest Correlate(std::span<const double> x, std::span<const double> y) {
    const std::array<std::span<const double>, 2> columns{x, y};
    return CorrelateEveryPair(columns).front();
}

std::vector<CorrelationTest> CorrelateEveryPair(std::span<const std::span<const double>> columns) {
    assert(columns.size() <= kMostPairedColumns);
    std::size_t rows = columns.empty() ? 0 : columns.front().size();
    // The columns' starts in registers rather than read through the spans at every value.
    std::array<const double*, kMostPairedColumns> starts{};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        rows = std::min(rows, columns[c].size());
        starts[c] = columns[c].data();
    }
    const std::vector<PairSums> pairs = SumEveryPair(
        static_cast<int>(columns.size()), static_cast<int>(rows),
        [&starts](int row, int column) { return starts[static_cast<std::size_t>(column)][row]; },
        [](double value) { return Present(value); });
    std::vector<CorrelationTest> tests;
    tests.reserve(pairs.size());
    for (const PairSums& pair : pairs) {
        CorrelationTest& test = tests.emplace_back();
        test.n = pair.count;
        // cor() has no value for fewer than two pairs or for a variable without spread.
        if (test.n < 2 || !(pair.sxx > 0.0) || !(pair.syy > 0.0)) continue;
        test.r = std::clamp(pair.sxy / std::sqrt(pair.sxx * pair.syy), -1.0, 1.0);
        // cor.test() needs three pairs; a perfect correlation has p = 0.
        if (test.n < 3) continue;
        const double df = test.n - 2;
        test.p = std::fabs(test.r) == 1.0
                     ? 0.0
                     : TwoSidedP(test.r * std::sqrt(df / (1.0 - test.r * test.r)), df);
    }
    return tests;
}

RegressionFit FitRegression(std::span<const double> outcome,
                            const std::vector<std::span<const double>>& predictors) {
    RegressionFit fit;
    fit.coefficients.resize(predictors.size() + 1);
    const std::optional<CompleteCases> cases = CompleteCasesOf(outcome, predictors);
    if (!cases) return fit;  // lm(): "0 (non-NA) cases"
    const Eigen::MatrixXd& x = cases->x;
    const Eigen::VectorXd& y = cases->y;
    const Eigen::Index n = y.size();
    fit.n = static_cast<int>(n);
    const PivotedQr qr = DecomposeAsLm(x, kLmTolerance);
    const Eigen::Index rank = qr.rank;
    const Eigen::VectorXd qty = QTransposeTimes(qr, y);
    const auto upper = qr.qr.topLeftCorner(rank, rank).triangularView<Eigen::Upper>();
    const Eigen::VectorXd beta = upper.solve(qty.head(rank));
    Eigen::VectorXd fitted = Eigen::VectorXd::Zero(n);
    for (Eigen::Index c = 0; c < rank; ++c) {
        fitted += beta(c) * x.col(qr.pivot[static_cast<std::size_t>(c)]);
    }
    const double residual = (y - fitted).squaredNorm();
    const double explained = (fitted.array() - fitted.mean()).square().sum();
    const double dfResidual = static_cast<double>(n - rank);
    // No residual degrees of freedom leave the variance undefined: R prints NaN.
    const double residualVariance = dfResidual > 0.0 ? residual / dfResidual : kMissingValue;
    const Eigen::MatrixXd inverse = upper.solve(Eigen::MatrixXd::Identity(rank, rank));
    for (Eigen::Index c = 0; c < rank; ++c) {
        Coefficient coefficient;
        coefficient.estimate = Finite(beta(c));
        coefficient.se = Finite(std::sqrt(inverse.row(c).squaredNorm() * residualVariance));
        coefficient.t = Finite(coefficient.estimate / coefficient.se);
        coefficient.p = TwoSidedP(coefficient.t, dfResidual);
        fit.coefficients[static_cast<std::size_t>(qr.pivot[static_cast<std::size_t>(c)])] =
            coefficient;
    }
    fit.dfResidual = dfResidual;
    if (rank == 1) {
        // The intercept alone: R reports no F test and R squared 0.
        fit.rSquared = 0.0;
        fit.adjustedRSquared = 0.0;
        return fit;
    }
    fit.dfModel = static_cast<double>(rank - 1);
    fit.rSquared = Finite(explained / (explained + residual));
    fit.adjustedRSquared = dfResidual > 0.0
                               ? Finite(1.0 - (1.0 - fit.rSquared) * (fit.n - 1) / dfResidual)
                               : kMissingValue;
    fit.f = Finite((explained / fit.dfModel) / residualVariance);
    fit.p = UpperFP(fit.f, fit.dfModel, dfResidual);
    return fit;
}

namespace {

bool EveryLevelHasScores(const std::vector<std::array<int, 3>>& levels,
                         const std::vector<int>& levelCounts,
                         const std::vector<std::size_t>& complete) {
    for (std::size_t factor = 0; factor < levelCounts.size(); ++factor) {
        std::vector<bool> seen(static_cast<std::size_t>(levelCounts[factor]) + 1, false);
        for (const std::size_t k : complete) {
            seen[static_cast<std::size_t>(levels[k][factor])] = true;
        }
        if (std::find(seen.begin() + 1, seen.end(), false) != seen.end()) return false;
    }
    return true;
}

// The complete scores about their grand mean, which the intercept takes in any case: sums
// of squares of large scores with small differences keep their digits, and scores that are
// all alike are all 0.
Eigen::VectorXd CentredScores(std::span<const double> values,
                              const std::vector<std::size_t>& complete) {
    Eigen::VectorXd y(static_cast<Eigen::Index>(complete.size()));
    for (Eigen::Index row = 0; row < y.size(); ++row) {
        y(row) = values[complete[static_cast<std::size_t>(row)]];
    }
    y.array() -= y.mean();
    y.array() -= y.mean();  // what the first pass left over
    return y;
}

}  // namespace

FactorialAnova AnalyseFactorial(std::span<const double> values,
                                const std::vector<std::array<int, 3>>& levels,
                                const std::vector<int>& levelCounts) {
    FactorialAnova anova;
    anova.terms = FullModelTerms(static_cast<int>(levelCounts.size()));
    std::vector<std::size_t> complete;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (Present(values[k])) complete.push_back(k);
    }
    const auto n = static_cast<Eigen::Index>(complete.size());

    // An empty cell leaves the cell-means model without one of its parameters, so the
    // residuals are those of the cells that have scores, and Type III is undefined.
    int filledCells = 0;
    double residualSquares = 0.0;
    const std::vector<std::vector<double>> cells = ScoresByCell(values, levels, levelCounts);
    for (const std::vector<double>& cell : cells) {
        if (cell.empty()) continue;
        ++filledCells;
        const Summary s = Summarise(cell);
        if (s.n > 1) residualSquares += (s.n - 1) * s.sd * s.sd;
    }
    anova.emptyCells = static_cast<int>(cells.size()) - filledCells;
    if (n == 0) return anova;
    // A level of a factor without any score leaves lm() a factor it refuses to fit: no
    // residuals either.
    if (!EveryLevelHasScores(levels, levelCounts, complete)) return anova;
    anova.residualSumOfSquares = residualSquares;
    anova.residualDf = static_cast<double>(n - filledCells);
    if (anova.emptyCells > 0) return anova;

    const Eigen::VectorXd y = CentredScores(values, complete);
    const std::vector<Eigen::MatrixXd> termColumns =
        TermColumns(anova.terms, complete, levels, levelCounts);
    // The same decomposition gives every residual sum of squares, so that a term without any
    // effect comes out as 0 rather than as the difference of two ways of summing.
    anova.residualSumOfSquares = ResidualWithout(termColumns, y, anova.terms.size());
    // Residuals that are rounding noise beside the scores' spread (every cell constant) leave
    // no error to test an effect against: R's F would be noise over noise, or 0 over 0.
    constexpr double kNoiseShare = 1e-20;
    const bool noError = !(anova.residualSumOfSquares > kNoiseShare * y.squaredNorm());
    const double meanSquareError = anova.residualDf > 0.0 && !noError
                                       ? anova.residualSumOfSquares / anova.residualDf
                                       : kMissingValue;
    for (std::size_t t = 0; t < anova.terms.size(); ++t) {
        AnovaTerm& term = anova.terms[t];
        term.df = static_cast<double>(termColumns[t].cols());
        term.sumOfSquares =
            std::max(0.0, ResidualWithout(termColumns, y, t) - anova.residualSumOfSquares);
        term.f = Finite((term.sumOfSquares / term.df) / meanSquareError);
        term.p = UpperFP(term.f, term.df, anova.residualDf);
        term.partialEtaSquared =
            noError ? kMissingValue
                    : Finite(term.sumOfSquares / (term.sumOfSquares + anova.residualSumOfSquares));
    }
    return anova;
}

}  // namespace zek
