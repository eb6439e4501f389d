#include "ui/category_panel.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "commands/category_form.h"
#include "ui/window_style.h"

namespace zek {

namespace {

// The grid: a column of row headers, then a column of cells per category of the second
// variable.
constexpr int kHeaderX = 12;
constexpr int kHeaderWidth = 150;
constexpr int kFirstCellX = 170;
constexpr int kCellPitch = 88;
constexpr int kCellWidth = 80;
constexpr int kFirstRowY = 118;
constexpr int kRowPitch = 24;

void SetText(QLineEdit* edit, const std::string& text) {
    const QString wanted = QString::fromStdString(text);
    if (edit->text() != wanted) edit->setText(wanted);
}

QLineEdit* NewEdit(const QString& name, QRect place, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(place);
    edit->setFont(style::SansSerif(11));
    edit->setMaxLength(static_cast<int>(kMaxTextLength));
    return edit;
}

QLabel* NewLabel(const QString& text, QRect place, QWidget* parent, bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setFont(style::SansSerif(11, bold));
    return label;
}

}  // namespace

CategoryPanel::CategoryPanel(MainWindowModel& model, QWidget* parent)
    : QGroupBox(QStringLiteral("COUNTS IN CATEGORIES"), parent), model_(model) {
    setObjectName(QStringLiteral("box_categories"));
    setGeometry(4, 112, 540, 408);
    style::SetBackground(this, style::ToQColor(kCream));
    setFont(style::SansSerif(12, true));
    setStyleSheet(QStringLiteral("QGroupBox#box_categories::title { color: #800000; }"));
    AddChoices();
    AddGrid();
    auto* hint = NewLabel(QStringLiteral("Type the population percentage of each category. Over "
                                         "all cases the percentages add up to 100; of each "
                                         "column's cases (proportions in groups), every column "
                                         "does, and each column has its own N."),
                          {12, 372, 516, 32}, this);
    hint->setWordWrap(true);
    hide();
}

void CategoryPanel::AddChoices() {
    categoriesLabel_ = NewLabel(QStringLiteral("Number of categories:"), {12, 24, 150, 22}, this);
    categories_ = new QSpinBox(this);
    categories_->setObjectName(QStringLiteral("spn_categories"));
    categories_->setRange(2, kMaxCategories);
    categories_->setGeometry(170, 24, 60, 22);
    categories_->setFont(style::SansSerif(11));
    connect(categories_, &QSpinBox::valueChanged, this, [this](int rows) {
        if (rows == model_.categories().rows) return;
        model_.SetCategories(WithRows(model_.categories(), rows));
    });
    tableLabel_ = NewLabel({}, {12, 24, 516, 22}, this, true);

    percentagesOfLabel_ = NewLabel(QStringLiteral("Percentages are of:"), {12, 54, 150, 22}, this);
    ofAll_ = new QRadioButton(QStringLiteral("all cases"), this);
    ofAll_->setObjectName(QStringLiteral("rdo_ofall"));
    ofAll_->setGeometry(170, 54, 90, 22);
    ofColumns_ =
        new QRadioButton(QStringLiteral("each column's cases (proportions in groups)"), this);
    ofColumns_->setObjectName(QStringLiteral("rdo_ofcolumns"));
    ofColumns_->setGeometry(264, 54, 270, 22);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* button : {ofAll_, ofColumns_}) {
        button->setFont(style::SansSerif(11));
        group->addButton(button);
    }
    connect(ofAll_, &QRadioButton::clicked, this, [this] {
        model_.SetCategories(WithPercentagesOf(model_.categories(), PercentagesOf::AllCases));
    });
    connect(ofColumns_, &QRadioButton::clicked, this, [this] {
        model_.SetCategories(WithPercentagesOf(model_.categories(), PercentagesOf::ColumnsCases));
    });
}

void CategoryPanel::AddGrid() {
    for (int column = 0; column < kMaxTableColumns; ++column) {
        auto* header = NewLabel(
            {}, {kFirstCellX + kCellPitch * column, kFirstRowY - 26, kCellWidth, 22}, this, true);
        header->setAlignment(Qt::AlignCenter);
        columnHeaders_[static_cast<std::size_t>(column)] = header;
    }
    for (int row = 0; row < kMaxCategories; ++row) {
        rowHeaders_[static_cast<std::size_t>(row)] =
            NewLabel({}, {kHeaderX, kFirstRowY + kRowPitch * row, kHeaderWidth, 22}, this, true);
    }
    for (int cell = 0; cell < kMaxTableCells; ++cell) {
        QLineEdit* edit = NewEdit(QStringLiteral("txt_pct%1").arg(cell + 1), {}, this);
        connect(edit, &QLineEdit::textEdited, this, [this, cell](const QString& text) {
            Edit([&](CategoryTableTexts& texts) {
                if (texts.percentages.size() <= static_cast<std::size_t>(cell)) {
                    texts.percentages.resize(static_cast<std::size_t>(cell) + 1);
                }
                texts.percentages[static_cast<std::size_t>(cell)] = text.toStdString();
            });
        });
        cells_[static_cast<std::size_t>(cell)] = edit;
    }
    nLabel_ = NewLabel(QStringLiteral("N"), {}, this, true);
    n_ = NewEdit(QStringLiteral("txt_catn"), {}, this);
    connect(n_, &QLineEdit::textEdited, this, [this](const QString& text) {
        Edit([&](CategoryTableTexts& texts) { texts.n = text.toStdString(); });
    });
    for (int column = 0; column < kMaxTableColumns; ++column) {
        QLineEdit* edit = NewEdit(QStringLiteral("txt_catn%1").arg(column + 1), {}, this);
        connect(edit, &QLineEdit::textEdited, this, [this, column](const QString& text) {
            Edit([&](CategoryTableTexts& texts) {
                if (texts.columnN.size() <= static_cast<std::size_t>(column)) {
                    texts.columnN.resize(static_cast<std::size_t>(column) + 1);
                }
                texts.columnN[static_cast<std::size_t>(column)] = text.toStdString();
            });
        });
        columnN_[static_cast<std::size_t>(column)] = edit;
    }
    sums_ = NewLabel({}, {12, 0, 516, 22}, this, true);
    sums_->setObjectName(QStringLiteral("lbl_sum"));
}

void CategoryPanel::Edit(const std::function<void(CategoryTableTexts&)>& change) {
    CategoryTableTexts texts = model_.categories();
    change(texts);
    model_.SetCategories(std::move(texts));
}

void CategoryPanel::Render(const MainWindowModel& model) {
    const DesignInfo& design = Design(model.design());
    const bool shown = design.family == DesignFamily::Categorical;
    setVisible(shown);
    if (!shown) return;
    const CategoryTableTexts& texts = model.categories();
    const ColumnNames& names = model.columnNames();
    const bool table = texts.columns > 1;
    const bool ofColumns = table && texts.percentagesOf == PercentagesOf::ColumnsCases;

    categoriesLabel_->setVisible(!table);
    categories_->setVisible(!table);
    if (categories_->value() != texts.rows) categories_->setValue(texts.rows);
    tableLabel_->setVisible(table);
    tableLabel_->setText(QStringLiteral("A table of %1 x %2 categories: %3 in the rows, %4 in the "
                                        "columns")
                             .arg(texts.rows)
                             .arg(texts.columns)
                             .arg(QString::fromStdString(names.NameOf("var1")))
                             .arg(QString::fromStdString(names.NameOf("var2"))));
    for (QWidget* widget : {static_cast<QWidget*>(percentagesOfLabel_),
                            static_cast<QWidget*>(ofAll_), static_cast<QWidget*>(ofColumns_)}) {
        widget->setVisible(table);
    }
    (ofColumns ? ofColumns_ : ofAll_)->setChecked(true);

    for (int column = 0; column < kMaxTableColumns; ++column) {
        QLabel* header = columnHeaders_[static_cast<std::size_t>(column)];
        header->setVisible(column < texts.columns);
        header->setText(table ? QString::fromStdString(CategoryHeader(names, 2, column + 1))
                              : QStringLiteral("Percentage"));
    }
    for (int row = 0; row < kMaxCategories; ++row) {
        QLabel* header = rowHeaders_[static_cast<std::size_t>(row)];
        header->setVisible(row < texts.rows);
        header->setText(QString::fromStdString(CategoryHeader(names, 1, row + 1)));
    }
    for (int cell = 0; cell < kMaxTableCells; ++cell) {
        QLineEdit* edit = cells_[static_cast<std::size_t>(cell)];
        const bool used = cell < texts.rows * texts.columns;
        edit->setVisible(used);
        if (!used) continue;
        const int row = cell / texts.columns;
        const int column = cell % texts.columns;
        edit->setGeometry(kFirstCellX + kCellPitch * column, kFirstRowY + kRowPitch * row,
                          kCellWidth, 22);
        SetText(edit, static_cast<std::size_t>(cell) < texts.percentages.size()
                          ? texts.percentages[static_cast<std::size_t>(cell)]
                          : std::string());
    }

    const int nY = kFirstRowY + kRowPitch * texts.rows + 8;
    nLabel_->setGeometry(kHeaderX, nY, kHeaderWidth, 22);
    nLabel_->setText(ofColumns ? QStringLiteral("N of each column") : QStringLiteral("N"));
    n_->setVisible(!ofColumns);
    n_->setGeometry(kFirstCellX, nY, kCellWidth, 22);
    SetText(n_, texts.n);
    for (int column = 0; column < kMaxTableColumns; ++column) {
        QLineEdit* edit = columnN_[static_cast<std::size_t>(column)];
        const bool used = ofColumns && column < texts.columns;
        edit->setVisible(used);
        if (!used) continue;
        edit->setGeometry(kFirstCellX + kCellPitch * column, nY, kCellWidth, 22);
        SetText(edit, static_cast<std::size_t>(column) < texts.columnN.size()
                          ? texts.columnN[static_cast<std::size_t>(column)]
                          : std::string());
    }

    const CategorySums sums = SumsOf(texts, model.decimalSeparator());
    sums_->setGeometry(kHeaderX, nY + 32, 516, 22);
    sums_->setText(QString::fromStdString(sums.text));
    QPalette palette = sums_->palette();
    palette.setColor(QPalette::WindowText, sums.complete ? style::kGreen : style::kMaroon);
    sums_->setPalette(palette);
}

}  // namespace zek
