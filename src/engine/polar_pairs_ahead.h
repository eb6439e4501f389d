// The polar method's pairs of uniforms drawn on a thread of their own, ahead of the run that
// turns them into its Gaussian deviates. The thread draws the very pairs `GaussianDeviate`
// would draw, in the same order and from the same state, so the scores, and the streams
// after the last pair, are those of drawing each in its place; the run meanwhile takes the
// logarithms and square roots, scales, mixes and finishes the scores and draws its extreme
// and missing tests from the other stream. The thread draws faster than the run takes
// logarithms, so it makes the deviates of the last pairs itself: the same bits, computed by
// the same functions.
#pragma once

#include <atomic>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <thread>

#include "engine/random_streams.h"

namespace zek {

class PolarPairsAhead {
  public:
    /// Starts drawing `pairs.size() + deviates.size()` pairs with `state`: the first into
    /// `pairs`, the deviates of the rest into `deviates`. Until the last is taken nothing else
    /// may touch `state` or the shuffled stream of `streams`.
    PolarPairsAhead(RandomStreams& streams, std::int32_t& state, std::span<PolarPair> pairs,
                    std::span<DeviatePair> deviates = {});
    /// Waits for the drawing thread, which stops early if not every pair was taken.
    ~PolarPairsAhead();
    PolarPairsAhead(const PolarPairsAhead&) = delete;
    PolarPairsAhead& operator=(const PolarPairsAhead&) = delete;

    /// The deviates of the next pair, in the order of the draws.
    DeviatePair NextDeviates() {
        assert(taken_ < pairs_.size() + deviates_.size());
        if (taken_ == available_) WaitForMore();
        const std::size_t next = taken_++;
        return next < pairs_.size() ? RandomStreams::DeviatesOf(pairs_[next])
                                    : deviates_[next - pairs_.size()];
    }

  private:
    void Draw();
    void WaitForMore();

    RandomStreams& streams_;
    std::int32_t& state_;
    const std::span<PolarPair> pairs_;
    const std::span<DeviatePair> deviates_;
    // What each thread writes lies on a cache line of its own: the taker counts every pair,
    // and a line shared with the drawing thread would travel between them at every one.
    alignas(64) std::atomic<std::size_t> drawn_{0};  ///< pairs ready, published by the thread
    std::atomic<bool> stopping_{false};
    alignas(64) std::size_t taken_ = 0;
    std::size_t available_ = 0;
    alignas(64) std::thread thread_;  // last, so that it starts with everything above in place
};

}  // namespace zek
