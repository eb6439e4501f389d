#include "commands/option_dialogs.h"

#include <gtest/gtest.h>

#include <deque>

#include "support/recording_host.h"

namespace zek {
namespace {

// The seed dialog's loop, as the window runs it: a refused text shows its message and the
// dialog again, with what was typed.
TEST(OptionDialogs, AValueDialogComesBackUntilItsValueIsAccepted) {
    testing::RecordingHost host;
    GenerationSetup setup;
    std::deque<std::string> typed{"12x", "-2147483648", "77"};
    int shown = 0;
    const std::string accepted = AskUntilAccepted(
        [&] {
            ++shown;
            std::string text = typed.front();
            typed.pop_front();
            return text;
        },
        [&](std::string_view text) { return AcceptSeed(text, setup); }, host);
    EXPECT_EQ(accepted, "77");
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(host.messages, (std::vector<std::string>{kSeedMessage, kSeedMessage}));
    EXPECT_EQ(setup.seed, 77);
}

TEST(OptionDialogs, BetaItemsAndTheViewRuleAreTheMenusOwn) {
    GenerationSetup setup;
    ApplyBetaPreset(BetaPresets()[3], setup);
    EXPECT_EQ(setup.betaLow, 2);
    EXPECT_EQ(setup.betaHigh, 10);
    for (const BetaPreset& preset : BetaPresets()) {
        EXPECT_TRUE(IsAcceptedBetaPair(preset.low, preset.high)) << preset.name;
    }
    RunFlags flags;
    EXPECT_EQ(CheckCanView(flags)->message, "Sorry, you must save the data in order to view it");
    flags.dataGenerated = true;
    EXPECT_TRUE(CheckCanView(flags).has_value()) << "generated but not saved";
    flags.filesSaved = true;
    EXPECT_FALSE(CheckCanView(flags).has_value());

    // The first refused box of the Beta dialog takes the focus.
    EXPECT_EQ(AcceptBetaPair("x", "12", setup), (Refusal{kBetaMessage, "txtBetaLO"}));
    EXPECT_EQ(AcceptBetaPair("3", "12", setup), (Refusal{kBetaMessage, "txtbetaHI"}));
    EXPECT_FALSE(AcceptBetaPair("3", "7", setup).has_value());
}

}  // namespace
}  // namespace zek
