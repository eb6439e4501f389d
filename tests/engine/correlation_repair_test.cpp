#include "engine/correlation_repair.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/cholesky.h"

namespace zek {
namespace {

using Matrix = std::array<std::array<double, kMaxVariables>, kMaxVariables>;

Matrix Identity() {
    Matrix m{};
    for (int k = 0; k < kMaxVariables; ++k) m[k][k] = 1.0;
    return m;
}

void Set(Matrix& m, int i, int j, double r) {
    m[i - 1][j - 1] = r;
    m[j - 1][i - 1] = r;
}

bool PositiveDefinite(const Matrix& m, int order) {
    std::array<double, kPackedSize> packed{};
    for (int i = 1; i <= order; ++i) {
        for (int j = 1; j <= i; ++j) packed[PackedIndex(i, j)] = m[i - 1][j - 1];
    }
    return CholeskyFactor(order, packed) == CholeskyStatus::PositiveDefinite;
}

// Every entry's interval against a scan of its values: inside it the matrix factorises,
// outside it does not (away from the edges, where rounding may go either way).
void ExpectIntervalsMatchAScan(const Matrix& m, int order) {
    for (int i = 1; i <= order; ++i) {
        for (int j = i + 1; j <= order; ++j) {
            const std::optional<UsableInterval> interval = UsableIntervalOf(m, order, i, j);
            for (double x = -0.999; x < 1.0; x += 0.001) {
                Matrix changed = m;
                Set(changed, i, j, x);
                const bool usable = PositiveDefinite(changed, order);
                if (!interval) {
                    ASSERT_FALSE(usable) << "r" << i << j << " = " << x;
                    continue;
                }
                if (std::fabs(x - interval->low) < 1e-6 || std::fabs(x - interval->high) < 1e-6) {
                    continue;
                }
                ASSERT_EQ(usable, interval->low < x && x < interval->high)
                    << "r" << i << j << " = " << x << " in (" << interval->low << ", "
                    << interval->high << ")";
            }
        }
    }
}

TEST(CorrelationRepair, TheThreeByThreeThatCannotBeAndItsMends) {
    Matrix m = Identity();
    Set(m, 1, 2, 0.9);
    Set(m, 1, 3, 0.9);
    Set(m, 2, 3, -0.9);
    ASSERT_FALSE(PositiveDefinite(m, 3));
    const std::optional<UsableInterval> r23 = UsableIntervalOf(m, 3, 2, 3);
    ASSERT_TRUE(r23.has_value());
    EXPECT_NEAR(r23->low, 0.62, 1e-12);  // 2 x 0.81 - 1
    EXPECT_NEAR(r23->high, 1.0, 1e-12);
    ExpectIntervalsMatchAScan(m, 3);
    const std::vector<std::string> hints = CorrelationRepairHints(m, 3);
    ASSERT_EQ(hints.size(), 3u);
    EXPECT_EQ(hints[2],
              "r23 = -0.90: with the others kept, use a value between 0.63 and 0.99 (the "
              "nearest is 0.63)");
    EXPECT_EQ(hints[0],
              "r12 = 0.90: with the others kept, use a value between -0.99 and -0.63 (the "
              "nearest is -0.63)");
}

TEST(CorrelationRepair, EightVariablesAgainstAScan) {
    std::mt19937 random(8);
    std::uniform_real_distribution<double> draw(-0.6, 0.9);
    Matrix m = Identity();
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) Set(m, i, j, draw(random));
    }
    ASSERT_FALSE(PositiveDefinite(m, 8));
    ExpectIntervalsMatchAScan(m, 8);
    for (const std::string& hint : CorrelationRepairHints(m, 8)) {
        EXPECT_FALSE(hint.empty());
    }
}

TEST(CorrelationRepair, WhenNoSingleChangeWillDoItSaysSo) {
    Matrix m = Identity();
    for (int i = 1; i <= 4; ++i) {
        for (int j = i + 1; j <= 4; ++j) Set(m, i, j, -0.6);
    }
    ASSERT_FALSE(PositiveDefinite(m, 4));
    const std::vector<std::string> hints = CorrelationRepairHints(m, 4);
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_TRUE(hints[0].starts_with("No single correlation can be changed"));
}

}  // namespace
}  // namespace zek
