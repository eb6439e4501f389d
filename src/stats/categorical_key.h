// The answer key of a categorical design: the counts a student tabulates from the data file's
// codes (cases with a missing code left out, as table() leaves them), with every category
// of the design kept, seen or not, and the tests a course runs on them.
#pragma once

#include <vector>

#include "setup/data_columns.h"
#include "setup/generation_setup.h"
#include "stats/answer_key.h"

namespace zek {

/// One variable: its counts against the asked percentages (chi-square goodness of fit).
/// Two: the table of counts, the chi-square test of independence and, for a 2 x 2 table,
/// Yates' correction, Fisher's exact test and phi.
std::vector<KeySection> CategoricalKeySections(const GenerationSetup& setup,
                                               const DataColumns& columns,
                                               const WrittenScores& scores);

}  // namespace zek
