// zek-generate as a whole process on the largest runs: reading the parameters file,
// validating, generating and writing the three files, beside its floor: the stream calls of
// the run and the bare formatting of its numbers, measured in this process. `ratio` is
// process time / floor (target 1.3 at most); `one_core_ratio` the time held to one core over
// the time on all; `peak_MB` is the process's largest resident size (target below 64);
// `page_faults` those of the fastest run.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "child_process.h"
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
    const zek::GeneratedRun& run = state->generated;
    const double draws = zek::bench::FastestSeconds(
        5, [&] { benchmark::DoNotOptimize(zek::bench::BareDraws(run, state->streams)); });
    const double formatting = zek::bench::FastestSeconds(5, [&] {
        benchmark::DoNotOptimize(
            zek::bench::BareFormatting(run.setup, state->tables.generatedData));
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
    zek::bench::ChildCost fastest{1e300, 0.0, 0};
    for (auto _ : state) {
        const std::optional<zek::bench::ChildCost> run = zek::bench::RunChild(command);
        if (!run) {
            state.SkipWithError("zek-generate failed");
            break;
        }
        if (run->seconds < fastest.seconds) fastest = *run;
    }
    // The same process held to one core: what its second core saves (the uniforms drawn
    // ahead, the report's statistics and the answer key beside the writing).
    const std::string oneCoreCommand = "taskset -c 0 sh -c \"" + command + "\"";
    const double oneCore = zek::bench::FastestSeconds(
        5, [&] { benchmark::DoNotOptimize(zek::bench::RunChild(oneCoreCommand)); });
    fs::remove_all(folder);
    state.counters["floor_ms"] = FloorSeconds(texts) * 1e3;
    state.counters["ratio"] = fastest.seconds / (state.counters["floor_ms"] / 1e3);
    state.counters["one_core_ratio"] = oneCore / fastest.seconds;
    state.counters["peak_MB"] = fastest.peakMegabytes;
    state.counters["page_faults"] = static_cast<double>(fastest.pageFaults);
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
// answer key, and the class key: a teacher waits for it, so it should take a few seconds. Each
// data format in turn; `per_dataset_ms` is what one more student costs, to be set beside the
// text files' (SPSS and Stata within two times, the workbook's zip container costing more).
constexpr std::array kClassSetExtensions{"csv", "sav", "dta", "xlsx"};

void BM_ClassSetOfFiveHundred(benchmark::State& state) {
    const std::string extension = kClassSetExtensions.at(static_cast<std::size_t>(state.range(0)));
    const fs::path folder =
        fs::temp_directory_path() / ("zek_bench_class_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    zek::WriteTextFile((folder / "setup.TXT").string(), [](std::ostream& out) {
        zek::WriteParametersFile(out, zek::ParametersFileContentsOf(zek::ControlTexts{}));
    });
    const std::string command = "cd '" + folder.string() + "' && exec '" + ZEK_GENERATE_PATH +
                                "' setup.TXT -o class." + extension + " --count 500 > /dev/null";
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
    state.SetLabel(extension);
    state.counters["per_dataset_ms"] = fastest * 1000.0 / 500.0;
    fs::remove_all(folder);
}
BENCHMARK(BM_ClassSetOfFiveHundred)
    ->ArgName("format")
    ->DenseRange(0, static_cast<int>(kClassSetExtensions.size()) - 1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(3);

// The job side by side with R on this machine, each as a whole process, fastest of seven
// turns taken in alternation, so that a busy moment of the machine slows both alike, each
// after the disk has taken what the one before wrote: R
// draws 8 correlated normal variables of 25,000 cases with MASS, rounds them to 2 decimals,
// blanks 5% and writes a CSV file; zek-generate writes its data, information, parameters and
// answer-key files for the same design (with 3% extreme values besides). `r_over_zek` is R's
// time over zek-generate's (target 15 or more).
void BM_AgainstR(benchmark::State& state) {
    const fs::path folder =
        fs::temp_directory_path() / ("zek_bench_r_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const zek::ControlTexts texts = LargestSetup(true);
    zek::WriteTextFile((folder / "setup.TXT").string(), [&](std::ostream& out) {
        zek::WriteParametersFile(out, zek::ParametersFileContentsOf(texts));
    });
    const std::string rCommand =
        "cd '" + folder.string() +
        "' && Rscript -e 'suppressMessages(library(MASS)); set.seed(1804); "
        "s <- matrix(0.3, 8, 8); diag(s) <- 1; x <- round(mvrnorm(25000, rep(50, 8), s * 100), 2); "
        "x[runif(length(x)) < 0.05] <- NA; "
        "write.csv(data.frame(id = 1:25000, x), \"r.csv\", row.names = FALSE, na = \"\")' "
        "> /dev/null 2>&1";
    const std::string zekCommand = "cd '" + folder.string() + "' && exec '" + ZEK_GENERATE_PATH +
                                   "' setup.TXT -o large.csv > /dev/null";
    bool failed = false;
    auto seconds = [&failed](const std::string& command) {
        ::sync();
        return zek::bench::FastestSeconds(
            1, [&] { failed = failed || std::system(command.c_str()) != 0; });
    };
    double r = 1e300;
    double zek = 1e300;
    for (auto _ : state) {
        for (int turn = 0; turn < 7; ++turn) {
            r = std::min(r, seconds(rCommand));
            zek = std::min(zek, seconds(zekCommand));
        }
    }
    fs::remove_all(folder);
    if (failed) {
        state.SkipWithError("R (with MASS) or zek-generate failed");
        return;
    }
    state.counters["r_ms"] = r * 1e3;
    state.counters["zek_ms"] = zek * 1e3;
    state.counters["r_over_zek"] = r / zek;
}
BENCHMARK(BM_AgainstR)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// A class set of 100 datasets of two groups of 25,000, each with its four files: made one after
// another on one core (taskset), and as shipped on every core. `speedup` is the one-core time
// over the every-core time (target 1.7 or more on two cores); `cores` what the machine has.
void BM_ClassSetOnEveryCore(benchmark::State& state) {
    const fs::path folder =
        fs::temp_directory_path() / ("zek_bench_cores_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    zek::ControlTexts texts;
    texts.Box(1).n = "25000";
    texts.Box(2).n = "25000";
    zek::WriteTextFile((folder / "setup.TXT").string(), [&](std::ostream& out) {
        zek::WriteParametersFile(out, zek::ParametersFileContentsOf(texts));
    });
    auto secondsOf = [&](const std::string& prefix, const std::string& options) {
        const std::string command =
            "cd '" + folder.string() + "' && exec " + prefix + " '" + ZEK_GENERATE_PATH +
            "' setup.TXT -o class.csv --count 100 --seed 7" + options + " > /dev/null";
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) return -1.0;
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double oneCore = 1e300;
    double everyCore = 1e300;
    for (auto _ : state) {
        const double one = secondsOf("taskset -c 0", " --threads 1");
        const double every = secondsOf("", "");
        if (one < 0 || every < 0) {
            state.SkipWithError("zek-generate (or taskset) failed");
            break;
        }
        oneCore = std::min(oneCore, one);
        everyCore = std::min(everyCore, every);
    }
    fs::remove_all(folder);
    state.counters["one_core_s"] = oneCore;
    state.counters["every_core_s"] = everyCore;
    state.counters["speedup"] = oneCore / everyCore;
    state.counters["cores"] = std::max(1u, std::thread::hardware_concurrency());
}
BENCHMARK(BM_ClassSetOnEveryCore)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

// Ctrl+C in a class set of the largest correlated setup: from the signal to the end of
// zek-generate, which finishes the datasets under way, writes the class key of the complete
// ones and tidies up (`stop_ms`, target below 300: what a teacher waits after Ctrl+C, and
// what the window's Cancel waits for the same datasets).
void BM_ClassSetStop(benchmark::State& state) {
    const fs::path folder =
        fs::temp_directory_path() / ("zek_bench_stop_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string setup = (folder / "setup.TXT").string();
    zek::WriteTextFile(setup, [&](std::ostream& out) {
        zek::WriteParametersFile(out, zek::ParametersFileContentsOf(LargestSetup(true)));
    });
    const std::string data = (folder / "class.csv").string();
    double slowest = 0.0;
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(ZEK_GENERATE_PATH, ZEK_GENERATE_PATH, setup.c_str(), "-o", data.c_str(),
                    "--count", "100", "--seed", "7", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const auto start = std::chrono::steady_clock::now();
        ::kill(child, SIGINT);
        int status = 0;
        ::waitpid(child, &status, 0);
        const double stop =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 130) {
            state.SkipWithError("zek-generate did not stop with 130 after Ctrl+C");
            break;
        }
        slowest = std::max(slowest, stop);
    }
    fs::remove_all(folder);
    state.counters["stop_ms"] = slowest;
}
BENCHMARK(BM_ClassSetStop)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
