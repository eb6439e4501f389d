#include "commands/option_dialogs.h"

#include <limits>

#include "setup/number_parsing.h"

namespace zek {

std::optional<std::int32_t> ParseSeed(std::string_view text) {
    const std::optional<std::int32_t> seed = ParseInteger(text);
    if (!seed || *seed == std::numeric_limits<std::int32_t>::min()) return std::nullopt;
    return seed;
}

std::optional<std::string> AcceptSeed(std::string_view text, GenerationSetup& setup) {
    const std::optional<std::int32_t> seed = ParseSeed(text);
    if (!seed) return kSeedMessage;
    setup.seed = *seed;
    setup.negatedSeed = *seed < 0 ? *seed : -*seed;
    return std::nullopt;
}

std::optional<std::string> AcceptReliability(std::string_view text, char decimalSeparator,
                                             GenerationSetup& setup) {
    const std::optional<double> reliability = ParseReal(text, decimalSeparator);
    if (!reliability) return kReliabilityNotANumber;
    setup.reliability = *reliability;
    if (!IsAcceptedReliability(*reliability)) return kReliabilityRange;
    return std::nullopt;
}

BetaOutcome AcceptBetaPair(std::string_view lowText, std::string_view highText,
                           GenerationSetup& setup) {
    BetaOutcome outcome;
    auto refuse = [&outcome](BetaOutcome::Focus focus) {
        if (!outcome.invalid) outcome.focus = focus;
        outcome.invalid = true;
    };
    // A parameter that does not parse keeps its value.
    if (const std::optional<std::int32_t> low = ParseInteger(lowText)) {
        setup.betaLow = *low;
    } else {
        refuse(BetaOutcome::Focus::Low);
    }
    if (const std::optional<std::int32_t> high = ParseInteger(highText)) {
        setup.betaHigh = *high;
    } else {
        refuse(BetaOutcome::Focus::High);
    }
    // Both rules apply whatever happened before, and the low one once more after the high one
    // is reset: the generator holds at most 10 order statistics and needs low <= high, so
    // neither 11 and 15 nor 9 and 12 (which would become 9 and 6) may reach it.
    auto lowOutOfRange = [&setup] {
        return setup.betaLow < kLowestBeta || setup.betaLow > kHighestBeta ||
               setup.betaLow > setup.betaHigh;
    };
    if (lowOutOfRange()) {
        setup.betaLow = 2;
        refuse(BetaOutcome::Focus::Low);
    }
    if (setup.betaHigh < kLowestBeta || setup.betaHigh > kHighestBeta) {
        setup.betaHigh = 6;
        refuse(BetaOutcome::Focus::High);
    }
    if (lowOutOfRange()) setup.betaLow = 2;
    return outcome;
}

std::string AskUntilAccepted(
    const std::function<std::string()>& ask,
    const std::function<std::optional<std::string>(std::string_view)>& accept,
    InteractionHost& host) {
    while (true) {
        std::string text = ask();
        const std::optional<std::string> refusal = accept(text);
        if (!refusal) return text;
        host.ShowMessage(*refusal);
    }
}

const std::array<BetaPreset, 4>& BetaPresets() {
    static constexpr std::array<BetaPreset, 4> kPresets{{
        {"Beta241", "Beta (2,4) = least Skewed", 2, 4},
        {"Beta261", "Beta (2,6)", 2, 6},
        {"Beta281", "Beta (2,8)", 2, 8},
        {"Beta2101", "Beta (2,10) = most Skewed", 2, 10},
    }};
    return kPresets;
}

void ApplyBetaPreset(const BetaPreset& preset, GenerationSetup& setup) {
    setup.betaLow = preset.low;
    setup.betaHigh = preset.high;
}

std::optional<std::string> ViewRefusal(const RunFlags& flags) {
    if (flags.dataGenerated && flags.filesSaved) return std::nullopt;
    return "Sorry, you must save the data in order to view it";
}

}  // namespace zek
