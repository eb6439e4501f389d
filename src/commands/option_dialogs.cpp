#include "commands/option_dialogs.h"

#include <limits>

#include "setup/number_parsing.h"

namespace zek {

std::optional<std::string> AcceptSeed(std::string_view text, GenerationSetup& setup) {
    const std::optional<std::int32_t> seed = ParseInteger(text);
    // The lowest int32 has no positive counterpart, and no stream can start from it.
    if (!seed || *seed == std::numeric_limits<std::int32_t>::min()) return kSeedMessage;
    setup.seed = *seed;
    setup.negatedSeed = *seed < 0 ? *seed : -*seed;
    return std::nullopt;
}

std::optional<std::string> AcceptReliability(std::string_view text, char decimalSeparator,
                                             GenerationSetup& setup) {
    const std::optional<double> reliability = ParseReal(text, decimalSeparator);
    if (!reliability) return kReliabilityNotANumber;
    setup.reliability = *reliability;
    if (*reliability > 1.0 || *reliability < 0.01) return kReliabilityRange;
    return std::nullopt;
}

BetaOutcome AcceptBetaPair(std::string_view lowText, std::string_view highText,
                           GenerationSetup& setup) {
    BetaOutcome outcome;
    if (const std::optional<std::int32_t> low = ParseInteger(lowText)) {
        setup.betaLow = *low;
    } else {
        outcome.invalid = true;
    }
    if (const std::optional<std::int32_t> high = ParseInteger(highText)) {
        setup.betaHigh = *high;
    } else {
        if (!outcome.invalid) outcome.focus = BetaOutcome::Focus::High;
        outcome.invalid = true;
    }
    if (outcome.invalid) {
        // A parameter that did not parse keeps its value, but the pair must still fit the
        // generator, which holds at most 10 order statistics.
        if (setup.betaLow < 1 || setup.betaLow > 10 || setup.betaLow > setup.betaHigh) {
            setup.betaLow = 2;
        }
        if (setup.betaHigh < 1 || setup.betaHigh > 10) setup.betaHigh = 6;
        if (setup.betaLow > setup.betaHigh) setup.betaLow = 2;
        return outcome;
    }
    if (setup.betaLow < 1 || setup.betaLow > 10 || setup.betaLow > setup.betaHigh) {
        outcome = {true, BetaOutcome::Focus::Low};
        setup.betaLow = 2;
    }
    // Applied also when the low parameter was refused, so that 11 and 15 cannot stay.
    if (setup.betaHigh < 1 || setup.betaHigh > 10) {
        if (!outcome.invalid) outcome.focus = BetaOutcome::Focus::High;
        outcome.invalid = true;
        setup.betaHigh = 6;
    }
    return outcome;
}

}  // namespace zek
