// zek-generate as a whole process on the largest runs: reading the parameters file,
// validating, generating and writing the three files.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "output/control_texts.h"
#include "output/output_file.h"
#include "output/parameters_file.h"

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

void BM_ZekGenerateProcess(benchmark::State& state) {
    const bool correlated = state.range(0) == 1;
    const fs::path folder = fs::temp_directory_path() / ("zek_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const zek::ControlTexts texts = LargestSetup(correlated);
    zek::WriteTextFile((folder / "setup.TXT").string(),
                       [&](std::ostream& out) { zek::WriteParametersFile(out, texts); });
    const std::string command = "cd '" + folder.string() + "' && '" + ZEK_GENERATE_PATH +
                                "' setup.TXT -o large.csv > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("zek-generate failed");
            break;
        }
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_ZekGenerateProcess)
    ->ArgName("correlated")  // 0: 8 groups of 25000, 1: 8 variables, 5% missing, 3% extreme
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
