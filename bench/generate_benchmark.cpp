// zek-generate as a whole process on the largest runs: reading the parameters file,
// validating, generating and writing the three files, beside its floor: the stream calls of
// the run and the bare formatting of its numbers, measured in this process. `ratio` is
// process time / floor (target 1.3 at most); `peak_MB` is the process's largest resident size
// (target below 64).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "commands/control_texts.h"
#include "commands/run_command.h"
#include "fastest_seconds.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "mandatory_work.h"

namespace {

namespace fs = std::filesystem;

zek::ControlTexts LargestSetup(bool correlated) {
    zek::ControlTexts texts;
    texts.design = correlated ? zek::DesignKind::Correlated8 : zek::DesignKind::Groups8;
    for (zek::BoxTexts& box : texts.boxes) box.n = "25000";
    if (correlated) {
        texts.missing = "5";
        texts.extreme = "3";
        for (int i = 1; i <= 8; ++i) {
            for (int j = i + 1; j <= 8; ++j)
                texts.correlations[zek::CorrelationCellIndex(i, j)] = "0.3";
        }
    }
    return texts;
}

// Answers nothing: the largest setups ask for nothing.
class QuietHost final : public zek::CommandHost {
  public:
    void ShowMessage(std::string_view) override {}
    void Focus(std::string_view) override {}
    std::optional<std::string> AskPercentage(zek::PercentageKind, std::string_view) override {
        return std::nullopt;
    }
    std::int32_t ClockRandomBelow(std::int32_t) override { return 0; }
    std::optional<std::string> ChooseSaveFile(std::string_view, zek::SaveKind) override {
        return std::nullopt;
    }
};

double FloorSeconds(zek::ControlTexts texts) {
    auto state = std::make_unique<zek::ProgramState>();
    zek::ApplyDesign(zek::Design(texts.design), state->setup);
    QuietHost host;
    zek::RunCommand(texts, zek::EnabledCellsOf(zek::Design(texts.design)), '.', *state, host);
    const zek::GenerationSetup& run = state->generatedSetup;
    const double draws = zek::bench::FastestSeconds(
        5, [&] { benchmark::DoNotOptimize(zek::bench::BareDraws(run, state->streams)); });
    const double formatting = zek::bench::FastestSeconds(5, [&] {
        benchmark::DoNotOptimize(zek::bench::BareFormatting(run, state->tables.generatedData));
    });
    return draws + formatting;
}

void BM_ZekGenerateProcess(benchmark::State& state) {
    const bool correlated = state.range(0) == 1;
    const fs::path folder = fs::temp_directory_path() / ("zek_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const zek::ControlTexts texts = LargestSetup(correlated);
    zek::WriteTextFile((folder / "setup.TXT").string(), [&](std::ostream& out) {
        zek::WriteParametersFile(out, zek::ParametersFileContentsOf(texts));
    });
    // The three files of a save; with keys (second argument 1) the answer key as well.
    const bool keys = state.range(1) == 1;
    const std::string command = "cd '" + folder.string() + "' && exec '" + ZEK_GENERATE_PATH +
                                "' setup.TXT -o large.csv" + (keys ? "" : " --no-key") +
                                " > /dev/null";
    double fastest = 1e300;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("zek-generate failed");
            break;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        fastest = std::min(fastest, elapsed.count());
    }
    fs::remove_all(folder);
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    state.counters["floor_ms"] = FloorSeconds(texts) * 1e3;
    state.counters["ratio"] = fastest / (state.counters["floor_ms"] / 1e3);
    state.counters["peak_MB"] = static_cast<double>(children.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ZekGenerateProcess)
    // correlated 0: 8 groups of 25000, 1: 8 variables, 5% missing, 3% extreme
    ->ArgNames({"correlated", "keys"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A class set of 500 students at N 25 (two groups), every dataset with its three files and its
// answer key, and the class key: a teacher waits for it, so it should take a few seconds.
void BM_ClassSetOfFiveHundred(benchmark::State& state) {
    const fs::path folder =
        fs::temp_directory_path() / ("zek_bench_class_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    zek::WriteTextFile((folder / "setup.TXT").string(), [](std::ostream& out) {
        zek::WriteParametersFile(out, zek::ParametersFileContentsOf(zek::ControlTexts{}));
    });
    const std::string command = "cd '" + folder.string() + "' && exec '" + ZEK_GENERATE_PATH +
                                "' setup.TXT -o class.csv --count 500 > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("zek-generate failed");
            break;
        }
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_ClassSetOfFiveHundred)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
