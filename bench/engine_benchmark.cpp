// GenerateData on the largest runs beside the stream calls it cannot avoid.
//
// The bare-draws baseline makes exactly the calls of a run (one raw deviate, one error
// deviate and the extreme and missing tests per score) and nothing else; the counter
// `ratio` is engine time / baseline time, so it says what the scaling, mixing and finishing
// cost on top of the random numbers.
#include <benchmark/benchmark.h>
#include <cstdlib>

#include <algorithm>
#include <chrono>
#include <memory>

#include "engine/generate_data.h"
#include "fastest_seconds.h"
#include "mandatory_work.h"
#include "support/runnable_setup.h"

namespace {

using zek::DistributionKind;
using zek::GenerationSetup;

enum class Scenario { EightGroups, EightCorrelated, AllSkewed, EightShapedCorrelated };

GenerationSetup SetupFor(Scenario scenario) {
    switch (scenario) {
        case Scenario::EightGroups:
            return zek::testing::RunnableSetup(zek::DesignKind::Groups8, 1804, 25000);
        case Scenario::EightCorrelated: {
            GenerationSetup setup =
                zek::testing::RunnableSetup(zek::DesignKind::Correlated8, 1804, 25000);
            for (int i = 1; i <= 8; ++i) {
                for (int j = i + 1; j <= 8; ++j) zek::testing::SetCorrelation(setup, i, j, 0.3);
            }
            return setup;
        }
        case Scenario::AllSkewed: {
            GenerationSetup setup =
                zek::testing::RunnableSetup(zek::DesignKind::Groups8, 1804, 25000);
            for (int box = 1; box <= 8; ++box) {
                setup.Box(box).distribution =
                    box % 2 == 0 ? DistributionKind::SkewPos : DistributionKind::SkewNeg;
            }
            return setup;
        }
        case Scenario::EightShapedCorrelated: {
            // Every shape, each mixed as a Normal deviate and turned into its shape after.
            GenerationSetup setup = SetupFor(Scenario::EightCorrelated);
            const DistributionKind shapes[] = {DistributionKind::Uniform, DistributionKind::SkewPos,
                                               DistributionKind::SkewNeg, DistributionKind::Normal};
            for (int box = 1; box <= 8; ++box) {
                setup.Box(box).distribution = shapes[(box - 1) % 4];
                setup.Box(box).minScore = -2.0;
                setup.Box(box).maxScore = 2.0;
            }
            return setup;
        }
    }
    return {};
}

using zek::bench::FastestSeconds;

void BM_GenerateData(benchmark::State& state) {
    const auto scenario = static_cast<Scenario>(state.range(0));
    const auto threads = state.range(1) == 2 ? zek::RunThreads::TwoWhenLarge : zek::RunThreads::One;
    const GenerationSetup setup = SetupFor(scenario);
    auto tables = std::make_unique<zek::GenerationTables>();
    zek::RandomStreams streams;
    zek::GeneratedRun run{setup, {}};
    double fastestEngine = 1e300;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (zek::GenerateData(setup, streams, *tables, run.record, threads)) std::abort();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        fastestEngine = std::min(fastestEngine, elapsed.count());
        benchmark::DoNotOptimize(tables->generatedData.At(0, 0));
    }
    const double bare =
        FastestSeconds(5, [&] { benchmark::DoNotOptimize(zek::bench::BareDraws(run, streams)); });
    const double scores = static_cast<double>(setup.totalCases) * setup.variableCount;
    state.counters["ns_per_score"] = fastestEngine * 1e9 / scores;
    state.counters["bare_ns_per_score"] = bare * 1e9 / scores;
    state.counters["ratio"] = fastestEngine / bare;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(scores));
}

BENCHMARK(BM_GenerateData)
    // scenario 0: 8 groups of 25000, 1: 8 correlated variables, 2: all skewed, 3: 8 correlated
    // variables of all four shapes; threads 1 or 2 (the deviates drawn ahead where they can be)
    ->ArgNames({"scenario", "threads"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// The normal correlations and factor that an 8 x 8 matrix of shaped variables needs, from
// scratch as every run computes them; `of_run` is its share of the whole run.
void BM_MixingFactors(benchmark::State& state) {
    GenerationSetup setup = SetupFor(Scenario::EightShapedCorrelated);
    auto tables = std::make_unique<zek::GenerationTables>();
    zek::RandomStreams streams;
    zek::RunRecord record;
    if (zek::GenerateData(setup, streams, *tables, record)) std::abort();
    const zek::DataLayout layout = zek::LayoutOf(setup);
    zek::BlockFactors factors{};
    double fastest = 1e300;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (zek::MixingFactorsOf(setup, record.boxes, layout, zek::CorrelatedColumnsOf(setup),
                                 factors))
            std::abort();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        fastest = std::min(fastest, elapsed.count());
        benchmark::DoNotOptimize(factors[0][7][7]);
    }
    const double run = FastestSeconds(3, [&] {
        if (zek::GenerateData(setup, streams, *tables, record)) std::abort();
    });
    state.counters["microseconds"] = fastest * 1e6;
    state.counters["of_run"] = fastest / run;
}

BENCHMARK(BM_MixingFactors)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
