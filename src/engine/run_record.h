// What a run decides as it draws, kept apart from the setup it was asked for: the setup is
// the user's and the engine only reads it, so that the same setup run again is the same run.
#pragma once

#include <array>

#include "setup/generation_setup.h"

namespace zek {

/// A box as the run drew it.
struct DrawnBox {
    /// The shape its scores took: the asked one, or for "Randomly Chosen" the one drawn.
    DistributionKind shape = DistributionKind::Normal;
    bool chosenAtRandom = false;
    /// The limits its scores were held to: the asked ones, except that a randomly chosen
    /// Uniform box without them spans the width its SD gives, centred on its mean.
    double minScore = NoLimit;
    double maxScore = NoLimit;
};

/// What kept a run with exact sample statistics from being exact, besides the options the
/// setup shows (reliability, missing and extreme values).
struct ExactRunNotes {
    /// A Min or Max cut a score.
    bool limitsCut = false;
    /// A block had too few cases (or no spread) for its sample correlations to be set.
    bool correlationsShort = false;
    /// A Uniform box's scores would have left its limits at the asked SD, and were scaled
    /// within them: its SD is below the asked one.
    std::array<bool, kBoxCount> uniformNarrowed{};
    /// A box whose written mean or SD does not round to its target at the box's decimals:
    /// with few cases and few decimals no set of scores on the grid has both.
    struct WrittenMiss {
        bool missed = false;
        double mean = 0.0;  ///< as written
        double sd = 0.0;
        double targetMean = 0.0;
        double targetSd = 0.0;
    };
    std::array<WrittenMiss, kBoxCount> writtenMisses{};
};

/// Every box by its number - 1; a box outside the run's layout keeps the defaults.
using DrawnBoxes = std::array<DrawnBox, kBoxCount>;

struct RunRecord {
    DrawnBoxes boxes{};
    /// Empty unless the run was asked for exact statistics.
    ExactRunNotes exactNotes;

    /// Box by its number 1..8.
    const DrawnBox& Box(int boxNumber) const { return boxes[boxNumber - 1]; }
};

/// A finished run: the setup as it stood when the scores were drawn, and what drawing them
/// decided. The report, the plots and the viewer describe the data from it, so that
/// changing the setup after a run cannot make them describe other parameters than the data.
struct GeneratedRun {
    GenerationSetup setup;
    RunRecord record;
};

}  // namespace zek
