#include "files/answer_key.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "engine/generate_data.h"
#include "support/runnable_setup.h"
#include "support/text_files.h"

namespace zek {
namespace {

double Figure(const AnswerKey& key, const std::string& name) {
    for (const KeySection& section : key.sections) {
        for (const KeyFigure& figure : section.figures) {
            if (figure.name == name) return figure.value;
        }
    }
    ADD_FAILURE() << "no figure " << name;
    return 0.0;
}

class AnswerKeyTest : public ::testing::Test {
  protected:
    std::unique_ptr<ScoreTable> table = testing::ZeroedScoreTable();
};

// Students load the rounded scores: a mean computed from the unrounded ones (as the
// information file reports it) once disagreed with what R gave them.
TEST_F(AnswerKeyTest, FiguresComeFromTheScoresAsWritten) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 1, 3);
    setup.Box(1).decimals = 1;
    const double first[] = {1.04, 2.06, MissingMark};
    const double second[] = {3.0, 4.0, 5.0};
    for (int row = 0; row < 3; ++row) {
        table->At(row, 0) = first[row];
        table->At(3 + row, 0) = second[row];
    }
    const AnswerKey key = ComputeAnswerKey(setup, *table);
    EXPECT_EQ(Figure(key, "group1_n"), 2);
    EXPECT_DOUBLE_EQ(Figure(key, "group1_mean"), (1.0 + 2.1) / 2) << "1.04 is written 1.0";
    EXPECT_DOUBLE_EQ(Figure(key, "group2_mean"), 4.0);
    EXPECT_DOUBLE_EQ(Figure(key, "mean_difference"), 1.55 - 4.0);
    EXPECT_GT(Figure(key, "student_p"), 0.0);
}

TEST_F(AnswerKeyTest, EachFamilyGetsItsTests) {
    const struct {
        DesignKind design;
        const char* figure;
    } cases[] = {{DesignKind::Groups4, "anova_f"},
                 {DesignKind::TwoGroupsDV1, "welch_df"},
                 {DesignKind::TwoGroupsDV3, "dv3_cohens_d"},
                 {DesignKind::TwoDVGroups1, "paired_t"},
                 {DesignKind::TwoDVGroups3, "var2_eta_squared"},
                 {DesignKind::TwoDVGroups2, "group2_r12_p"},
                 {DesignKind::Factorial2x2x2, "A_B_C_p"},
                 {DesignKind::TwoDV2x2, "dv2_A_B_f"},
                 {DesignKind::Regression2, "x2_estimate"},
                 {DesignKind::Correlated3, "r23_n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.design));
        GenerationSetup setup = testing::RunnableSetup(c.design, 7, 30);
        auto tables = std::make_unique<GenerationTables>();
        RandomStreams streams;
        GenerateData(setup, streams, *tables);
        const AnswerKey key = ComputeAnswerKey(setup, tables->generatedData);
        EXPECT_FALSE(std::isnan(Figure(key, c.figure)));
    }
}

TEST_F(AnswerKeyTest, TheClassKeyHasOneRowPerDatasetUnderOneHeader) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 1, 2);
    for (int row = 0; row < 4; ++row) table->At(row, 0) = row;
    const AnswerKey key = ComputeAnswerKey(setup, *table);
    std::ostringstream out;
    WriteClassKey(out, {{1, 40, "/tmp/class_1.csv", key}, {2, 41, "/tmp/a,b.csv", key}});
    const auto lines = testing::SplitCrLf(out.str());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("dataset,seed,data_file,group1_n,group1_mean,group1_sd,"));
    EXPECT_TRUE(lines[1].starts_with("1,40,class_1.csv,2,0.5,0.7071067812,"));
    EXPECT_TRUE(lines[2].starts_with("2,41,\"a,b.csv\",2,"));
    const auto fields = [](const std::string& line) {
        return std::count(line.begin(), line.end(), ',');
    };
    EXPECT_EQ(fields(lines[1]), fields(lines[0]));
    EXPECT_EQ(KeyFileNameFor("/tmp/class_01.csv"), "/tmp/class_01_key.TXT");
    EXPECT_EQ(ClassKeyFileNameFor("/tmp/class.csv"), "/tmp/class_key.csv");
}

}  // namespace
}  // namespace zek
