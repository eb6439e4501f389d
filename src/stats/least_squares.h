// The least squares of lm() and glm(): R's Householder QR decomposition with its limited
// column pivoting (LINPACK's dqrdc2), so that aliased columns drop out as R drops them.
#pragma once

#include <Eigen/Dense>
#include <optional>
#include <span>
#include <vector>

namespace zek {

/// The tolerance lm() gives the decomposition; glm() gives it min(1e-7, epsilon / 1000).
inline constexpr double kLmTolerance = 1e-7;

/// A column whose norm falls below `tolerance` times its first norm moves to the end and is
/// aliased; the others keep their order, so the intercept stays first.
struct PivotedQr {
    Eigen::MatrixXd qr;
    Eigen::VectorXd qraux;
    std::vector<Eigen::Index> pivot;
    Eigen::Index rank = 0;
};

PivotedQr DecomposeAsLm(Eigen::MatrixXd x, double tolerance);

/// The cases without a missing value (NaN), as lm() and glm() keep them: the outcome, and
/// the intercept's column beside the predictors.
struct CompleteCases {
    Eigen::MatrixXd x;
    Eigen::VectorXd y;
};

/// Nothing when no case is complete.
std::optional<CompleteCases> CompleteCasesOf(
    std::span<const double> outcome, const std::vector<std::span<const double>>& predictors);

/// Q'y of the decomposition (LINPACK's dqrsl).
Eigen::VectorXd QTransposeTimes(const PivotedQr& qr, Eigen::VectorXd y);

}  // namespace zek
