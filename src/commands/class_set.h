// A dataset for every student: the setup of the window generated again and again with
// consecutive seeds, each dataset saved as a normal save saves it (data, information and
// parameters files) with its answer key, and one class key listing every dataset written.
// The window's "Generate Class Set..." and `zek-generate --count` both run this, so they write
// the same bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_host.h"
#include "commands/main_window_model.h"
#include "commands/program_state.h"

namespace zek {

inline constexpr int kMaxClassSetCount = 100000;

struct ClassSetRequest {
    int count = 1;
    /// The first dataset's seed, the others following it; nothing keeps the window's seed.
    std::optional<std::int64_t> firstSeed;
    /// The data file's full path; with more than one dataset each is numbered
    /// (class.csv gives class_01.csv ..).
    std::string dataFile;
    bool keys = true;
};

struct WrittenDataset {
    int index = 0;  ///< from 1
    std::int32_t seed = 0;
    std::string dataFile;
};

enum class ClassSetOutcome {
    Written,    ///< every dataset was written
    Refused,    ///< the setup was refused with the Run command's messages; nothing written
    Cancelled,  ///< stopped after the datasets listed
};

struct ClassSetResult {
    ClassSetOutcome outcome = ClassSetOutcome::Written;
    std::vector<WrittenDataset> datasets;
};

/// Writes the class set. `written` is told of each dataset once it is complete and stops the
/// set by returning false. Throws `FileError` when a file cannot be written; the datasets
/// written until then stay, and the class key (written last, also on a stop or a failure)
/// lists exactly those.
ClassSetResult GenerateClassSet(MainWindowModel& window, ProgramState& state, CommandHost& host,
                                const ClassSetRequest& request,
                                const std::function<bool(const WrittenDataset&)>& written);

}  // namespace zek
