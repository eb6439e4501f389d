#include "stats/least_squares.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zek {

PivotedQr DecomposeAsLm(Eigen::MatrixXd x, double tolerance) {
    const Eigen::Index n = x.rows();
    const Eigen::Index p = x.cols();
    PivotedQr result;
    Eigen::VectorXd& qraux = result.qraux;
    qraux.resize(p);
    Eigen::VectorXd current(p), original(p);
    result.pivot.resize(static_cast<std::size_t>(p));
    std::iota(result.pivot.begin(), result.pivot.end(), Eigen::Index{0});
    for (Eigen::Index j = 0; j < p; ++j) {
        qraux(j) = x.col(j).norm();
        current(j) = qraux(j);
        original(j) = qraux(j) == 0.0 ? 1.0 : qraux(j);
    }
    const auto moveToEnd = [&](Eigen::Index l) {
        const Eigen::VectorXd column = x.col(l);
        for (Eigen::Index j = l + 1; j < p; ++j) x.col(j - 1) = x.col(j);
        x.col(p - 1) = column;
        const auto rotate = [&](Eigen::VectorXd& v) {
            const double first = v(l);
            for (Eigen::Index j = l + 1; j < p; ++j) v(j - 1) = v(j);
            v(p - 1) = first;
        };
        rotate(qraux);
        rotate(current);
        rotate(original);
        std::rotate(result.pivot.begin() + l, result.pivot.begin() + l + 1, result.pivot.end());
    };
    Eigen::Index k = p;  // the columns from k on are aliased
    for (Eigen::Index l = 0; l < std::min(n, p); ++l) {
        while (l < k && qraux(l) < original(l) * tolerance) {
            moveToEnd(l);
            --k;
        }
        if (l == n - 1) continue;
        double norm = x.col(l).segment(l, n - l).norm();
        if (norm == 0.0) continue;
        if (x(l, l) != 0.0) norm = std::copysign(norm, x(l, l));
        x.col(l).segment(l, n - l) /= norm;
        x(l, l) += 1.0;
        for (Eigen::Index j = l + 1; j < p; ++j) {
            const double t = -x.col(l).segment(l, n - l).dot(x.col(j).segment(l, n - l)) / x(l, l);
            x.col(j).segment(l, n - l) += t * x.col(l).segment(l, n - l);
            if (qraux(j) == 0.0) continue;
            const double remaining = std::max(
                1.0 - (std::fabs(x(l, j)) / qraux(j)) * (std::fabs(x(l, j)) / qraux(j)), 0.0);
            if (std::fabs(remaining) < 1e-6) {
                qraux(j) = x.col(j).segment(l + 1, n - l - 1).norm();
                current(j) = qraux(j);
            } else {
                qraux(j) *= std::sqrt(remaining);
            }
        }
        qraux(l) = x(l, l);
        x(l, l) = -norm;
    }
    result.rank = std::min(k, n);
    result.qr = std::move(x);
    return result;
}

Eigen::VectorXd QTransposeTimes(const PivotedQr& qr, Eigen::VectorXd y) {
    const Eigen::Index n = qr.qr.rows();
    Eigen::MatrixXd householder = qr.qr;
    for (Eigen::Index j = 0; j < std::min(qr.rank, n - 1); ++j) {
        if (qr.qraux(j) == 0.0) continue;
        householder(j, j) = qr.qraux(j);
        const auto v = householder.col(j).segment(j, n - j);
        const double t = -v.dot(y.segment(j, n - j)) / householder(j, j);
        y.segment(j, n - j) += t * v;
    }
    return y;
}

std::optional<CompleteCases> CompleteCasesOf(
    std::span<const double> outcome, const std::vector<std::span<const double>>& predictors) {
    std::vector<std::size_t> complete;
    for (std::size_t k = 0; k < outcome.size(); ++k) {
        bool present = !std::isnan(outcome[k]);
        for (const auto& predictor : predictors) present = present && !std::isnan(predictor[k]);
        if (present) complete.push_back(k);
    }
    if (complete.empty()) return std::nullopt;
    const auto n = static_cast<Eigen::Index>(complete.size());
    CompleteCases cases{Eigen::MatrixXd(n, static_cast<Eigen::Index>(predictors.size() + 1)),
                        Eigen::VectorXd(n)};
    for (Eigen::Index row = 0; row < n; ++row) {
        const std::size_t k = complete[static_cast<std::size_t>(row)];
        cases.y(row) = outcome[k];
        cases.x(row, 0) = 1.0;
        for (std::size_t p = 0; p < predictors.size(); ++p) {
            cases.x(row, static_cast<Eigen::Index>(p + 1)) = predictors[p][k];
        }
    }
    return cases;
}

}  // namespace zek
