// The factors that mix the deviates of a case, one per block of the table.
//
// A block whose correlated columns are all Normal is mixed by the Cholesky factor of the
// asked correlation matrix itself. A block with a correlated Uniform or skewed column is
// mixed by the factor of the normal correlations that give its shapes the asked ones, which
// differ from block to block where the shapes do. A Likert box's latent score is mixed by the
// normal correlations that give its points the asked ones.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/data_layout.h"
#include "engine/run_record.h"
#include "engine/shaped_correlation.h"
#include "setup/generation_setup.h"

namespace zek {

/// Why a run cannot be drawn, in the words the user sees: a message and lines of help.
struct GenerationRefusal {
    std::string message;
    std::vector<std::string> help;
};

/// For each column, whether it takes part in a correlation: some entry off the diagonal of
/// its row is not 0.
using CorrelatedColumns = std::array<bool, kMaxVariables>;
CorrelatedColumns CorrelatedColumnsOf(const GenerationSetup& setup);

/// Whether a column's deviates are drawn Normal and turned into its shape after the mixing.
inline bool DrawnAsNormal(bool correlated, DistributionKind drawnShape) {
    return correlated && drawnShape != DistributionKind::Normal;
}

/// The expansions of the boxes drawn as the latent normal scores of Likert points, by box:
/// their correlations are asked of the points, and are reached through these.
using PointExpansions = std::array<std::optional<ShapeExpansion>, kBoxCount>;

/// The square lower-triangular factor of each block, by block index.
using BlockFactors = std::array<SquareMatrix, kBoxCount>;

/// Fills `factors` for the blocks of `layout` from the asked matrix (`full`), the columns that
/// take part in a correlation and each box's drawn shape; or refuses, naming each pair whose shapes
/// cannot reach its correlation and the interval they can reach, or, where every pair can but the
/// normal correlations do not form a positive definite matrix, which single change would mend it.
std::optional<GenerationRefusal> MixingFactorsOf(const GenerationSetup& setup,
                                                 const DrawnBoxes& drawn, const DataLayout& layout,
                                                 const CorrelatedColumns& correlated,
                                                 BlockFactors& factors,
                                                 const PointExpansions& points = {});

}  // namespace zek
