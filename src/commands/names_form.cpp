#include "commands/names_form.h"

#include "files/data_file.h"

namespace zek {

std::string NameRow::Caption() const {
    return level == 0 ? column : column + " " + std::to_string(level);
}

std::vector<NameRow> NameRowsOf(const GenerationSetup& setup, const ColumnNames& names) {
    std::vector<NameRow> rows;
    for (const std::string& column : DefaultColumnNames(setup)) {
        const auto named = names.names.find(column);
        rows.push_back({column, 0, named == names.names.end() ? std::string() : named->second,
                        names.LabelOf(column)});
        if (!IsGroupingColumn(column)) continue;
        for (int level = 1; level <= LevelCountOf(setup, column); ++level) {
            rows.push_back({column, level, {}, names.LevelLabelOf(column, level)});
        }
    }
    return rows;
}

Checked<ColumnNames> ReadNameRows(const std::vector<NameRow>& rows, const ColumnNames& kept) {
    ColumnNames names = kept;
    for (const NameRow& row : rows) {
        if (row.level == 0) {
            names.names.erase(row.column);
            names.labels.erase(row.column);
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
            used.push_back(row.name.empty() ? row.column : row.name);
            if (const Verdict verdict = CheckDistinctNames(used)) return refuse(verdict->message);
        } else if (!row.label.empty()) {
            names.levelLabels[row.column][row.level] = row.label;
        }
    }
    std::erase_if(names.levelLabels, [](const auto& entry) { return entry.second.empty(); });
    return names;
}

}  // namespace zek
