#include "engine/polar_pairs_ahead.h"

#include <algorithm>

#include "platform/processors.h"
#include "platform/spin_wait.h"

namespace zek {

// Neither thread ever sleeps on the other: the drawing thread has room for every pair, and
// the taking thread, which is the slower, looks again or gives way to the other rather than
// waiting to be woken. A thread woken by another is moved to the waker's processor, where
// the two would take turns instead of running side by side.

PolarPairsAhead::PolarPairsAhead(RandomStreams& streams, std::int32_t& state,
                                 std::span<PolarPair> pairs, std::span<DeviatePair> deviates)
    : streams_(streams), state_(state), pairs_(pairs), deviates_(deviates), thread_([this] {
          Draw();
      }) {
    platform::KeepOffCallersProcessor(thread_.native_handle());
}

PolarPairsAhead::~PolarPairsAhead() {
    stopping_.store(true, std::memory_order_relaxed);
    thread_.join();
}

void PolarPairsAhead::Draw() {
    // The caller's state is worked on in a copy: the run's other states lie beside it, and
    // writing to their cache line at every draw would stall the thread that uses them. So is
    // the table's place, which would otherwise be read again after every draw.
    std::int32_t state = state_;
    RandomStreams& streams = streams_;
    const std::span<PolarPair> pairs = pairs_;
    const std::span<DeviatePair> deviates = deviates_;
    const std::size_t total = pairs.size() + deviates.size();
    constexpr std::size_t kChunk = 256;
    for (std::size_t drawn = 0; drawn < total;) {
        if (stopping_.load(std::memory_order_relaxed)) break;
        const std::size_t end = std::min(total, drawn + kChunk);
        for (std::size_t k = drawn; k < end; ++k) {
            const PolarPair pair = streams.DrawPolarPair(state);
            if (k < pairs.size()) {
                pairs[k] = pair;
            } else {
                deviates[k - pairs.size()] = RandomStreams::DeviatesOf(pair);
            }
        }
        drawn = end;
        drawn_.store(drawn, std::memory_order_release);
    }
    state_ = state;
}

void PolarPairsAhead::WaitForMore() {
    for (int look = 0;; ++look) {
        const std::size_t drawn = drawn_.load(std::memory_order_acquire);
        if (drawn != taken_) {
            available_ = drawn;
            return;
        }
        if (look % 64 == 63) {
            std::this_thread::yield();
        } else {
            platform::PauseWhileSpinning();
        }
    }
}

}  // namespace zek
