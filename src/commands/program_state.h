// Everything a ZEK program keeps between commands: the setup, the flags, the random
// streams, the tables and the record of the last generation. The desktop program and
// `zek-generate` each own one and pass it by reference.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/generate_data.h"
#include "engine/random_streams.h"
#include "engine/run_record.h"
#include "files/information_file.h"
#include "setup/generation_setup.h"
#include "stats/actual_statistics.h"

namespace zek {

struct ProgramState {
    GenerationSetup setup;
    RunFlags flags;
    RandomStreams streams;
    GenerationTables tables;
    ActualStatistics statistics;
    /// The last run that generated data; saving, the viewer and the plots describe the data
    /// from it, never from `setup`, which the user may have changed since.
    GeneratedRun generated;
    /// The three lines that end every information file (empty until the Generate button
    /// copies the about window's lines).
    ReportFooterLines reportFooterLines;
    /// Whether a large run may hand work to a second thread (see run_threads.h).
    RunThreads runThreads = RunThreads::TwoWhenLarge;
    /// The seed after the last class set's last dataset, which the next set offers first.
    std::optional<std::int32_t> nextClassSetSeed;
};

}  // namespace zek
