#include "engine/mixing_factors.h"

#include <algorithm>

#include "engine/cholesky.h"
#include "engine/correlation_repair.h"
#include "engine/shaped_correlation.h"

namespace zek {

namespace {

// The expansion of each shape a run uses, computed on first use: a run of Normal columns
// computes none.
class RunExpansions {
  public:
    explicit RunExpansions(const GenerationSetup& setup) : setup_(setup) {}
    const ShapeExpansion& Of(DistributionKind shape) {
        std::optional<ShapeExpansion>& slot = byShape_[static_cast<std::size_t>(shape)];
        if (!slot) {
            // Beta(q, p) is the mirror image of Beta(p, q): half the quantiles to compute.
            slot = shape == DistributionKind::SkewNeg
                       ? Of(DistributionKind::SkewPos).Mirrored()
                       : ShapeExpansion::Of(shape, setup_.betaLow, setup_.betaHigh);
        }
        return *slot;
    }

  private:
    const GenerationSetup& setup_;
    std::array<std::optional<ShapeExpansion>, 4> byShape_;
};

const char* ShapeWords(DistributionKind shape) {
    switch (shape) {
        case DistributionKind::Uniform:
            return "Uniform";
        case DistributionKind::SkewPos:
            return "positively skewed";
        case DistributionKind::SkewNeg:
            return "negatively skewed";
        case DistributionKind::Likert:
            return "Likert";
        case DistributionKind::Normal:
        case DistributionKind::RandomlyChosen:
            break;
    }
    return "Normal";
}

struct BlockShapes {
    std::array<int, kMaxVariables> boxes{};
    std::array<DistributionKind, kMaxVariables> drawn{};
    std::array<const ShapeExpansion*, kMaxVariables> expansions{};
};

BlockShapes ShapesOf(const DrawnBoxes& drawnBoxes, const DataBlock& block, int variableCount,
                     const CorrelatedColumns& correlated, RunExpansions& expansions,
                     const PointExpansions& points) {
    BlockShapes shapes;
    for (int v = 0; v < variableCount; ++v) {
        const auto column = static_cast<std::size_t>(v);
        shapes.boxes[column] = block.BoxOfColumn(v);
        const auto box = static_cast<std::size_t>(shapes.boxes[column] - 1);
        if (points[box]) {
            shapes.drawn[column] = DistributionKind::Likert;
            shapes.expansions[column] = &*points[box];
            continue;
        }
        const DistributionKind drawn = drawnBoxes[box].shape;
        shapes.drawn[column] = drawn;
        shapes.expansions[column] = &expansions.Of(
            DrawnAsNormal(correlated[column], drawn) ? drawn : DistributionKind::Normal);
    }
    return shapes;
}

std::string UnreachableLine(const BlockShapes& shapes, int i, int j, double asked) {
    const auto a = static_cast<std::size_t>(i - 1);
    const auto b = static_cast<std::size_t>(j - 1);
    const ReachableCorrelations reach = ReachableOf(*shapes.expansions[a], *shapes.expansions[b]);
    const UsableInterval reachable{reach.low, reach.high};
    // The bounds to four decimals, rounded inwards, so that a correlation typed with three
    // (0.981 where 0.98073 is the most) is never said to lie inside.
    constexpr int kShownDecimals = 4;
    const UsableInterval shown = RoundedInwards(reachable, kShownDecimals).value_or(reachable);
    return "r" + std::to_string(10 * i + j) + " = " + AsTyped(asked) + ": " +
           ShapeWords(shapes.drawn[a]) + " scores (box " + std::to_string(shapes.boxes[a]) +
           ") and " + ShapeWords(shapes.drawn[b]) + " scores (box " +
           std::to_string(shapes.boxes[b]) + ") can only be correlated between " +
           FixedDecimals(shown.low, kShownDecimals) + " and " +
           FixedDecimals(shown.high, kShownDecimals);
}

std::string BoxList(const BlockShapes& shapes, int variableCount) {
    std::string list;
    for (int v = 0; v < variableCount; ++v) {
        if (v > 0) list += v + 1 == variableCount ? " and " : ", ";
        list += std::to_string(shapes.boxes[static_cast<std::size_t>(v)]);
    }
    return list;
}

GenerationRefusal NotPositiveDefinite(const SquareMatrix& normal, int order,
                                      const BlockShapes& shapes) {
    const EntryReading asShaped = [&shapes](int i, int j, double rho) {
        const ShapeExpansion& a = *shapes.expansions[static_cast<std::size_t>(i - 1)];
        const ShapeExpansion& b = *shapes.expansions[static_cast<std::size_t>(j - 1)];
        return a.IsNormal() && b.IsNormal() ? rho : a.CorrelationAt(b, rho);
    };
    return {"Sorry, with the shapes of boxes " + BoxList(shapes, order) +
                " your matrix will not work as a correlation matrix: the shaped scores would "
                "need normal correlations that are not a positive definite matrix",
            CorrelationRepairHints(normal, order, asShaped)};
}

}  // namespace

CorrelatedColumns CorrelatedColumnsOf(const GenerationSetup& setup) {
    CorrelatedColumns correlated{};
    const int n = setup.variableCount;
    for (int v = 0; v < n; ++v) {
        for (int k = 0; k < n; ++k) {
            if (k != v && setup.correlations.full[v][k] != 0.0) {
                correlated[static_cast<std::size_t>(v)] = true;
            }
        }
    }
    return correlated;
}

std::optional<GenerationRefusal> MixingFactorsOf(const GenerationSetup& setup,
                                                 const DrawnBoxes& drawn, const DataLayout& layout,
                                                 const CorrelatedColumns& correlated,
                                                 BlockFactors& factors,
                                                 const PointExpansions& points) {
    const int n = layout.variableCount;
    const SquareMatrix& asked = setup.correlations.full;
    RunExpansions expansions(setup);
    GenerationRefusal unreachable{
        "Sorry, the shapes you chose cannot have every correlation you asked for", {}};
    std::optional<GenerationRefusal> notPositiveDefinite;
    for (int b = 0; b < layout.blockCount; ++b) {
        const BlockShapes shapes = ShapesOf(drawn, layout.blocks[static_cast<std::size_t>(b)], n,
                                            correlated, expansions, points);
        SquareMatrix normal = asked;
        for (int i = 1; i <= n; ++i) {
            for (int j = i + 1; j <= n; ++j) {
                const std::optional<double> rho = NormalCorrelationFor(
                    *shapes.expansions[static_cast<std::size_t>(i - 1)],
                    *shapes.expansions[static_cast<std::size_t>(j - 1)], asked[i - 1][j - 1]);
                if (!rho) {
                    const std::string line = UnreachableLine(shapes, i, j, asked[i - 1][j - 1]);
                    if (std::find(unreachable.help.begin(), unreachable.help.end(), line) ==
                        unreachable.help.end()) {
                        unreachable.help.push_back(line);
                    }
                    continue;
                }
                normal[i - 1][j - 1] = *rho;
                normal[j - 1][i - 1] = *rho;
            }
        }
        std::array<double, kPackedSize> packed = PackedLowerTriangle(normal, n);
        if (CholeskyFactor(n, packed) == CholeskyStatus::NotPositiveDefinite) {
            if (!notPositiveDefinite) notPositiveDefinite = NotPositiveDefinite(normal, n, shapes);
            continue;
        }
        SquareMatrix& factor = factors[static_cast<std::size_t>(b)];
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                factor[i - 1][j - 1] = j <= i ? packed[PackedIndex(i, j)] : 0.0;
            }
        }
    }
    if (!unreachable.help.empty()) return unreachable;
    return notPositiveDefinite;
}

}  // namespace zek
