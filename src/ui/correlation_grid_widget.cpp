#include "ui/correlation_grid_widget.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "commands/control_texts.h"
#include "ui/window_style.h"

namespace zek {

CorrelationGridWidget::CorrelationGridWidget(MainWindowModel& model, QWidget* parent)
    : QGroupBox(QStringLiteral("CORRELATIONS"), parent), model_(model) {
    setObjectName(QStringLiteral("box_correlations"));
    setGeometry(547, 240, 270, 240);
    style::SetBackground(this, style::kSkyBlue);
    setFont(style::SansSerif(11, true));
    setStyleSheet(QStringLiteral("QGroupBox#box_correlations::title { color: #008000; }"));
    AddCells();
    AddPresetButtons();
    const QFont font = style::SansSerif(10);
    warning_ = new QLabel(QStringLiteral("Note that not all random matrices represent possible "
                                         "correlation matrices (adjustments will be made)."),
                          this);
    warning_->setObjectName(QStringLiteral("warning"));
    warning_->setGeometry(8, 208, 256, 28);
    warning_->setWordWrap(true);
    warning_->setFont(font);
    attempts_ = new QLabel(this);
    attempts_->setObjectName(QStringLiteral("Label11"));
    attempts_->setGeometry(238, 190, 28, 14);
    attempts_->setFont(font);
    Render(model_);
}

void CorrelationGridWidget::AddCells() {
    const QFont font = style::SansSerif(10);
    // Cell r_ij stands in row j and column i: the grid is a lower triangle.
    for (int i = 1; i <= kMaxVariables; ++i) {
        for (int j = i + 1; j <= kMaxVariables; ++j) {
            auto* cell = new QLineEdit(this);
            cell->setMaxLength(static_cast<int>(kMaxTextLength));
            cell->setObjectName(QStringLiteral("txt_r%1%2").arg(i).arg(j));
            cell->setGeometry(22 + 28 * (i - 1), 36 + 24 * (j - 2), 27, 21);
            cell->setFont(font);
            cell->setTextMargins(0, 0, 0, 0);
            connect(cell, &QLineEdit::textEdited, this, [this, i, j](const QString& text) {
                model_.SetCorrelationText(i, j, text.toStdString());
            });
            cells_[static_cast<std::size_t>(CorrelationCellIndex(i, j))] = cell;
        }
    }
    for (int k = 1; k < kMaxVariables; ++k) {
        auto* column = new QLabel(this);
        column->setObjectName(QStringLiteral("lbl_v%1a").arg(k));
        column->setGeometry(26 + 28 * (k - 1), 15 + 24 * (k - 1), 20, 14);
        column->setFont(style::SansSerif(10, true));
        columnHeaders_[static_cast<std::size_t>(k - 1)] = column;
        auto* row = new QLabel(this);
        row->setObjectName(QStringLiteral("lbl_v%1").arg(k + 1));
        row->setGeometry(4, 39 + 24 * (k - 1), 18, 14);
        row->setFont(style::SansSerif(10, true));
        rowHeaders_[static_cast<std::size_t>(k - 1)] = row;
    }
}

void CorrelationGridWidget::AddPresetButtons() {
    const QFont font = style::SansSerif(10);
    // The buttons climb the empty upper triangle, the longest caption on top.
    struct Preset {
        const char* name;
        const char* caption;
        QRect place;
        void (MainWindowModel::*click)();
    };
    for (const Preset& preset : {Preset{"btn_randomcorr",
                                        "Set Corrs Randomly (round to .01)",
                                        {100, 10, 166, 19},
                                        &MainWindowModel::SetRandomCorrelationsInHundredths},
                                 Preset{"Button4",
                                        "Set Randomly (round to .1)",
                                        {100, 31, 166, 19},
                                        &MainWindowModel::SetRandomCorrelationsInTenths},
                                 Preset{"btn_allpoint5",
                                        "Set All Correlations = .5",
                                        {104, 52, 162, 19},
                                        &MainWindowModel::SetAllCorrelationsToHalf},
                                 Preset{"Button5",
                                        "Set All Corrs = .25",
                                        {132, 73, 134, 19},
                                        &MainWindowModel::SetAllCorrelationsToQuarter},
                                 Preset{"btn_allzero",
                                        "Set All = 0",
                                        {160, 94, 106, 19},
                                        &MainWindowModel::SetAllCorrelationsToZero}}) {
        auto* button = new QPushButton(QString::fromLatin1(preset.caption), this);
        button->setObjectName(QString::fromLatin1(preset.name));
        button->setGeometry(preset.place);
        button->setFont(font);
        connect(button, &QPushButton::clicked, this,
                [this, click = preset.click] { (model_.*click)(); });
    }
}

void CorrelationGridWidget::Render(const MainWindowModel& model) {
    for (int i = 1; i <= kMaxVariables; ++i) {
        for (int j = i + 1; j <= kMaxVariables; ++j) {
            const EditControl& state = model.Correlation(i, j);
            QLineEdit* cell = cells_[static_cast<std::size_t>(CorrelationCellIndex(i, j))];
            const QString text = QString::fromStdString(state.text);
            if (cell->text() != text) cell->setText(text);
            cell->setEnabled(state.enabled);
        }
    }
    for (int k = 1; k < kMaxVariables; ++k) {
        columnHeaders_[static_cast<std::size_t>(k - 1)]->setText(
            QString::fromStdString(model.ColumnHeader(k)));
        rowHeaders_[static_cast<std::size_t>(k - 1)]->setText(
            QString::fromStdString(model.RowHeader(k + 1)));
    }
    warning_->setVisible(model.warningVisible());
    attempts_->setText(QString::fromStdString(model.attemptsLabel()));
}

}  // namespace zek
