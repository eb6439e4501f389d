// Data files that statistics packages open natively: SPSS (.sav) and Stata (.dta) through
// ReadStat, Excel (.xlsx) through libxlsxwriter. They hold what the comma-delimited file
// holds, value for value: the same columns and the scores rounded as that file writes them,
// so a student gets the same figures whichever file the class uses.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "engine/data_layout.h"
#include "setup/generation_setup.h"

namespace zek {

enum class DataFormat { Text, Spss, Stata, Excel };

/// The format a data file name asks for by its extension (".sav", ".dta", ".xlsx", in any
/// case); every other name is comma-delimited text.
DataFormat DataFormatOf(std::string_view path);

/// Writes the data of the run in `format` (not `Text`) to `out`: the columns of the text
/// file's header, grouping columns as nominal with whole numbers and scores as scale with the
/// largest of their boxes' decimals, missing scores as system-missing (an empty cell in
/// Excel). An Excel file also has a sheet "information" with `informationLines`. The bytes
/// depend only on the data: no clock goes in. Throws `StreamError` when the library or the
/// stream fails.
void WritePackageDataFile(DataFormat format, std::ostream& out, const GenerationSetup& setup,
                          const ScoreTable& generated,
                          const std::vector<std::string>& informationLines);

}  // namespace zek
