// The main window's reactions, which must never lag behind typing: each should take well
// under a millisecond, Reset to Startup and Copy Cell 1 included.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "commands/main_window_model.h"

namespace {

class QuietHost final : public zek::InteractionHost {
  public:
    void ShowMessage(std::string_view) override {}
    void Focus(std::string_view) override {}
    std::int32_t ClockRandomBelow(std::int32_t bound) override { return ++calls_ % bound; }

  private:
    std::int32_t calls_ = 0;
};

struct Window {
    std::unique_ptr<zek::ProgramState> state = std::make_unique<zek::ProgramState>();
    QuietHost host;
    zek::MainWindowModel model{*state, host, '.'};
};

void BM_TypeAnNThatFlowsToSevenBoxes(benchmark::State& state) {
    Window window;
    window.model.SelectDesign(zek::DesignKind::Regression7);
    int n = 10;
    for (auto _ : state) window.model.SetBoxText(1, zek::BoxEdit::N, std::to_string(++n % 999));
}
BENCHMARK(BM_TypeAnNThatFlowsToSevenBoxes);

void BM_TypeALimitOfAUniformBox(benchmark::State& state) {
    Window window;
    window.model.SelectShape(1, zek::DistributionKind::Uniform);
    int max = 2;
    for (auto _ : state)
        window.model.SetBoxText(1, zek::BoxEdit::Max, std::to_string(++max % 999 + 2));
}
BENCHMARK(BM_TypeALimitOfAUniformBox);

void BM_SelectDesigns(benchmark::State& state) {
    Window window;
    for (auto _ : state) {
        window.model.SelectDesign(zek::DesignKind::Correlated8);
        window.model.SelectDesign(zek::DesignKind::TwoDV2x2);
    }
}
BENCHMARK(BM_SelectDesigns);

void BM_ResetToStartup(benchmark::State& state) {
    Window window;
    for (auto _ : state) {
        window.model.LoadRegressionExample();
        window.model.SelectShape(3, zek::DistributionKind::Uniform);
        window.model.ResetToStartup();
    }
}
BENCHMARK(BM_ResetToStartup);

void BM_CopyCellOneToAllCells(benchmark::State& state) {
    Window window;
    for (auto _ : state) {
        window.model.SelectShape(1, zek::DistributionKind::Uniform);
        window.model.CopyCellOneToAllCells();
        window.model.SelectShape(1, zek::DistributionKind::Normal);
        window.model.CopyCellOneToAllCells();
    }
}
BENCHMARK(BM_CopyCellOneToAllCells);

// Not a reaction to typing, but a click the window waits for: eight random variables need many
// candidates before one is a correlation matrix.
void BM_RandomPresetOfEightVariables(benchmark::State& state) {
    Window window;
    window.model.SelectDesign(zek::DesignKind::Correlated8);
    double attempts = 0;
    for (auto _ : state) {
        window.model.SetRandomCorrelationsInHundredths();
        attempts += std::stod(window.model.attemptsLabel());
    }
    state.counters["attempts"] = attempts / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RandomPresetOfEightVariables)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
