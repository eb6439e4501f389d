#include "stats/answer_key.h"

#include "files/answer_key_file.h"
#include "files/data_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "engine/generate_data.h"
#include "stats/sample_tests.h"
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
    const AnswerKey key = ComputeAnswerKey(setup, ScoresAsWritten(setup, *table));
    EXPECT_EQ(Figure(key, "group1_n"), 2);
    EXPECT_DOUBLE_EQ(Figure(key, "group1_mean"), (1.0 + 2.1) / 2) << "1.04 is written 1.0";
    EXPECT_DOUBLE_EQ(Figure(key, "group2_mean"), 4.0);
    EXPECT_DOUBLE_EQ(Figure(key, "mean_difference"), 1.55 - 4.0);
    EXPECT_GT(Figure(key, "student_p"), 0.0);
    // Every figure under its own name.
    const TwoGroupTests tests =
        CompareTwoGroups(std::vector<double>{1.0, 2.1}, std::vector<double>{3.0, 4.0, 5.0});
    EXPECT_DOUBLE_EQ(Figure(key, "student_t"), tests.studentT);
    EXPECT_DOUBLE_EQ(Figure(key, "student_df"), tests.studentDf);
    EXPECT_DOUBLE_EQ(Figure(key, "welch_t"), tests.welchT);
    EXPECT_DOUBLE_EQ(Figure(key, "welch_df"), tests.welchDf);
    EXPECT_DOUBLE_EQ(Figure(key, "welch_p"), tests.welchP);
    EXPECT_DOUBLE_EQ(Figure(key, "cohens_d"), tests.cohensD);
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
                 {DesignKind::Factorial2x2x2, "factor1_factor2_factor3_p"},
                 {DesignKind::Factorial2x3, "factor2_partial_eta_squared"},
                 {DesignKind::TwoDV2x2, "dv2_factor1_factor2_f"},
                 {DesignKind::TwoDV2x2, "cell22_r12_p"},
                 {DesignKind::TwoDV2x2, "cell12_paired_t"},
                 {DesignKind::TwoDVGroups2, "group2_d_z"},
                 {DesignKind::TwoDVGroups1, "d_z"},
                 {DesignKind::TwoDVGroups1, "r_p"},
                 {DesignKind::Groups1, "one_sample_p"},
                 {DesignKind::Regression2, "x2_estimate"},
                 {DesignKind::Correlated3, "r23_n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.design));
        GenerationSetup setup = testing::RunnableSetup(c.design, 7, 30);
        auto tables = std::make_unique<GenerationTables>();
        RandomStreams streams;
        RunRecord record;
        ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
        const AnswerKey key =
            ComputeAnswerKey(setup, ScoresAsWritten(setup, tables->generatedData));
        EXPECT_FALSE(std::isnan(Figure(key, c.figure)));
    }
}

// With names, figures are named after the columns and levels as the data file names them:
// "condition_Placebo_mean" where the default says "group1_mean".
TEST_F(AnswerKeyTest, NamedColumnsAndLevelsNameTheFigures) {
    struct Case {
        DesignKind design;
        ColumnNames names;
        std::vector<std::string> figures;
    };
    const Case cases[] = {
        {DesignKind::Groups2,
         {{{"group", "condition"}, {"dv", "recall"}},
          {},
          {{"group", {{1, "Placebo"}, {2, "High dose"}}}},
          {}},
         {"condition_Placebo_mean", "condition_High_dose_sd", "student_t"}},
        // Brackets, quotes and accents become "_", so that R reads the names as they are.
        {DesignKind::Groups2,
         {{}, {}, {{"group", {{1, "Rehearsal (spaced)"}, {2, "\"caf\xC3\xA9\""}}}}, {}},
         {"group_Rehearsal__spaced__mean", "group__caf___sd"}},
        {DesignKind::Groups3, {{{"group", "site"}}, {}, {}, {}}, {"site3_n", "anova_f"}},
        {DesignKind::Factorial2x2,
         {{{"factor1", "dose"}}, {}, {{"factor1", {{2, "High"}}}}, {}},
         {"dose1_factor21_mean", "dose_High_factor22_n", "dose_factor2_f", "dose_p"}},
        {DesignKind::TwoDV2x2, {{{"dv2", "later"}}, {}, {}, {}}, {"later_factor1_factor2_f"}},
        {DesignKind::Regression2,
         {{{"y", "grade"}, {"x2", "hours"}}, {}, {}, {}},
         {"grade_mean", "hours_estimate", "x1_p"}},
        {DesignKind::TwoGroupsDV2,
         {{{"dv1", "pre"}}, {}, {}, {}},
         {"group1_pre_mean", "pre_welch_p"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.design));
        GenerationSetup setup = testing::RunnableSetup(c.design, 7, 30);
        setup.columnNames = c.names;
        auto tables = std::make_unique<GenerationTables>();
        RandomStreams streams;
        RunRecord record;
        ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
        const AnswerKey key =
            ComputeAnswerKey(setup, ScoresAsWritten(setup, tables->generatedData));
        for (const std::string& figure : c.figures) {
            EXPECT_FALSE(std::isnan(Figure(key, figure))) << figure;
        }
    }
}

TEST_F(AnswerKeyTest, TheClassKeyHasOneRowPerDatasetUnderOneHeader) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 1, 2);
    for (int row = 0; row < 4; ++row) table->At(row, 0) = row;
    const AnswerKey key = ComputeAnswerKey(setup, ScoresAsWritten(setup, *table));
    std::ostringstream out;
    WriteClassKey(out,
                  {{1, 40, "/tmp/class_1.csv", key, "", ""}, {2, 41, "/tmp/a,b.csv", key, "", ""}});
    const auto lines = testing::SplitCrLf(out.str());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("dataset,seed,data_file,group1_n,group1_mean,group1_sd,"));
    EXPECT_TRUE(lines[1].starts_with("1,40,class_1.csv,2,0.50,0.7071067812,")) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("2,41,\"a,b.csv\",2,"));
    const auto fields = [](const std::string& line) {
        return std::count(line.begin(), line.end(), ',');
    };
    EXPECT_EQ(fields(lines[1]), fields(lines[0]));
    EXPECT_EQ(KeyFileNameFor("/tmp/class_01.csv"), "/tmp/class_01_key.TXT");
    EXPECT_EQ(ClassKeyFileNameFor("/tmp/class.csv"), "/tmp/class_key.csv");
}

std::string TextKey(const AnswerKey& key) {
    std::ostringstream out;
    WriteAnswerKeyText(out, key, "data.csv", 1);
    return out.str();
}

// Every design on data with nothing left to compute and on data with barely enough: the keys
// hold NA where R has no value, never inf or nan or a negative df, and the same columns as
// on a full dataset, so that a class key's columns never shift.
TEST_F(AnswerKeyTest, UndefinedFiguresAreNaAndNeverShiftTheColumns) {
    for (const DesignInfo& design : DesignCatalogue()) {
        SCOPED_TRACE(design.fileCode);
        std::vector<std::string> names;
        for (const int missingPercent : {0, 100, 60}) {
            GenerationSetup setup = testing::RunnableSetup(design.kind, 5, 3);
            setup.missingPercent = missingPercent;
            setup.missingFraction = missingPercent / 100.0;
            auto tables = std::make_unique<GenerationTables>();
            RandomStreams streams;
            RunRecord record;
            ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
            const AnswerKey key =
                ComputeAnswerKey(setup, ScoresAsWritten(setup, tables->generatedData));
            std::vector<std::string> these;
            for (const KeySection& section : key.sections) {
                for (const KeyFigure& figure : section.figures) {
                    these.push_back(figure.name);
                    if (figure.kind == FigureKind::Count && !std::isnan(figure.value)) {
                        EXPECT_GE(figure.value, 0.0) << figure.name;
                    }
                }
            }
            if (names.empty()) names = these;
            EXPECT_EQ(these, names);
            const std::string text = TextKey(key);
            for (const char* word : {"inf", "nan", "e+"}) {
                EXPECT_EQ(text.find(word), std::string::npos) << word << " in\n" << text;
            }
            if (missingPercent == 100) {
                EXPECT_NE(text.find("NA"), std::string::npos);
            }
        }
    }
}

TEST_F(AnswerKeyTest, LargeScoresKeepTheirDecimalsAndSmallPValuesTheirExponent) {
    const auto printed = [](KeyFigure figure, int significant = 6) {
        std::string out;
        AppendFigure(out, figure, significant);
        return out;
    };
    EXPECT_EQ(printed({"m", 123457188.14, FigureKind::Score, 2}), "123457188.14");
    EXPECT_EQ(printed({"m", 50.231666666, FigureKind::Score, 2}), "50.2317");
    EXPECT_EQ(printed({"m", 4.0, FigureKind::Score, 1}), "4.0");
    EXPECT_EQ(printed({"sd", 0.0021346, FigureKind::Score, 3}), "0.0021346");
    EXPECT_EQ(printed({"t", 97131068.4, FigureKind::Statistic, 0}), "97131068");
    EXPECT_EQ(printed({"t", -2.5, FigureKind::Statistic, 0}), "-2.5");
    EXPECT_EQ(printed({"p", 0.000123456789, FigureKind::Probability, 0}), "0.000123457");
    EXPECT_EQ(printed({"p", 0.0000123456789, FigureKind::Probability, 0}), "1.23457e-05");
    EXPECT_EQ(printed({"df", 14.2485317926, FigureKind::Count, 0}), "14.2485");
    EXPECT_EQ(printed({"df", 15.0, FigureKind::Count, 0}), "15");
    EXPECT_EQ(printed({"r", kMissingValue, FigureKind::Statistic, 0}), "NA");
    EXPECT_EQ(printed({"r", std::numeric_limits<double>::infinity(), FigureKind::Statistic, 0}),
              "NA");
}

}  // namespace
}  // namespace zek
