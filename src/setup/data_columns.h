// The columns of a design's data file, described once: what each holds, its default name
// (the key of the user's names), the name and label the files give it, how many levels a
// grouping column has and which variable a score column holds. The data, package,
// information and parameters files, the answer key, the names form and the plots read this
// description rather than learning the columns from one another's text.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/generation_setup.h"

namespace zek {

/// `ScaleScore`: the last column of a scale's items, each case's sum or mean of them.
enum class ColumnRole { Id, Grouping, Score, ScaleScore };

struct DataColumn {
    ColumnRole role = ColumnRole::Score;
    std::string defaultName;  ///< "id", "group", "factor2", "dv", "dv1", "var3", "y", "x2"
    std::string name;         ///< the user's name, or the default
    std::string label;        ///< empty where there is none
    /// A grouping column's level count, a categorical variable's categories, or the most
    /// points of a Likert variable's boxes.
    int levels = 0;
    int variable = 0;                        ///< a score column's variable, 1 ..
    std::map<int, std::string> levelLabels;  ///< labelled levels, of any of them
    /// Its levels are the ordered points of a rating scale.
    bool ordered = false;
    /// A correlated variable's column: one a scale's items can be worded against it.
    bool reversible = false;
    /// An item of a scale worded against it: a student reverses its scores first.
    bool reversed = false;

    bool Grouping() const { return role == ColumnRole::Grouping; }
    /// A score column whose scores are codes 1 .. levels: of categories, or of points.
    bool Coded() const { return role == ColumnRole::Score && levels > 0; }
    /// Whether the column's levels can be labelled: a grouping, categorical or Likert one.
    bool HasLevels() const { return levels > 0; }
    /// A level's label; empty where there is none.
    std::string LevelLabelOf(int level) const;
};

class DataColumns {
  public:
    explicit DataColumns(std::vector<DataColumn> columns);

    const std::vector<DataColumn>& all() const& { return columns_; }
    // A loop over the columns of a description made in its own head would outlive them.
    const std::vector<DataColumn>& all() const&& = delete;
    /// The data file's header line: "id,group,dv", each column under its name.
    std::string Header() const;
    /// The default names in the order of the columns: the keys of the user's names.
    std::vector<std::string> DefaultNames() const;
    /// The column of default name `defaultName`; null for one the design does not have.
    const DataColumn* Find(std::string_view defaultName) const;
    /// Grouping column `factor` (1 for "group" or "factor1", 2, 3).
    const DataColumn& GroupingColumn(int factor) const;
    /// The column of score variable `variable` (1 ..).
    const DataColumn& ScoreColumn(int variable) const;
    /// How many grouping columns follow the id: 0 to 3.
    int groupingCount() const { return groupingCount_; }

  private:
    std::vector<DataColumn> columns_;
    int groupingCount_ = 0;
};

/// The columns of the design `setup` describes, named and labelled by `setup.columnNames`.
DataColumns DataColumnsOf(const GenerationSetup& setup);

/// The default name of correlated variable `variable` (1 ..), "var3": the key of its names,
/// its reversal among them.
std::string CorrelatedVariableName(int variable);

/// The sum that reverses the scores of correlated variable `variable` (1 ..) as an item of a
/// scale, its lowest and highest possible score (6 for points 1 to 5: 6 - score); none for a
/// variable without both ends.
std::optional<double> ReversingSumOf(const GenerationSetup& setup, int variable);

/// Whether the data files of `setup` hold one row per case and occasion: the Long Layout
/// option under repeated measures, for a design with occasions.
bool WritesLongLayout(const GenerationSetup& setup);

/// The columns of the long layout of `wide`: the id, the grouping columns, "occasion" (its
/// levels labelled with the score columns' names) and "score".
DataColumns LongDataColumnsOf(const DataColumns& wide);

}  // namespace zek
