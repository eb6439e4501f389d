#include "stats/actual_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/generate_data.h"
#include "support/runnable_setup.h"

namespace zek {
namespace {

class ActualStatisticsTest : public ::testing::Test {
  protected:
    std::unique_ptr<ScoreTable> table = testing::ZeroedScoreTable();
    ActualStatistics statistics;
};

TEST_F(ActualStatisticsTest, CountMeanAndSdOfThePresentScores) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 1, 3);
    setup.Box(2).n = 4;
    testing::RecountCases(setup);
    const double scores[] = {1, 2, 3, 10, MissingMark, 14, MissingMark};
    for (int row = 0; row < 7; ++row) table->At(row, 0) = scores[row];
    ComputeBoxStatistics(setup, *table, statistics);
    EXPECT_EQ(statistics.actualN[0], 3);
    EXPECT_DOUBLE_EQ(statistics.actualMean[0], 2.0);
    EXPECT_DOUBLE_EQ(statistics.actualSd[0], 1.0);
    EXPECT_EQ(statistics.actualN[1], 2);
    EXPECT_DOUBLE_EQ(statistics.actualMean[1], 12.0);
}

// A mean of ten million with an SD of 0.002 cancels in the running sums: the report once
// printed -nan or 0.21 for it.
TEST_F(ActualStatisticsTest, LargeMeansKeepTheirSd) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups1, 1, 25);
    double sum = 0.0;
    for (int row = 0; row < 25; ++row) {
        table->At(row, 0) = 1e7 + 0.002 * ((row * 7) % 5 - 2);
        sum += table->At(row, 0);
    }
    double squares = 0.0;
    for (int row = 0; row < 25; ++row) {
        squares += (table->At(row, 0) - sum / 25) * (table->At(row, 0) - sum / 25);
    }
    ComputeBoxStatistics(setup, *table, statistics);
    EXPECT_TRUE(std::isfinite(statistics.actualSd[0]));
    EXPECT_NEAR(statistics.actualSd[0], std::sqrt(squares / 24), 1e-9);
    EXPECT_NEAR(statistics.actualSd[0], 0.002886751, 1e-6);
}

TEST_F(ActualStatisticsTest, UndefinedFiguresKeepTheirPreviousValues) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 1, 2);
    statistics.actualMean[0] = 7.0;
    statistics.actualSd[0] = 8.0;
    statistics.actualSd[1] = 9.0;
    statistics.actualMean[5] = 3.0;  // outside the design
    table->At(0, 0) = MissingMark;
    table->At(1, 0) = MissingMark;
    table->At(2, 0) = 4.0;
    table->At(3, 0) = MissingMark;
    ComputeBoxStatistics(setup, *table, statistics);
    EXPECT_EQ(statistics.actualN[0], 0);
    EXPECT_EQ(statistics.actualMean[0], 7.0);
    EXPECT_EQ(statistics.actualSd[0], 8.0);
    EXPECT_EQ(statistics.actualN[1], 1);
    EXPECT_EQ(statistics.actualMean[1], 4.0);
    EXPECT_EQ(statistics.actualSd[1], 9.0);
    EXPECT_EQ(statistics.actualMean[5], 3.0);
}

TEST_F(ActualStatisticsTest, BoxesOfBothColumnsInTwoVariableCells) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoDV2x2, 1, 2);
    for (int row = 0; row < 8; ++row) {
        table->At(row, 0) = 100 + row;
        table->At(row, 1) = 200 + row;
    }
    ComputeBoxStatistics(setup, *table, statistics);
    // Cells (1,1), (1,2), (2,1), (2,2): variable 1 in boxes 1, 2, 5, 6, variable 2 in 3, 4, 7, 8.
    EXPECT_DOUBLE_EQ(statistics.actualMean[0], 100.5);
    EXPECT_DOUBLE_EQ(statistics.actualMean[1], 102.5);
    EXPECT_DOUBLE_EQ(statistics.actualMean[4], 104.5);
    EXPECT_DOUBLE_EQ(statistics.actualMean[2], 200.5);
    EXPECT_DOUBLE_EQ(statistics.actualMean[7], 206.5);
}

TEST_F(ActualStatisticsTest, PairwiseDeletionLeavesOutOnlyTheIncompletePairs) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated3, 1, 10);
    for (int row = 0; row < 10; ++row) {
        table->At(row, 0) = row;
        table->At(row, 1) = row * row;
        table->At(row, 2) = -row;
    }
    table->At(4, 0) = MissingMark;  // case 5 misses x
    table->At(8, 1) = MissingMark;  // case 9 misses y
    ComputePairwiseCorrelations(setup, *table, statistics);
    const auto& r = statistics.actualCorrelations;
    EXPECT_EQ(r[0][0], 1.0);
    EXPECT_DOUBLE_EQ(r[0][2], -1.0);
    EXPECT_DOUBLE_EQ(r[2][0], -1.0);
    EXPECT_DOUBLE_EQ(r[0][1], r[1][0]);

    // By hand over rows 0..9 without 4 and 8.
    double sx = 0, sy = 0, n = 0;
    for (int row : {0, 1, 2, 3, 5, 6, 7, 9}) sx += row, sy += row * row, ++n;
    double sxx = 0, syy = 0, sxy = 0;
    for (int row : {0, 1, 2, 3, 5, 6, 7, 9}) {
        const double dx = row - sx / n, dy = row * row - sy / n;
        sxx += dx * dx, syy += dy * dy, sxy += dx * dy;
    }
    EXPECT_DOUBLE_EQ(r[0][1], sxy / std::sqrt(sxx * syy));
}

TEST_F(ActualStatisticsTest, NoSpreadKeepsThePreviousCorrelation) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated2, 1, 5);
    for (int row = 0; row < 5; ++row) {
        table->At(row, 0) = 3.0;
        table->At(row, 1) = row;
    }
    statistics.actualCorrelations[0][1] = 0.42;
    ComputePairwiseCorrelations(setup, *table, statistics);
    EXPECT_EQ(statistics.actualCorrelations[0][1], 0.42);
    EXPECT_EQ(statistics.actualCorrelations[1][1], 1.0);
}

}  // namespace
}  // namespace zek

namespace zek {
namespace {

// Each pair on its own, two passes in row order: the arithmetic the report has always used.
double PairOnItsOwn(const ScoreTable& table, int rows, int i, int j) {
    int count = 0;
    double sumX = 0.0, sumY = 0.0;
    for (int row = 0; row < rows; ++row) {
        if (table.At(row, i) == MissingMark || table.At(row, j) == MissingMark) continue;
        ++count;
        sumX += table.At(row, i);
        sumY += table.At(row, j);
    }
    const double meanX = sumX / count;
    const double meanY = sumY / count;
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (int row = 0; row < rows; ++row) {
        if (table.At(row, i) == MissingMark || table.At(row, j) == MissingMark) continue;
        const double dx = table.At(row, i) - meanX;
        const double dy = table.At(row, j) - meanY;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    return sxy / std::sqrt(sxx * syy);
}

TEST(PairwiseCorrelations, OneSweepGivesTheBitsOfEachPairOnItsOwn) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated8, 99, 3000);
    setup.missingFraction = 0.2;
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) testing::SetCorrelation(setup, i, j, 0.1 * (j - i) / 2);
    }
    auto tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;
    ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
    ActualStatistics statistics;
    ComputePairwiseCorrelations(setup, tables->generatedData, statistics);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(statistics.actualCorrelations[i][i], 1.0);
        for (int j = 0; j < 8; ++j) {
            if (i == j) continue;
            EXPECT_EQ(statistics.actualCorrelations[i][j],
                      PairOnItsOwn(tables->generatedData, setup.totalCases, i, j))
                << i << ", " << j;
        }
    }
}

}  // namespace
}  // namespace zek
