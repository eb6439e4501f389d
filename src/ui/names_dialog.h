// "Names and Labels..." (`TNamesForm`): a table with a row for each column of the design's
// data file (its default name, a new name, a label) and one for each level of each grouping
// column (a label). Empty means the default.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "commands/names_form.h"

class QTableWidget;

namespace zek {

class UserPrompts;

class NamesDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit NamesDialog(QWidget* parent);

    /// Shows `rows` until OK finds every row acceptable (a refused row's message is shown and
    /// the dialog comes back as left) or the user cancels; the names then, or nothing.
    std::optional<ColumnNames> Ask(const std::vector<NameRow>& rows, const ColumnNames& kept,
                                   UserPrompts& prompts);

    QTableWidget* table() const { return table_; }

  private:
    void Fill(const std::vector<NameRow>& rows);
    std::vector<NameRow> Typed(std::vector<NameRow> rows) const;

    QTableWidget* table_ = nullptr;
};

}  // namespace zek
