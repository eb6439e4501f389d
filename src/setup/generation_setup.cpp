#include "setup/generation_setup.h"

#include "setup/design_catalogue.h"

namespace zek {

const char* DistributionCaption(DistributionKind kind) {
    switch (kind) {
        case DistributionKind::Normal:
            return "Normal";
        case DistributionKind::Uniform:
            return "Uniform";
        case DistributionKind::SkewPos:
            return "+ Skew";
        case DistributionKind::SkewNeg:
            return "-- Skew";
        case DistributionKind::RandomlyChosen:
            return "Randomly Chosen";
        case DistributionKind::Likert:
            return "Likert";
    }
    return "";
}

std::array<BoxParameters, kBoxCount> GenerationSetup::StartupBoxes() {
    std::array<BoxParameters, kBoxCount> boxes{};
    boxes[0].active = true;
    boxes[1].active = true;
    return boxes;
}

namespace {

// Other seeds give multiples of 319 and 727 up to -319 and -727, or quotients below -3000.
constexpr std::int32_t kSeedZeroStreamSeed319 = -1;
constexpr std::int32_t kSeedZeroStreamSeed727 = -2;

}  // namespace

StreamSeeds StreamSeedsOf(std::int32_t seed) {
    const std::int32_t negated = seed < 0 ? seed : -seed;
    if (negated == 0) return {negated, kSeedZeroStreamSeed319, kSeedZeroStreamSeed727};
    // Seeds below -1000000 are divided rather than multiplied, which keeps them in range.
    return {negated, negated < -1000000 ? negated / 319 : negated * 319,
            negated < -1000000 ? negated / 727 : negated * 727};
}

void ResetToStartup(GenerationSetup& setup, RunFlags& flags) {
    const GenerationSetup startup;
    setup.betaLow = startup.betaLow;
    setup.betaHigh = startup.betaHigh;
    setup.reliability = startup.reliability;
    setup.exactStatistics = startup.exactStatistics;
    setup.repeatedMeasures = startup.repeatedMeasures;
    setup.longLayout = startup.longLayout;
    setup.scaleItems = startup.scaleItems;
    setup.scaleScore = startup.scaleScore;
    flags.dataGenerated = false;

    ApplyDesign(Design(DesignKind::Groups2), setup);
    for (BoxParameters& box : setup.boxes) box.distribution = DistributionKind::RandomlyChosen;
}

}  // namespace zek
