// What the OK buttons of the option dialogs accept: the seed, the reliability and the Beta
// pair. The window's dialogs call these; `zek-generate` checks its options with them too.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "commands/command_host.h"
#include "setup/generation_setup.h"
#include "setup/number_parsing.h"  // the one rule for numbers typed, options included
#include "setup/refusal.h"

namespace zek {

inline constexpr const char* kSeedMessage = "Seed must be an INTEGER value";

/// Seeds the clock picks: below this for the seed buttons of the window and the seed
/// dialog, and below the smaller bound for a run whose seed box is empty.
inline constexpr std::int32_t kPickedSeedBound = 10000000;
inline constexpr std::int32_t kEmptySeedBoxBound = 1000000;

/// The Beta parameters the generator takes: integers in this range, low <= high.
inline constexpr std::int32_t kLowestBeta = 1;
inline constexpr std::int32_t kHighestBeta = 10;
constexpr bool IsAcceptedBetaPair(std::int32_t low, std::int32_t high) {
    return low >= kLowestBeta && high <= kHighestBeta && low <= high;
}
inline constexpr const char* kReliabilityNotANumber = "Reliability must be a numeric value";
inline constexpr const char* kReliabilityRange =
    "Reliability must be greater than 0.0 and less than or equal to 1.0";
inline constexpr const char* kBetaMessage =
    "Beta Parameters must be INTEGER values from 1 to 10 (LOW value must be less than or "
    "equal to HIGH value).";

/// 0.01 to 1.0, both included, whatever the message says ("greater than 0.0").
constexpr bool IsAcceptedReliability(double reliability) {
    return reliability >= 0.01 && reliability <= 1.0;
}

/// A value dialog shown again and again until its OK accepts the text: `ask` shows it once and
/// returns what was typed, `accept` takes the text or returns the message that refuses it,
/// which `host` shows before the dialog comes back. The accepted text.
std::string AskUntilAccepted(const std::function<std::string()>& ask,
                             const std::function<Verdict(std::string_view)>& accept,
                             InteractionHost& host);

/// The Beta items of the Options menu, in their order.
struct BetaPreset {
    const char* name;  ///< the menu item's name ("Beta241")
    const char* caption;
    std::int32_t low, high;
};
const std::array<BetaPreset, 4>& BetaPresets();
void ApplyBetaPreset(const BetaPreset& preset, GenerationSetup& setup);

/// F2 shows the files only when the last run's data were saved.
Verdict CheckCanView(const RunFlags& flags);

/// The one seed rule of the seed box, the Set Seed Value dialog, a class set and
/// `zek-generate --seed`: an integer whose negation is an integer too, since the streams start
/// from the negated seed (so the lowest int32 is refused).
std::optional<std::int32_t> ParseSeed(std::string_view text);

/// The Set Seed Value dialog's OK: an integer seed into the setup (and its negation).
Verdict AcceptSeed(std::string_view text, GenerationSetup& setup);

/// The Change Reliability dialog's OK: 0.01 to 1.0 in the user's notation. A number out of
/// range is stored all the same, as the dialog does, and replaced by the accepted one that the
/// dialog's loop insists on.
Verdict AcceptReliability(std::string_view text, char decimalSeparator, GenerationSetup& setup);

/// The Beta Paramters dialog's OK. A parameter that does not parse keeps its value; a low one
/// out of range or above the high one becomes 2, a high one out of range 6. Both rules always
/// apply, so that the pair left is always within 1 <= low <= high <= 10. A refusal names the
/// edit box that takes the focus ("txtBetaLO" or "txtbetaHI").
Verdict AcceptBetaPair(std::string_view lowText, std::string_view highText, GenerationSetup& setup);

}  // namespace zek
