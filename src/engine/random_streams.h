// ZEK's own pseudo-random streams. They are specified to the last bit, never taken from
// the standard library, so that a seed gives the same data file on every machine.
//
// Each routine keeps one internal state that every caller of the same `RandomStreams`
// shares; the caller passes its own 32-bit state by reference, whose value decides whether
// the internal state is re-initialised (a state of 0 or below for `ShuffledUniform`, a
// negative one for `SubtractiveUniform`). Sharing is deliberate: the three subtractive
// callers of a run draw from one sequence, in the order of their calls.
#pragma once

#include <array>
#include <cstdint>

namespace zek {

struct ShuffledUniformState {
    std::int32_t second = 0;  ///< state of the second congruential generator
    std::int32_t last = 0;    ///< last combined output; selects the table slot
    std::array<std::int32_t, 32> table{};
};

struct SubtractiveState {
    std::array<double, 55> table{};  ///< values in [0, 4000000]
    std::int32_t next = 0;           ///< 1..55 once initialised, 0 at program start
    std::int32_t nextPrime = 0;      ///< runs 31 positions ahead of `next`
};

/// Two uniforms on (-1, 1) whose squares sum to less than 1 and more than 0. Without
/// initialisers, so that a table of them can be left untouched until it is drawn into.
struct PolarPair {
    double p;
    double q;
};

/// The two deviates the polar method makes of a pair: `first` is given at once, `second`
/// waits for the next call.
struct DeviatePair {
    double first;
    double second;
};

struct GaussianState {
    std::int32_t hasSaved = 0;
    double saved = 0.0;
};

/// The largest value `ShuffledUniform` returns.
inline constexpr double kShuffledUniformCeiling = 0.99999988;
/// The slot of the shuffle table, 1 to 32, that a last output of 0 or more picks.
std::int32_t ShuffleSlotOf(std::int32_t last);
/// The largest Beta parameter `BetaOrderStatistic` can hold.
inline constexpr int kMaxBetaParameter = 10;

class RandomStreams {
  public:
    /// Uniform on (0, 1): L'Ecuyer's two combined generators with a Bays-Durham shuffle.
    double ShuffledUniform(std::int32_t& state);
    /// Uniform on [0, 1): Knuth's subtractive generator kept in floating point.
    double SubtractiveUniform(std::int32_t& state);
    /// Standard normal by the polar method on `ShuffledUniform`; keeps the second deviate.
    double GaussianDeviate(std::int32_t& state);
    /// `GaussianDeviate` in its two parts. The uniforms the polar method accepts; they touch
    /// the shuffled stream alone.
    PolarPair DrawPolarPair(std::int32_t& state);
    /// The deviates the polar method makes of `pair`; the same bits on any thread.
    static DeviatePair DeviatesOf(const PolarPair& pair);
    /// `GaussianDeviate` with the deviates of the next pair, when it needs them, from
    /// `nextDeviates()`: the deviate waiting from the last pair, or the first of the next.
    template <typename NextDeviates>
    double GaussianDeviateWith(NextDeviates&& nextDeviates) {
        if (gaussian_.hasSaved != 0) {
            gaussian_.hasSaved = 0;
            return gaussian_.saved;
        }
        const DeviatePair deviates = nextDeviates();
        gaussian_.saved = deviates.second;
        gaussian_.hasSaved = 1;
        return deviates.first;
    }
    /// Beta(a, b) as the a-th smallest of a + b - 1 uniforms; requires 1 <= a, b <= 10.
    double BetaOrderStatistic(std::int32_t& state, int a, int b);

    /// Forgets a waiting Gaussian deviate; the engine does this once per run.
    void ResetGaussian() { gaussian_.hasSaved = 0; }

    const ShuffledUniformState& shuffledState() const { return shuffled_; }
    const SubtractiveState& subtractiveState() const { return subtractive_; }
    const GaussianState& gaussianState() const { return gaussian_; }

  private:
    // Each on cache lines of its own: a run may draw the shuffled stream on one thread while
    // another draws the subtractive stream and turns pairs into deviates.
    alignas(64) ShuffledUniformState shuffled_;
    alignas(64) SubtractiveState subtractive_;
    alignas(64) GaussianState gaussian_;
};

}  // namespace zek
