#pragma once

#include <algorithm>
#include <chrono>

namespace zek::bench {

/// The fastest of `repetitions` runs of `work`, in seconds: the least disturbed measure.
template <typename Work>
double FastestSeconds(int repetitions, Work work) {
    double best = 1e300;
    for (int r = 0; r < repetitions; ++r) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

}  // namespace zek::bench
