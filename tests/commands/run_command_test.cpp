#include "commands/run_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "commands/main_window_model.h"
#include "stats/answer_key.h"
#include "stats/scale_reliability.h"
#include "support/last_of.h"
#include "support/recording_host.h"
#include "support/sample_moments.h"

namespace zek {
namespace {

using Messages = std::vector<std::string>;

constexpr const char* kNotANumber = "You must enter an appropriate numeric value";

class RunCommandTest : public ::testing::Test {
  protected:
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    ControlTexts controls;
    testing::RecordingHost host;

    void Select(DesignKind kind) {
        controls.design = kind;
        ApplyDesign(Design(kind), state->setup);
    }
    RunOutcome Run(char separator = '.') {
        return RunCommand(controls, EnabledCellsOf(Design(controls.design)), separator, *state,
                          host);
    }
};

TEST_F(RunCommandTest, TheStartupSetupGeneratesWithTheControlsValues) {
    ASSERT_EQ(Run(), RunOutcome::Generated);
    EXPECT_TRUE(host.messages.empty());
    const GenerationSetup& setup = state->setup;
    EXPECT_TRUE(state->flags.dataGenerated);
    EXPECT_FALSE(state->flags.filesSaved);
    EXPECT_EQ(setup.missingPercent, 0);
    EXPECT_EQ(setup.extremeFraction, 0.0);
    EXPECT_EQ(setup.totalCases, 50);
    EXPECT_EQ(setup.seed, 1804);
    for (int box = 1; box <= 8; ++box)
        EXPECT_EQ(setup.Box(box).distribution, DistributionKind::Normal);
    EXPECT_EQ(setup.Box(1).minScore, NoLimit);
    EXPECT_EQ(setup.correlations.full[0][0], 1.0);
    EXPECT_EQ(state->generated.setup.totalCases, 50);
}

TEST_F(RunCommandTest, AnEmptySeedDrawsOneAndShowsIt) {
    controls.seed = "";
    host.clockRandom = 4711;
    ASSERT_EQ(Run(), RunOutcome::Generated);
    EXPECT_EQ(host.lastClockBound, 1000000);
    EXPECT_EQ(controls.seed, "4711");
    EXPECT_EQ(state->setup.seed, 4711);
    const double first = state->tables.generatedData.At(0, 0);
    host.clockRandom = 9;
    ASSERT_EQ(Run(), RunOutcome::Generated);
    EXPECT_EQ(state->setup.seed, 4711) << "the second run reuses the seed shown";
    EXPECT_EQ(state->tables.generatedData.At(0, 0), first);
}

TEST_F(RunCommandTest, ASeedThatIsNoUsableIntegerStops) {
    for (const char* seed : {"12.5", "abc", "-2147483648", "2147483648"}) {
        host.messages.clear();
        host.focus.clear();
        controls.seed = seed;
        state->flags.dataGenerated = true;
        EXPECT_EQ(Run(), RunOutcome::Stopped) << seed;
        EXPECT_EQ(host.messages, Messages{"Seed must be an INTEGER value"});
        EXPECT_EQ(host.focus, Messages{"txt_seed1"});
        EXPECT_FALSE(state->flags.dataGenerated);
    }
}

TEST_F(RunCommandTest, SampleSizeLimits) {
    controls.Box(2).n = "25000";
    EXPECT_EQ(Run(), RunOutcome::Generated);
    controls.Box(2).n = "25001";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages, Messages{"Maximum Data per cell is 25000"});
    host.messages.clear();
    controls.Box(2).n = "1";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages, Messages{"Minimum Data per cell is 2"});
}

TEST_F(RunCommandTest, ABadNumberStillRunsTheRangeChecksOfThePreviousValue) {
    controls.Box(1).n = "1";
    Run();
    host.messages.clear();
    controls.Box(1).n = "abc";
    controls.Box(1).mean = "x";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages, (Messages{kNotANumber, kNotANumber, "Minimum Data per cell is 2"}));
    EXPECT_EQ(host.focus, (Messages{"txt_mean1", "txt_n1"}));
}

// A mean of 1e307 once gave "inf" and "-nan" in the answer key and 300-digit data fields.
TEST_F(RunCommandTest, NumbersBeyondATrillionAreRefusedLikeTextThatIsNoNumber) {
    controls.Box(1).mean = "1e12";
    controls.Box(2).sd = "-1e12";
    EXPECT_EQ(Run(), RunOutcome::Generated);
    EXPECT_TRUE(host.messages.empty());

    controls.Box(1).mean = "1e307";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    controls.Box(1).mean = "0";
    controls.Box(2).sd = "1000000000001";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    controls.Box(2).sd = "1";
    controls.Box(2).minChecked = true;
    controls.Box(2).minText = "-2e12";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    controls.Box(2).minChecked = false;
    controls.Box(2).maxChecked = true;
    controls.Box(2).maxText = "5e15";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    // The refused Max leaves the field as it was, and the range check then uses that value.
    EXPECT_EQ(host.messages, (Messages{kNotANumber, kNotANumber, kNotANumber, kNotANumber,
                                       "MAXIMUM SCORE must be greater than MEAN (check box 2)"}));
    EXPECT_EQ(host.focus, (Messages{"txt_mean1", "txt_sd2", "txt_min2", "txt_max2"}));
}

// The percentage of 1s lies strictly between 0 and 1; what else the outcome's box holds is
// not read, so a limit left ticked below it stops nothing.
TEST_F(RunCommandTest, ABinaryOutcomeNeedsAPercentageOfOnesAndNothingElse) {
    Select(DesignKind::BinaryOutcome1);
    controls.Box(1).sd = "-4";
    controls.Box(1).minChecked = true;
    controls.Box(1).minText = "60";
    for (const char* percent : {"0", "100", "-3"}) {
        controls.Box(1).mean = percent;
        host.messages.clear();
        host.focus.clear();
        EXPECT_EQ(Run(), RunOutcome::Stopped) << percent;
        EXPECT_EQ(host.messages,
                  Messages{"The percentage of 1s must be more than 0 and less than 100"});
        EXPECT_EQ(host.focus, Messages{"txt_mean1"});
    }
    controls.Box(1).mean = "0.5";
    host.messages.clear();
    ASSERT_EQ(Run(), RunOutcome::Generated);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(state->setup.Box(1).mean, 0.5);
    EXPECT_EQ(state->setup.Box(1).minScore, NoLimit);
    EXPECT_EQ(state->setup.Box(1).decimals, 0);
}

// A Likert box's Max Score is its number of points; its Min Score is 1 and its decimals 0
// whatever their entries say, and a mean and SD its scale cannot have are refused with the
// SDs the mean can have, in the user's decimal separator.
TEST_F(RunCommandTest, ALikertBoxNeedsItsPointsAndAMeanAndSdItsScaleCanHave) {
    Select(DesignKind::Groups1);
    BoxTexts& box = controls.Box(1);
    box.shape = DistributionKind::Likert;
    box.minText = "-3";
    box.decimals = "4";
    box.mean = "4,5";
    box.sd = "1,4";
    for (const char* points : {"12", "2", "4,5", "x"}) {
        box.maxText = points;
        host.messages.clear();
        host.focus.clear();
        EXPECT_EQ(Run(','), RunOutcome::Stopped) << points;
        EXPECT_EQ(host.messages,
                  Messages{"A Likert scale's MAXIMUM SCORE is its number of points, a whole "
                           "number from 3 to 11 (check box 1)"})
            << points;
        EXPECT_EQ(host.focus, Messages{"txt_max1"});
    }
    box.maxText = "5";
    host.messages.clear();
    host.focus.clear();
    EXPECT_EQ(Run(','), RunOutcome::Stopped);
    EXPECT_EQ(host.messages,
              Messages{"On a scale of 5 points a MEAN of 4,5 can have an SD from 0,5 to 1,32 "
                       "(check box 1)"});
    EXPECT_EQ(host.focus, Messages{"txt_sd1"});
    box.sd = "0,9";
    host.messages.clear();
    ASSERT_EQ(Run(','), RunOutcome::Generated);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(state->setup.Box(1).minScore, 1.0);
    EXPECT_EQ(state->setup.Box(1).maxScore, 5.0);
    EXPECT_EQ(state->setup.Box(1).decimals, 0);
}

// Items of one scale made as a teacher makes them: 4 to 8 five-point Likert items of the same
// mean and SD, the grid set from alpha .8 (and .7 for eight items). At N 20,000 the data's
// alpha is within 0.02 of the target.
TEST_F(RunCommandTest, ItemsSetFromAnAlphaHaveThatAlpha) {
    const DesignKind designs[] = {DesignKind::Correlated4, DesignKind::Correlated5,
                                  DesignKind::Correlated6, DesignKind::Correlated7,
                                  DesignKind::Correlated8};
    for (const DesignKind design : designs) {
        const int items = Design(design).variableCount;
        const double target = items == 8 ? 0.7 : 0.8;
        SCOPED_TRACE(items);
        auto fresh = std::make_unique<ProgramState>();
        MainWindowModel window{*fresh, host, '.'};
        window.SelectDesign(design);
        for (int box = 1; box <= items; ++box) {
            window.SelectShape(box, DistributionKind::Likert);
            window.SetBoxText(box, BoxEdit::Mean, "3.4");
            window.SetBoxText(box, BoxEdit::Sd, "1.1");
            window.SetBoxText(box, BoxEdit::N, "20000");
        }
        ASSERT_FALSE(window.SetCorrelationsFromAlpha(std::to_string(target)).has_value());
        ASSERT_EQ(RunCommand(window, *fresh, host), RunOutcome::Generated)
            << testing::LastOf(host.messages);
        std::vector<std::vector<double>> columns(static_cast<std::size_t>(items));
        for (int row = 0; row < fresh->setup.totalCases; ++row) {
            for (int v = 0; v < items; ++v) {
                columns[static_cast<std::size_t>(v)].push_back(
                    fresh->tables.generatedData.At(row, v));
            }
        }
        const ScaleReliability scale =
            AnalyseScale(std::vector<std::span<const double>>(columns.begin(), columns.end()));
        EXPECT_NEAR(scale.alpha, target, 0.02);
        EXPECT_NEAR(scale.standardisedAlpha, target, 0.02);
    }
}

// Two of five items worded against the scale: the grid set from alpha .8 holds negative r
// between them and the others, the data file holds their scores as written (low where the
// others are high), and the key reverses them (6 - score) before its alpha, which is the
// target at N 20,000. An item without both ends cannot be reversed and is refused.
TEST_F(RunCommandTest, ReverseKeyedItemsAreReversedBeforeTheKey) {
    MainWindowModel window{*state, host, '.'};
    window.SelectDesign(DesignKind::Correlated5);
    window.ToggleScaleItems();
    ColumnNames names;
    names.reversed = {"var2", "var4"};
    window.SetColumnNames(names);
    for (int box = 1; box <= 5; ++box) {
        const bool reversed = box == 2 || box == 4;
        window.SelectShape(box, DistributionKind::Likert);
        window.SetBoxText(box, BoxEdit::Mean, reversed ? "2.6" : "3.4");
        window.SetBoxText(box, BoxEdit::Sd, "1.1");
        window.SetBoxText(box, BoxEdit::N, "20000");
    }
    ASSERT_FALSE(window.SetCorrelationsFromAlpha("0.8").has_value());
    EXPECT_EQ(window.Correlation(1, 2).text, "-0.4444");
    EXPECT_EQ(window.Correlation(2, 4).text, "0.4444");
    EXPECT_EQ(window.Correlation(3, 5).text, "0.4444");
    ASSERT_EQ(RunCommand(window, *state, host), RunOutcome::Generated)
        << testing::LastOf(host.messages);

    WrittenScores written(1);
    for (int v = 0; v < 5; ++v) {
        auto& column = written[0].emplace_back();
        for (int row = 0; row < state->setup.totalCases; ++row) {
            column.push_back(state->tables.generatedData.At(row, v));
        }
    }
    EXPECT_NEAR(testing::Mean(written[0][1]), 2.6, 0.03);
    const AnswerKey key = ComputeAnswerKey(state->setup, written);
    const KeySection& scale = key.sections.back();
    EXPECT_EQ(scale.heading,
              "Reliability of the scale (psych::alpha, pairwise covariances; 6 - var2; 6 - var4)");
    EXPECT_NEAR(scale.figures.front().value, 0.8, 0.02);
    EXPECT_EQ(scale.figures.front().name, "alpha");

    window.SelectShape(4, DistributionKind::Normal);
    window.SetLimitTicked(4, LimitSide::Max, false);
    EXPECT_EQ(RunCommand(window, *state, host), RunOutcome::Stopped);
    EXPECT_EQ(testing::LastOf(host.messages),
              "var4 is reverse-keyed: reversing its scores needs a Likert shape or both a MINIMUM "
              "and a MAXIMUM SCORE (check box 4)");
    // Without the scale no item is reversed, and no ends are needed.
    window.ToggleScaleItems();
    EXPECT_EQ(RunCommand(window, *state, host), RunOutcome::Generated);
}

TEST_F(RunCommandTest, LimitsAgainstTheMeanNameTheirBox) {
    Select(DesignKind::Groups3);
    BoxTexts& box = controls.Box(3);
    box.mean = "5";
    box.minChecked = box.maxChecked = true;
    box.minText = "0";
    box.maxText = "10";
    EXPECT_EQ(Run(), RunOutcome::Generated);

    box.minText = "5";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(testing::LastOf(host.messages),
              "MAXIMUM SCORE must be greater than the MEAN, which must be greater than the MINIMUM "
              "SCORE (check box 3)");
    box.maxChecked = false;
    box.minText = "6";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(testing::LastOf(host.messages), "MINIMUM SCORE must be less than MEAN (check box 3)");
    // A minimum equal to the mean is refused too: no score could lie below the mean.
    box.minText = "5";
    host.messages.clear();
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(testing::LastOf(host.messages), "MINIMUM SCORE must be less than MEAN (check box 3)");
    box.minText = "4.999";
    EXPECT_EQ(Run(), RunOutcome::Generated);
    box.minChecked = false;
    box.maxChecked = true;
    box.maxText = "5";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(testing::LastOf(host.messages),
              "MAXIMUM SCORE must be greater than MEAN (check box 3)");
    box.maxText = "1e9";
    EXPECT_EQ(Run(), RunOutcome::Generated);
    EXPECT_EQ(state->setup.Box(3).minScore, NoLimit);
    EXPECT_EQ(state->setup.Box(3).maxScore, 1e9);
}

TEST_F(RunCommandTest, AStopKeepsWhatWasStoredBeforeIt) {
    Select(DesignKind::Groups3);
    controls.title = "kept";
    controls.Box(1).mean = "12";
    controls.Box(2).mean = "bad";
    controls.Box(3).mean = "30";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(state->setup.title, "kept");
    EXPECT_EQ(state->setup.seed, 1804);
    EXPECT_EQ(state->setup.Box(1).mean, 12.0);
    EXPECT_EQ(state->setup.Box(3).mean, 0.0) << "box 3 comes after the failing box";
    EXPECT_EQ(host.focus, Messages{"txt_mean2"});
}

TEST_F(RunCommandTest, CorrelationChecks) {
    Select(DesignKind::Correlated3);
    controls.correlations[CorrelationCellIndex(1, 2)] = "0";
    controls.correlations[CorrelationCellIndex(1, 3)] = "-0";
    controls.correlations[CorrelationCellIndex(2, 3)] = "0,5";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages, Messages{kNotANumber});
    EXPECT_EQ(host.focus, Messages{"txt_r23"});
    for (int box = 1; box <= 3; ++box) {
        controls.Box(box).mean = "0";
        controls.Box(box).sd = "1";
    }
    EXPECT_EQ(Run(','), RunOutcome::Generated);
    EXPECT_EQ(state->setup.correlations.Entered(2, 3), 0.5);

    host.messages.clear();
    host.focus.clear();
    controls.correlations[CorrelationCellIndex(2, 3)] = "1.01";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.focus, Messages{"txt_r12"});
    EXPECT_EQ(host.messages,
              Messages{"Check your correlation values. CORRELATION must be between -1.0 and 1.0"});

    host.messages.clear();
    controls.correlations[CorrelationCellIndex(2, 3)] = "nan";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages, Messages{kNotANumber});
}

TEST_F(RunCommandTest, ACorrelationOfOneIsInRangeButNotPositiveDefinite) {
    Select(DesignKind::Correlated2);
    controls.correlations[CorrelationCellIndex(1, 2)] = "1.0";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages,
              Messages{"Sorry, your matrix is not a positive definite symmetric "
                       "matrix and therefore will not work as a correlation matrix"});

    host.messages.clear();
    Select(DesignKind::Correlated3);
    controls.correlations[CorrelationCellIndex(1, 2)] = "0.9";
    controls.correlations[CorrelationCellIndex(1, 3)] = "0.9";
    controls.correlations[CorrelationCellIndex(2, 3)] = "-0.9";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(RunCommandTest, AnImpossibleMatrixComesWithTheChangesThatWouldMendIt) {
    Select(DesignKind::Correlated3);
    controls.correlations[CorrelationCellIndex(1, 2)] = "0.9";
    controls.correlations[CorrelationCellIndex(1, 3)] = "0.9";
    controls.correlations[CorrelationCellIndex(2, 3)] = "-0.9";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages,
              Messages{"Sorry, your matrix is not a positive definite symmetric matrix and "
                       "therefore will not work as a correlation matrix"});
    ASSERT_EQ(host.details.size(), 1u);
    EXPECT_NE(host.details[0].find("r23 = -0.90: with the others kept, use a value between 0.63 "
                                   "and 0.99"),
              std::string::npos)
        << host.details[0];
}

// A Uniform and a skewed variable correlate at most 0.9692 either way; asking for more is
// refused with what the pair can reach, before anything is drawn.
TEST_F(RunCommandTest, ACorrelationTheShapesCannotReachIsRefusedWithTheirRange) {
    Select(DesignKind::Correlated3);
    controls.Box(1).shape = DistributionKind::Uniform;
    controls.Box(1).minChecked = controls.Box(1).maxChecked = true;
    controls.Box(1).minText = "-10";
    controls.Box(1).maxText = "10";
    controls.Box(3).shape = DistributionKind::SkewPos;
    controls.correlations[CorrelationCellIndex(1, 3)] = "0.99";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_FALSE(state->flags.dataGenerated);
    EXPECT_EQ(host.messages,
              Messages{"Sorry, the shapes you chose cannot have every correlation you asked for"});
    ASSERT_EQ(host.details.size(), 1u);
    EXPECT_EQ(host.details[0],
              "r13 = 0.99: Uniform scores (box 1) and positively skewed scores (box 3) can only "
              "be correlated between -0.9692 and 0.9692\n");

    host.messages.clear();
    host.details.clear();
    controls.correlations[CorrelationCellIndex(1, 3)] = "0.96";
    EXPECT_EQ(Run(), RunOutcome::Generated) << testing::LastOf(host.details);
}

// Each pair is reachable, but the normal correlations that the shapes need do not fit
// together, though the asked ones do: the help names the changes in the asked values.
TEST_F(RunCommandTest, ShapesThatNeedAnImpossibleNormalMatrixAreRefusedWithHelp) {
    Select(DesignKind::Correlated3);
    for (int box = 1; box <= 3; ++box) {
        controls.Box(box).shape = DistributionKind::Uniform;
        controls.Box(box).minChecked = controls.Box(box).maxChecked = true;
        controls.Box(box).minText = "-10";
        controls.Box(box).maxText = "10";
    }
    for (auto [i, j] : {std::pair{1, 2}, {1, 3}, {2, 3}}) {
        controls.correlations[CorrelationCellIndex(i, j)] = "-0.497";
    }
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages,
              Messages{"Sorry, with the shapes of boxes 1, 2 and 3 your matrix will not work as a "
                       "correlation matrix: the shaped scores would need normal correlations "
                       "that are not a positive definite matrix"});
    ASSERT_EQ(host.details.size(), 1u);
    EXPECT_NE(host.details[0].find(
                  "r12 = -0.50: with the others kept, use a value between -0.45 and 0.99"),
              std::string::npos)
        << host.details[0];
}

TEST_F(RunCommandTest, DisabledCorrelationsKeepTheirValuesButCountInTheRangeCheck) {
    Select(DesignKind::Correlated3);
    controls.correlations[CorrelationCellIndex(1, 3)] = "0.3";
    ASSERT_EQ(Run(), RunOutcome::Generated);
    Select(DesignKind::Groups2);
    controls.correlations[CorrelationCellIndex(1, 3)] = "5";  // disabled now: not read
    EXPECT_EQ(Run(), RunOutcome::Generated);
    EXPECT_EQ(state->setup.correlations.Entered(1, 3), 0.3);
}

TEST_F(RunCommandTest, DecimalsAreParsedPerBoxAndCheckedOverAllBoxes) {
    controls.Box(2).decimals = "two";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages, Messages{"You must enter an Integer Value from 0 to 6"});
    EXPECT_EQ(host.focus, Messages{"txt_dec2"});
    host.messages.clear();
    host.focus.clear();
    controls.Box(2).decimals = "7";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages,
              Messages{"Check your decimal values. # DECIMALS must be between 0 and 6"});
    EXPECT_EQ(host.focus, Messages{"txt_dec1"});
}

TEST_F(RunCommandTest, ABadPercentageShowsItsDialogUntilAValueIsAccepted) {
    controls.missing = "150";
    host.percentageAnswers = {"abc", "101", "12"};
    ASSERT_EQ(Run(), RunOutcome::Generated);
    const std::string message =
        "Percentage of MISSING VALUES should be an appropriate numeric value between 0 and 100";
    // "abc" is no integer and leaves the refused 150 in place, which fails the range check too.
    EXPECT_EQ(host.messages, (Messages{message, message, message, message}));
    EXPECT_EQ(host.percentageDialogs, 3);
    EXPECT_EQ(controls.missing, "12");
    EXPECT_EQ(state->setup.missingPercent, 12);
    EXPECT_EQ(state->setup.missingFraction, 0.12);
}

TEST_F(RunCommandTest, ExtremePercentageMessagesAndNoDialogToAsk) {
    controls.extreme = "x";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(
        host.messages,
        Messages{"Percentage of EXTREME VALUES should be an appropriate numeric value between "
                 "0 and 100"});
    host.messages.clear();
    controls.extreme = "-1";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(
        host.messages,
        Messages{"Percentage of extreme VALUES should be an appropriate numeric value between "
                 "0 and 100"});
    EXPECT_FALSE(state->flags.dataGenerated);
    controls.extreme = "100";
    EXPECT_EQ(Run(), RunOutcome::Generated);
}

// A categorical design reads its table instead of the boxes: a refused table names what to
// mend and stops; a good one writes a code per case and variable, and no box is read.
TEST_F(RunCommandTest, ACategoricalDesignRunsOnItsTableAlone) {
    Select(DesignKind::Table2x3);
    controls.categories = EvenCategoryTexts(2, 3);
    controls.categories.percentages.back() = "10";
    controls.Box(1).mean = "not read";
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(host.messages,
              Messages{"The cell percentages must add up to 100 (they add up to 93.3)"});
    EXPECT_EQ(host.focus, Messages{"txt_pct1"});

    host.messages.clear();
    controls.categories = EvenCategoryTexts(2, 3);
    controls.categories.n = "300";
    controls.missing = "10";
    ASSERT_EQ(Run(), RunOutcome::Generated);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(state->setup.totalCases, 300);
    int missing = 0;
    for (int row = 0; row < 300; ++row) {
        for (int v = 0; v < 2; ++v) {
            const double code = state->tables.generatedData.At(row, v);
            if (code == MissingMark) {
                ++missing;
                continue;
            }
            EXPECT_GE(code, 1);
            EXPECT_LE(code, v == 0 ? 2 : 3);
            EXPECT_EQ(code, std::floor(code));
        }
    }
    EXPECT_GT(missing, 30);
    EXPECT_LT(missing, 90);
}

}  // namespace
}  // namespace zek
