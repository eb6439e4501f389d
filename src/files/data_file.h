// The comma-delimited data file: one header line naming the columns, then one line per
// case in the row order of the generated table, each score rounded to its box's decimals.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "engine/data_layout.h"
#include "engine/run_threads.h"
#include "setup/column_names.h"
#include "setup/data_columns.h"
#include "setup/generation_setup.h"
#include "setup/refusal.h"
#include "stats/answer_key.h"

namespace zek {

/// No two of the design's columns under one name with `names`, letter case aside.
Verdict CheckDistinctColumnNames(const GenerationSetup& setup, const ColumnNames& names);

/// What receives the scores of a data file as it has them once its lines are put together:
/// the answer key starts from here.
using ScoresWritten = std::function<void(WrittenScores&&)>;

/// The header line of the data file: each column by its name in `columnNames` or its
/// default ("id,group,dv", ...).
std::string DataFileHeader(const GenerationSetup& setup);

/// A score as this file writes it and a statistics package reads it back: rounded to
/// `decimals`; NaN for a missing score. The answer key is computed from these values.
double ScoreAsWritten(const GenerationSetup& setup, double score, int decimals);

/// Every score of the run as this file writes it, per block of rows and column: what the
/// answer key is computed from.
WrittenScores ScoresAsWritten(const GenerationSetup& setup, const ScoreTable& generated);

/// The scores of a data file read back, case by case: the last `columns` fields of each case
/// line before `columnsAfter` more (a scale's score), or in the long layout the last field of
/// each of a case's `columns` lines; NaN for an empty field. Throws `FileError` when the file
/// cannot be read.
std::vector<std::vector<double>> ReadDataFileScores(const std::string& path, int columns,
                                                    bool longLayout = false, int columnsAfter = 0);

/// Writes the header and every case line (or, in the long layout, a line per case and
/// occasion), each ending with CR LF. A missing score is an
/// empty field. Throws `StreamError` when a write fails; the stream keeps what was written.
/// `scoresWritten`, when given, receives what `ScoresAsWritten` gives, taken from the formatting
/// rather than by rounding every score a second time, as soon as every line is formatted.
/// Under `RunThreads::TwoWhenLarge` a large run's lines are put together on two threads: the
/// same bytes, sooner.
void WriteDataFile(std::ostream& out, const GenerationSetup& setup, const ScoreTable& generated,
                   const ScoresWritten& scoresWritten = {}, RunThreads threads = RunThreads::One);

}  // namespace zek
