// When a run's work takes a second thread: drawing its deviates ahead, formatting half of its
// data file, computing its report beside the writing.
#pragma once

#include <cstdint>

#include "setup/generation_setup.h"

namespace zek {

/// Below this many scores a second thread costs more than the work it would take over, in
/// the run and in the saving of its files.
inline constexpr std::int64_t kScoresWorthAThread = 20000;

/// Whether a run may hand work to a second thread. A class set that already keeps every core
/// busy with datasets of its own says One.
enum class RunThreads { One, TwoWhenLarge };

/// Whether the run of `setup` has scores enough for a second thread.
inline bool WorthASecondThread(const GenerationSetup& setup) {
    return std::int64_t{setup.totalCases} * setup.variableCount >= kScoresWorthAThread;
}

/// Whether the run of `setup` takes a second thread under `threads`.
inline bool TakesASecondThread(RunThreads threads, const GenerationSetup& setup) {
    return threads == RunThreads::TwoWhenLarge && WorthASecondThread(setup);
}

}  // namespace zek
