#include "setup/data_columns.h"

#include <algorithm>
#include <utility>

#include "setup/design_catalogue.h"
#include "setup/scale_score.h"

namespace zek {

namespace {

class ColumnList {
  public:
    explicit ColumnList(const ColumnNames& names) : names_(names) { Add(ColumnRole::Id, "id"); }

    void Grouping(const std::string& defaultName, int levels) {
        WithLevels(Add(ColumnRole::Grouping, defaultName), levels);
    }
    // A categorical variable: its codes are its scores, and its levels are its categories.
    void Categories(const std::string& defaultName, int levels) {
        WithLevels(Add(ColumnRole::Score, defaultName), levels).variable = ++scores_;
    }
    void Score(const std::string& defaultName) {
        Add(ColumnRole::Score, defaultName).variable = ++scores_;
    }
    void ScaleScore(const std::string& defaultName) { Add(ColumnRole::ScaleScore, defaultName); }
    void NumberedScores(const char* stem, int first, int last) {
        for (int k = first; k <= last; ++k) Score(stem + std::to_string(k));
    }
    // A variable whose every box is a Likert scale: its points are levels, in their order.
    void Points(int variable, int points) {
        for (DataColumn& column : columns_) {
            if (column.role != ColumnRole::Score || column.variable != variable) continue;
            WithLevels(column, points).ordered = true;
        }
    }
    // The score columns as possible items of a scale; while they are its items, each is
    // reversed where the names say so.
    void Reversible(bool itemsOfAScale) {
        for (DataColumn& column : columns_) {
            if (column.role != ColumnRole::Score) continue;
            column.reversible = true;
            column.reversed = itemsOfAScale && names_.Reversed(column.defaultName);
        }
    }
    std::vector<DataColumn> Take() { return std::move(columns_); }

  private:
    DataColumn& WithLevels(DataColumn& column, int levels) {
        column.levels = levels;
        if (const auto found = names_.levelLabels.find(column.defaultName);
            found != names_.levelLabels.end()) {
            for (const auto& [level, label] : found->second) {
                if (!label.empty()) column.levelLabels[level] = label;
            }
        }
        return column;
    }

    DataColumn& Add(ColumnRole role, const std::string& defaultName) {
        DataColumn& added = columns_.emplace_back();
        added.role = role;
        added.defaultName = defaultName;
        added.name = names_.NameOf(defaultName);
        added.label = names_.LabelOf(defaultName);
        return added;
    }

    const ColumnNames& names_;
    std::vector<DataColumn> columns_;
    int scores_ = 0;
};

// The points of each variable whose boxes are all Likert scales: the most points of them.
void AddPoints(const GenerationSetup& setup, ColumnList& list) {
    const DesignCells cells = CellsOfDesign(ShapeOf(setup));
    for (int v = 1; v <= cells.variableCount; ++v) {
        int points = 0;
        for (int c = 0; c < cells.cellCount; ++c) {
            const BoxParameters& box = setup.Box(cells.cells[c].boxOfVariable[v - 1]);
            if (box.distribution != DistributionKind::Likert) {
                points = 0;
                break;
            }
            points = std::max(points, static_cast<int>(box.maxScore));
        }
        if (points > 0) list.Points(v, points);
    }
}

void AddFactorialColumns(const GenerationSetup& setup, ColumnList& list) {
    list.Grouping("factor1", setup.levelsFactor1);
    list.Grouping("factor2", setup.levelsFactor2);
    if (setup.variableCount == 2) {
        list.NumberedScores("dv", 1, 2);
        return;
    }
    if (setup.factorCount == 3) list.Grouping("factor3", setup.levelsFactor3);
    list.Score("dv");
}

}  // namespace

std::string DataColumn::LevelLabelOf(int level) const {
    const auto found = levelLabels.find(level);
    return found == levelLabels.end() ? std::string() : found->second;
}

DataColumns::DataColumns(std::vector<DataColumn> columns)
    : columns_(std::move(columns)),
      groupingCount_(static_cast<int>(std::count_if(
          columns_.begin(), columns_.end(), [](const DataColumn& c) { return c.Grouping(); }))) {}

std::string DataColumns::Header() const {
    std::string header;
    for (const DataColumn& column : columns_) {
        if (!header.empty()) header += ',';
        header += column.name;
    }
    return header;
}

std::vector<std::string> DataColumns::DefaultNames() const {
    std::vector<std::string> names;
    for (const DataColumn& column : columns_) names.push_back(column.defaultName);
    return names;
}

const DataColumn* DataColumns::Find(std::string_view defaultName) const {
    const auto found = std::find_if(columns_.begin(), columns_.end(), [&](const DataColumn& c) {
        return c.defaultName == defaultName;
    });
    return found == columns_.end() ? nullptr : &*found;
}

const DataColumn& DataColumns::GroupingColumn(int factor) const {
    return columns_.at(static_cast<std::size_t>(factor));
}

const DataColumn& DataColumns::ScoreColumn(int variable) const {
    return columns_.at(static_cast<std::size_t>(groupingCount_) +
                       static_cast<std::size_t>(variable));
}

std::string CorrelatedVariableName(int variable) {
    return "var" + std::to_string(variable);
}

std::optional<double> ReversingSumOf(const GenerationSetup& setup, int variable) {
    const BoxParameters& box = setup.Box(variable);
    if (box.distribution == DistributionKind::Likert) return 1.0 + box.maxScore;
    if (box.minScore == NoLimit || box.maxScore == NoLimit) return std::nullopt;
    return box.minScore + box.maxScore;
}

bool WritesLongLayout(const GenerationSetup& setup) {
    return setup.longLayout && TakesRepeatedMeasures(setup);
}

DataColumns LongDataColumnsOf(const DataColumns& wide) {
    std::vector<DataColumn> columns;
    DataColumn occasion{ColumnRole::Grouping, "occasion", "occasion", {}, 0, 0, {}};
    for (const DataColumn& column : wide.all()) {
        if (column.role != ColumnRole::Score) {
            columns.push_back(column);
            continue;
        }
        occasion.levelLabels[++occasion.levels] = column.name;
    }
    columns.push_back(occasion);
    columns.push_back(DataColumn{ColumnRole::Score, "score", "score", {}, 0, 1, {}});
    return DataColumns(std::move(columns));
}

DataColumns DataColumnsOf(const GenerationSetup& setup) {
    ColumnList list(setup.columnNames);
    const int v = setup.variableCount;
    switch (setup.family) {
        case DesignFamily::Correlated:
            for (int variable = 1; variable <= v; ++variable) {
                list.Score(CorrelatedVariableName(variable));
            }
            list.Reversible(setup.scaleItems);
            break;
        case DesignFamily::Regression:
            list.Score("y");
            list.NumberedScores("x", 1, v - 1);
            break;
        case DesignFamily::TwoVariablesInGroups:
            list.Grouping("group", setup.levelsFactor1);
            list.NumberedScores("var", 1, 2);
            break;
        case DesignFamily::TwoGroupsMultiVariable:
            list.Grouping("group", setup.levelsFactor1);
            if (v == 1) {
                list.Score("dv");
            } else {
                list.NumberedScores("dv", 1, v);
            }
            break;
        case DesignFamily::OneWay:
            list.Grouping("group", setup.levelsFactor1);
            list.Score("dv");
            break;
        case DesignFamily::Factorial:
            AddFactorialColumns(setup, list);
            break;
        case DesignFamily::Categorical:
            list.Categories("var1", setup.categories.rows);
            if (v == 2) list.Categories("var2", setup.categories.columns);
            break;
    }
    if (setup.family != DesignFamily::Categorical) AddPoints(setup, list);
    if (const std::optional<ScaleScoreColumn> score = ScaleScoreColumn::Of(setup)) {
        list.ScaleScore(score->defaultName());
    }
    return DataColumns(list.Take());
}

}  // namespace zek
