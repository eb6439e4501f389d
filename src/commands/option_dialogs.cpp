#include "commands/option_dialogs.h"

#include <limits>

#include "setup/number_parsing.h"

namespace zek {

std::optional<std::int32_t> ParseSeed(std::string_view text) {
    const std::optional<std::int32_t> seed = ParseInteger(text);
    if (!seed || *seed == std::numeric_limits<std::int32_t>::min()) return std::nullopt;
    return seed;
}

Verdict AcceptSeed(std::string_view text, GenerationSetup& setup) {
    const std::optional<std::int32_t> seed = ParseSeed(text);
    if (!seed) return Refusal{kSeedMessage, "txt_seed"};
    setup.seed = *seed;
    return std::nullopt;
}

Verdict AcceptReliability(std::string_view text, char decimalSeparator, GenerationSetup& setup) {
    const std::optional<double> reliability = ParseReal(text, decimalSeparator);
    if (!reliability) return Refusal{kReliabilityNotANumber, "txt_reliability"};
    setup.reliability = *reliability;
    if (!IsAcceptedReliability(*reliability)) return Refusal{kReliabilityRange, "txt_reliability"};
    return std::nullopt;
}

Verdict AcceptBetaPair(std::string_view lowText, std::string_view highText,
                       GenerationSetup& setup) {
    constexpr const char* kLow = "txtBetaLO";
    constexpr const char* kHigh = "txtbetaHI";
    Verdict outcome;
    // The first refused box takes the focus.
    auto refuse = [&outcome](const char* focus) {
        if (!outcome) outcome = Refusal{kBetaMessage, focus};
    };
    // A parameter that does not parse keeps its value.
    if (const std::optional<std::int32_t> low = ParseInteger(lowText)) {
        setup.betaLow = *low;
    } else {
        refuse(kLow);
    }
    if (const std::optional<std::int32_t> high = ParseInteger(highText)) {
        setup.betaHigh = *high;
    } else {
        refuse(kHigh);
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
        refuse(kLow);
    }
    if (setup.betaHigh < kLowestBeta || setup.betaHigh > kHighestBeta) {
        setup.betaHigh = 6;
        refuse(kHigh);
    }
    if (lowOutOfRange()) setup.betaLow = 2;
    return outcome;
}

std::string AskUntilAccepted(const std::function<std::string()>& ask,
                             const std::function<Verdict(std::string_view)>& accept,
                             InteractionHost& host) {
    while (true) {
        std::string text = ask();
        const Verdict verdict = accept(text);
        if (!verdict) return text;
        host.ShowMessage(verdict->message);
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

Verdict CheckCanView(const RunFlags& flags) {
    if (flags.dataGenerated && flags.filesSaved) return std::nullopt;
    return Refusal{"Sorry, you must save the data in order to view it", ""};
}

}  // namespace zek
