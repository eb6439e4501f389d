#include "stats/score_plots.h"

#include <gtest/gtest.h>

#include <limits>

#include <cmath>
#include <vector>

#include "support/runnable_setup.h"

namespace zek {
namespace {

// A flat sample of written scores fills every bin alike: no bin gets one grid value more
// than its neighbours.
// A box with limits has its axis within them: a Uniform box from its Min to its Max (not the
// mean give or take three SDs, -43 to 137 for 0 to 100), a Normal box cut at a Max up to it.
TEST(ScorePlotsTest, TheAxisOfABoxWithLimitsStaysWithinThem) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups1, 1, 200);
    BoxParameters& box = setup.Box(1);
    box.distribution = DistributionKind::Uniform;
    box.minScore = 0.0;
    box.maxScore = 100.0;
    box.mean = 50.0;
    box.sd = 100.0 / std::sqrt(12.0);
    std::vector<std::vector<double>> rows;
    for (int k = 0; k < 200; ++k) rows.push_back({k / 2.0});
    const Histogram uniform =
        ComputeScorePlots(testing::RecordedAsAsked(setup), rows).histograms.at(0);
    const double high = uniform.low + uniform.binWidth * static_cast<double>(uniform.counts.size());
    EXPECT_GT(uniform.low, -uniform.binWidth);
    EXPECT_LT(high, 100.0 + uniform.binWidth);

    box.distribution = DistributionKind::Normal;
    box.minScore = NoLimit;
    box.maxScore = 60.0;
    box.sd = 10.0;
    const Histogram cut = ComputeScorePlots(testing::RecordedAsAsked(setup), rows).histograms.at(0);
    EXPECT_LT(cut.low, 20.0);
    EXPECT_LT(cut.low + cut.binWidth * static_cast<double>(cut.counts.size()),
              100.0 + cut.binWidth);
}

TEST(ScorePlotsTest, WrittenScoresOfAFlatSampleFillEveryBinAlike) {
    for (int decimals : {0, 1, 2, 3}) {
        SCOPED_TRACE("decimals " + std::to_string(decimals));
        GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups1, 1, 2000);
        BoxParameters& box = setup.Box(1);
        box.decimals = decimals;
        box.distribution = DistributionKind::Uniform;
        const double step = std::pow(10.0, -decimals);
        const int gridValues = 700;  // 2^2 * 5^2 * 7
        box.minScore = 0.0;
        box.maxScore = (gridValues - 1) * step;
        box.mean = box.maxScore / 2;
        box.sd = box.maxScore / std::sqrt(12.0);
        std::vector<std::vector<double>> rows;
        for (int k = 0; k < gridValues; ++k) {
            const double written =
                std::round(k * step * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
            rows.push_back({written});
        }
        setup.totalCases = static_cast<int>(rows.size());
        const ScorePlots plots = ComputeScorePlots(testing::RecordedAsAsked(setup), rows);
        ASSERT_EQ(plots.histograms.size(), 1u);
        const Histogram& histogram = plots.histograms[0];
        const auto perBin = static_cast<int>(std::lround(histogram.binWidth / step));
        int inside = 0;
        for (std::size_t bin = 0; bin < histogram.counts.size(); ++bin) {
            const double left = histogram.low + histogram.binWidth * static_cast<double>(bin);
            const bool wholeBinInRange =
                left > box.minScore && left + histogram.binWidth < box.maxScore;
            if (wholeBinInRange) {
                EXPECT_EQ(histogram.counts[bin], perBin) << "bin " << bin;
            }
            inside += histogram.counts[bin];
        }
        EXPECT_EQ(inside, gridValues);
        // 700 grid values between the limits: every bar holding scores is full, also the
        // first above the Min and the last below the Max.
        for (int count : histogram.counts) {
            if (count != 0) {
                EXPECT_EQ(count, perBin);
            }
        }
    }
}

}  // namespace
}  // namespace zek

namespace zek {
namespace {

// Under repeated measures each occasion's mean comes with t's 95% interval over its present
// scores (qt(0.975, 3) = 3.18245 for four), and every case's path is drawn when there are
// no more than twenty.
TEST(ScorePlotsTest, OccasionMeansCarryTheirConfidenceIntervals) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated3, 1, 5);
    const double nan = std::nan("");
    const std::vector<std::vector<double>> rows{
        {1, 2, 4}, {2, 4, 5}, {3, 4, 9}, {6, 6, nan}, {3, 4, 2}};
    EXPECT_TRUE(ComputeScorePlots(testing::RecordedAsAsked(setup), rows).occasions.empty());
    setup.repeatedMeasures = true;
    const ScorePlots plots = ComputeScorePlots(testing::RecordedAsAsked(setup), rows);
    ASSERT_EQ(plots.occasions.size(), 1u);
    const OccasionPanel& panel = plots.occasions[0];
    EXPECT_DOUBLE_EQ(panel.means[0], 3.0);
    const double sd = std::sqrt(3.5);  // 1 2 3 6 3 about 3
    EXPECT_NEAR(panel.upper[0] - panel.means[0], 2.776445105197793 * sd / std::sqrt(5.0), 1e-12);
    EXPECT_DOUBLE_EQ(panel.means[2], 5.0);  // 4 5 9 2, the missing one left out
    EXPECT_NEAR(panel.means[2] - panel.lower[2], 3.182446305284263 * std::sqrt(26.0 / 3.0) / 2.0,
                1e-12);
    EXPECT_EQ(panel.paths.size(), 5u);
    EXPECT_TRUE(panel.label.empty());
}

// A categorical design's counts are bars, a panel per column of its table, with the asked
// percentage beside the got one of the column's cases.
TEST(ScorePlotsTest, ATablesCountsAreBarsPerColumn) {
    GeneratedRun run;
    ApplyDesign(Design(DesignKind::Table2x2), run.setup);
    run.setup.categories.percentagesOf = PercentagesOf::ColumnsCases;
    run.setup.categories.percentages = {30, 60, 70, 40};
    run.setup.categories.columnN = {4, 2};
    run.setup.columnNames.levelLabels["var2"][2] = "treated";
    const double missing = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> rows{{1, 1},       {2, 1}, {2, 1},
                                                {missing, 1}, {1, 2}, {2, 2}};
    const ScorePlots plots = ComputeScorePlots(run, rows);
    EXPECT_TRUE(plots.histograms.empty());
    EXPECT_TRUE(plots.scatter.empty());
    ASSERT_EQ(plots.bars.size(), 2u);
    EXPECT_EQ(plots.bars[0].label, "var2 = 1");
    EXPECT_EQ(plots.bars[1].label, "treated");
    EXPECT_EQ(plots.bars[0].categories, (std::vector<std::string>{"var1 = 1", "var1 = 2"}));
    EXPECT_EQ(plots.bars[0].counts, (std::vector<int>{1, 2}));
    EXPECT_NEAR(plots.bars[0].actual[1], 200.0 / 3, 1e-12) << "of the column's three cases";
    EXPECT_EQ(plots.bars[1].asked, (std::vector<double>{60, 40}));
    EXPECT_EQ(plots.bars[1].actual, (std::vector<double>{50, 50}));
}

}  // namespace
}  // namespace zek
