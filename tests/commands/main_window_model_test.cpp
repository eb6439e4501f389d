// The main window driven as a user drives it, without a window.
#include "commands/main_window_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "engine/cholesky.h"
#include "files/parameters_file.h"
#include "setup/number_parsing.h"
#include "support/last_of.h"
#include "support/parameters_text.h"
#include "support/recording_host.h"

namespace zek {
namespace {

using Messages = std::vector<std::string>;

class MainWindowModelTest : public ::testing::Test {
  protected:
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    testing::RecordingHost host;
    MainWindowModel window{*state, host, '.'};

    const ParameterBox& Box(int box) const { return window.Box(box); }
    std::string N(int box) const { return Box(box).n.text; }
    void SetLimits(int box, const char* min, const char* max) {
        window.SetLimitTicked(box, LimitSide::Min, true);
        window.SetBoxText(box, BoxEdit::Min, min);
        window.SetLimitTicked(box, LimitSide::Max, true);
        window.SetBoxText(box, BoxEdit::Max, max);
    }
};

TEST_F(MainWindowModelTest, StartsAsTheWindowIsDesigned) {
    EXPECT_EQ(window.design(), DesignKind::Groups2);
    for (int box = 1; box <= 8; ++box) {
        EXPECT_EQ(Box(box).visible, box <= 2) << box;
        EXPECT_EQ(Box(box).colour, kCream);
        EXPECT_EQ(Box(box).caption, "Group/Level " + std::to_string(box));
        EXPECT_EQ(Box(box).n.text, "25");
        EXPECT_TRUE(Box(box).n.enabled);
        EXPECT_FALSE(Box(box).min.visible);
    }
    for (int j = 2; j <= 8; ++j) {
        EXPECT_FALSE(window.Correlation(1, j).enabled);
        EXPECT_EQ(window.Correlation(1, j).text, "0.0");
        EXPECT_EQ(window.RowHeader(j), "");
    }
    EXPECT_EQ(window.seed(), "1804");
    EXPECT_EQ(window.attemptsLabel(), "   ");
    EXPECT_FALSE(window.warningVisible());
}

// The window redraws from the one announcement, after an action and everything it set off,
// so that it never draws half a reaction.
TEST_F(MainWindowModelTest, EveryActionIsAnnouncedOnceWhenComplete) {
    int announced = 0;
    std::string nOfBox4WhenAnnounced;
    window.OnChange([&] {
        ++announced;
        nOfBox4WhenAnnounced = N(4);
    });
    window.SetBoxText(1, BoxEdit::N, "40");
    window.SelectDesign(DesignKind::Regression3);  // copies box 1's N to boxes 2 to 4
    EXPECT_EQ(announced, 2);
    EXPECT_EQ(nOfBox4WhenAnnounced, "40");
    window.ResetToStartup();
    window.SetSeedText("7");
    window.SetAllCorrelationsToHalf();
    EXPECT_EQ(announced, 5);
}

TEST_F(MainWindowModelTest, SelectingTheSelectedDesignRunsNothing) {
    window.SelectDesign(DesignKind::Groups2);
    for (int box = 1; box <= 8; ++box) EXPECT_EQ(Box(box).colour, kCream);
    EXPECT_EQ(Box(2).caption, "Group/Level 2");
    window.SelectDesign(DesignKind::Groups3);
    EXPECT_EQ(Box(1).colour, kCream);
    EXPECT_EQ(Box(2).colour, kWhite);
    EXPECT_EQ(Box(5).colour, kWhite);
    EXPECT_EQ(Box(6).colour, kCream);
    EXPECT_TRUE(Box(3).visible);
    EXPECT_EQ(state->setup.levelsFactor1, 3);
    EXPECT_TRUE(state->setup.Box(3).active);
}

TEST_F(MainWindowModelTest, CellTextsSurviveADesignWithoutCorrelations) {
    window.SelectDesign(DesignKind::Correlated5);
    window.SetCorrelationText(4, 5, "0.45");
    EXPECT_TRUE(window.Correlation(4, 5).enabled);
    EXPECT_FALSE(window.Correlation(5, 6).enabled);
    EXPECT_EQ(window.ColumnHeader(4), "V4");
    EXPECT_EQ(window.RowHeader(5), "V5");
    EXPECT_EQ(window.ColumnHeader(5), "");
    window.SelectDesign(DesignKind::Groups3);
    for (int j = 2; j <= 8; ++j) EXPECT_FALSE(window.Correlation(1, j).enabled);
    EXPECT_EQ(window.RowHeader(2), "");
    window.SelectDesign(DesignKind::Correlated5);
    EXPECT_TRUE(window.Correlation(4, 5).enabled);
    EXPECT_EQ(window.Correlation(4, 5).text, "0.45");
}

TEST_F(MainWindowModelTest, ARegressionSharesTheOutcomesN) {
    window.SetBoxText(1, BoxEdit::N, "40");
    window.SelectDesign(DesignKind::Regression3);
    for (int box = 2; box <= 4; ++box) {
        EXPECT_EQ(N(box), "40");
        EXPECT_FALSE(Box(box).n.enabled);
    }
    EXPECT_TRUE(Box(1).n.enabled);
    for (int box = 5; box <= 8; ++box) EXPECT_FALSE(Box(box).n.enabled);
    EXPECT_EQ(window.ColumnHeader(1), "DV");
    EXPECT_EQ(window.RowHeader(4), "X3");
    EXPECT_EQ(Box(1).caption, "Outcome (DV)");
    EXPECT_EQ(Box(1).colour, kSkyBlue);

    // Typed into box 1, the N reaches all seven other boxes, in use or not.
    window.SetBoxText(1, BoxEdit::N, "30");
    for (int box = 2; box <= 8; ++box) EXPECT_EQ(N(box), "30") << box;
    EXPECT_TRUE(host.messages.empty());
    window.SetBoxText(1, BoxEdit::N, "3a");
    EXPECT_EQ(host.messages, Messages{"N must be an INTEGER"});
    for (int box = 2; box <= 8; ++box) EXPECT_EQ(N(box), "30") << box;
}

TEST_F(MainWindowModelTest, TwoGroupsWithOneVariableUseBoxesOneAndFive) {
    window.SelectDesign(DesignKind::TwoGroupsDV1);
    for (int box = 1; box <= 8; ++box) {
        EXPECT_EQ(Box(box).visible, box == 1 || box == 5) << box;
        EXPECT_TRUE(Box(box).n.enabled) << box;
    }
    EXPECT_EQ(Box(1).caption, "Group 1");
    EXPECT_EQ(Box(5).caption, "GROUP 2");
}

TEST_F(MainWindowModelTest, NCopiesFollowTheStoredDesign) {
    window.SelectDesign(DesignKind::TwoDV2x2);
    window.SetBoxText(2, BoxEdit::N, "12");
    EXPECT_EQ(N(4), "12");
    window.SetBoxText(3, BoxEdit::N, "13");
    EXPECT_EQ(N(1), "25");
    EXPECT_EQ(N(7), "25");

    window.SelectDesign(DesignKind::Groups4);
    window.SetBoxText(2, BoxEdit::N, "abc");
    EXPECT_TRUE(host.messages.empty()) << "the Run command reports it";
}

TEST_F(MainWindowModelTest, AFreshBoxSwitchedToUniformTakesTheUnitInterval) {
    window.SelectShape(1, DistributionKind::Uniform);
    const ParameterBox& box = Box(1);
    EXPECT_TRUE(box.minCheck.checked && box.maxCheck.checked);
    EXPECT_FALSE(box.minCheck.enabled || box.maxCheck.enabled);
    EXPECT_EQ(box.min.text, "0");
    EXPECT_EQ(box.max.text, "1");
    EXPECT_TRUE(box.min.visible && box.max.visible);
    EXPECT_EQ(box.mean.text, "0.5000");
    EXPECT_EQ(box.sd.text, "0.2887");
    EXPECT_TRUE(box.mean.readOnly && box.sd.readOnly);
    EXPECT_EQ(window.focus(), "txt_min1");
    EXPECT_EQ(state->setup.Box(1).distribution, DistributionKind::Uniform);
}

TEST_F(MainWindowModelTest, UniformDerivesFromLimitsTypedBeforeAndKeepsThemAfterNormal) {
    SetLimits(2, "10", "20");
    EXPECT_EQ(Box(2).mean.text, "0.0") << "no derivation before Uniform";
    window.SelectShape(2, DistributionKind::Uniform);
    EXPECT_EQ(Box(2).mean.text, "15.0000");
    EXPECT_EQ(Box(2).sd.text, "2.8868");
    EXPECT_EQ(Box(2).min.text, "10");

    window.SetBoxText(2, BoxEdit::Max, "30");
    EXPECT_EQ(Box(2).mean.text, "20.0000");
    window.SetBoxText(2, BoxEdit::Max, "5");  // Min >= Max: nothing is written
    EXPECT_EQ(Box(2).mean.text, "20.0000");
    window.SetBoxText(2, BoxEdit::Max, "20");

    window.SelectShape(2, DistributionKind::Normal);
    const ParameterBox& box = Box(2);
    EXPECT_TRUE(box.minCheck.checked && box.maxCheck.checked);
    EXPECT_TRUE(box.minCheck.enabled && box.maxCheck.enabled);
    EXPECT_FALSE(box.mean.readOnly || box.sd.readOnly);
    EXPECT_EQ(box.mean.text, "15.0000");
    EXPECT_EQ(box.max.text, "20");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(MainWindowModelTest, UntickingALimitClearsItAndTickingFocusesAnEmptyBox) {
    SetLimits(1, "3", "9");
    window.SetLimitTicked(1, LimitSide::Min, false);
    EXPECT_EQ(Box(1).min.text, "");
    EXPECT_FALSE(Box(1).min.visible || Box(1).min.enabled);
    EXPECT_FALSE(Box(1).minTextValid);
    window.SetLimitTicked(1, LimitSide::Min, true);
    EXPECT_EQ(Box(1).min.text, "");
    EXPECT_TRUE(Box(1).min.visible);
    EXPECT_EQ(window.focus(), "txt_min1");
    EXPECT_EQ(testing::LastOf(host.focus), "txt_min1");
}

TEST_F(MainWindowModelTest, DerivedMeanAndSdUseTheUsersDecimalComma) {
    MainWindowModel german(*state, host, ',');
    german.SetLimitTicked(1, LimitSide::Min, true);
    german.SetBoxText(1, BoxEdit::Min, "0,5");
    german.SetLimitTicked(1, LimitSide::Max, true);
    german.SetBoxText(1, BoxEdit::Max, "2,5");
    german.SelectShape(1, DistributionKind::Uniform);
    EXPECT_EQ(german.Box(1).mean.text, "1,5000");
    EXPECT_EQ(german.Box(1).sd.text, "0,5774");
    german.SelectDesign(DesignKind::Correlated3);
    german.SetRandomCorrelationsInHundredths();
    EXPECT_NE(german.Correlation(1, 2).text.find(','), std::string::npos);
}

TEST_F(MainWindowModelTest, ConstantPresetsFillOnlyTheEnabledCells) {
    window.SelectDesign(DesignKind::Correlated3);
    window.SetCorrelationText(4, 5, "0.7");
    window.SetRandomCorrelationsInTenths();
    EXPECT_TRUE(window.warningVisible());
    window.SetAllCorrelationsToZero();
    EXPECT_EQ(window.Correlation(1, 2).text, "0.0");
    EXPECT_EQ(window.Correlation(1, 3).text, "0.0");
    EXPECT_EQ(window.Correlation(2, 3).text, "0.0");
    EXPECT_EQ(window.Correlation(4, 5).text, "0.7");
    EXPECT_FALSE(window.warningVisible());
    window.SetAllCorrelationsToHalf();
    EXPECT_EQ(window.Correlation(2, 3).text, "0.5");
    window.SetAllCorrelationsToQuarter();
    EXPECT_EQ(window.Correlation(2, 3).text, "0.25");
}

TEST_F(MainWindowModelTest, RandomPresetsStayUnderTheirCapAndAlwaysFactorise) {
    window.SelectDesign(DesignKind::Correlated5);
    for (const auto& [cap, decimals] : {std::pair{0.94, 2}, std::pair{0.9, 1}}) {
        for (int click = 0; click < 20; ++click) {
            if (decimals == 2) {
                window.SetRandomCorrelationsInHundredths();
            } else {
                window.SetRandomCorrelationsInTenths();
            }
            // The accepted candidate, unrounded, is a correlation matrix.
            const auto& candidate = window.PresetCandidate();
            std::array<double, kPackedSize> packed{};
            for (int i = 1; i <= 5; ++i) {
                for (int j = 1; j <= i; ++j) {
                    packed[PackedIndex(i, j)] = j == i ? 1.0 : candidate[j - 1][i - 1];
                }
            }
            EXPECT_EQ(CholeskyFactor(5, packed), CholeskyStatus::PositiveDefinite);
            for (int i = 1; i <= 5; ++i) {
                for (int j = i + 1; j <= 5; ++j) {
                    const std::string& text = window.Correlation(i, j).text;
                    ASSERT_EQ(text.size(), static_cast<std::size_t>(2 + decimals)) << text;
                    const double r = *ParseReal(text, '.');
                    ASSERT_GE(r, 0.0);
                    ASSERT_LE(r, cap);
                    ASSERT_LE(candidate[i - 1][j - 1], cap);
                }
            }
            EXPECT_TRUE(window.warningVisible());
            EXPECT_GE(*ParseInteger(window.attemptsLabel()), 1);
        }
    }
    EXPECT_EQ(window.Correlation(6, 7).text, "0.0") << "a disabled cell keeps its text";
}

// All 28 cells of eight variables, the last row and column included, take the preset.
TEST_F(MainWindowModelTest, RandomPresetsReachEveryCellOfEightVariables) {
    window.SelectDesign(DesignKind::Correlated8);
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) window.SetCorrelationText(i, j, "untouched");
    }
    window.SetRandomCorrelationsInTenths();
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) {
            const std::string& text = window.Correlation(i, j).text;
            EXPECT_EQ(text.size(), 3u) << "r" << i << j << " " << text;
            EXPECT_GT(window.PresetCandidate()[i - 1][j - 1], 0.0) << "r" << i << j;
        }
    }
}

TEST_F(MainWindowModelTest, RandomPresetsWithTwoVariablesOrNoneEndAtOnce) {
    window.SelectDesign(DesignKind::Correlated2);
    window.SetRandomCorrelationsInHundredths();
    EXPECT_EQ(window.attemptsLabel(), "1");
    EXPECT_EQ(host.clockCalls, 1);

    window.SelectDesign(DesignKind::Groups3);
    window.SetAllCorrelationsToZero();
    const ControlTexts before = window.Texts();
    window.SetRandomCorrelationsInTenths();
    EXPECT_EQ(host.clockCalls, 2) << "one attempt, then the preset ends";
    EXPECT_EQ(window.Texts().correlations, before.correlations);
    EXPECT_FALSE(window.warningVisible());
}

TEST_F(MainWindowModelTest, SeedAndPercentageButtons) {
    host.clockRandom = 9999999;
    window.DrawSeedFromClock();
    EXPECT_EQ(window.seed(), "9999999");
    EXPECT_EQ(host.lastClockBound, 10000000);
    EXPECT_EQ(state->setup.seed, 9999999);
    window.SetMissingText("15");
    window.SetExtremeText("abc");
    window.SetNoneMissing();
    window.SetNoneExtreme();
    EXPECT_EQ(window.missing(), "0");
    EXPECT_EQ(window.extreme(), "0");
}

TEST_F(MainWindowModelTest, ResetFromFourGroupsWithAUniformBox) {
    window.SelectDesign(DesignKind::Groups4);
    window.SetTitle("Week 3");
    window.SetSeedText("77");
    window.SetBoxText(3, BoxEdit::N, "90");
    window.SelectShape(3, DistributionKind::Uniform);
    window.SelectShape(4, DistributionKind::SkewPos);
    state->setup.reliability = 0.5;
    state->setup.betaHigh = 10;
    state->flags.dataGenerated = true;

    window.ResetToStartup();
    const ParameterBox& box = Box(3);
    EXPECT_TRUE(box.minCheck.enabled && box.maxCheck.enabled);
    EXPECT_FALSE(box.minCheck.checked || box.maxCheck.checked);
    EXPECT_EQ(box.min.text, "");
    EXPECT_FALSE(box.min.visible || box.max.visible);
    EXPECT_FALSE(box.mean.readOnly || box.sd.readOnly);
    EXPECT_EQ(box.mean.text, "0.0");
    EXPECT_EQ(box.n.text, "25");
    EXPECT_FALSE(box.visible);
    EXPECT_EQ(Box(4).shape, DistributionKind::Normal);
    EXPECT_EQ(window.design(), DesignKind::Groups2);
    EXPECT_EQ(Box(1).caption, "Group 1");
    EXPECT_EQ(Box(2).caption, "Group 2");
    EXPECT_EQ(window.title(), "Week 3") << "the title stays";
    EXPECT_EQ(window.seed(), "1804");
    EXPECT_EQ(state->setup.reliability, 1.0);
    EXPECT_EQ(state->setup.betaHigh, 6);
    EXPECT_FALSE(state->flags.dataGenerated);
    EXPECT_EQ(state->setup.Box(3).distribution, DistributionKind::RandomlyChosen);
    EXPECT_EQ(state->setup.levelsFactor1, 2);
    EXPECT_FALSE(state->setup.Box(3).active);
}

TEST_F(MainWindowModelTest, ResetUnderGroupsTwoKeepsTheColours) {
    window.SelectDesign(DesignKind::Groups3);
    window.SelectDesign(DesignKind::Groups2);
    EXPECT_EQ(Box(2).colour, kWhite);
    window.ResetToStartup();
    EXPECT_EQ(Box(2).colour, kWhite);
    EXPECT_EQ(Box(2).caption, "Group 2");
}

TEST_F(MainWindowModelTest, CopyCellOneReachesHiddenBoxesToo) {
    window.SelectShape(1, DistributionKind::Uniform);
    window.SetBoxText(1, BoxEdit::Max, "10");
    window.SetBoxText(1, BoxEdit::Decimals, "3");
    host.focus.clear();
    window.CopyCellOneToAllCells();
    for (int box = 2; box <= 8; ++box) {
        const ParameterBox& b = Box(box);
        EXPECT_EQ(b.shape, DistributionKind::Uniform) << box;
        EXPECT_EQ(b.min.text, "0");
        EXPECT_EQ(b.max.text, "10");
        EXPECT_EQ(b.mean.text, "5.0000");
        EXPECT_EQ(b.sd.text, "2.8868");
        EXPECT_EQ(b.decimals.text, "3");
        EXPECT_TRUE(b.minCheck.checked && !b.minCheck.enabled);
    }
    EXPECT_TRUE(host.messages.empty());
    // Only box 2 is shown in Groups2; the hidden boxes took no focus.
    for (const std::string& control : host.focus) {
        EXPECT_TRUE(control.ends_with("2")) << control;
    }
}

TEST_F(MainWindowModelTest, SecretSetupLoadsTheRegressionExample) {
    window.LoadRegressionExample();
    EXPECT_EQ(window.design(), DesignKind::Regression7);
    int enabled = 0;
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) enabled += window.Correlation(i, j).enabled ? 1 : 0;
    }
    EXPECT_EQ(enabled, 28);
    EXPECT_EQ(window.Correlation(1, 2).text, "0.2");
    EXPECT_EQ(window.Correlation(5, 6).text, "0.5");
    EXPECT_EQ(window.Correlation(7, 8).text, "0.3");
    EXPECT_EQ(window.Correlation(5, 8).text, "0.0");
    for (int box = 2; box <= 8; ++box) {
        EXPECT_EQ(N(box), "1000");
        EXPECT_FALSE(Box(box).n.enabled);
    }
    EXPECT_EQ(Box(8).mean.text, "80.0");
    EXPECT_EQ(Box(7).decimals.text, "6");
    EXPECT_EQ(Box(8).decimals.text, "0");
}

// ---- An opened parameters file ------------------------------------------------------------

using testing::Read;
using testing::Written;

ParametersFileReading OneBoxReading(int designCode, BoxSection section) {
    ParametersFileReading reading;
    reading.designCode = designCode;
    reading.boxPresent[0] = true;
    reading.boxes[0] = std::move(section);
    reading.correlations = ControlTexts::StartupCorrelations();
    return reading;
}

TEST_F(MainWindowModelTest, AFileSavedUnderEitherDecimalSeparatorOpensInEveryLocale) {
    ControlTexts texts;
    texts.design = DesignKind::Correlated2;
    texts.Box(1) = {
        "2,5", "0,75", "30", "2", true, "-1,5", true, "10.25", DistributionKind::Normal};
    texts.correlations[CorrelationCellIndex(1, 2)] = "0,45";
    const ParametersFileReading reading = Read(Written(texts));
    for (const char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        auto fresh = std::make_unique<ProgramState>();
        MainWindowModel opened(*fresh, host, separator);
        opened.ApplyParametersFile(reading);
        auto localised = [separator](std::string text) {
            for (char& c : text) {
                if (c == '.' || c == ',') c = separator;
            }
            return text;
        };
        EXPECT_EQ(opened.Box(1).mean.text, localised("2.5"));
        EXPECT_EQ(opened.Box(1).sd.text, localised("0.75"));
        EXPECT_EQ(opened.Box(1).min.text, localised("-1.5"));
        EXPECT_EQ(opened.Box(1).max.text, localised("10.25"));
        EXPECT_EQ(opened.Correlation(1, 2).text, localised("0.45"));
        EXPECT_EQ(opened.Box(1).n.text, "30");
    }
    // What is no number either way stays as typed, for the run to refuse.
    EXPECT_EQ(WithDecimalSeparator("1,000.5", '.'), "1,000.5");
    EXPECT_EQ(WithDecimalSeparator("abc", ','), "abc");
    EXPECT_EQ(WithDecimalSeparator("1e3", ','), "1e3");
}

// A file saved with exact statistics turns them on, and the next save keeps them; a file
// that says nothing of them leaves the option as it was.
TEST_F(MainWindowModelTest, AnOpenedFileSavedExactTurnsExactStatisticsOn) {
    ControlTexts exact;
    exact.exactStatistics = true;
    window.ApplyParametersFile(Read(Written(ControlTexts{})));
    EXPECT_FALSE(window.exactStatistics());
    window.ApplyParametersFile(Read(Written(exact)));
    EXPECT_TRUE(window.exactStatistics());
    EXPECT_TRUE(window.Texts().exactStatistics);
    window.ApplyParametersFile(Read(Written(ControlTexts{})));
    EXPECT_TRUE(window.exactStatistics());
}

// Repeated measures follow a file as exact statistics do, and Reset to Startup ends them.
TEST_F(MainWindowModelTest, RepeatedMeasuresFollowAFileAndEndWithReset) {
    ControlTexts repeated;
    repeated.repeatedMeasures = true;
    repeated.longLayout = true;
    window.ApplyParametersFile(Read(Written(repeated)));
    EXPECT_TRUE(window.repeatedMeasures());
    EXPECT_TRUE(window.Texts().repeatedMeasures);
    EXPECT_TRUE(window.Texts().longLayout);
    window.ResetToStartup();
    EXPECT_FALSE(window.repeatedMeasures());
    EXPECT_FALSE(window.longLayout());
    window.ToggleLongLayout();
    EXPECT_TRUE(window.longLayout());
    window.ToggleRepeatedMeasures();
    EXPECT_TRUE(window.repeatedMeasures());
}

// The boxes say what the option makes of the variables, and only where a design has
// occasions.
TEST_F(MainWindowModelTest, WithRepeatedMeasuresTheVariablesAreCaptionedAsOccasions) {
    window.SelectDesign(DesignKind::Correlated3);
    window.ToggleRepeatedMeasures();
    EXPECT_EQ(Box(1).caption, "Occasion 1");
    EXPECT_EQ(Box(3).caption, "Occasion 3");
    window.SelectDesign(DesignKind::TwoDVGroups2);
    EXPECT_EQ(Box(5).caption, "Group 1, Occasion 2");
    window.SelectDesign(DesignKind::TwoGroupsDV3);
    EXPECT_EQ(Box(7).caption, "GROUP 2, OCC 3");
    window.SelectDesign(DesignKind::Groups3);
    EXPECT_EQ(Box(1).caption, "Group/Level 1");
    window.SelectDesign(DesignKind::Correlated3);
    window.ToggleRepeatedMeasures();
    EXPECT_EQ(Box(1).caption, "Variable 1");
}

TEST_F(MainWindowModelTest, AnOpenedUniformBoxDerivesItsMeanAndSd) {
    window.ApplyParametersFile(OneBoxReading(
        2, {"0.0", "1.0", "25", "2", true, "10", true, "20", DistributionKind::Uniform}));
    EXPECT_EQ(Box(1).mean.text, "15.0000");
    EXPECT_EQ(Box(1).sd.text, "2.8868");

    // Only one side given: the other is ticked with an empty text, which the run refuses.
    auto fresh = std::make_unique<ProgramState>();
    MainWindowModel opened(*fresh, host, '.');
    opened.ApplyParametersFile(
        OneBoxReading(2, {"3", "4", "25", "2", true, "1", false, "", DistributionKind::Uniform}));
    EXPECT_TRUE(opened.Box(1).maxCheck.checked);
    EXPECT_EQ(opened.Box(1).max.text, "");
    EXPECT_EQ(opened.Box(1).mean.text, "3");
}

TEST_F(MainWindowModelTest, AnOpenedFileSelectsItsDesignAndCopiesItsN) {
    BoxSection section{"1", "1", "30", "2", false, "", false, "", DistributionKind::SkewNeg};
    ParametersFileReading reading = OneBoxReading(24, section);  // Regression3
    window.ApplyParametersFile(reading);
    EXPECT_EQ(window.design(), DesignKind::Regression3);
    for (int box = 2; box <= 8; ++box) EXPECT_EQ(N(box), "30") << box;
    EXPECT_EQ(Box(1).shape, DistributionKind::SkewNeg);
    EXPECT_TRUE(host.messages.empty());

    reading.boxes[0].n = "3a";
    window.ApplyParametersFile(reading);
    EXPECT_EQ(host.messages, Messages{"N must be an INTEGER"});
    EXPECT_EQ(N(2), "30");

    // A code outside 1..35 keeps the current design.
    reading.designCode = 99;
    window.ApplyParametersFile(reading);
    EXPECT_EQ(window.design(), DesignKind::Regression3);
}

// A binary outcome's box asks for its percentage of 1s and its N alone, keeps them from one
// logistic regression to another, and gives the other entries back to the next design.
TEST_F(MainWindowModelTest, ABinaryOutcomeTakesAPercentageOfOnesInItsMeanEntry) {
    window.SelectDesign(DesignKind::Regression2);
    window.SelectShape(1, DistributionKind::Uniform);
    window.SelectDesign(DesignKind::BinaryOutcome2);
    EXPECT_EQ(Box(1).caption, "Outcome (0/1)");
    EXPECT_EQ(Box(1).meanHeading, " % 1s ");
    EXPECT_EQ(Box(1).mean.text, "50");
    EXPECT_FALSE(Box(1).mean.readOnly);
    EXPECT_EQ(Box(1).shape, DistributionKind::Normal);
    EXPECT_FALSE(Box(1).minCheck.checked || Box(1).maxCheck.checked);
    EXPECT_FALSE(Box(1).sd.enabled || Box(1).decimals.enabled || Box(1).shapesEnabled);
    EXPECT_FALSE(Box(1).minCheck.enabled || Box(1).maxCheck.enabled);
    EXPECT_TRUE(Box(1).n.enabled && Box(2).sd.enabled && Box(2).shapesEnabled);
    window.ToggleAllDistributions();
    EXPECT_FALSE(Box(1).shapesEnabled);

    window.SetBoxText(1, BoxEdit::Mean, "30");
    window.SelectDesign(DesignKind::BinaryOutcome4);
    EXPECT_EQ(Box(1).mean.text, "30");
    window.SelectDesign(DesignKind::Regression1);
    EXPECT_EQ(Box(1).meanHeading, " Mean ");
    EXPECT_TRUE(Box(1).sd.enabled && Box(1).decimals.enabled && Box(1).shapesEnabled);
    EXPECT_TRUE(Box(1).minCheck.enabled && Box(1).maxCheck.enabled);

    // A file of a logistic regression opens with its own percentage.
    BoxSection section{"12.5", "1", "80", "0", false, "", false, "", DistributionKind::Normal};
    window.ApplyParametersFile(OneBoxReading(FileCodeOf(DesignKind::BinaryOutcome1), section));
    EXPECT_EQ(window.design(), DesignKind::BinaryOutcome1);
    EXPECT_EQ(Box(1).mean.text, "12.5");
    EXPECT_EQ(N(2), "80");
}

// Likert makes a box a scale from 1 to its Max Score in whole points, starting in the
// middle of five points when its mean lies off the scale, and gives the limits back after.
TEST_F(MainWindowModelTest, ALikertBoxIsAScaleFromOneToItsMaxScore) {
    window.SelectShape(1, DistributionKind::Likert);
    EXPECT_TRUE(Box(1).minCheck.checked && Box(1).maxCheck.checked);
    EXPECT_EQ(Box(1).min.text, "1");
    EXPECT_EQ(Box(1).max.text, "5");
    EXPECT_EQ(Box(1).mean.text, "3");
    EXPECT_EQ(Box(1).sd.text, "1");
    EXPECT_EQ(Box(1).decimals.text, "0");
    EXPECT_TRUE(Box(1).min.readOnly);
    EXPECT_FALSE(Box(1).max.readOnly || Box(1).mean.readOnly || Box(1).sd.readOnly);
    EXPECT_FALSE(Box(1).decimals.enabled || Box(1).minCheck.enabled || Box(1).maxCheck.enabled);
    EXPECT_EQ(state->setup.Box(1).distribution, DistributionKind::Likert);

    // Seven points typed before, and a mean on them, stay.
    window.SelectShape(2, DistributionKind::Normal);
    SetLimits(2, "0", "7");
    window.SetBoxText(2, BoxEdit::Mean, "5.5");
    window.SelectShape(2, DistributionKind::Likert);
    EXPECT_EQ(Box(2).max.text, "7");
    EXPECT_EQ(Box(2).mean.text, "5.5");
    EXPECT_EQ(Box(2).min.text, "1");

    window.SelectShape(1, DistributionKind::SkewPos);
    EXPECT_TRUE(Box(1).decimals.enabled && Box(1).minCheck.enabled && Box(1).maxCheck.enabled);
    EXPECT_FALSE(Box(1).min.readOnly);
}

// Items of one scale: alpha .8 of four items asks every pair for .8 / (4 - 3 x .8) = .5, in
// the user's decimal separator; what is no alpha leaves the grid as it was.
TEST_F(MainWindowModelTest, AnAlphaSetsEveryCorrelationOfTheItems) {
    MainWindowModel comma{*state, host, ','};
    comma.SelectDesign(DesignKind::Correlated4);
    EXPECT_FALSE(comma.SetCorrelationsFromAlpha("0,8").has_value());
    EXPECT_EQ(comma.Correlation(1, 2).text, "0,5000");
    EXPECT_EQ(comma.Correlation(3, 4).text, "0,5000");
    EXPECT_NE(comma.Correlation(4, 5).text, "0,5000");  // beyond the four items
    for (const char* wrong : {"1", "0", "-0,3", "x", "0.8"}) {
        const Verdict verdict = comma.SetCorrelationsFromAlpha(wrong);
        ASSERT_TRUE(verdict.has_value()) << wrong;
        EXPECT_EQ(verdict->message, "Cronbach's alpha must be a number between 0 and 1");
    }
    EXPECT_EQ(comma.Correlation(1, 2).text, "0,5000");
    comma.SelectDesign(DesignKind::Correlated8);
    EXPECT_FALSE(comma.SetCorrelationsFromAlpha("0,9").has_value());
    EXPECT_EQ(comma.Correlation(7, 8).text, "0,5294");  // .9 / (8 - 7 x .9)

    comma.ToggleScaleItems();
    EXPECT_TRUE(comma.scaleItems());
    EXPECT_TRUE(comma.Texts().scaleItems);
}

TEST_F(MainWindowModelTest, ActiveBoxLinesDecideWhichSectionsAreRead) {
    // Edited by hand: design 2 (boxes 1 and 2) but sections for boxes 1 and 3.
    std::string text = Written(ControlTexts{});
    text.replace(text.find("box2.active\r\nbox3.not"), 22, "box2.not\r\nbox3.active");
    text.replace(text.find("===================BOX 2=====\r\n0.0"), 34,
                 "===================BOX 3=====\r\n9.5");
    window.ApplyParametersFile(Read(text));
    EXPECT_EQ(window.design(), DesignKind::Groups2);
    EXPECT_EQ(Box(3).mean.text, "9.5");
    EXPECT_EQ(Box(2).mean.text, "0.0");
}

TEST_F(MainWindowModelTest, AFileThatStopsAtItsDesignLineSetsOnlyTheFirstTexts) {
    const ParametersFileReading reading = Read(
        "ZEK Generation Parameters File\r\nx\r\nTitle\r\nx\r\n42\r\nx\r\n7\r\nx\r\n8\r\nx\r\n"
        "two\r\nx\r\nbox1.active\r\n");
    window.ApplyParametersFile(reading);
    EXPECT_EQ(window.title(), "Title");
    EXPECT_EQ(window.seed(), "42");
    EXPECT_EQ(window.missing(), "7");
    EXPECT_EQ(window.design(), DesignKind::Groups2);

    window.ApplyParametersFile(Read("id,group,dv\r\n"));
    EXPECT_EQ(window.title(), "Title") << "a file ZEK did not write changes nothing";
}

}  // namespace
}  // namespace zek
