#include "engine/generate_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "support/runnable_setup.h"
#include "support/sample_moments.h"

namespace zek {
namespace {

using testing::Correlation;
using testing::Mean;
using testing::RecountCases;
using testing::RunnableSetup;
using testing::Sd;
using testing::SetCorrelation;

class GenerateDataTest : public ::testing::Test {
  protected:
    // The tables are as large as the program's; one set serves every run of a test.
    std::unique_ptr<GenerationTables> tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;

    std::vector<double> Run(const GenerationSetup& setup) {
        EXPECT_FALSE(GenerateData(setup, streams, *tables, record));
        return Scores(setup);
    }
    std::vector<double> Scores(const GenerationSetup& setup) const {
        std::vector<double> scores;
        for (int row = 0; row < setup.totalCases; ++row) {
            for (int v = 0; v < setup.variableCount; ++v)
                scores.push_back(tables->generatedData.At(row, v));
        }
        return scores;
    }
    std::vector<double> Column(const GenerationSetup& setup, int column, int firstRow = 0,
                               int rows = -1) const {
        std::vector<double> values;
        const int last = rows < 0 ? setup.totalCases : firstRow + rows;
        for (int row = firstRow; row < last; ++row) {
            const double score = tables->generatedData.At(row, column);
            if (score != MissingMark) values.push_back(score);
        }
        return values;
    }
};

TEST_F(GenerateDataTest, SameSeedAndSetupGiveTheSameScoresAfterOtherRuns) {
    GenerationSetup setup = RunnableSetup(DesignKind::TwoGroupsDV3, 1804, 40);
    SetCorrelation(setup, 1, 2, 0.5);
    for (BoxParameters& box : setup.boxes) box.distribution = DistributionKind::RandomlyChosen;
    setup.missingPercent = 5;
    setup.missingFraction = 0.05;
    setup.extremeFraction = 0.03;
    const std::vector<double> first = Run(setup);
    const RunRecord firstRecord = record;

    GenerationSetup other = RunnableSetup(DesignKind::Correlated4, 77, 300);
    Run(other);
    other.seed = 0;
    Run(other);

    EXPECT_EQ(Run(setup), first);
    for (int box = 1; box <= kBoxCount; ++box) {
        EXPECT_EQ(record.Box(box).shape, firstRecord.Box(box).shape);
        EXPECT_EQ(record.Box(box).minScore, firstRecord.Box(box).minScore);
    }
}

TEST_F(GenerateDataTest, ShapesOfRandomlyChosenBoxesWithSeed1804) {
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated8, 1804);
    for (BoxParameters& box : setup.boxes) box.distribution = DistributionKind::RandomlyChosen;
    Run(setup);
    const DistributionKind expected[] = {DistributionKind::SkewNeg, DistributionKind::Normal,
                                         DistributionKind::Normal,  DistributionKind::SkewPos,
                                         DistributionKind::Normal,  DistributionKind::Normal,
                                         DistributionKind::Normal,  DistributionKind::SkewPos};
    for (int box = 1; box <= 8; ++box) {
        EXPECT_EQ(record.Box(box).shape, expected[box - 1]) << "box " << box;
        EXPECT_TRUE(record.Box(box).chosenAtRandom);
    }
}

TEST_F(GenerateDataTest, ChosenShapesAreClearedAndOnlyRandomBoxesAreMarked) {
    GenerationSetup setup = RunnableSetup(DesignKind::Groups3, 5);
    setup.Box(2).distribution = DistributionKind::RandomlyChosen;
    record.boxes[6].chosenAtRandom = true;  // left from an earlier run
    setup.Box(3).distribution = DistributionKind::SkewNeg;
    Run(setup);
    EXPECT_FALSE(record.Box(1).chosenAtRandom);
    EXPECT_TRUE(record.Box(2).chosenAtRandom);
    EXPECT_FALSE(record.Box(7).chosenAtRandom);
    EXPECT_EQ(record.Box(3).shape, DistributionKind::SkewNeg);
}

// The report of the last run must still describe its data after a refused one.
TEST_F(GenerateDataTest, ARefusedRunLeavesTheRecordOfTheRunBefore) {
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated3, 9, 50);
    setup.Box(2).distribution = DistributionKind::RandomlyChosen;
    Run(setup);
    const RunRecord before = record;
    ASSERT_TRUE(before.Box(2).chosenAtRandom);

    GenerationSetup unreachable = RunnableSetup(DesignKind::Correlated3, 9, 50);
    unreachable.Box(1).distribution = DistributionKind::Uniform;
    unreachable.Box(1).minScore = -10.0;
    unreachable.Box(1).maxScore = 10.0;
    unreachable.Box(3).distribution = DistributionKind::SkewPos;
    SetCorrelation(unreachable, 1, 3, 0.99);
    ASSERT_TRUE(GenerateData(unreachable, streams, *tables, record));
    for (int box = 1; box <= kBoxCount; ++box) {
        EXPECT_EQ(record.Box(box).shape, before.Box(box).shape) << "box " << box;
        EXPECT_EQ(record.Box(box).chosenAtRandom, before.Box(box).chosenAtRandom);
    }
}

TEST_F(GenerateDataTest, ARandomUniformBoxWithoutLimitsSpansMeanPlusMinusRootThreeSd) {
    // Find a seed whose first shape draw for box 1 gives Uniform (about one seed in 21).
    for (int seed = 1; seed < 2000; ++seed) {
        GenerationSetup setup = RunnableSetup(DesignKind::Groups1, seed, 500);
        setup.Box(1).distribution = DistributionKind::RandomlyChosen;
        setup.Box(1).mean = 50.0;
        setup.Box(1).sd = 10.0;
        Run(setup);
        if (record.Box(1).shape != DistributionKind::Uniform) continue;
        EXPECT_DOUBLE_EQ(record.Box(1).minScore, 50.0 - std::sqrt(3.0) * 10.0);
        EXPECT_DOUBLE_EQ(record.Box(1).maxScore, 50.0 + std::sqrt(3.0) * 10.0);
        // The limits are the run's: the setup keeps the box without any, as the user asked.
        EXPECT_EQ(setup.Box(1).minScore, NoLimit);
        EXPECT_EQ(setup.Box(1).maxScore, NoLimit);
        for (double score : Column(setup, 0)) {
            EXPECT_GE(score, record.Box(1).minScore);
            EXPECT_LE(score, record.Box(1).maxScore);
        }
        return;
    }
    FAIL() << "no seed drew Uniform";
}

TEST_F(GenerateDataTest, AMissingPercentageOnlyBlanksScoresAndMovesNoOtherDraw) {
    GenerationSetup none = RunnableSetup(DesignKind::Correlated3, 321, 2000);
    GenerationSetup some = none;
    some.missingPercent = 1;
    some.missingFraction = 0.01;
    const std::vector<double> without = Run(none);
    const std::vector<double> with = Run(some);
    ASSERT_EQ(with.size(), without.size());
    int blanked = 0;
    for (std::size_t i = 0; i < with.size(); ++i) {
        if (with[i] == MissingMark) {
            ++blanked;
        } else {
            ASSERT_EQ(with[i], without[i]) << i;
        }
    }
    EXPECT_GT(blanked, 20);
    EXPECT_LT(blanked, 100);
}

TEST_F(GenerateDataTest, ReliabilityDrawsAnErrorForEveryCellEvenWhenItIsZero) {
    GenerationSetup exact = RunnableSetup(DesignKind::TwoDVGroups2, 99, 300);
    SetCorrelation(exact, 1, 2, 0.3);
    GenerationSetup halved = exact;
    halved.reliability = 0.5;
    Run(exact);
    std::vector<double> exactTrue;
    for (int row = 0; row < exact.totalCases; ++row) {
        for (int v = 0; v < 2; ++v) {
            exactTrue.push_back(tables->trueScoreTable.At(row, v));
            EXPECT_EQ(tables->generatedData.At(row, v), tables->trueScoreTable.At(row, v));
        }
    }
    Run(halved);
    std::vector<double> halvedTrue;
    bool anyError = false;
    for (int row = 0; row < halved.totalCases; ++row) {
        for (int v = 0; v < 2; ++v) {
            halvedTrue.push_back(tables->trueScoreTable.At(row, v));
            anyError |= tables->generatedData.At(row, v) != tables->trueScoreTable.At(row, v);
        }
    }
    EXPECT_EQ(halvedTrue, exactTrue);
    EXPECT_TRUE(anyError);
}

TEST_F(GenerateDataTest, TwoFactorCellsFillTheTopRowThenTheBottomRow) {
    GenerationSetup setup = RunnableSetup(DesignKind::Factorial2x3, 8, 5);
    for (int box = 1; box <= 8; ++box) {
        setup.Box(box).mean = 100.0 * box;
        setup.Box(box).sd = 0.001;
        setup.Box(box).n = 3 + box;
    }
    RecountCases(setup);
    Run(setup);
    int row = 0;
    for (int box : {1, 2, 3, 5, 6, 7}) {
        for (int k = 0; k < 3 + box; ++k, ++row) {
            EXPECT_NEAR(tables->generatedData.At(row, 0), 100.0 * box, 0.01) << "row " << row;
        }
    }
    EXPECT_EQ(row, setup.totalCases);
}

TEST_F(GenerateDataTest, ThreeFactorCellsVisitTheBoxesInCellOrder) {
    GenerationSetup setup = RunnableSetup(DesignKind::Factorial2x2x2, 8, 4);
    for (int box = 1; box <= 8; ++box) {
        setup.Box(box).mean = 100.0 * box;
        setup.Box(box).sd = 0.001;
    }
    Run(setup);
    int row = 0;
    for (int box : {1, 2, 5, 6, 3, 4, 7, 8}) {
        for (int k = 0; k < 4; ++k, ++row)
            EXPECT_NEAR(tables->generatedData.At(row, 0), 100.0 * box, 0.01);
    }
}

TEST_F(GenerateDataTest, GroupTwoOfAMultiVariableDesignStartsAfterGroupOne) {
    GenerationSetup setup = RunnableSetup(DesignKind::TwoGroupsDV2, 8);
    for (int box = 1; box <= 8; ++box) {
        setup.Box(box).mean = 100.0 * box;
        setup.Box(box).sd = 0.001;
    }
    setup.Box(1).n = setup.Box(2).n = 7;
    setup.Box(5).n = setup.Box(6).n = 4;
    RecountCases(setup);
    Run(setup);
    ASSERT_EQ(setup.totalCases, 11);
    for (int row = 0; row < 11; ++row) {
        const bool groupTwo = row >= 7;
        EXPECT_NEAR(tables->generatedData.At(row, 0), groupTwo ? 500.0 : 100.0, 0.01);
        EXPECT_NEAR(tables->generatedData.At(row, 1), groupTwo ? 600.0 : 200.0, 0.01);
    }
}

TEST_F(GenerateDataTest, EachColumnFollowsTheShapeOfItsOwnBox) {
    GenerationSetup setup = RunnableSetup(DesignKind::TwoDVGroups1, 3, 25000);
    setup.Box(5).distribution = DistributionKind::SkewPos;
    setup.Box(1).mean = 10.0;
    setup.Box(5).mean = 10.0;
    setup.Box(5).sd = 2.0;
    Run(setup);
    std::vector<double> skewed = Column(setup, 1);
    const double mean = Mean(skewed);
    EXPECT_NEAR(mean, 10.0, 0.05);
    EXPECT_NEAR(Sd(skewed), 2.0, 0.05);
    std::nth_element(skewed.begin(), skewed.begin() + skewed.size() / 2, skewed.end());
    EXPECT_LT(skewed[skewed.size() / 2], mean)
        << "a right-skewed sample has its median below its mean";
    // Beta(2, 6) lies in (0, 1): scores lie within (0 - 0.25) / s and (1 - 0.25) / s SDs.
    const double s = std::sqrt(12.0 / 576.0);
    for (double score : skewed) {
        ASSERT_GT(score, 10.0 + 2.0 * (0.0 - 0.25) / s);
        ASSERT_LT(score, 10.0 + 2.0 * (1.0 - 0.25) / s);
    }
}

TEST_F(GenerateDataTest, LargeSamplesMatchTheirPopulations) {
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated4, 2024, 25000);
    setup.Box(1).mean = 50.0;
    setup.Box(1).sd = 10.0;
    setup.Box(2).mean = -3.0;
    setup.Box(2).sd = 0.5;
    setup.Box(3).distribution = DistributionKind::SkewNeg;
    setup.Box(3).mean = 100.0;
    setup.Box(3).sd = 15.0;
    setup.Box(4).distribution = DistributionKind::Uniform;
    setup.Box(4).minScore = 0.0;
    setup.Box(4).maxScore = 1.0;
    SetCorrelation(setup, 1, 2, 0.6);
    Run(setup);
    const auto x1 = Column(setup, 0);
    const auto x2 = Column(setup, 1);
    const auto x3 = Column(setup, 2);
    // Within four standard errors.
    EXPECT_NEAR(Mean(x1), 50.0, 4 * 10.0 / std::sqrt(25000.0));
    EXPECT_NEAR(Sd(x1), 10.0, 4 * 10.0 / std::sqrt(50000.0));
    EXPECT_NEAR(Mean(x2), -3.0, 4 * 0.5 / std::sqrt(25000.0));
    EXPECT_NEAR(Correlation(x1, x2), 0.6, 4 * (1 - 0.36) / std::sqrt(25000.0));
    EXPECT_NEAR(Correlation(x1, x3), 0.0, 4 / std::sqrt(25000.0));
    std::vector<double> left = x3;
    const double mean3 = Mean(left);
    EXPECT_NEAR(mean3, 100.0, 4 * 15.0 / std::sqrt(25000.0));
    EXPECT_NEAR(Sd(x3), 15.0, 0.3);
    std::nth_element(left.begin(), left.begin() + left.size() / 2, left.end());
    EXPECT_GT(left[left.size() / 2], mean3) << "a left-skewed sample has its median above its mean";
    for (double score : Column(setup, 3)) {
        ASSERT_GE(score, 0.0);
        ASSERT_LE(score, 1.0);
    }
}

// Skewed and uniform variables that take part in a correlation keep the mean, SD and
// correlation asked for: before, a "+ Skew" variable correlated -0.29 with a "-- Skew" one came
// out with mean 3.94 where 26.7 was asked.
TEST_F(GenerateDataTest, CorrelatedVariablesOfEveryShapeKeepTheirMomentsAndCorrelations) {
    constexpr int kCases = 25000;
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated4, 77, kCases);
    setup.Box(1).distribution = DistributionKind::SkewNeg;
    setup.Box(1).mean = 50.0;
    setup.Box(1).sd = 10.0;
    setup.Box(2).distribution = DistributionKind::SkewPos;
    setup.Box(2).mean = 26.7;
    setup.Box(2).sd = 14.2;
    setup.Box(3).distribution = DistributionKind::Uniform;
    setup.Box(3).minScore = 10.0;
    setup.Box(3).maxScore = 20.0;
    SetCorrelation(setup, 1, 2, -0.29);
    SetCorrelation(setup, 2, 3, 0.4);
    SetCorrelation(setup, 3, 4, 0.5);
    SetCorrelation(setup, 1, 4, 0.2);
    Run(setup);
    const std::vector<double> columns[] = {Column(setup, 0), Column(setup, 1), Column(setup, 2),
                                           Column(setup, 3)};
    const double root = std::sqrt(static_cast<double>(kCases));
    // Within five standard errors; a skewed sample's SD has a wider error than a Normal one's.
    EXPECT_NEAR(Mean(columns[0]), 50.0, 5 * 10.0 / root);
    EXPECT_NEAR(Sd(columns[0]), 10.0, 5 * 2 * 10.0 / std::sqrt(2.0 * kCases));
    EXPECT_NEAR(Mean(columns[1]), 26.7, 5 * 14.2 / root);
    EXPECT_NEAR(Sd(columns[1]), 14.2, 5 * 2 * 14.2 / std::sqrt(2.0 * kCases));
    EXPECT_NEAR(Mean(columns[2]), 15.0, 5 * 2.8868 / root);
    // Mixed as a Normal deviate and only then made uniform, it has no tails for Min and Max
    // to cut, and so the uniform shape's SD.
    EXPECT_NEAR(Sd(columns[2]), 10.0 / std::sqrt(12.0), 0.01 * 10.0 / std::sqrt(12.0));
    for (double score : columns[2]) {
        ASSERT_GE(score, 10.0);
        ASSERT_LE(score, 20.0);
    }
    EXPECT_NEAR(Correlation(columns[0], columns[1]), -0.29, 5 / root);
    EXPECT_NEAR(Correlation(columns[1], columns[2]), 0.4, 5 / root);
    EXPECT_NEAR(Correlation(columns[2], columns[3]), 0.5, 5 / root);
    EXPECT_NEAR(Correlation(columns[0], columns[3]), 0.2, 5 / root);
    EXPECT_NEAR(Correlation(columns[0], columns[2]), 0.0, 5 / root);
}

TEST_F(GenerateDataTest, AColumnWithoutCorrelationsKeepsTheScalingOfItsShape) {
    // Variable 3 is correlated with nothing, so its Beta deviates are scaled as in a one-group
    // design: every score lies inside the Beta(2, 6) range.
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated3, 5, 2000);
    SetCorrelation(setup, 1, 2, 0.7);
    setup.Box(3).distribution = DistributionKind::SkewPos;
    setup.Box(3).mean = 10.0;
    setup.Box(3).sd = 2.0;
    Run(setup);
    const std::vector<double> third = Column(setup, 2);
    GenerationSetup alone = RunnableSetup(DesignKind::Correlated3, 5, 2000);
    alone.Box(3) = setup.Box(3);
    Run(alone);
    EXPECT_EQ(Column(alone, 2), third) << "a correlation between 1 and 2 must not move column 3";
}

TEST_F(GenerateDataTest, ReliabilityWidensTheObservedSpread) {
    GenerationSetup setup = RunnableSetup(DesignKind::Groups1, 64, 25000);
    setup.Box(1).sd = 10.0;
    setup.reliability = 0.64;
    Run(setup);
    EXPECT_NEAR(Sd(Column(setup, 0)), 12.5, 4 * 12.5 / std::sqrt(50000.0));
}

TEST_F(GenerateDataTest, MissingAndExtremeSharesAndTheLimits) {
    GenerationSetup setup = RunnableSetup(DesignKind::Groups2, 11, 25000);
    setup.Box(1).mean = 40.0;
    setup.Box(1).sd = 10.0;
    setup.Box(1).minScore = 0.0;
    setup.Box(1).maxScore = 50.0;
    setup.missingPercent = 5;
    setup.missingFraction = 0.05;
    setup.extremePercent = 3;
    setup.extremeFraction = 0.03;
    Run(setup);
    int missing = 0;
    int beyond = 0;
    for (int row = 0; row < setup.totalCases; ++row) {
        const double score = tables->generatedData.At(row, 0);
        if (score == MissingMark) {
            ++missing;
            continue;
        }
        if (row < 25000 && (score < 0.0 || score > 50.0)) {
            ++beyond;
            // Only an extreme score leaves the limits, by one to two true-score SDs.
            const double distance = score > 50.0 ? score - 50.0 : -score;
            EXPECT_LE(distance, 20.0);
        }
    }
    EXPECT_NEAR(missing / 50000.0, 0.05, 0.004);
    EXPECT_GT(beyond, 0);
    EXPECT_LT(beyond, 0.03 * 25000);
}

TEST_F(GenerateDataTest, AllMissingAtOneHundredPercent) {
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated2, 12, 50);
    setup.missingPercent = 100;
    setup.missingFraction = 1.0;
    for (double score : Run(setup)) EXPECT_EQ(score, MissingMark);
}

// Seed 0 starts its streams afresh like every other seed: its first run draws missing and
// extreme scores as any seed does (once every score was extreme), and a later run after
// another seed's writes the same scores again.
TEST_F(GenerateDataTest, SeedZeroIsASeedLikeAnyOther) {
    GenerationSetup setup = RunnableSetup(DesignKind::Groups1, 0, 400);
    setup.extremePercent = 3;
    setup.extremeFraction = 0.03;
    setup.missingPercent = 3;
    setup.missingFraction = 0.03;
    const std::vector<double> first = Run(setup);
    int extreme = 0;
    int missing = 0;
    for (int row = 0; row < 400; ++row) {
        const double score = tables->generatedData.At(row, 0);
        missing += score == MissingMark ? 1 : 0;
        extreme += score != MissingMark && score != tables->trueScoreTable.At(row, 0) ? 1 : 0;
    }
    EXPECT_GT(extreme, 0);
    EXPECT_LT(extreme, 40);
    EXPECT_GT(missing, 0);
    EXPECT_LT(missing, 40);

    GenerationSetup seeded = RunnableSetup(DesignKind::Groups1, 9, 400);
    Run(seeded);
    EXPECT_EQ(Run(setup), first);
}

}  // namespace
}  // namespace zek

namespace zek {
namespace {

#ifndef NDEBUG
using GenerateDataDeathTest = GenerateDataTest;

TEST_F(GenerateDataDeathTest, ASetupBeyondTheTablesIsAProgrammingError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    GenerationSetup tooMany = testing::RunnableSetup(DesignKind::Groups8, 1, 25000);
    tooMany.Box(3).n = 25001;
    testing::RecountCases(tooMany);
    EXPECT_DEATH((void)GenerateData(tooMany, streams, *tables, record), "fit the tables");

    GenerationSetup miscounted = testing::RunnableSetup(DesignKind::Groups2, 1, 25);
    miscounted.totalCases = 200001;
    EXPECT_DEATH((void)GenerateData(miscounted, streams, *tables, record), "fit the tables");
}
#endif

}  // namespace
}  // namespace zek
