#include "files/information_file.h"
#include "stats/actual_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <vector>

#include "engine/generate_data.h"
#include "support/runnable_setup.h"

namespace zek {
namespace {

class InformationFileTest : public ::testing::Test {
  protected:
    std::unique_ptr<ScoreTable> table = testing::ZeroedScoreTable();
    ActualStatistics statistics;
    ReportFooterLines footer{"Qarn (Version 18.9.8)", "line two", "line three"};

    std::string Report(const GeneratedRun& run) {
        std::ostringstream out;
        ComputeActualStatistics(run.setup, *table, statistics);
        WriteInformationFile(out, run, statistics, footer);
        return out.str();
    }
    std::string Report(const GenerationSetup& setup) {
        return Report(testing::RecordedAsAsked(setup));
    }
    std::vector<std::string> Lines(const GeneratedRun& run) {
        std::vector<std::string> lines;
        std::istringstream in(Report(run));
        for (std::string line; std::getline(in, line);) {
            EXPECT_FALSE(line.empty() || line.back() != '\r') << "every line ends with CR LF";
            if (!line.empty()) line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> Lines(const GenerationSetup& setup) {
        return Lines(testing::RecordedAsAsked(setup));
    }
    static bool Contains(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(InformationFileTest, WholeReportOfATwoGroupRun) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 1804, 3);
    setup.title = "Übung 3: Körpergröße";
    setup.Box(1).mean = 50.0;
    setup.Box(1).sd = 10.0;
    setup.Box(1).decimals = 0;
    setup.Box(1).maxScore = 80.0;
    setup.Box(2).mean = 47.5;
    setup.Box(2).sd = 10.0;
    setup.Box(2).decimals = 1;
    setup.Box(2).minScore = 20.0;
    setup.Box(2).distribution = DistributionKind::RandomlyChosen;
    setup.missingPercent = 3;
    setup.dataFileName = "/home/teacher/scores.csv";
    // The run drew Uniform for box 2 and gave it the Max its SD spans.
    GeneratedRun run = testing::RecordedAsAsked(setup);
    run.record.boxes[1] = {DistributionKind::Uniform, true, 20.0, 80.0};
    const double scores[] = {1, 2, 3, 10, MissingMark, 20};
    for (int row = 0; row < 6; ++row) table->At(row, 0) = scores[row];

    const std::string expected =
        "  (For best viewing, change Font to COURIER NEW 10 point)\r\n"
        "***************************************************************\r\n"
        "TITLE:  Übung 3: Körpergröße\r\n"
        "***************************************************************\r\n"
        "\r\n"
        "GENERAL INFORMATION: \r\n"
        "-------------------- \r\n"
        "\r\n"
        "                        Generator Seed: 1804\r\n"
        "                   Number of Variables: 1\r\n"
        "                     Number of Factors: 1\r\n"
        "         Number of Levels for Factor 1: 2\r\n"
        "   Total Number of Cells in the Design: 2\r\n"
        "  Reliability for Continuous Variables: 1.000\r\n"
        "                 Total Number of Cases: 6\r\n"
        "\r\n"
        "               Percentage Missing Data: 3%\r\n"
        "               Perecetage Extreme Data: 0%\r\n"
        "\r\n"
        "***************************************************************\r\n"
        "\r\n"
        "DATA GENERATION PARAMETERS SET BY USER: \r\n"
        "--------------------------------------- \r\n"
        "\r\n"
        "                          Pop.    Pop.   Dec.    Min.    Max.           \r\n"
        "            Group   N     Mean    S.D.   Places  Score   Score    Dist. \r\n"
        "            ----- ------ ------  ------  ------  ------  ------  -------\r\n"
        "Variable1     1       3   50.00   10.00       0           80.00  Normal \r\n"
        "Variable1     2       3   47.50   10.00       1   20.00   80.00  Uniform*\r\n"
        "\r\n"
        "-------------------------------------------------------------\r\n"
        "* indicates that a randomly chosen distribution was requested\r\n"
        "\r\n"
        "***************************************************************\r\n"
        "\r\n"
        "ACTUAL MEANS AND STANDARD DEVIATIONS FOR GENERATED DATA: \r\n"
        "-------------------------------------------------------- \r\n"
        "\r\n"
        "                         Actual  Actual  \r\n"
        "            Group   N     Mean    S.D.   \r\n"
        "            ----- ------ ------  ------  \r\n"
        "Variable1     1       3    2.00    1.00\r\n"
        "Variable1     2       2   15.00    7.07\r\n"
        "\r\n"
        "***************************************************************\r\n"
        "\r\n"
        "GENERATED DATA FILE NAME AND LOCATION: \r\n"
        "-------------------------------------- \r\n"
        "\r\n"
        "  /home/teacher/scores.csv\r\n"
        "\r\n"
        "***************************************************************\r\n"
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\r\n"
        "Qarn (Version 18.9.8)\r\n"
        "line two\r\n"
        "line three\r\n";
    EXPECT_EQ(Report(run), expected);
}

TEST_F(InformationFileTest, NoFootnoteWithoutARandomShapeAndBlankLimits) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups1, 3, 25);
    setup.Box(1).distribution = DistributionKind::SkewNeg;
    const auto lines = Lines(setup);
    EXPECT_TRUE(Contains(
        lines, "Variable1     1      25    0.00    1.00       2                  SkewNeg"));
    EXPECT_FALSE(Contains(lines, "* indicates that a randomly chosen distribution was requested"));
    const auto parameterRow =
        std::find(lines.begin(), lines.end(),
                  "Variable1     1      25    0.00    1.00       2                  SkewNeg");
    EXPECT_EQ(*(parameterRow + 1), "");
    EXPECT_EQ(*(parameterRow + 2), std::string(63, '*'));
}

// Exact statistics are stated under the title, with every step that moved them again, one
// line each; without the option nothing is said.
// Exact statistics swept over small N and 0 to 3 decimals: the report claims the asked mean
// and SD only where the written scores have them at the box's decimals, and names the box
// with what was written where they do not (N 2 at 0 decimals has no SD of 1.65).
TEST_F(InformationFileTest, AnExactRunClaimsOnlyWhatTheWrittenScoresShow) {
    int claimed = 0;
    int named = 0;
    for (const int n : {2, 3, 4, 5, 8}) {
        for (int decimals = 0; decimals <= 3; ++decimals) {
            for (const auto& [mean, sd] : {std::pair{4.9, 1.4}, {0.0, 1.65}, {50.0, 8.1549}}) {
                for (const int seed : {1, 2, 3}) {
                    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups1, seed, n);
                    setup.Box(1).mean = mean;
                    setup.Box(1).sd = sd;
                    setup.Box(1).decimals = decimals;
                    setup.exactStatistics = true;
                    auto tables = std::make_unique<GenerationTables>();
                    RandomStreams streams;
                    GeneratedRun run{setup, {}};
                    ASSERT_FALSE(GenerateData(setup, streams, *tables, run.record));
                    ComputeActualStatistics(setup, tables->generatedData, statistics);
                    std::ostringstream out;
                    WriteInformationFile(out, run, statistics, footer);
                    const std::string report = out.str();

                    const double scale = std::pow(10.0, decimals);
                    double sum = 0.0;
                    std::vector<double> written;
                    for (int row = 0; row < n; ++row) {
                        written.push_back(std::round(tables->generatedData.At(row, 0) * scale) /
                                          scale);
                        sum += written.back();
                    }
                    const double writtenMean = sum / n;
                    double squares = 0.0;
                    for (const double x : written) squares += (x - writtenMean) * (x - writtenMean);
                    const double writtenSd = std::sqrt(squares / (n - 1));
                    const bool hit =
                        std::llround(writtenMean * scale) == std::llround(mean * scale) &&
                        std::llround(writtenSd * scale) == std::llround(sd * scale);
                    const bool claims =
                        report.find("are the requested ones at each box's decimals.\r\n") !=
                        std::string::npos;
                    const bool names = report.find("\r\n  - box 1: mean ") != std::string::npos;
                    EXPECT_EQ(claims, hit) << "N " << n << ", " << decimals << " decimals, SD "
                                           << sd << ", seed " << seed << "\n"
                                           << report;
                    EXPECT_EQ(names, !hit);
                    claimed += claims ? 1 : 0;
                    named += names ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(claimed, 100);
    EXPECT_GT(named, 5);
}

TEST_F(InformationFileTest, ExactStatisticsNameEachStepThatMovedThem) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 3, 25);
    EXPECT_FALSE(
        Contains(Lines(setup), "to have exactly the requested means, SDs and correlations."));
    setup.exactStatistics = true;
    ExactRunNotes notes;
    auto exactLines = [&] {
        GeneratedRun run = testing::RecordedAsAsked(setup);
        run.record.exactNotes = notes;
        const auto lines = Lines(run);
        const auto first = std::find(lines.begin(), lines.end(),
                                     "EXACT SAMPLE STATISTICS were asked for: the scores were "
                                     "drawn and then made");
        EXPECT_EQ(first - lines.begin(), 5) << "under the title";
        std::vector<std::string> said;
        for (auto line = first + 2; line != lines.end() && !line->empty(); ++line) {
            said.push_back(*line);
        }
        return said;
    };
    EXPECT_EQ(exactLines(), (std::vector<std::string>{
                                "The data file's means and SDs are the requested ones at each "
                                "box's decimals."}));
    setup.reliability = 0.9;
    setup.missingPercent = 1;
    setup.extremePercent = 2;
    notes.limitsCut = true;
    notes.uniformNarrowed[1] = true;
    notes.correlationsShort = true;
    EXPECT_EQ(exactLines(),
              (std::vector<std::string>{
                  "These steps moved them again; the actual figures below are what was got:",
                  "  - measurement error (reliability below 1)", "  - missing values",
                  "  - extreme values", "  - scores cut by a Min or Max",
                  "  - box 2: Uniform scores kept within the limits, SD below the asked one",
                  "  - too few cases for exact correlations in a group or cell"}));
}

// Names and labels are listed under the general information; the tables keep their layout.
TEST_F(InformationFileTest, NamesAndLabelsAreListedBeforeTheTables) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 3, 25);
    const auto plain = Lines(setup);
    setup.columnNames.names = {{"group", "condition"}};
    setup.columnNames.labels = {{"dv", "Words recalled"}};
    setup.columnNames.levelLabels = {{"group", {{2, "Caffeine"}, {3, "not a level"}}}};
    const auto lines = Lines(setup);
    const auto heading =
        std::find(lines.begin(), lines.end(), "COLUMN NAMES AND LABELS IN THE DATA FILE: ");
    ASSERT_NE(heading, lines.end());
    EXPECT_EQ(std::vector<std::string>(heading + 3, heading + 6),
              (std::vector<std::string>{"  group -> condition", "      2 = Caffeine",
                                        "  dv: Words recalled"}));
    EXPECT_EQ(lines.size(), plain.size() + 9);  // heading, rule, blank, three lines, break
    EXPECT_TRUE(Contains(lines, "DATA GENERATION PARAMETERS SET BY USER: "));
}

TEST_F(InformationFileTest, WideValuesWidenTheirColumns) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups1, 3, 25);
    setup.Box(1).mean = 1234567.891;
    setup.reliability = 0.85;
    setup.extremePercent = 12;
    GeneratedRun run = testing::RecordedAsAsked(setup);
    run.record.boxes[0].chosenAtRandom = true;
    const auto lines = Lines(run);
    EXPECT_TRUE(Contains(
        lines, "Variable1     1      251234567.89    1.00       2                  Normal *"));
    EXPECT_TRUE(Contains(lines, "  Reliability for Continuous Variables: 0.850"));
    EXPECT_TRUE(Contains(lines, "               Perecetage Extreme Data: 12%"));
}

TEST_F(InformationFileTest, FactorialRowsAndHeadings) {
    GenerationSetup cube = testing::RunnableSetup(DesignKind::Factorial2x2x2, 3, 4);
    for (int box = 1; box <= 8; ++box) cube.Box(box).mean = box;
    const auto lines = Lines(cube);
    EXPECT_TRUE(Contains(lines, "         Number of Levels for Factor 3: 2"));
    EXPECT_TRUE(Contains(
        lines,
        "            Fac.1 Fac.2 Fac.3         Pop.    Pop.   Dec.    Min.    Max.           "));
    // Cells 1-1-1, 1-1-2, 1-2-1, ... are boxes 1, 2, 5, 6, 3, 4, 7, 8.
    const char* labels[] = {"Variable1     1     1     1  ", "Variable1     1     1     2  ",
                            "Variable1     1     2     1  ", "Variable1     1     2     2  ",
                            "Variable1     2     1     1  ", "Variable1     2     1     2  ",
                            "Variable1     2     2     1  ", "Variable1     2     2     2  "};
    const int boxes[] = {1, 2, 5, 6, 3, 4, 7, 8};
    for (int c = 0; c < 8; ++c) {
        const std::string mean = "    " + std::to_string(boxes[c]) + ".00";
        EXPECT_TRUE(Contains(lines, std::string(labels[c]) + "     4" + mean +
                                        "    1.00       2                  Normal "))
            << labels[c];
    }

    GenerationSetup twoByTwo = testing::RunnableSetup(DesignKind::TwoDV2x2, 3, 4);
    const auto twoLines = Lines(twoByTwo);
    EXPECT_TRUE(
        Contains(twoLines,
                 "Variable 1    2     1       4    0.00    1.00       2                  Normal "));
    EXPECT_TRUE(
        Contains(twoLines,
                 "Variable_2    1     2       4    0.00    1.00       2                  Normal "));
    EXPECT_TRUE(Contains(twoLines, "            Fac.1 Fac.2        Actual  Actual"));
}

TEST_F(InformationFileTest, CorrelationMatricesOfPairedVariables) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoDVGroups1, 3, 4);
    testing::SetCorrelation(setup, 1, 2, 0.5);
    const double x[] = {1, 2, 3, 4};
    const double y[] = {2, 4, 6, 8};
    for (int row = 0; row < 4; ++row) {
        table->At(row, 0) = x[row];
        table->At(row, 1) = y[row];
    }
    const auto lines = Lines(setup);
    EXPECT_TRUE(Contains(lines, "Variable1     1       4    2.50    1.29"));
    EXPECT_TRUE(Contains(lines, "Variable2     1       4    5.00    2.58"));
    const auto entered =
        std::find(lines.begin(), lines.end(), "LOWER TRIANGULAR CORRELATION MATRIX SET BY USER: ");
    ASSERT_NE(entered, lines.end());
    EXPECT_EQ(*(entered + 3), "         Var1   Var2");
    EXPECT_EQ(*(entered + 4), "       ------ ------");
    EXPECT_EQ(*(entered + 5), " Var1   1.000");
    EXPECT_EQ(*(entered + 6), " Var2   0.500  1.000");
    const auto actual = std::find(lines.begin(), lines.end(),
                                  "ACTUAL LOWER TRIANGULAR CORRELATION MATRIX (pairwise): ");
    ASSERT_NE(actual, lines.end());
    EXPECT_EQ(*(actual + 5), "Correlation in Total Sample");
    EXPECT_EQ(*(actual + 6), "");
    EXPECT_EQ(*(actual + 8), " Var2   1.000  1.000");
    EXPECT_EQ(*(actual + 10),
              "NOTE: The algorithm used to generate data requires certain assumptions.");
}

TEST_F(InformationFileTest, RegressionMatrixHeadingAndRowLabels) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Regression7, 3, 5);
    const auto lines = Lines(setup);
    EXPECT_TRUE(Contains(lines, "          DV     X1     X2     X3     X4     X5     X6     X7 "));
    EXPECT_TRUE(
        Contains(lines, "Outcome DV     5    0.00    1.00       2                  Normal "));
    EXPECT_TRUE(
        Contains(lines, "Predictor7     5    0.00    1.00       2                  Normal "));
    EXPECT_TRUE(Contains(lines, "   DV   1.000"));
    EXPECT_TRUE(Contains(lines, "   X7   0.000  0.000  0.000  0.000  0.000  0.000  0.000  1.000"));
    EXPECT_FALSE(Contains(lines, "Correlation in Total Sample"));

    GenerationSetup correlated = testing::RunnableSetup(DesignKind::Correlated3, 3, 5);
    const auto correlatedLines = Lines(correlated);
    EXPECT_TRUE(Contains(correlatedLines, "        Var 1  Var 2  Var 3"));
    EXPECT_TRUE(Contains(correlatedLines, "Var 1   1.000"));
    EXPECT_TRUE(Contains(correlatedLines,
                         "Variable3      5    0.00    1.00       2                  Normal "));
}

TEST_F(InformationFileTest, EveryColumnOfFourVariablesIsNamed) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoGroupsDV4, 3, 5);
    const auto lines = Lines(setup);
    EXPECT_TRUE(Contains(lines, "         Var1   Var2   Var3   Var4"));
    EXPECT_TRUE(Contains(lines, "       ------ ------ ------ ------"));
    EXPECT_TRUE(Contains(
        lines, "Variable4     2       5    0.00    1.00       2                  Normal "));
}

}  // namespace
}  // namespace zek
