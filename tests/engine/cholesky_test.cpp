#include "engine/cholesky.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zek {
namespace {

std::array<double, kPackedSize> Packed(std::initializer_list<std::initializer_list<double>> rows) {
    std::array<double, kPackedSize> packed{};
    int i = 1;
    for (const auto& row : rows) {
        int j = 1;
        for (double value : row) {
            if (j <= i) packed[PackedIndex(i, j)] = value;
            ++j;
        }
        ++i;
    }
    return packed;
}

TEST(CholeskyFactor, IdentityFactorsToItself) {
    auto packed = Packed({{1}, {0, 1}, {0, 0, 1}});
    const auto identity = packed;
    EXPECT_EQ(CholeskyFactor(3, packed), CholeskyStatus::PositiveDefinite);
    EXPECT_EQ(packed, identity);
}

TEST(CholeskyFactor, TwoByTwo) {
    auto packed = Packed({{1}, {0.6, 1}});
    EXPECT_EQ(CholeskyFactor(2, packed), CholeskyStatus::PositiveDefinite);
    EXPECT_DOUBLE_EQ(packed[PackedIndex(1, 1)], 1.0);
    EXPECT_DOUBLE_EQ(packed[PackedIndex(2, 1)], 0.6);
    EXPECT_DOUBLE_EQ(packed[PackedIndex(2, 2)], std::sqrt(1 - 0.36));
}

TEST(CholeskyFactor, NegativePivotZeroesItsColumnAndMarksTheStatus) {
    auto packed = Packed({{1}, {0.9, 1}, {0.9, -0.9, 1}});
    EXPECT_EQ(CholeskyFactor(3, packed), CholeskyStatus::NotPositiveDefinite);
    EXPECT_EQ(packed[PackedIndex(3, 3)], 0.0);
    EXPECT_GT(packed[PackedIndex(2, 2)], 0.0);
}

TEST(CholeskyFactor, PerfectCorrelationIsRefusedAndAnEmptyMatrixIsFine) {
    auto packed = Packed({{1}, {1.0, 1}});
    EXPECT_EQ(CholeskyFactor(2, packed), CholeskyStatus::NotPositiveDefinite);
    auto fine = Packed({{1}, {0.5, 1}});
    EXPECT_EQ(CholeskyFactor(0, fine), CholeskyStatus::PositiveDefinite);
}

}  // namespace
}  // namespace zek
