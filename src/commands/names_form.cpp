#include "commands/names_form.h"

#include "files/data_file.h"

namespace zek {

std::string NameRow::Caption() const {
    return level == 0 ? column : column + " " + std::to_string(level);
}

std::vector<NameRow> NameRowsOf(const GenerationSetup& setup, const ColumnNames& names) {
    std::vector<NameRow> rows;
    const DataColumns columns = DataColumnsOf(setup);
    for (const DataColumn& described : columns.all()) {
        const std::string& column = described.defaultName;
        const auto named = names.names.find(column);
        rows.push_back({column, 0, named == names.names.end() ? std::string() : named->second,
                        names.LabelOf(column), described.reversible,
                        described.reversible && names.Reversed(column)});
        for (int level = 1; level <= described.levels; ++level) {
            rows.push_back({column, level, {}, names.LevelLabelOf(column, level)});
        }
    }
    return rows;
}

namespace {

// A level as the plot page shows it: its label, or the column's name and the level's number.
std::string LevelCaption(const DataColumn& column, int level) {
    const std::string label = column.LevelLabelOf(level);
    return label.empty() ? column.name + " " + std::to_string(level) : label;
}

}  // namespace

std::vector<std::string> NamedBoxCaptions(const GenerationSetup& setup,
                                          std::vector<std::string> captions) {
    if (setup.columnNames.empty()) return captions;
    const DataColumns columns = DataColumnsOf(setup);
    captions.resize(kBoxCount);
    for (const DataBlock& block : LayoutOf(setup)) {
        const auto levels = static_cast<std::size_t>(block.cell.levelCount);
        std::string cell;
        for (std::size_t f = 0; f < levels; ++f) {
            if (f > 0) cell += ", ";
            cell +=
                LevelCaption(columns.GroupingColumn(static_cast<int>(f) + 1), block.cell.levels[f]);
        }
        for (int v = 0; v < setup.variableCount; ++v) {
            const std::string& variable = columns.ScoreColumn(v + 1).name;
            captions[static_cast<std::size_t>(block.BoxOfColumn(v) - 1)] =
                cell.empty() ? variable : cell + ": " + variable;
        }
    }
    return captions;
}

std::vector<std::string> NamedVariables(const GenerationSetup& setup) {
    if (setup.columnNames.empty()) return {};
    std::vector<std::string> variables;
    const DataColumns columns = DataColumnsOf(setup);
    for (const DataColumn& column : columns.all()) {
        if (column.role == ColumnRole::Score) variables.push_back(column.name);
    }
    return variables;
}

Checked<ColumnNames> ReadNameRows(const std::vector<NameRow>& rows, const ColumnNames& kept) {
    ColumnNames names = kept;
    for (const NameRow& row : rows) {
        if (row.level == 0) {
            names.names.erase(row.column);
            names.labels.erase(row.column);
            names.reversed.erase(row.column);
        } else {
            names.levelLabels[row.column].erase(row.level);
        }
    }
    std::vector<std::string> used;
    for (const NameRow& row : rows) {
        auto refuse = [&row](const std::string& message) {
            return Refusal{row.Caption() + ": " + message, ""};
        };
        if (!row.name.empty()) {
            if (const Verdict verdict = CheckColumnName(row.name)) return refuse(verdict->message);
            names.names[row.column] = row.name;
        }
        if (const Verdict verdict = CheckColumnLabel(row.label)) return refuse(verdict->message);
        if (row.level == 0) {
            if (!row.label.empty()) names.labels[row.column] = row.label;
            if (row.reversible && row.reversed) names.reversed.insert(row.column);
            used.push_back(row.name.empty() ? row.column : row.name);
            if (const Verdict verdict = CheckDistinctNames(used)) return refuse(verdict->message);
        } else if (!row.label.empty()) {
            names.levelLabels[row.column][row.level] = row.label;
            if (const Verdict verdict = CheckLevelLabels(names.levelLabels[row.column])) {
                return refuse(verdict->message);
            }
        }
    }
    std::erase_if(names.levelLabels, [](const auto& entry) { return entry.second.empty(); });
    return names;
}

}  // namespace zek
