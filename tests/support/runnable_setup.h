// A setup as the Run command leaves it, for tests that start below the Run command.
#pragma once

#include <memory>

#include "engine/data_layout.h"
#include "engine/run_record.h"
#include "setup/design_catalogue.h"
#include "setup/generation_setup.h"

namespace zek::testing {

/// `kind` applied, every active box Normal with mean 0, SD 1, `n` cases and 2 decimals and
/// no limits, no missing or extreme values, the identity correlation matrix, and `seed`.
inline GenerationSetup RunnableSetup(DesignKind kind, int seed, int n = 25) {
    GenerationSetup setup;
    ApplyDesign(Design(kind), setup);
    for (BoxParameters& box : setup.boxes) {
        box.mean = 0.0;
        box.sd = 1.0;
        box.n = n;
        box.decimals = 2;
        box.minScore = NoLimit;
        box.maxScore = NoLimit;
        box.distribution = DistributionKind::Normal;
    }
    setup.missingPercent = 0;
    setup.missingFraction = 0.0;
    setup.extremePercent = 0;
    setup.extremeFraction = 0.0;
    for (int i = 0; i < kMaxVariables; ++i) {
        for (int j = 0; j < kMaxVariables; ++j) setup.correlations.full[i][j] = i == j ? 1.0 : 0.0;
    }
    setup.seed = seed;
    setup.totalCases = LayoutOf(setup).totalRows;
    return setup;
}

/// A table of scores that are all 0. The program's tables are not cleared, since a run writes
/// every cell it reads; a test that fills only some rows must not read indeterminate ones.
inline std::unique_ptr<ScoreTable> ZeroedScoreTable() {
    auto table = std::make_unique<ScoreTable>();
    for (int row = 0; row < kMaxRows; ++row) {
        for (int column = 0; column < ScoreTable::kMaxColumns; ++column) {
            table->At(row, column) = 0.0;
        }
    }
    return table;
}

/// Sets the population correlation of variables i < j.
inline void SetCorrelation(GenerationSetup& setup, int i, int j, double r) {
    setup.correlations.entered[CorrelationCellIndex(i, j)] = r;
    setup.correlations.full[i - 1][j - 1] = r;
    setup.correlations.full[j - 1][i - 1] = r;
}

/// After changing an `n`.
inline void RecountCases(GenerationSetup& setup) {
    setup.totalCases = LayoutOf(setup).totalRows;
}

/// `setup` as the engine records a run of it whose shapes were all asked, none chosen at
/// random: for tests of what reads a run without drawing one.
inline GeneratedRun RecordedAsAsked(const GenerationSetup& setup) {
    GeneratedRun run{setup, {}};
    for (int box = 1; box <= kBoxCount; ++box) {
        const BoxParameters& asked = setup.Box(box);
        run.record.boxes[static_cast<std::size_t>(box - 1)] = {asked.distribution, false,
                                                               asked.minScore, asked.maxScore};
    }
    return run;
}

}  // namespace zek::testing
