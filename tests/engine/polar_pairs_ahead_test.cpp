#include "engine/polar_pairs_ahead.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "engine/generate_data.h"
#include "support/runnable_setup.h"

namespace zek {
namespace {

using testing::RunnableSetup;
using testing::SetCorrelation;

// One program's engine: its streams and tables.
struct Engine {
    RandomStreams streams;
    std::unique_ptr<GenerationTables> tables = std::make_unique<GenerationTables>();
};

std::vector<std::uint64_t> BitsOf(const ScoreTable& table, const GenerationSetup& setup) {
    std::vector<std::uint64_t> bits;
    for (int row = 0; row < setup.totalCases; ++row) {
        for (int v = 0; v < setup.variableCount; ++v) {
            bits.push_back(std::bit_cast<std::uint64_t>(table.At(row, v)));
        }
    }
    return bits;
}

// The states below hold no padding.
template <typename State>
bool SameBytes(const State& a, const State& b) {
    return std::memcmp(&a, &b, sizeof(State)) == 0;
}

// Large runs of every kind the second thread takes (Normal columns, correlated columns of
// any shape, limits, extreme and missing values, unreliable scores, exact statistics) and
// one it leaves alone (Uniform groups), each run twice in a row and then once at seed 0,
// which goes on from the streams the runs before left.
TEST(PolarPairsAhead, DrawingAheadGivesTheScoresAndStreamsOfDrawingInPlace) {
    std::vector<std::function<GenerationSetup()>> setups{
        [] {
            GenerationSetup setup = RunnableSetup(DesignKind::Groups8, 1804, 3000);
            setup.missingFraction = 0.05;
            setup.extremeFraction = 0.03;
            setup.reliability = 0.8;
            return setup;
        },
        [] {
            GenerationSetup setup = RunnableSetup(DesignKind::Correlated8, 77, 3000);
            for (int i = 1; i <= 8; ++i) {
                for (int j = i + 1; j <= 8; ++j) SetCorrelation(setup, i, j, 0.3);
            }
            const DistributionKind shapes[] = {DistributionKind::RandomlyChosen,
                                               DistributionKind::SkewPos, DistributionKind::Normal,
                                               DistributionKind::SkewNeg};
            for (int box = 1; box <= 8; ++box) {
                setup.Box(box).distribution = shapes[(box - 1) % 4];
                setup.Box(box).minScore = -2.5;
                setup.Box(box).maxScore = 2.5;
            }
            setup.missingFraction = 0.1;
            return setup;
        },
        [] {
            GenerationSetup setup = RunnableSetup(DesignKind::TwoGroupsDV3, 5, 4000);
            SetCorrelation(setup, 1, 2, -0.4);
            setup.exactStatistics = true;
            return setup;
        },
        [] {
            GenerationSetup setup = RunnableSetup(DesignKind::Groups2, 9, 12000);
            setup.Box(2).distribution = DistributionKind::Uniform;
            setup.Box(2).minScore = 0.0;
            setup.Box(2).maxScore = 1.0;
            return setup;
        },
    };
    for (std::size_t k = 0; k < setups.size(); ++k) {
        Engine inPlace;
        Engine ahead;
        for (int seed : {-1, -1, 0}) {
            GenerationSetup first = setups[k]();
            if (seed == 0) first.seed = 0;
            const GenerationSetup& second = first;
            RunRecord inPlaceRecord;
            RunRecord aheadRecord;
            ASSERT_FALSE(GenerateData(first, inPlace.streams, *inPlace.tables, inPlaceRecord,
                                      RunThreads::One));
            ASSERT_FALSE(GenerateData(second, ahead.streams, *ahead.tables, aheadRecord,
                                      RunThreads::TwoWhenLarge));
            EXPECT_EQ(BitsOf(inPlace.tables->generatedData, first),
                      BitsOf(ahead.tables->generatedData, second))
                << "setup " << k << ", seed " << seed;
            EXPECT_EQ(BitsOf(inPlace.tables->trueScoreTable, first),
                      BitsOf(ahead.tables->trueScoreTable, second));
            EXPECT_TRUE(SameBytes(inPlace.streams.shuffledState(), ahead.streams.shuffledState()));
            EXPECT_TRUE(
                SameBytes(inPlace.streams.subtractiveState(), ahead.streams.subtractiveState()));
            EXPECT_EQ(inPlace.streams.gaussianState().hasSaved,
                      ahead.streams.gaussianState().hasSaved);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(inPlace.streams.gaussianState().saved),
                      std::bit_cast<std::uint64_t>(ahead.streams.gaussianState().saved));
            for (int box = 1; box <= kBoxCount; ++box) {
                EXPECT_EQ(inPlaceRecord.Box(box).shape, aheadRecord.Box(box).shape);
            }
        }
    }
}

// A taker that stops before the last pair (a run that failed halfway, say) ends the thread
// without waiting for a million pairs. The deviates taken are those of the stream's own
// pairs, the thread's and the taker's alike.
TEST(PolarPairsAhead, ATakerThatStopsEarlyLetsTheThreadEnd) {
    RandomStreams streams;
    RandomStreams reference;
    std::int32_t state = -31;
    std::int32_t referenceState = -31;
    {
        std::vector<PolarPair> pairs(10'000);
        std::vector<DeviatePair> deviates(1'000'000);
        PolarPairsAhead ahead(streams, state, pairs, deviates);
        for (int k = 0; k < 20000; ++k) {
            const DeviatePair taken = ahead.NextDeviates();
            const DeviatePair expected =
                RandomStreams::DeviatesOf(reference.DrawPolarPair(referenceState));
            ASSERT_EQ(std::bit_cast<std::uint64_t>(taken.first),
                      std::bit_cast<std::uint64_t>(expected.first));
            ASSERT_EQ(std::bit_cast<std::uint64_t>(taken.second),
                      std::bit_cast<std::uint64_t>(expected.second));
        }
    }
    SUCCEED();
}

}  // namespace
}  // namespace zek
