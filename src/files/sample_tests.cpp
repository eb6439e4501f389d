#include "files/sample_tests.h"

#include <Eigen/Dense>
#include <bit>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>

namespace zek {

namespace {

bool Present(double value) {
    return !std::isnan(value);
}

// A statistic that cannot be computed (NaN) has no p value; an infinite one has p = 0.
double TwoSidedP(double t, double df) {
    if (std::isnan(t) || !(df > 0.0)) return kMissingValue;
    if (std::isinf(t)) return 0.0;
    const boost::math::students_t distribution(df);
    return 2.0 * boost::math::cdf(boost::math::complement(distribution, std::fabs(t)));
}

double UpperFP(double f, double df1, double df2) {
    if (std::isnan(f) || !(df1 > 0.0) || !(df2 > 0.0)) return kMissingValue;
    if (std::isinf(f)) return 0.0;
    const boost::math::fisher_f distribution(df1, df2);
    return boost::math::cdf(boost::math::complement(distribution, std::max(f, 0.0)));
}

// Least squares of `y` on the columns of `x`; the residual sum of squares.
double ResidualSumOfSquares(const Eigen::MatrixXd& x, const Eigen::VectorXd& y) {
    const Eigen::VectorXd beta = x.colPivHouseholderQr().solve(y);
    return (y - x * beta).squaredNorm();
}

}  // namespace

Summary Summarise(std::span<const double> values) {
    Summary summary;
    double sum = 0.0;
    for (double value : values) {
        if (!Present(value)) continue;
        ++summary.n;
        sum += value;
    }
    // Figures a sample cannot define are missing, as R gives NA.
    summary.mean = summary.n > 0 ? sum / summary.n : kMissingValue;
    summary.sd = kMissingValue;
    if (summary.n == 0) return summary;
    double squares = 0.0;
    for (double value : values) {
        if (Present(value)) squares += (value - summary.mean) * (value - summary.mean);
    }
    if (summary.n > 1) summary.sd = std::sqrt(squares / (summary.n - 1));
    return summary;
}

TwoGroupTests CompareTwoGroups(std::span<const double> first, std::span<const double> second) {
    const Summary a = Summarise(first);
    const Summary b = Summarise(second);
    TwoGroupTests tests;
    tests.meanDifference = a.mean - b.mean;
    const double na = a.n;
    const double nb = b.n;
    const double pooledVariance =
        ((na - 1.0) * a.sd * a.sd + (nb - 1.0) * b.sd * b.sd) / (na + nb - 2.0);
    tests.studentDf = na + nb - 2.0;
    tests.studentT = tests.meanDifference / std::sqrt(pooledVariance * (1.0 / na + 1.0 / nb));
    tests.studentP = TwoSidedP(tests.studentT, tests.studentDf);
    const double va = a.sd * a.sd / na;
    const double vb = b.sd * b.sd / nb;
    tests.welchT = tests.meanDifference / std::sqrt(va + vb);
    tests.welchDf = (va + vb) * (va + vb) / (va * va / (na - 1.0) + vb * vb / (nb - 1.0));
    tests.welchP = TwoSidedP(tests.welchT, tests.welchDf);
    tests.cohensD = tests.meanDifference / std::sqrt(pooledVariance);
    return tests;
}

OneWayAnova AnalyseGroups(const std::vector<std::vector<double>>& groups) {
    OneWayAnova anova;
    double grandSum = 0.0;
    int total = 0;
    std::vector<Summary> summaries;
    for (const std::vector<double>& group : groups) {
        summaries.push_back(Summarise(group));
        grandSum += summaries.back().mean * summaries.back().n;
        total += summaries.back().n;
    }
    const double grandMean = grandSum / total;
    double between = 0.0;
    double within = 0.0;
    for (const Summary& s : summaries) {
        between += s.n * (s.mean - grandMean) * (s.mean - grandMean);
        within += (s.n - 1) * s.sd * s.sd;
    }
    anova.dfBetween = static_cast<int>(groups.size()) - 1;
    anova.dfWithin = total - static_cast<int>(groups.size());
    anova.f = (between / anova.dfBetween) / (within / anova.dfWithin);
    anova.p = UpperFP(anova.f, anova.dfBetween, anova.dfWithin);
    anova.etaSquared = between / (between + within);
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
    PairedTest test;
    const Summary d = Summarise(differences);
    test.n = d.n;
    test.meanDifference = d.mean;
    test.df = d.n - 1;
    test.t = d.mean / (d.sd / std::sqrt(static_cast<double>(d.n)));
    test.p = TwoSidedP(test.t, test.df);
    test.r = Correlate(x, y).r;
    return test;
}

CorrelationTest Correlate(std::span<const double> x, std::span<const double> y) {
    CorrelationTest test;
    double sumX = 0.0;
    double sumY = 0.0;
    for (std::size_t k = 0; k < x.size() && k < y.size(); ++k) {
        if (!Present(x[k]) || !Present(y[k])) continue;
        ++test.n;
        sumX += x[k];
        sumY += y[k];
    }
    if (test.n < 2) return test;
    const double meanX = sumX / test.n;
    const double meanY = sumY / test.n;
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t k = 0; k < x.size() && k < y.size(); ++k) {
        if (!Present(x[k]) || !Present(y[k])) continue;
        sxx += (x[k] - meanX) * (x[k] - meanX);
        syy += (y[k] - meanY) * (y[k] - meanY);
        sxy += (x[k] - meanX) * (y[k] - meanY);
    }
    test.r = sxy / std::sqrt(sxx * syy);
    const double df = test.n - 2;
    test.p = TwoSidedP(test.r * std::sqrt(df / (1.0 - test.r * test.r)), df);
    return test;
}

RegressionFit FitRegression(std::span<const double> outcome,
                            const std::vector<std::span<const double>>& predictors) {
    // Listwise deletion, as lm() leaves out every case with a missing value.
    std::vector<std::size_t> complete;
    for (std::size_t k = 0; k < outcome.size(); ++k) {
        bool present = Present(outcome[k]);
        for (const auto& predictor : predictors) present = present && Present(predictor[k]);
        if (present) complete.push_back(k);
    }
    const auto n = static_cast<Eigen::Index>(complete.size());
    const auto columns = static_cast<Eigen::Index>(predictors.size() + 1);
    Eigen::MatrixXd x(n, columns);
    Eigen::VectorXd y(n);
    for (Eigen::Index row = 0; row < n; ++row) {
        const std::size_t k = complete[static_cast<std::size_t>(row)];
        y(row) = outcome[k];
        x(row, 0) = 1.0;
        for (std::size_t p = 0; p < predictors.size(); ++p) {
            x(row, static_cast<Eigen::Index>(p + 1)) = predictors[p][k];
        }
    }
    RegressionFit fit;
    fit.n = static_cast<int>(n);
    fit.dfModel = static_cast<int>(predictors.size());
    fit.dfResidual = fit.n - fit.dfModel - 1;
    const Eigen::VectorXd beta = x.colPivHouseholderQr().solve(y);
    const double residual = (y - x * beta).squaredNorm();
    const double total = (y.array() - y.mean()).square().sum();
    const double sigmaSquared = residual / fit.dfResidual;
    const Eigen::MatrixXd covariance =
        sigmaSquared *
        (x.transpose() * x).ldlt().solve(Eigen::MatrixXd::Identity(columns, columns));
    for (Eigen::Index c = 0; c < columns; ++c) {
        Coefficient coefficient;
        coefficient.estimate = beta(c);
        coefficient.se = std::sqrt(covariance(c, c));
        coefficient.t = coefficient.estimate / coefficient.se;
        coefficient.p = TwoSidedP(coefficient.t, fit.dfResidual);
        fit.coefficients.push_back(coefficient);
    }
    fit.rSquared = 1.0 - residual / total;
    fit.adjustedRSquared = 1.0 - (1.0 - fit.rSquared) * (fit.n - 1) / fit.dfResidual;
    fit.f = ((total - residual) / fit.dfModel) / sigmaSquared;
    fit.p = UpperFP(fit.f, fit.dfModel, fit.dfResidual);
    return fit;
}

FactorialAnova AnalyseFactorial(std::span<const double> values,
                                const std::vector<std::array<int, 3>>& levels,
                                const std::vector<int>& levelCounts) {
    const int factors = static_cast<int>(levelCounts.size());
    // The terms of the full model: every non-empty set of factors, main effects first.
    std::vector<std::vector<int>> terms;
    for (int size = 1; size <= factors; ++size) {
        for (int mask = 1; mask < (1 << factors); ++mask) {
            if (std::popcount(static_cast<unsigned>(mask)) != size) continue;
            std::vector<int> term;
            for (int f = 0; f < factors; ++f) {
                if (mask & (1 << f)) term.push_back(f);
            }
            terms.push_back(term);
        }
    }
    std::vector<std::size_t> complete;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (Present(values[k])) complete.push_back(k);
    }
    const auto n = static_cast<Eigen::Index>(complete.size());
    Eigen::VectorXd y(n);
    for (Eigen::Index row = 0; row < n; ++row)
        y(row) = values[complete[static_cast<std::size_t>(row)]];

    // Sum-to-zero coding: level l < L of a factor is its own column, level L is -1 in all of
    // them; an interaction's columns are the products of its factors' columns.
    auto contrast = [&](std::size_t k, int factor, int column) {
        const int level = levels[k][static_cast<std::size_t>(factor)];
        const int count = levelCounts[static_cast<std::size_t>(factor)];
        if (level == count) return -1.0;
        return level == column + 1 ? 1.0 : 0.0;
    };
    std::vector<Eigen::MatrixXd> termColumns;
    for (const std::vector<int>& term : terms) {
        int width = 1;
        for (int f : term) width *= levelCounts[static_cast<std::size_t>(f)] - 1;
        Eigen::MatrixXd block(n, width);
        for (Eigen::Index row = 0; row < n; ++row) {
            const std::size_t k = complete[static_cast<std::size_t>(row)];
            for (int c = 0; c < width; ++c) {
                double product = 1.0;
                int rest = c;
                for (int f : term) {
                    const int levelsOf = levelCounts[static_cast<std::size_t>(f)] - 1;
                    product *= contrast(k, f, rest % levelsOf);
                    rest /= levelsOf;
                }
                block(row, c) = product;
            }
        }
        termColumns.push_back(block);
    }
    auto design = [&](int without) {
        Eigen::Index width = 1;
        for (std::size_t t = 0; t < termColumns.size(); ++t) {
            if (static_cast<int>(t) != without) width += termColumns[t].cols();
        }
        Eigen::MatrixXd x(n, width);
        x.col(0).setOnes();
        Eigen::Index at = 1;
        for (std::size_t t = 0; t < termColumns.size(); ++t) {
            if (static_cast<int>(t) == without) continue;
            x.middleCols(at, termColumns[t].cols()) = termColumns[t];
            at += termColumns[t].cols();
        }
        return x;
    };
    const Eigen::MatrixXd full = design(-1);
    FactorialAnova anova;
    anova.residualSumOfSquares = ResidualSumOfSquares(full, y);
    anova.residualDf = static_cast<int>(n - full.cols());
    const double meanSquareError = anova.residualSumOfSquares / anova.residualDf;
    static constexpr const char* kNames[] = {"A", "B", "C"};
    for (std::size_t t = 0; t < terms.size(); ++t) {
        AnovaTerm term;
        for (std::size_t f = 0; f < terms[t].size(); ++f) {
            if (f > 0) term.name += ':';
            term.name += kNames[terms[t][f]];
        }
        term.df = static_cast<int>(termColumns[t].cols());
        term.sumOfSquares =
            ResidualSumOfSquares(design(static_cast<int>(t)), y) - anova.residualSumOfSquares;
        term.f = (term.sumOfSquares / term.df) / meanSquareError;
        term.p = UpperFP(term.f, term.df, anova.residualDf);
        anova.terms.push_back(term);
    }
    return anova;
}

}  // namespace zek
