// The information file's account of a categorical design: what was asked (the percentages
// and N) beside what was got (the counts and their percentages), in the file's own layout.
#pragma once

#include "files/text_file.h"
#include "setup/generation_setup.h"
#include "stats/actual_statistics.h"

namespace zek {

void WriteCategoricalGeneralInformation(LineWriter& writer, const GenerationSetup& setup);

/// What exact counts could and could not do: whole cases cannot always be the asked
/// percentages of N, and missing codes move the counts again.
void WriteCategoricalExactness(LineWriter& writer, const GenerationSetup& setup);

void WriteCategoryCounts(LineWriter& writer, const GenerationSetup& setup,
                         const ActualStatistics& statistics);

}  // namespace zek
