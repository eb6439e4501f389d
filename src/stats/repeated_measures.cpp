#include "stats/repeated_measures.h"

#include <Eigen/Dense>
#include <algorithm>
#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <limits>
#include <numeric>

namespace zek {

namespace {

using Matrix = Eigen::MatrixXd;

// A between term: its name and the columns of its coefficients in the design matrix.
struct BetweenTerm {
    std::string name;
    Eigen::Index first = 0;
    Eigen::Index count = 0;
};

struct CompleteCases {
    Matrix scores;  ///< case x occasion
    std::vector<int> levelA, levelB;
    int leftOut = 0;
};

bool HasEveryScore(const std::vector<double>& scores) {
    return std::none_of(scores.begin(), scores.end(), [](double s) { return std::isnan(s); });
}

CompleteCases CompleteCasesOf(const RepeatedScores& data) {
    CompleteCases complete;
    std::vector<std::size_t> kept;
    for (std::size_t row = 0; row < data.scores.size(); ++row) {
        if (HasEveryScore(data.scores[row])) kept.push_back(row);
    }
    complete.leftOut = static_cast<int>(data.scores.size() - kept.size());
    complete.scores.resize(static_cast<Eigen::Index>(kept.size()), data.occasions);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const std::size_t row = kept[k];
        for (int occasion = 0; occasion < data.occasions; ++occasion) {
            complete.scores(static_cast<Eigen::Index>(k), occasion) =
                data.scores[row][static_cast<std::size_t>(occasion)];
        }
        complete.levelA.push_back(data.levelsA > 1 ? data.levelA[row] : 1);
        complete.levelB.push_back(data.levelsB > 1 ? data.levelB[row] : 1);
    }
    return complete;
}

// contr.sum: level j < levels is the unit vector j, the last level is -1 in every column.
double SumContrast(int level, int column, int levels) {
    if (level == levels) return -1.0;
    return level == column ? 1.0 : 0.0;
}

// The design matrix of the between factors as model.matrix(~ A * B) builds it with sum-to-zero
// contrasts: the intercept, A's columns, B's, then their products with A varying fastest.
Matrix BetweenDesign(const RepeatedScores& data, const CompleteCases& complete,
                     std::vector<BetweenTerm>& terms) {
    const Eigen::Index a = data.levelsA - 1;
    const Eigen::Index b = data.levelsB - 1;
    terms = {{"(Intercept)", 0, 1}};
    if (a > 0) terms.push_back({data.nameA, 1, a});
    if (b > 0) terms.push_back({data.nameB, 1 + a, b});
    if (a > 0 && b > 0) terms.push_back({data.nameA + ":" + data.nameB, 1 + a + b, a * b});
    const Eigen::Index n = complete.scores.rows();
    Matrix x = Matrix::Zero(n, 1 + a + b + a * b);
    for (Eigen::Index row = 0; row < n; ++row) {
        const int levelA = complete.levelA[static_cast<std::size_t>(row)];
        const int levelB = complete.levelB[static_cast<std::size_t>(row)];
        x(row, 0) = 1.0;
        for (Eigen::Index i = 0; i < a; ++i) {
            x(row, 1 + i) = SumContrast(levelA, static_cast<int>(i) + 1, data.levelsA);
        }
        for (Eigen::Index j = 0; j < b; ++j) {
            x(row, 1 + a + j) = SumContrast(levelB, static_cast<int>(j) + 1, data.levelsB);
        }
        for (Eigen::Index j = 0; j < b; ++j) {
            for (Eigen::Index i = 0; i < a; ++i)
                x(row, 1 + a + b + j * a + i) = x(row, 1 + i) * x(row, 1 + a + j);
        }
    }
    return x;
}

// Every cell of the between design holds a case: otherwise a column is aliased and R
// refuses the model.
bool EveryCellFilled(const RepeatedScores& data, const CompleteCases& complete) {
    std::vector<int> counts(static_cast<std::size_t>(data.levelsA * data.levelsB), 0);
    for (std::size_t k = 0; k < complete.levelA.size(); ++k) {
        const int a = complete.levelA[k];
        const int b = complete.levelB[k];
        if (a < 1 || a > data.levelsA || b < 1 || b > data.levelsB) return false;
        const int cell = (b - 1) * data.levelsA + (a - 1);
        ++counts[static_cast<std::size_t>(cell)];
    }
    return std::all_of(counts.begin(), counts.end(), [](int count) { return count > 0; });
}

// An orthonormal basis of the occasions' differences (normalised Helmert contrasts), and
// the occasions' mean as a unit vector.
Matrix DifferencesBasis(int occasions) {
    Matrix basis = Matrix::Zero(occasions, occasions - 1);
    for (int j = 1; j < occasions; ++j) {
        const double scale = std::sqrt(static_cast<double>(j) * (j + 1));
        for (int i = 0; i < j; ++i) basis(i, j - 1) = 1.0 / scale;
        basis(j, j - 1) = -static_cast<double>(j) / scale;
    }
    return basis;
}

Matrix MeanBasis(int occasions) {
    return Matrix::Constant(occasions, 1, 1.0 / std::sqrt(static_cast<double>(occasions)));
}

double UpperChiSquaredP(double z, double df) {
    if (!std::isfinite(z)) return kMissingValue;
    const boost::math::chi_squared distribution(df);
    return boost::math::cdf(boost::math::complement(distribution, std::max(z, 0.0)));
}

// car's sphericity figures from the error matrix of the differences (orthonormal basis):
// Greenhouse-Geisser's and Huynh-Feldt's (Lecoutre's form) epsilon, and Mauchly's test.
struct Sphericity {
    double gg = kMissingValue, hf = kMissingValue;
    double mauchlyW = kMissingValue, mauchlyP = kMissingValue;
};

Sphericity SphericityOf(const Matrix& error, double errorDf, int occasions) {
    Sphericity sphericity;
    const auto d = static_cast<double>(error.rows());
    if (error.rows() < 2 || !(errorDf > 0.0)) return sphericity;
    const Eigen::VectorXd lambda = Eigen::SelfAdjointEigenSolver<Matrix>(error).eigenvalues();
    // car gives no sphericity figures for an error matrix of deficient rank (fewer cases to
    // spare than differences), judged by its own absolute tolerance.
    if (lambda.minCoeff() < std::sqrt(std::numeric_limits<double>::epsilon())) return sphericity;
    const double sum = lambda.sum();
    const double squares = lambda.squaredNorm();
    sphericity.gg = sum * sum / (d * squares);
    sphericity.hf =
        ((errorDf + 1.0) * d * sphericity.gg - 2.0) / (d * (errorDf - d * sphericity.gg));

    const double logW = std::log(error.determinant()) - d * std::log(error.trace() / d);
    const double rho = 1.0 - (2.0 * d * d + d + 2.0) / (6.0 * d * errorDf);
    // car's correction term takes the number of occasions where the order of the error
    // matrix belongs in one place (3 * p); the key follows R.
    const double k = occasions;
    const double w2 = (d + 2.0) * (d - 1.0) * (d - 2.0) *
                      (2.0 * d * d * d + 6.0 * d * d + 3.0 * k + 2.0) /
                      (288.0 * std::pow(errorDf * d * rho, 2.0));
    const double z = -errorDf * rho * logW;
    const double f = d * (d + 1.0) / 2.0 - 1.0;
    const double p1 = UpperChiSquaredP(z, f);
    const double p2 = UpperChiSquaredP(z, f + 4.0);
    sphericity.mauchlyW = std::exp(logW);
    sphericity.mauchlyP = std::isfinite(logW) ? p1 + w2 * (p2 - p1) : kMissingValue;
    return sphericity;
}

struct Fit {
    Matrix coefficients;  ///< (X'X)^-1 X'Y
    Matrix inverse;       ///< (X'X)^-1
    Matrix errors;        ///< E'E
    double errorDf = 0.0;
};

Fit FitBetweenDesign(const Matrix& x, const Matrix& y) {
    Fit fit;
    fit.inverse = (x.transpose() * x).inverse();
    fit.coefficients = fit.inverse * x.transpose() * y;
    const Matrix residuals = y - x * fit.coefficients;
    fit.errors = residuals.transpose() * residuals;
    fit.errorDf = static_cast<double>(x.rows() - x.cols());
    return fit;
}

// One between term crossed with one within term (`basis`, orthonormal).
RepeatedEffect EffectOf(const Fit& fit, const BetweenTerm& term, const Matrix& basis) {
    RepeatedEffect effect;
    effect.name = term.name;
    const Matrix chosen = fit.coefficients.middleRows(term.first, term.count) * basis;
    const Matrix middle = fit.inverse.block(term.first, term.first, term.count, term.count);
    effect.ss = (chosen.transpose() * middle.ldlt().solve(chosen)).trace();
    effect.errorSs = (basis.transpose() * fit.errors * basis).trace();
    const auto d = static_cast<double>(basis.cols());
    effect.df1 = static_cast<double>(term.count) * d;
    effect.df2 = fit.errorDf * d;
    if (effect.df2 > 0.0 && effect.errorSs > 0.0) {
        effect.f = (effect.ss / effect.df1) / (effect.errorSs / effect.df2);
        effect.p = UpperFP(effect.f, effect.df1, effect.df2);
    }
    effect.partialEtaSquared = effect.ss / (effect.ss + effect.errorSs);
    return effect;
}

std::vector<OccasionComparison> CompareOccasions(const Matrix& scores) {
    std::vector<OccasionComparison> comparisons;
    for (Eigen::Index i = 0; i < scores.cols(); ++i) {
        for (Eigen::Index j = i + 1; j < scores.cols(); ++j) {
            const Eigen::VectorXd first = scores.col(i);
            const Eigen::VectorXd second = scores.col(j);
            const PairedTest test =
                ComparePairs({first.data(), static_cast<std::size_t>(first.size())},
                             {second.data(), static_cast<std::size_t>(second.size())});
            comparisons.push_back({static_cast<int>(i) + 1, static_cast<int>(j) + 1,
                                   test.meanDifference, test.t, test.df, test.p, kMissingValue});
        }
    }
    // p.adjust(p, "holm"): pmin(1, cummax((m - i + 1) * p[order]))
    std::vector<std::size_t> order(comparisons.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return comparisons[a].p < comparisons[b].p;
    });
    const auto m = static_cast<double>(comparisons.size());
    double largest = 0.0;
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        OccasionComparison& comparison = comparisons[order[rank]];
        if (std::isnan(comparison.p)) continue;
        largest = std::max(largest, (m - static_cast<double>(rank)) * comparison.p);
        comparison.holmP = std::min(1.0, largest);
    }
    return comparisons;
}

}  // namespace

const RepeatedEffect* RepeatedMeasuresAnova::Effect(const std::string& name) const {
    const auto found =
        std::find_if(effects.begin(), effects.end(),
                     [&](const RepeatedEffect& effect) { return effect.name == name; });
    return found == effects.end() ? nullptr : &*found;
}

RepeatedMeasuresAnova AnalyseRepeatedMeasures(const RepeatedScores& data) {
    RepeatedMeasuresAnova anova;
    const CompleteCases complete = CompleteCasesOf(data);
    anova.completeCases = static_cast<int>(complete.scores.rows());
    anova.casesLeftOut = complete.leftOut;
    if (data.occasions < 2) return anova;
    anova.comparisons = CompareOccasions(complete.scores);

    std::vector<BetweenTerm> terms;
    const Matrix x = BetweenDesign(data, complete, terms);
    // Without a model every effect is still named, so that a class key keeps its columns.
    const bool fits = EveryCellFilled(data, complete) && x.rows() >= x.cols();
    const Fit fit = fits ? FitBetweenDesign(x, complete.scores) : Fit{};
    const Matrix mean = MeanBasis(data.occasions);
    const Matrix differences = DifferencesBasis(data.occasions);
    auto effectOf = [&](const BetweenTerm& term, const Matrix& basis) {
        if (fits) return EffectOf(fit, term, basis);
        RepeatedEffect unfitted;
        unfitted.name = term.name;
        return unfitted;
    };
    for (std::size_t t = 1; t < terms.size(); ++t)
        anova.effects.push_back(effectOf(terms[t], mean));
    const Sphericity sphericity =
        fits ? SphericityOf(differences.transpose() * fit.errors * differences, fit.errorDf,
                            data.occasions)
             : Sphericity{};
    for (const BetweenTerm& term : terms) {
        RepeatedEffect effect = effectOf(term, differences);
        effect.within = true;
        effect.name = term.first == 0 ? data.nameWithin : term.name + ":" + data.nameWithin;
        effect.ggEpsilon = sphericity.gg;
        effect.hfEpsilon = sphericity.hf;
        effect.mauchlyW = sphericity.mauchlyW;
        effect.mauchlyP = sphericity.mauchlyP;
        if (!std::isnan(sphericity.gg)) {
            effect.ggP = UpperFP(effect.f, effect.df1 * sphericity.gg, effect.df2 * sphericity.gg);
            const double hf = std::min(1.0, sphericity.hf);
            effect.hfP = UpperFP(effect.f, effect.df1 * hf, effect.df2 * hf);
        }
        anova.effects.push_back(effect);
    }
    if (!fits) return anova;
    // afex's generalized eta squared with every factor manipulated: each effect beside the
    // error of both strata, the cases' and the occasions'.
    const double errors = (mean.transpose() * fit.errors * mean).trace() +
                          (differences.transpose() * fit.errors * differences).trace();
    for (RepeatedEffect& effect : anova.effects) {
        effect.generalizedEtaSquared = effect.ss / (effect.ss + errors);
    }
    return anova;
}

}  // namespace zek
