#include "stats/repeated_measures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/generate_data.h"
#include "support/runnable_setup.h"

namespace zek {
namespace {

constexpr double NA = kMissingValue;

// Relative agreement with R's printed figures.
void ExpectNear(double actual, double expected, const std::string& what) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << what << " is " << actual << ", R has NA";
        return;
    }
    EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

struct Expected {
    std::string name;
    double f, df1, df2, p, pes, ges;
};

void ExpectEffects(const RepeatedMeasuresAnova& anova, const std::vector<Expected>& expected) {
    ASSERT_EQ(anova.effects.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const RepeatedEffect& effect = anova.effects[k];
        const Expected& r = expected[k];
        EXPECT_EQ(effect.name, r.name);
        ExpectNear(effect.f, r.f, r.name + " F");
        ExpectNear(effect.df1, r.df1, r.name + " df1");
        ExpectNear(effect.df2, r.df2, r.name + " df2");
        ExpectNear(effect.p, r.p, r.name + " p");
        ExpectNear(effect.partialEtaSquared, r.pes, r.name + " pes");
        ExpectNear(effect.generalizedEtaSquared, r.ges, r.name + " ges");
    }
}

// Figures from afex::aov_ez(type = 3), car's sphericity corrections and
// pairwise.t.test(paired = TRUE) on the complete cases, R 4.2 with afex 1.2 and car 3.1.
TEST(RepeatedMeasuresTest, OneGroupOnFourOccasionsAsR) {
    RepeatedScores data;
    data.occasions = 4;
    data.scores = {{10, 12, 15, 13}, {12, 15, 14, 18}, {9, 10, 13, 12}, {14, 15, 19, 16},
                   {11, 13, 14, 17}, {13, 14, 18, 20}, {8, 11, 12, 14}, {12, NA, 16, 15}};
    const RepeatedMeasuresAnova anova = AnalyseRepeatedMeasures(data);
    EXPECT_EQ(anova.completeCases, 7);
    EXPECT_EQ(anova.casesLeftOut, 1);
    ExpectEffects(anova, {{"occasion", 19.3205741627, 3, 18, 7.36211433421e-06, 0.7630385487528,
                           0.4066465256798}});
    const RepeatedEffect& occasion = anova.effects[0];
    ExpectNear(occasion.ss, 96.142857142857, "SS");
    ExpectNear(occasion.errorSs, 29.85714285714, "error SS");
    ExpectNear(occasion.ggEpsilon, 0.527242661259174, "GG epsilon");
    ExpectNear(occasion.ggP, 0.000682129504187463, "GG p");
    ExpectNear(occasion.hfEpsilon, 0.684437705746562, "HF epsilon");
    ExpectNear(occasion.hfP, 0.000149218474814971, "HF p");
    ExpectNear(occasion.mauchlyW, 0.1037609664412, "Mauchly's W");
    ExpectNear(occasion.mauchlyP, 0.06273542012938, "Mauchly's p");

    const std::vector<double> p{1.57096394983003e-03, 9.50045129287383e-05, 7.38058717585118e-04,
                                0.02277891670948231,  0.00529780582072179,  0.508726041132082};
    const std::vector<double> holm{0.00628385579932012, 0.00057002707757243, 0.00369029358792559,
                                   0.0455578334189646,  0.0158934174621654,  0.508726041132082};
    ASSERT_EQ(anova.comparisons.size(), 6u);
    for (std::size_t k = 0; k < 6; ++k) {
        const OccasionComparison& pair = anova.comparisons[k];
        const std::string which = std::to_string(pair.first) + "-" + std::to_string(pair.second);
        ExpectNear(pair.p, p[k], which + " p");
        ExpectNear(pair.holmP, holm[k], which + " Holm p");
    }
}

TEST(RepeatedMeasuresTest, TwoGroupsOnThreeOccasionsAsR) {
    RepeatedScores data;
    data.occasions = 3;
    data.levelsA = 2;
    data.nameA = "g";
    data.scores = {{5, 6, 8},   {7, 9, 9},   {6, 7, 9},    {8, 8, 11}, {4, 6, 7},  {6, NA, 8},
                   {9, 12, 11}, {8, 10, 13}, {10, 13, 12}, {7, 9, 10}, {9, 11, 14}};
    data.levelA = {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2};
    const RepeatedMeasuresAnova anova = AnalyseRepeatedMeasures(data);
    EXPECT_EQ(anova.completeCases, 10);
    ExpectEffects(
        anova,
        {{"g", 15.7269624573, 1, 8, 0.00414367276488, 0.662830840046, 0.601880877743},
         {"occasion", 33.0454545455, 2, 16, 2.08256871504e-06, 0.805094130676, 0.488247145735},
         {"g:occasion", 1.22727272727, 2, 16, 0.319251568173, 0.133004926108, 0.0342205323194}});
    const RepeatedEffect& interaction = anova.effects[2];
    ExpectNear(interaction.ggEpsilon, 0.575334323923, "GG epsilon");
    ExpectNear(interaction.ggP, 0.305466111999, "GG p");
    ExpectNear(interaction.hfEpsilon, 0.60998785144, "HF epsilon");
    ExpectNear(interaction.hfP, 0.307481738622, "HF p");
    ExpectNear(interaction.mauchlyW, 0.261880165289, "Mauchly's W");
    ExpectNear(interaction.mauchlyP, 0.00919092288551, "Mauchly's p");
    ExpectNear(anova.effects[0].ggEpsilon, NA, "a between effect's epsilon");
}

// Two occasions have no sphericity to test: R gives no epsilon and no Mauchly test.
TEST(RepeatedMeasuresTest, TwoByTwoGroupsOnTwoOccasionsAsR) {
    RepeatedScores data;
    data.occasions = 2;
    data.levelsA = 2;
    data.levelsB = 2;
    data.nameA = "a";
    data.nameB = "b";
    data.scores = {{3, 5}, {5, 6}, {4, 6},  {6, 6},  {7, 9},   {5, 8}, {4, 7},
                   {6, 7}, {5, 9}, {9, 10}, {8, 12}, {10, 11}, {7, 9}};
    data.levelA = {1, 1, 1, 2, 2, 2, 1, 1, 1, 2, 2, 2, 2};
    data.levelB = {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2};
    const RepeatedMeasuresAnova anova = AnalyseRepeatedMeasures(data);
    ExpectEffects(anova,
                  {{"a", 24.025, 1, 9, 0.000845860040046, 0.727479182438, 0.640239840107},
                   {"b", 15.625, 1, 9, 0.00334026840202, 0.634517766497, 0.536480686695},
                   {"a:b", 1.225, 1, 9, 0.297085573229, 0.119804400978, 0.0831918505942},
                   {"occasion", 28.8, 1, 9, 0.000452398466524, 0.761904761905, 0.516129032258},
                   {"a:occasion", 0.2, 1, 9, 0.665289662777, 0.0217391304348, 0.00735294117647},
                   {"b:occasion", 0.8, 1, 9, 0.394383383322, 0.0816326530612, 0.0287769784173},
                   {"a:b:occasion", 0.2, 1, 9, 0.665289662777, 0.0217391304348, 0.00735294117647}});
    for (const RepeatedEffect& effect : anova.effects) {
        ExpectNear(effect.ggEpsilon, NA, effect.name + " GG epsilon");
        ExpectNear(effect.mauchlyW, NA, effect.name + " Mauchly's W");
    }
}

// A cell without a complete case: R fits no model, and every figure is missing; the effects
// keep their names for the class key's columns.
TEST(RepeatedMeasuresTest, AnEmptyCellGivesNamedEffectsWithoutFigures) {
    RepeatedScores data;
    data.occasions = 3;
    data.levelsA = 2;
    data.nameA = "group";
    data.scores = {{1, 2, 3}, {2, 4, 3}, {3, NA, 1}};
    data.levelA = {1, 1, 2};
    const RepeatedMeasuresAnova anova = AnalyseRepeatedMeasures(data);
    ASSERT_EQ(anova.effects.size(), 3u);
    EXPECT_EQ(anova.effects[0].name, "group");
    EXPECT_EQ(anova.effects[2].name, "group:occasion");
    for (const RepeatedEffect& effect : anova.effects) {
        EXPECT_TRUE(std::isnan(effect.f) && std::isnan(effect.df1)) << effect.name;
    }
}

// No case to spare for the error, or fewer than the differences: R still has the degrees of
// freedom and sums of squares, but no F without an error, and no sphericity figures for an
// error matrix of deficient rank.
TEST(RepeatedMeasuresTest, TooFewCasesKeepTheFiguresRHas) {
    RepeatedScores data;
    data.occasions = 4;
    data.scores = {{1, 3, 2, 5}};
    const RepeatedMeasuresAnova one = AnalyseRepeatedMeasures(data);
    ASSERT_EQ(one.effects.size(), 1u);
    EXPECT_EQ(one.effects[0].df1, 3.0);
    EXPECT_EQ(one.effects[0].df2, 0.0);
    EXPECT_TRUE(std::isnan(one.effects[0].f));
    data.scores = {{1, 3, 2, 5}, {2, 3, 5, 4}, {4, 4, 6, 8}};
    const RepeatedMeasuresAnova three = AnalyseRepeatedMeasures(data);
    EXPECT_EQ(three.effects[0].df2, 6.0);
    EXPECT_FALSE(std::isnan(three.effects[0].f));
    EXPECT_TRUE(std::isnan(three.effects[0].ggEpsilon));
    EXPECT_TRUE(std::isnan(three.effects[0].mauchlyW));
}

// What the help tells a teacher: equal SDs and correlations give data that meet sphericity
// (epsilon near 1, Mauchly's test not rejecting), correlations that fall with the distance
// between occasions give data that violate it. Large N and fixed seeds: no test can flake.
TEST(RepeatedMeasuresTest, EqualCorrelationsMeetSphericityAndFallingOnesViolateIt) {
    auto tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;
    auto analyse = [&](const std::array<double, 3>& byDistance) {
        GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated4, 1804, 2000);
        for (int i = 1; i <= 4; ++i) {
            for (int j = i + 1; j <= 4; ++j) {
                testing::SetCorrelation(setup, i, j,
                                        byDistance[static_cast<std::size_t>(j - i - 1)]);
            }
        }
        EXPECT_FALSE(GenerateData(setup, streams, *tables, record));
        RepeatedScores data;
        data.occasions = 4;
        for (int row = 0; row < setup.totalCases; ++row) {
            std::vector<double> scores;
            for (int v = 0; v < 4; ++v) scores.push_back(tables->generatedData.At(row, v));
            data.scores.push_back(std::move(scores));
        }
        return AnalyseRepeatedMeasures(data).effects.at(0);
    };
    const RepeatedEffect equal = analyse({0.5, 0.5, 0.5});
    EXPECT_GT(equal.ggEpsilon, 0.98);
    EXPECT_GT(equal.mauchlyP, 0.01);
    const RepeatedEffect falling = analyse({0.8, 0.5, 0.2});
    EXPECT_LT(falling.ggEpsilon, 0.85);
    EXPECT_LT(falling.mauchlyP, 1e-6);
}

}  // namespace
}  // namespace zek
