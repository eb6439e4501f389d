#include "stats/logistic_regression.h"

#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <limits>

#include "stats/least_squares.h"

namespace zek {

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// glm.control(): the relative change of the deviance that ends the iterations, and their
// limit.
constexpr double kConvergence = 1e-8;
constexpr int kMaxIterations = 25;
// The logit link's guards, as R's C code has them.
constexpr double kLinkThreshold = 30.0;

double Finite(double value) {
    return std::isfinite(value) ? value : kMissingValue;
}

double InverseLogit(double eta) {
    const double odds =
        eta < -kLinkThreshold ? kEpsilon : (eta > kLinkThreshold ? 1.0 / kEpsilon : std::exp(eta));
    return odds / (1.0 + odds);
}

double LogitDerivative(double eta) {
    if (eta > kLinkThreshold || eta < -kLinkThreshold) return kEpsilon;
    const double onePlus = 1.0 + std::exp(eta);
    return std::exp(eta) / (onePlus * onePlus);
}

double Deviance(const Eigen::VectorXd& y, const Eigen::VectorXd& mu) {
    double deviance = 0.0;
    for (Eigen::Index i = 0; i < y.size(); ++i) {
        // binomial()$dev.resids: y log(y / mu) + (1 - y) log((1 - y) / (1 - mu)) of 0s and 1s.
        deviance += 2.0 * (y(i) != 0.0 ? std::log(1.0 / mu(i)) : std::log(1.0 / (1.0 - mu(i))));
    }
    return deviance;
}

// One weighted least-squares step of glm.fit: the working response and weights at `eta`.
struct WeightedStep {
    PivotedQr qr;
    Eigen::VectorXd coefficients;  ///< in the columns' own order; 0 for an aliased one
};

WeightedStep StepAt(const CompleteCases& cases, const Eigen::VectorXd& eta,
                    const Eigen::VectorXd& mu) {
    const Eigen::Index n = cases.y.size();
    const Eigen::Index p = cases.x.cols();
    Eigen::MatrixXd weightedX(n, p);
    Eigen::VectorXd weightedZ(n);
    for (Eigen::Index i = 0; i < n; ++i) {
        const double derivative = LogitDerivative(eta(i));
        const double z = eta(i) + (cases.y(i) - mu(i)) / derivative;
        const double w = std::sqrt(derivative * derivative / (mu(i) * (1.0 - mu(i))));
        weightedX.row(i) = cases.x.row(i) * w;
        weightedZ(i) = z * w;
    }
    WeightedStep step{DecomposeAsLm(weightedX, std::min(1e-7, kConvergence / 1000.0)),
                      Eigen::VectorXd::Zero(p)};
    const Eigen::Index rank = step.qr.rank;
    const Eigen::VectorXd qtz = QTransposeTimes(step.qr, weightedZ);
    const Eigen::VectorXd solved =
        step.qr.qr.topLeftCorner(rank, rank).triangularView<Eigen::Upper>().solve(qtz.head(rank));
    for (Eigen::Index c = 0; c < rank; ++c) {
        step.coefficients(step.qr.pivot[static_cast<std::size_t>(c)]) = solved(c);
    }
    return step;
}

}  // namespace

LogisticFit FitLogistic(std::span<const double> outcome,
                        const std::vector<std::span<const double>>& predictors) {
    LogisticFit fit;
    fit.coefficients.resize(predictors.size() + 1);
    const std::optional<CompleteCases> complete = CompleteCasesOf(outcome, predictors);
    if (!complete) return fit;  // glm(): "0 (non-NA) cases"
    const CompleteCases& cases = *complete;
    const Eigen::Index n = cases.y.size();
    fit.n = static_cast<int>(n);

    // binomial()'s start: every case halfway between its outcome and one half.
    Eigen::VectorXd mu = (cases.y.array() + 0.5) / 2.0;
    Eigen::VectorXd eta = (mu.array() / (1.0 - mu.array())).log();
    for (Eigen::Index i = 0; i < n; ++i) mu(i) = InverseLogit(eta(i));
    double previousDeviance = Deviance(cases.y, mu);
    WeightedStep step;
    for (int iteration = 1; iteration <= kMaxIterations; ++iteration) {
        step = StepAt(cases, eta, mu);
        eta = cases.x * step.coefficients;
        for (Eigen::Index i = 0; i < n; ++i) mu(i) = InverseLogit(eta(i));
        const double deviance = Deviance(cases.y, mu);
        fit.iterations = iteration;
        fit.residualDeviance = deviance;
        if (std::fabs(deviance - previousDeviance) / (std::fabs(deviance) + 0.1) < kConvergence) {
            fit.converged = true;
            break;
        }
        previousDeviance = deviance;
    }

    const Eigen::Index rank = step.qr.rank;
    // summary.glm(): the unscaled covariance from the last step's decomposition, dispersion 1.
    const auto upper = step.qr.qr.topLeftCorner(rank, rank).triangularView<Eigen::Upper>();
    const Eigen::MatrixXd inverse = upper.solve(Eigen::MatrixXd::Identity(rank, rank));
    const boost::math::normal standardNormal;
    for (Eigen::Index c = 0; c < rank; ++c) {
        const Eigen::Index column = step.qr.pivot[static_cast<std::size_t>(c)];
        Coefficient coefficient;
        coefficient.estimate = Finite(step.coefficients(column));
        coefficient.se = Finite(std::sqrt(inverse.row(c).squaredNorm()));
        coefficient.t = Finite(coefficient.estimate / coefficient.se);
        if (!std::isnan(coefficient.t)) {
            coefficient.p = 2.0 * boost::math::cdf(standardNormal, -std::fabs(coefficient.t));
        }
        fit.coefficients[static_cast<std::size_t>(column)] = coefficient;
    }
    const double share = cases.y.sum() / static_cast<double>(n);
    fit.nullDeviance = Finite(Deviance(cases.y, Eigen::VectorXd::Constant(n, share)));
    fit.nullDf = static_cast<double>(n - 1);
    fit.residualDf = static_cast<double>(n - rank);
    fit.residualDeviance = Finite(fit.residualDeviance);
    fit.aic = Finite(fit.residualDeviance + 2.0 * static_cast<double>(rank));
    return fit;
}

}  // namespace zek
