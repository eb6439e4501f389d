#include "commands/help_texts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zek {
namespace {

bool IsStep(const std::string& line) {
    const std::size_t dot = line.find(". ");
    return dot != std::string::npos && dot > 0 && dot <= 2 &&
           std::all_of(line.begin(), line.begin() + static_cast<long>(dot),
                       [](char c) { return c >= '0' && c <= '9'; });
}

TEST(HowToRecipes, EachHasItsHeadingRulesStepsAndDesign) {
    struct Expected {
        HowTo topic;
        DesignKind design;
        std::size_t dashes, steps, equals;
    };
    for (const Expected& e :
         {Expected{HowTo::IndependentTTest, DesignKind::TwoGroupsDV1, 94, 11, 89},
          Expected{HowTo::DependentTTest, DesignKind::TwoDVGroups1, 92, 13, 100},
          Expected{HowTo::BivariateRegression, DesignKind::Regression1, 117, 13, 102},
          Expected{HowTo::OneWayAnova, DesignKind::Groups3, 94, 10, 99},
          Expected{HowTo::TwoWayAnova, DesignKind::Factorial2x3, 94, 10, 102},
          Expected{HowTo::MultipleRegression, DesignKind::Regression3, 117, 12, 98}}) {
        const std::optional<Recipe> recipe = RecipeOf(e.topic);
        ASSERT_TRUE(recipe.has_value());
        SCOPED_TRACE(recipe->lines.front());
        EXPECT_EQ(recipe->design, e.design);
        const std::vector<std::string>& lines = recipe->lines;
        EXPECT_TRUE(lines[0].starts_with("How to Set Up ZEK to Generate "));
        EXPECT_EQ(lines[1], std::string(e.dashes, '-'));
        EXPECT_EQ(lines[2], "");
        std::size_t steps = 0;
        for (std::size_t k = 3; k < lines.size() && IsStep(lines[k]); k += 2) {
            EXPECT_EQ(lines[k].substr(0, lines[k].find('.')), std::to_string(steps + 1));
            EXPECT_EQ(lines[k + 1], "") << "every step is followed by an empty line";
            ++steps;
        }
        EXPECT_EQ(steps, e.steps);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(e.equals, '=')), 2);
        EXPECT_EQ(lines[3 + 2 * steps], std::string(e.equals, '='));
        EXPECT_TRUE(lines[4 + 2 * steps].starts_with("EXAMPLE:  To generate realistic "));
    }
    for (const HowTo none : {HowTo::ThreeWayAnova, HowTo::FactorAnalysis,
                             HowTo::DiscriminantAnalysis, HowTo::OneWayManova}) {
        EXPECT_FALSE(RecipeOf(none).has_value());
    }
    EXPECT_EQ(HowToItems().size(), 14u);
}

TEST(HowToRecipes, TheIndependentTTestEndsWithItsExampleAndNote) {
    const std::vector<std::string> lines = RecipeOf(HowTo::IndependentTTest)->lines;
    EXPECT_EQ(lines[3], "1. In the TITLE FOR OUTPUT box, enter a title for your output (optional)");
    EXPECT_EQ(lines[9],
              "4. For Group 1, set the mean and standard deviation for the population "
              "from which you want a sample");
    EXPECT_EQ(lines[17], "8. Repeat Steps 4-7 for Group 2");
    const std::vector<std::string> tail(lines.end() - 10, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        std::string(89, '='),
                        "EXAMPLE:  To generate realistic exam scores for a 50 item exam, you might "
                        "choose these population parameters:",
                        std::string(89, '='), "",
                        "Group 1: Mean = 40, SD = 10, N = 25, # Decimals = 0, Min Score = 0, Max "
                        "Score = 50, Distribution: - Skew",
                        "",
                        "Group 2: Mean = 35, SD = 10, N = 25, # Decimals = 0, Min Score = 0, Max "
                        "Score = 50, Distribution: Normal",
                        "", std::string(166, '-'),
                        "** Note that the same procedure will work for 2 groups under the \"# of "
                        "Indpendent Groups (1 DV)\" section"}));
    const std::vector<std::string> regression = RecipeOf(HowTo::MultipleRegression)->lines;
    const auto example = std::find_if(regression.begin(), regression.end(),
                                      [](const auto& l) { return l.starts_with("EXAMPLE:"); });
    ASSERT_NE(example, regression.end());
    EXPECT_TRUE(example[1].starts_with("                    caloric intake")) << "no empty line";
}

TEST(HelpMessages, ParagraphsArePartedByAnEmptyLine) {
    EXPECT_TRUE(MeanAndSdHint().starts_with("Perhaps the easiest, reasonable approach"));
    std::string hint = MeanAndSdHint();
    std::size_t paragraphs = 0;
    for (std::size_t at = hint.find("\r\n\r\n"); at != std::string::npos;
         at = hint.find("\r\n\r\n", at + 4)) {
        ++paragraphs;
    }
    EXPECT_EQ(paragraphs, 4u);
    EXPECT_TRUE(WhatsNew().ends_with("after changing to a new distribution.\r\n\r\n"));
}

}  // namespace
}  // namespace zek
