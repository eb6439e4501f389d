#include "stats/categorical_tests.h"

#include <algorithm>
#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>

namespace zek {

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

double Finite(double value) {
    return std::isfinite(value) ? value : kMissingValue;
}

ChiSquareTest ChiSquare(double statistic, double df) {
    ChiSquareTest test;
    test.df = df;
    if (std::isnan(statistic)) return test;
    test.statistic = Finite(statistic);
    const boost::math::chi_squared distribution(df);
    test.p = std::isinf(statistic)
                 ? 0.0
                 : boost::math::cdf(boost::math::complement(distribution, statistic));
    return test;
}

// Brent's bracket: the last two approximations a and b (b the best) and c, on the other side
// of the root from b, with the function's values there.
struct Bracket {
    double a, b, c, fa, fb, fc;
};

// The step to the secant's or the inverse quadratic's root when it falls well inside the
// bracket and shrinks it faster than halving would; `bisection` otherwise.
double InterpolatedStep(const Bracket& at, double previousStep, double tolerance,
                        double bisection) {
    const double cb = at.c - at.b;
    double p = 0.0;
    double q = 0.0;
    if (at.a == at.c) {
        const double t1 = at.fb / at.fa;
        p = cb * t1;
        q = 1.0 - t1;
    } else {
        q = at.fa / at.fc;
        const double t1 = at.fb / at.fc;
        const double t2 = at.fb / at.fa;
        p = t2 * (cb * q * (q - t1) - (at.b - at.a) * (t1 - 1.0));
        q = (q - 1.0) * (t1 - 1.0) * (t2 - 1.0);
    }
    if (p > 0.0) {
        q = -q;
    } else {
        p = -p;
    }
    if (p < (0.75 * cb * q - std::fabs(tolerance * q) / 2.0) &&
        p < std::fabs(previousStep * q / 2.0)) {
        return p / q;
    }
    return bisection;
}

// R's uniroot() as fisher.test() calls it: Brent's zeroin (R_zeroin2) on [lower, upper] with
// R's default tolerance eps^(1/4). R stops well short of the root's last digits, so only the
// same steps land on the same estimate.
double RootAsUniroot(const std::function<double(double)>& f, double lower, double upper) {
    const double tolerance = std::pow(kEpsilon, 0.25);
    double a = lower;
    double b = upper;
    double fa = f(a);
    double fb = f(b);
    double c = a;
    double fc = fa;
    if (fa == 0.0) return a;
    if (fb == 0.0) return b;
    for (int iterationsLeft = 1001; iterationsLeft-- > 0;) {
        const double previousStep = b - a;
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double actualTolerance = 2.0 * kEpsilon * std::fabs(b) + tolerance / 2.0;
        double newStep = (c - b) / 2.0;
        if (std::fabs(newStep) <= actualTolerance || fb == 0.0) return b;
        if (std::fabs(previousStep) >= actualTolerance && std::fabs(fa) > std::fabs(fb)) {
            newStep =
                InterpolatedStep({a, b, c, fa, fb, fc}, previousStep, actualTolerance, newStep);
        }
        if (std::fabs(newStep) < actualTolerance) {
            newStep = newStep > 0.0 ? actualTolerance : -actualTolerance;
        }
        a = b;
        fa = fb;
        b += newStep;
        fb = f(b);
        if ((fb > 0.0 && fc > 0.0) || (fb < 0.0 && fc < 0.0)) {
            c = a;
            fc = fa;
        }
    }
    return b;
}

// The count in the top left cell of 2 x 2 tables with the margins of the one at hand, under
// the noncentral hypergeometric distribution whose odds ratio is `ncp`.
class TopLeftCount {
  public:
    explicit TopLeftCount(const CountTable& table)
        : firstColumn_(table.ColumnTotal(0)),
          secondColumn_(table.ColumnTotal(1)),
          firstRow_(table.RowTotal(0)),
          observed_(table.At(0, 0)),
          lowest_(std::max<std::int64_t>(0, firstRow_ - secondColumn_)),
          highest_(std::min(firstRow_, firstColumn_)) {
        // log dhyper up to a constant, which the weights' scaling to their maximum drops.
        double logWeight = 0.0;
        for (std::int64_t s = lowest_; s <= highest_; ++s) {
            logWeights_.push_back(logWeight);
            if (s == highest_) break;
            const double ratio = static_cast<double>((firstColumn_ - s) * (firstRow_ - s)) /
                                 static_cast<double>((s + 1) * (secondColumn_ - firstRow_ + s + 1));
            logWeight += std::log(ratio);
        }
    }

    std::int64_t observed() const { return observed_; }
    std::int64_t lowest() const { return lowest_; }
    std::int64_t highest() const { return highest_; }

    /// dnhyper(ncp): the probability of each count from the lowest.
    std::vector<double> Probabilities(double ncp) const {
        std::vector<double> d(logWeights_.size());
        const double logNcp = std::log(ncp);
        for (std::size_t i = 0; i < d.size(); ++i) {
            d[i] = logWeights_[i] +
                   logNcp * static_cast<double>(lowest_ + static_cast<std::int64_t>(i));
        }
        const double largest = *std::max_element(d.begin(), d.end());
        for (double& value : d) value = std::exp(value - largest);
        const double total = std::accumulate(d.begin(), d.end(), 0.0);
        for (double& value : d) value /= total;
        return d;
    }

    /// mnhyper(ncp): the expected count.
    double Mean(double ncp) const {
        if (ncp == 0.0) return static_cast<double>(lowest_);
        if (ncp == kInfinity) return static_cast<double>(highest_);
        const std::vector<double> d = Probabilities(ncp);
        double mean = 0.0;
        for (std::size_t i = 0; i < d.size(); ++i) {
            mean += static_cast<double>(lowest_ + static_cast<std::int64_t>(i)) * d[i];
        }
        return mean;
    }

    /// pnhyper(observed, ncp): P(count <= observed), or P(count >= observed) for the upper
    /// tail.
    double Tail(double ncp, bool upper) const {
        if (ncp == 0.0) return upper ? (observed_ <= lowest_ ? 1.0 : 0.0) : 1.0;
        if (ncp == kInfinity) return upper ? 1.0 : (observed_ >= highest_ ? 1.0 : 0.0);
        const std::vector<double> d = Probabilities(ncp);
        double tail = 0.0;
        for (std::size_t i = 0; i < d.size(); ++i) {
            const std::int64_t s = lowest_ + static_cast<std::int64_t>(i);
            if (upper ? s >= observed_ : s <= observed_) tail += d[i];
        }
        return tail;
    }

  private:
    std::int64_t firstColumn_, secondColumn_, firstRow_, observed_, lowest_, highest_;
    std::vector<double> logWeights_;
};

double ConditionalOddsRatio(const TopLeftCount& count) {
    const double x = static_cast<double>(count.observed());
    if (count.observed() == count.lowest()) return 0.0;
    if (count.observed() == count.highest()) return kInfinity;
    const double mean = count.Mean(1.0);
    if (mean > x) {
        return RootAsUniroot([&](double t) { return count.Mean(t) - x; }, 0.0, 1.0);
    }
    if (mean < x) {
        return 1.0 /
               RootAsUniroot([&](double t) { return count.Mean(1.0 / t) - x; }, kEpsilon, 1.0);
    }
    return 1.0;
}

// The bound below which (upper = false) or above which the odds ratio leaves `alpha` of
// its tail: ncp.U and ncp.L of fisher.test().
double OddsRatioBound(const TopLeftCount& count, double alpha, bool upperBound) {
    if (upperBound && count.observed() == count.highest()) return kInfinity;
    if (!upperBound && count.observed() == count.lowest()) return 0.0;
    const bool upperTail = !upperBound;
    const double atOne = count.Tail(1.0, upperTail);
    // Below the bound the tail grows with the odds ratio for the lower bound and shrinks for
    // the upper one.
    const bool rootBelowOne = upperBound ? atOne < alpha : atOne > alpha;
    const bool rootAboveOne = upperBound ? atOne > alpha : atOne < alpha;
    if (rootBelowOne) {
        return RootAsUniroot([&](double t) { return count.Tail(t, upperTail) - alpha; }, 0.0, 1.0);
    }
    if (rootAboveOne) {
        return 1.0 / RootAsUniroot([&](double t) { return count.Tail(1.0 / t, upperTail) - alpha; },
                                   kEpsilon, 1.0);
    }
    return 1.0;
}

}  // namespace

std::int64_t CountTable::RowTotal(int row) const {
    std::int64_t total = 0;
    for (int column = 0; column < columns_; ++column) total += At(row, column);
    return total;
}

std::int64_t CountTable::ColumnTotal(int column) const {
    std::int64_t total = 0;
    for (int row = 0; row < rows_; ++row) total += At(row, column);
    return total;
}

std::int64_t CountTable::Total() const {
    return std::accumulate(counts_.begin(), counts_.end(), std::int64_t{0});
}

GoodnessOfFit TestGoodnessOfFit(std::span<const std::int64_t> observed,
                                std::span<const double> proportions) {
    GoodnessOfFit result;
    const std::int64_t n = std::accumulate(observed.begin(), observed.end(), std::int64_t{0});
    if (n == 0) return result;
    double statistic = 0.0;
    for (std::size_t k = 0; k < observed.size(); ++k) {
        const double expected = static_cast<double>(n) * proportions[k];
        result.expected.push_back(expected);
        const double difference = static_cast<double>(observed[k]) - expected;
        statistic += difference * difference / expected;
    }
    result.smallestExpected = *std::min_element(result.expected.begin(), result.expected.end());
    result.test = ChiSquare(statistic, static_cast<double>(observed.size() - 1));
    return result;
}

IndependenceTests TestIndependence(const CountTable& table) {
    IndependenceTests result;
    const std::int64_t n = table.Total();
    if (n == 0) return result;
    const int rows = table.rows();
    const int columns = table.columns();
    const bool twoByTwo = rows == 2 && columns == 2;
    double smallestDeviation = kInfinity;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const double expected = static_cast<double>(table.RowTotal(r)) *
                                    static_cast<double>(table.ColumnTotal(c)) /
                                    static_cast<double>(n);
            result.expected.push_back(expected);
            smallestDeviation = std::min(smallestDeviation,
                                         std::fabs(static_cast<double>(table.At(r, c)) - expected));
        }
    }
    result.smallestExpected = *std::min_element(result.expected.begin(), result.expected.end());
    // R sums the cells column by column.
    auto statistic = [&](double correction) {
        double sum = 0.0;
        for (int c = 0; c < columns; ++c) {
            for (int r = 0; r < rows; ++r) {
                const int cell = r * columns + c;
                const double expected = result.expected[static_cast<std::size_t>(cell)];
                const double deviation =
                    std::fabs(static_cast<double>(table.At(r, c)) - expected) - correction;
                sum += deviation * deviation / expected;
            }
        }
        return sum;
    };
    const double df = static_cast<double>((rows - 1) * (columns - 1));
    const double pearson = statistic(0.0);
    result.pearson = ChiSquare(pearson, df);
    if (twoByTwo) result.yates = ChiSquare(statistic(std::min(0.5, smallestDeviation)), df);
    result.cramersV =
        Finite(std::sqrt(pearson / (static_cast<double>(n) * (std::min(rows, columns) - 1))));
    if (twoByTwo) {
        const double margins =
            static_cast<double>(table.RowTotal(0)) * static_cast<double>(table.RowTotal(1)) *
            static_cast<double>(table.ColumnTotal(0)) * static_cast<double>(table.ColumnTotal(1));
        const double crossDifference =
            static_cast<double>(table.At(0, 0) * table.At(1, 1) - table.At(0, 1) * table.At(1, 0));
        if (margins > 0.0) result.phi = crossDifference / std::sqrt(margins);
    }
    return result;
}

FisherExactTest TestFisherExact(const CountTable& table) {
    FisherExactTest result;
    const TopLeftCount count(table);
    // Every table with these margins at most as likely as the one at hand, with R's fuzz for
    // ties.
    const std::vector<double> d = count.Probabilities(1.0);
    const double atObserved =
        d[static_cast<std::size_t>(count.observed() - count.lowest())] * (1.0 + 1e-7);
    double p = 0.0;
    for (const double probability : d) {
        if (probability <= atObserved) p += probability;
    }
    result.p = std::max(0.0, std::min(1.0, p));
    result.oddsRatio = Finite(ConditionalOddsRatio(count));
    constexpr double kAlpha = (1.0 - 0.95) / 2.0;
    result.lower = Finite(OddsRatioBound(count, kAlpha, false));
    result.upper = Finite(OddsRatioBound(count, kAlpha, true));
    return result;
}

}  // namespace zek
