#include "ui/names_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/names_table.h"
#include "ui/user_prompts.h"
#include "ui/window_style.h"

namespace zek {

namespace {

enum Column { kColumn, kName, kLabel, kReversed };

}  // namespace

NamesDialog::NamesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TNamesForm"));
    setWindowTitle(QStringLiteral("Names and Labels"));
    auto* layout = new QVBoxLayout(this);
    auto* advice = new QLabel(
        QStringLiteral("Names: a letter, then letters, digits or _ (at most 32). Labels: any text "
                       "up to 120 characters without commas. Empty keeps the default. Reversed: "
                       "an item of a scale worded against it (Options > Scale)."),
        this);
    advice->setWordWrap(true);
    layout->addWidget(advice);
    table_ = new NamesTable(0, 4, this);
    table_->setObjectName(QStringLiteral("tbl_names"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Column"), QStringLiteral("Name"),
                                       QStringLiteral("Label"), QStringLiteral("Reversed")});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(kLabel, QHeaderView::Stretch);
    table_->setColumnWidth(kColumn, 90);
    table_->setColumnWidth(kName, 150);
    table_->setColumnWidth(kReversed, 70);
    layout->addWidget(table_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 420);
}

void NamesDialog::Fill(const std::vector<NameRow>& rows) {
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const NameRow& row = rows[static_cast<std::size_t>(r)];
        auto* column = new QTableWidgetItem(style::ToQString(row.Caption()));
        column->setFlags(Qt::ItemIsEnabled);
        // A level has a label only; its row stands indented under its column.
        auto* name = new QTableWidgetItem(style::ToQString(row.name));
        if (row.level != 0) {
            column->setText(QStringLiteral("   = %1").arg(row.level));
            name->setFlags(Qt::NoItemFlags);
            name->setBackground(palette().window());
        }
        table_->setItem(r, kColumn, column);
        table_->setItem(r, kName, name);
        table_->setItem(r, kLabel, new QTableWidgetItem(style::ToQString(row.label)));
        // Only a scale's item can be worded against it; other rows leave the cell blank.
        auto* reversed = new QTableWidgetItem();
        reversed->setFlags(row.reversible ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
                                          : Qt::NoItemFlags);
        if (row.reversible) reversed->setCheckState(row.reversed ? Qt::Checked : Qt::Unchecked);
        table_->setItem(r, kReversed, reversed);
    }
}

std::vector<NameRow> NamesDialog::Typed(std::vector<NameRow> rows) const {
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        NameRow& row = rows[static_cast<std::size_t>(r)];
        if (row.level == 0) row.name = table_->item(r, kName)->text().trimmed().toStdString();
        row.label = table_->item(r, kLabel)->text().toStdString();
        row.reversed = row.reversible && table_->item(r, kReversed)->checkState() == Qt::Checked;
    }
    return rows;
}

std::optional<ColumnNames> NamesDialog::Ask(const std::vector<NameRow>& rows,
                                            const ColumnNames& kept, UserPrompts& prompts) {
    Fill(rows);
    style::CentreOn(this, parentWidget());
    while (exec() == QDialog::Accepted) {
        const Checked<ColumnNames> names = ReadNameRows(Typed(rows), kept);
        if (names) return *names;
        prompts.Message(this, style::ToQString(names.refusal().message));
    }
    return std::nullopt;
}

}  // namespace zek
