#include "output/actual_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

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
