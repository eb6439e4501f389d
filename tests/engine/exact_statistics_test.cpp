// With exact sample statistics, the scores as the data file writes them have the asked mean
// and SD at each box's decimals and the asked correlations at two decimals.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/generate_data.h"
#include "support/runnable_setup.h"
#include "support/sample_moments.h"

namespace zek {
namespace {

using testing::Correlation;
using testing::RunnableSetup;
using testing::SetCorrelation;

double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

class ExactStatisticsTest : public ::testing::Test {
  protected:
    std::unique_ptr<GenerationTables> tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;

    void ExpectExact(GenerationSetup& setup) {
        setup.exactStatistics = true;
        ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
        for (const DataBlock& block : LayoutOf(setup)) {
            std::vector<std::vector<double>> columns;
            for (int v = 0; v < setup.variableCount; ++v) {
                const BoxParameters& box = setup.Box(block.BoxOfColumn(v));
                std::vector<double> column;
                for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                    const double score = tables->generatedData.At(row, v);
                    ASSERT_EQ(score, Rounded(score, box.decimals)) << "on the written grid";
                    column.push_back(score);
                }
                SCOPED_TRACE("box " + std::to_string(block.BoxOfColumn(v)));
                EXPECT_EQ(Rounded(testing::Mean(column), box.decimals),
                          Rounded(box.mean, box.decimals));
                EXPECT_EQ(Rounded(testing::Sd(column), box.decimals),
                          Rounded(box.sd, box.decimals));
                columns.push_back(std::move(column));
            }
            for (int i = 1; i <= setup.variableCount; ++i) {
                for (int j = i + 1; j <= setup.variableCount; ++j) {
                    EXPECT_EQ(Rounded(Correlation(columns[static_cast<std::size_t>(i - 1)],
                                                  columns[static_cast<std::size_t>(j - 1)]),
                                      2),
                              Rounded(setup.correlations.full[i - 1][j - 1], 2))
                        << "r" << i << j;
                }
            }
            EXPECT_FALSE(record.exactNotes.correlationsShort);
        }
    }
};

void Shape(GenerationSetup& setup, double mean, double sd, int decimals) {
    for (int box = 1; box <= kBoxCount; ++box) {
        BoxParameters& parameters = setup.Box(box);
        parameters.mean = mean + 7.0 * box;
        parameters.sd = sd + box;
        parameters.decimals = decimals + box % 2;
        if (box % 3 == 0) parameters.distribution = DistributionKind::SkewPos;
    }
}

TEST_F(ExactStatisticsTest, EveryFamilyWritesTheAskedFigures) {
    int seed = 10;
    for (DesignKind kind : {DesignKind::Groups8, DesignKind::TwoGroupsDV4, DesignKind::TwoDVGroups4,
                            DesignKind::Factorial2x2x2, DesignKind::TwoDV2x2,
                            DesignKind::Regression7, DesignKind::Correlated8}) {
        for (int n : {10, 37, 400}) {
            SCOPED_TRACE("design " + std::to_string(static_cast<int>(kind)) + " n " +
                         std::to_string(n));
            GenerationSetup setup = RunnableSetup(kind, ++seed, n);
            Shape(setup, 50.0, 9.5, 1);
            for (int i = 1; i <= setup.variableCount; ++i) {
                for (int j = i + 1; j <= setup.variableCount; ++j) {
                    SetCorrelation(setup, i, j, i == 1 && j == 2 ? 0.6 : 0.3);
                }
            }
            ExpectExact(setup);
        }
    }
}

TEST_F(ExactStatisticsTest, TheSeedStillDecidesTheData) {
    GenerationSetup first = RunnableSetup(DesignKind::Correlated3, 5, 50);
    SetCorrelation(first, 1, 2, 0.5);
    first.exactStatistics = true;
    GenerationSetup second = first;
    second.seed = 6;
    auto column = [&](const GenerationSetup& setup) {
        EXPECT_FALSE(GenerateData(setup, streams, *tables, record));
        std::vector<double> values;
        for (int row = 0; row < setup.totalCases; ++row)
            values.push_back(tables->generatedData.At(row, 0));
        return values;
    };
    const std::vector<double> once = column(first);
    EXPECT_EQ(column(first), once);
    EXPECT_NE(column(second), once);
}

TEST_F(ExactStatisticsTest, LaterStepsAndShortBlocksAreNoted) {
    GenerationSetup setup = RunnableSetup(DesignKind::Correlated8, 3, 5);
    SetCorrelation(setup, 1, 2, 0.5);
    setup.exactStatistics = true;
    ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
    EXPECT_TRUE(record.exactNotes.correlationsShort) << "5 cases cannot carry 8 variables";

    GenerationSetup limited = RunnableSetup(DesignKind::Groups2, 3, 200);
    limited.Box(1).maxScore = 0.5;
    limited.exactStatistics = true;
    ASSERT_FALSE(GenerateData(limited, streams, *tables, record));
    EXPECT_TRUE(record.exactNotes.limitsCut);

    GenerationSetup uniform = RunnableSetup(DesignKind::Groups1, 3, 200);
    uniform.Box(1).distribution = DistributionKind::Uniform;
    uniform.Box(1).minScore = -1.0;
    uniform.Box(1).maxScore = 1.0;
    uniform.exactStatistics = true;
    ASSERT_FALSE(GenerateData(uniform, streams, *tables, record));
    EXPECT_FALSE(record.exactNotes.limitsCut);
    for (int row = 0; row < 200; ++row) {
        ASSERT_GE(tables->generatedData.At(row, 0), -1.0);
        ASSERT_LE(tables->generatedData.At(row, 0), 1.0);
    }
}

// A Uniform box that correlates with a skewed one: putting the scores on the written grid
// moves some by a step to keep the mean and SD, but never past the box's limits (once 64
// steps of them went below 0 and above 100).
TEST_F(ExactStatisticsTest, NoStepOfTheGridLeavesAUniformBoxsLimits) {
    for (int seed = 1; seed <= 6; ++seed) {
        GenerationSetup setup = RunnableSetup(DesignKind::Correlated3, seed, 2000);
        BoxParameters& uniform = setup.Box(1);
        uniform.distribution = DistributionKind::Uniform;
        uniform.minScore = 0.0;
        uniform.maxScore = 100.0;
        uniform.mean = 50.0;
        uniform.sd = 28.8675;
        setup.Box(2).distribution = DistributionKind::SkewPos;
        for (int box = 2; box <= 3; ++box) {
            setup.Box(box).mean = 50.0;
            setup.Box(box).sd = 10.0;
        }
        SetCorrelation(setup, 1, 2, 0.9);
        SetCorrelation(setup, 1, 3, 0.3);
        SetCorrelation(setup, 2, 3, 0.2);
        setup.exactStatistics = true;
        ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
        for (int row = 0; row < 2000; ++row) {
            ASSERT_GE(tables->generatedData.At(row, 0), 0.0) << "seed " << seed;
            ASSERT_LE(tables->generatedData.At(row, 0), 100.0) << "seed " << seed;
        }
    }
}

// On the written grid the sum of a box's scores lies within half a step of its target and
// its SD within a quarter step, in steps of the last decimal: no closer grid exists for the
// sum, and the spread is mended pair by pair until it is that close.
TEST_F(ExactStatisticsTest, OnTheGridTheSumIsWithinHalfAStepAndTheSdAQuarter) {
    for (int decimals = 0; decimals <= 2; ++decimals) {
        for (int seed = 1; seed <= 5; ++seed) {
            SCOPED_TRACE(std::to_string(decimals) + " decimals, seed " + std::to_string(seed));
            GenerationSetup setup = RunnableSetup(DesignKind::Groups2, seed, 60);
            for (int box = 1; box <= 2; ++box) {
                setup.Box(box).mean = 50.37 + box;
                setup.Box(box).sd = 10.3;
                setup.Box(box).decimals = decimals;
            }
            setup.exactStatistics = true;
            ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
            const double scale = std::pow(10.0, decimals);
            for (const DataBlock& block : LayoutOf(setup)) {
                const BoxParameters& box = setup.Box(block.BoxOfColumn(0));
                std::vector<double> steps;
                for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                    steps.push_back(std::round(tables->generatedData.At(row, 0) * scale));
                }
                double sum = 0.0;
                for (const double step : steps) sum += step;
                EXPECT_LE(std::fabs(sum - box.mean * scale * block.rowCount), 0.5 + 1e-9);
                EXPECT_LT(std::fabs(testing::Sd(steps) - box.sd * scale), 0.25);
            }
        }
    }
}

}  // namespace
}  // namespace zek
