// The "Names and Labels..." dialog's rows: one for each column of the design's data file
// (its default name, a new name, a label) and one for each level of each grouping column (a
// label). What the user typed is checked row by row, as the window's other checks are.
#pragma once

#include <string>
#include <vector>

#include "setup/column_names.h"
#include "setup/generation_setup.h"

namespace zek {

struct NameRow {
    std::string column;  ///< the column's default name ("group")
    int level = 0;       ///< a level of the grouping column, from 1; 0 for the column itself
    std::string name;    ///< the new name; empty: the default (level rows have none)
    std::string label;   ///< empty: none
    /// A correlated variable's row: as an item of a scale it can be worded against it.
    bool reversible = false;
    bool reversed = false;  ///< reverse-keyed

    /// How the dialog and its messages call the row: "dv", "group 2".
    std::string Caption() const;
};

/// The rows of the design that `setup` describes, filled from `names`.
std::vector<NameRow> NameRowsOf(const GenerationSetup& setup, const ColumnNames& names);

/// What the plot page calls each box once columns or levels have names: the names of its
/// levels and of its variable ("condition Placebo, recall"); for a setup without names,
/// `captions` as they are. By box number - 1.
std::vector<std::string> NamedBoxCaptions(const GenerationSetup& setup,
                                          std::vector<std::string> captions);

/// The names of the score columns, in order ("recall", "var2"); empty for a setup without
/// names.
std::vector<std::string> NamedVariables(const GenerationSetup& setup);

/// The names after the dialog: `kept`'s entries for columns this design does not have, and the
/// rows' for those it has; or the first refusal, naming its row ("dv: A NAME must begin
/// ..."), or the name that two columns share.
Checked<ColumnNames> ReadNameRows(const std::vector<NameRow>& rows, const ColumnNames& kept);

}  // namespace zek
