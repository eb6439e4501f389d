#include "setup/generation_setup.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>

#include "setup/design_catalogue.h"

namespace zek {
namespace {

TEST(GenerationSetup, StartsAsTheTwoGroupDesign) {
    const GenerationSetup setup;
    GenerationSetup applied;
    ApplyDesign(Design(DesignKind::Groups2), applied);
    EXPECT_EQ(setup.family, applied.family);
    EXPECT_EQ(setup.levelsFactor1, applied.levelsFactor1);
    EXPECT_EQ(setup.boxCount, applied.boxCount);
    for (int box = 1; box <= kBoxCount; ++box) {
        EXPECT_EQ(setup.Box(box).active, applied.Box(box).active);
        EXPECT_EQ(setup.Box(box).distribution, DistributionKind::RandomlyChosen);
    }
    EXPECT_EQ(setup.missingPercent, 3);
    EXPECT_EQ(setup.extremeFraction, 0.03);
    EXPECT_EQ(setup.reliability, 1.0);
    EXPECT_EQ(setup.betaLow, 2);
    EXPECT_EQ(setup.betaHigh, 6);
    EXPECT_EQ(setup.dataFileName, "ZEK_data");
    EXPECT_EQ(std::bit_cast<std::uint64_t>(NoLimit), 0xC153B0FAC0000000u);
}

TEST(GenerationSetup, ResetToStartupKeepsPercentagesSeedAndFileNames) {
    GenerationSetup setup;
    RunFlags flags{true, true};
    ApplyDesign(Design(DesignKind::Correlated5), setup);
    setup.betaLow = 3;
    setup.betaHigh = 9;
    setup.reliability = 0.5;
    setup.missingPercent = 12;
    setup.missingFraction = 0.12;
    setup.seed = 77;
    setup.dataFileName = "/tmp/scores.csv";
    setup.Box(3).distribution = DistributionKind::Uniform;
    setup.Box(3).mean = 8.0;

    ResetToStartup(setup, flags);

    EXPECT_FALSE(flags.dataGenerated);
    EXPECT_EQ(setup.family, DesignFamily::OneWay);
    EXPECT_EQ(setup.boxCount, 2);
    EXPECT_FALSE(setup.Box(3).active);
    EXPECT_EQ(setup.Box(3).distribution, DistributionKind::RandomlyChosen);
    EXPECT_EQ(setup.betaLow, 2);
    EXPECT_EQ(setup.betaHigh, 6);
    EXPECT_EQ(setup.reliability, 1.0);
    EXPECT_EQ(setup.missingPercent, 12);
    EXPECT_EQ(setup.missingFraction, 0.12);
    EXPECT_EQ(setup.seed, 77);
    EXPECT_EQ(setup.dataFileName, "/tmp/scores.csv");
    EXPECT_EQ(setup.Box(3).mean, 8.0);
}

TEST(GenerationSetup, CorrelationIndexingVisitsRowsOfTheUpperTriangle) {
    EXPECT_EQ(CorrelationCellIndex(1, 2), 0);
    EXPECT_EQ(CorrelationCellIndex(1, 8), 6);
    EXPECT_EQ(CorrelationCellIndex(2, 3), 7);
    EXPECT_EQ(CorrelationCellIndex(7, 8), 27);
    EXPECT_EQ(PackedIndex(1, 1), 0);
    EXPECT_EQ(PackedIndex(3, 2), 4);
    EXPECT_EQ(PackedIndex(8, 8), 35);
}

// Multiplied up to a million, divided beyond, so that no stream seed overflows; seed 0 has
// stream seeds of its own.
TEST(GenerationSetup, StreamSeedsOfASeed) {
    auto seeds = [](std::int32_t seed) {
        const StreamSeeds derived = StreamSeedsOf(seed);
        return std::array<std::int32_t, 3>{derived.negated, derived.times319, derived.times727};
    };
    EXPECT_EQ(seeds(1804), (std::array<std::int32_t, 3>{-1804, -575476, -1311508}));
    EXPECT_EQ(seeds(2000000), (std::array<std::int32_t, 3>{-2000000, -6269, -2751}));
    EXPECT_EQ(seeds(1000000), (std::array<std::int32_t, 3>{-1000000, -319000000, -727000000}));
    EXPECT_EQ(seeds(-7), (std::array<std::int32_t, 3>{-7, -2233, -5089}));
    EXPECT_EQ(seeds(0), (std::array<std::int32_t, 3>{0, -1, -2}));
    EXPECT_EQ(seeds(2147483647), (std::array<std::int32_t, 3>{-2147483647, -6731923, -2953897}));
}

}  // namespace
}  // namespace zek
