// The information file: the teacher's answer key. A fixed-layout report, for a fixed-pitch
// font, of the parameters the user set beside what the generated sample actually holds.
#pragma once

#include <array>
#include <iosfwd>
#include <string>

#include "engine/data_layout.h"
#include "engine/run_record.h"
#include "setup/generation_setup.h"
#include "stats/actual_statistics.h"

namespace zek {

/// The three lines that end every information file: the about window's identification
/// lines, as the Generate button last copied them (empty until it has been used).
using ReportFooterLines = std::array<std::string, 3>;

/// The about window's identification lines, which the Generate button copies into the footer.
const ReportFooterLines& AboutIdentificationLines();

/// Writes the whole report of `run`, with the actual statistics that `ComputeActualStatistics`
/// found in its data. `run.setup.dataFileName` is the data file's full path. Throws
/// `StreamError` when a write fails.
void WriteInformationFile(std::ostream& out, const GeneratedRun& run,
                          const ActualStatistics& statistics, const ReportFooterLines& footer);

}  // namespace zek
