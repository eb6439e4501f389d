// Writing the data file and the information file of the largest run, beside a bare loop
// that only formats the same numbers into memory. `ratio` is writer time / bare time.
#include <benchmark/benchmark.h>
#include <cstdlib>

#include <algorithm>
#include <chrono>
#include <memory>
#include <ostream>
#include <streambuf>
#include <vector>

#include "engine/generate_data.h"
#include "fastest_seconds.h"
#include "files/data_file.h"
#include "files/information_file.h"
#include "files/number_format.h"
#include "files/number_format_general.h"
#include "files/package_files.h"
#include "stats/actual_statistics.h"
#include "stats/answer_key.h"
#include "support/format_probe_values.h"
#include "support/runnable_setup.h"

namespace {

// Counts what it is given and keeps nothing, so that only the writer's own work is timed.
class CountingBuffer : public std::streambuf {
  public:
    std::size_t written = 0;

  protected:
    std::streamsize xsputn(const char*, std::streamsize count) override {
        written += static_cast<std::size_t>(count);
        return count;
    }
    int_type overflow(int_type c) override {
        ++written;
        return c;
    }
};

using zek::bench::FastestSeconds;

struct LargestRun {
    std::unique_ptr<zek::GenerationTables> tables = std::make_unique<zek::GenerationTables>();
    zek::GenerationSetup setup;
    zek::RunRecord record;
    LargestRun(zek::DesignKind design, int variables) {
        setup = zek::testing::RunnableSetup(design, 1804, variables == 1 ? 25000 : 25000);
        zek::RandomStreams streams;
        if (zek::GenerateData(setup, streams, *tables, record)) std::abort();
    }
};

void BM_WriteDataFile(benchmark::State& state) {
    const bool correlated = state.range(0) == 1;
    LargestRun run(correlated ? zek::DesignKind::Correlated8 : zek::DesignKind::Groups8,
                   correlated ? 8 : 1);
    const zek::GenerationSetup& setup = run.setup;
    std::size_t bytes = 0;
    double fastestWriter = 1e300;
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        const auto start = std::chrono::steady_clock::now();
        zek::WriteDataFile(out, setup, run.tables->generatedData);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        fastestWriter = std::min(fastestWriter, elapsed.count());
        bytes = buffer.written;
    }
    // The same numbers formatted into one string, with no ids, codes or separators.
    const double bare = FastestSeconds(5, [&] {
        std::string text;
        text.reserve(bytes);
        for (int row = 0; row < setup.totalCases; ++row) {
            for (int v = 0; v < setup.variableCount; ++v) {
                zek::AppendFixed(text, run.tables->generatedData.At(row, v), 2);
            }
        }
        benchmark::DoNotOptimize(text.data());
    });
    state.counters["MB_per_s"] = static_cast<double>(bytes) / fastestWriter / 1e6;
    state.counters["ratio"] = fastestWriter / bare;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_WriteDataFile)->ArgName("correlated")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The largest correlated run as an SPSS, Stata or Excel file, beside the same run as text.
// `ratio_to_text` is the package file's time over the text file's; the workbook is made in
// libxlsxwriter's constant-memory mode, row by row.
void BM_WritePackageFile(benchmark::State& state) {
    const auto format = static_cast<zek::DataFormat>(state.range(0));
    LargestRun run(zek::DesignKind::Correlated8, 8);
    double fastest = 1e300;
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        const auto start = std::chrono::steady_clock::now();
        zek::WritePackageDataFile(format, out, run.setup, run.tables->generatedData, {});
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        fastest = std::min(fastest, elapsed.count());
    }
    const double text = FastestSeconds(3, [&] {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        zek::WriteDataFile(out, run.setup, run.tables->generatedData);
    });
    state.counters["ratio_to_text"] = fastest / text;
}
BENCHMARK(BM_WritePackageFile)
    ->ArgName("format")
    ->Arg(static_cast<int>(zek::DataFormat::Spss))
    ->Arg(static_cast<int>(zek::DataFormat::Stata))
    ->Arg(static_cast<int>(zek::DataFormat::Excel))
    ->Unit(benchmark::kMillisecond);

// The exact integer path of `AppendFixed` against the general conversion it replaces below
// 1e12: tens of millions of values, every one of 0 to 6 decimals; any difference fails the
// run. `speedup` is general time / exact time.
void BM_ExactFormattingMatchesGeneral(benchmark::State& state) {
    long compared = 0;
    long differences = 0;
    std::string exact;
    std::string general;
    for (auto _ : state) {
        zek::testing::ForEachFormatProbe(1804, 2'000'000, [&](double value) {
            for (int decimals = 0; decimals <= 6; ++decimals) {
                exact.clear();
                general.clear();
                zek::AppendFixed(exact, value, decimals);
                zek::AppendFixedGeneral(general, value, decimals);
                differences += exact != general ? 1 : 0;
                ++compared;
            }
        });
    }
    std::vector<double> values;
    zek::testing::ForEachFormatProbe(7, 200'000, [&](double value) { values.push_back(value); });
    auto timeOf = [&](void (*format)(std::string&, double, int)) {
        return FastestSeconds(3, [&] {
            std::string text;
            text.reserve(values.size() * 20);
            for (double value : values) format(text, value, 2);
            benchmark::DoNotOptimize(text.data());
        });
    };
    state.counters["compared"] = static_cast<double>(compared);
    state.counters["speedup"] = timeOf(&zek::AppendFixedGeneral) / timeOf(&zek::AppendFixed);
    if (differences != 0) state.SkipWithError("the exact path differs from the general path");
}
BENCHMARK(BM_ExactFormattingMatchesGeneral)->Iterations(1)->Unit(benchmark::kSecond);

void BM_WriteInformationFile(benchmark::State& state) {
    LargestRun run(zek::DesignKind::Correlated8, 8);
    zek::ActualStatistics statistics;
    const zek::ReportFooterLines footer = zek::AboutIdentificationLines();
    const zek::GeneratedRun generated{run.setup, run.record};
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        zek::ComputeActualStatistics(run.setup, run.tables->generatedData, statistics);
        zek::WriteInformationFile(out, generated, statistics, footer);
        benchmark::DoNotOptimize(buffer.written);
    }
}
BENCHMARK(BM_WriteInformationFile)->Unit(benchmark::kMillisecond);

// The statistics of the largest correlated run with a twentieth of its scores missing: the
// report's (unrounded scores) and the answer key's (the scores as written).
void BM_RunStatistics(benchmark::State& state) {
    LargestRun run(zek::DesignKind::Correlated8, 8);
    for (int row = 0; row < run.setup.totalCases; ++row) {
        for (int v = 0; v < 8; ++v) {
            if ((row * 8 + v) % 20 == 7) run.tables->generatedData.At(row, v) = zek::MissingMark;
        }
    }
    const zek::WrittenScores written = zek::ScoresAsWritten(run.setup, run.tables->generatedData);
    zek::ActualStatistics statistics;
    double report = 0.0;
    double key = 0.0;
    for (auto _ : state) {
        report = FastestSeconds(5, [&] {
            zek::ComputeActualStatistics(run.setup, run.tables->generatedData, statistics);
        });
        key = FastestSeconds(
            5, [&] { benchmark::DoNotOptimize(zek::ComputeAnswerKey(run.setup, written)); });
    }
    state.counters["report_ms"] = report * 1e3;
    state.counters["key_ms"] = key * 1e3;
}
BENCHMARK(BM_RunStatistics)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
