#include "engine/cholesky.h"

#include <cassert>
#include <cmath>

namespace zek {

std::array<double, kPackedSize> PackedLowerTriangle(const SquareMatrix& matrix, int order) {
    std::array<double, kPackedSize> packed{};
    for (int i = 1; i <= order; ++i) {
        for (int j = 1; j <= i; ++j) packed[PackedIndex(i, j)] = matrix[i - 1][j - 1];
    }
    return packed;
}

CholeskyStatus CholeskyFactor(int order, std::array<double, kPackedSize>& packed) {
    assert(order <= kMaxVariables);
    CholeskyStatus status = CholeskyStatus::PositiveDefinite;
    if (order <= 0) return status;
    auto A = [&packed](int i, int j) -> double& { return packed[PackedIndex(i, j)]; };
    for (int j = 1; j <= order; ++j) {
        if (j > 1) {
            for (int i = j; i <= order; ++i) {
                double s = A(i, j);
                for (int m = 1; m <= j - 1; ++m) s -= A(i, j - m) * A(j, j - m);
                A(i, j) = s;
            }
        }
        if (A(j, j) <= 0.0) {
            A(j, j) = 0.0;
            status = CholeskyStatus::NotPositiveDefinite;
        }
        const double d = std::sqrt(A(j, j));
        for (int i = j; i <= order; ++i) A(i, j) = d == 0.0 ? 0.0 : A(i, j) / d;
    }
    return status;
}

}  // namespace zek
