#include "ui/design_selector.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

#include "commands/design_presentation.h"
#include "ui/window_style.h"

namespace zek {

namespace {

// A family's buttons stand in one row; the row, its label and the spacing of its buttons.
struct ButtonRow {
    QPoint label;
    QPoint firstButton;
    int spacing;
    int width;
};

ButtonRow RowOf(const DesignInfo& design) {
    // The mixed designs' row runs under the three columns, its buttons beside its label.
    if (design.occasionsAlways) return {{16, 104}, {338, 103}, 30, 28};
    // The logistic regressions' row runs under the mixed designs'.
    if (design.binaryOutcome) return {{16, 124}, {430, 123}, 30, 28};
    switch (design.family) {
        case DesignFamily::OneWay:
            return {{16, 24}, {18, 42}, 30, 28};
        case DesignFamily::TwoGroupsMultiVariable:
            return {{16, 64}, {18, 82}, 60, 56};
        case DesignFamily::TwoVariablesInGroups:
            return {{304, 24}, {306, 42}, 40, 38};
        case DesignFamily::Factorial:
            // Two variables in a 2x2 design close the row of two variables in groups.
            if (design.Shape().TwoVariablesInCells()) return {{304, 24}, {306, 42}, 40, 44};
            return {{304, 64}, {306, 82}, 50, 52};
        case DesignFamily::Regression:
            return {{552, 24}, {554, 42}, 30, 28};
        case DesignFamily::Correlated:
            return {{552, 64}, {554, 82}, 30, 28};
        case DesignFamily::Categorical:
            // Beside the mixed designs, under the regression and correlation rows.
            return {{414, 104}, {530, 103}, 47, 44};
    }
    return {};
}

// The place of a design within its row, counted over the catalogue's order.
int IndexInRow(const DesignInfo& design) {
    const ButtonRow row = RowOf(design);
    int index = 0;
    for (const DesignInfo& other : DesignCatalogue()) {
        if (other.kind == design.kind) break;
        if (RowOf(other).firstButton == row.firstButton) ++index;
    }
    return index;
}

}  // namespace

DesignSelector::DesignSelector(std::function<void(DesignKind)> selected, QWidget* parent)
    : QGroupBox(QStringLiteral("TYPE OF DATA"), parent) {
    setObjectName(QStringLiteral("boxstatisticaltest"));
    setGeometry(4, 2, 813, kHeight);
    style::SetBackground(this, style::kMoneyGreen);
    setFont(style::SansSerif(11, true));
    setStyleSheet(QStringLiteral("QGroupBox#boxstatisticaltest::title { color: #008000; }"));

    auto* group = new QButtonGroup(this);
    for (const DesignInfo& design : DesignCatalogue()) {
        const ButtonRow row = RowOf(design);
        auto* button = new QRadioButton(style::ToQString(design.buttonCaption), this);
        button->setObjectName(style::ToQString(design.radioButton));
        button->setFont(style::SansSerif(10));
        button->setGeometry(row.firstButton.x() + IndexInRow(design) * row.spacing,
                            row.firstButton.y(), row.width, 17);
        group->addButton(button);
        buttons_[static_cast<std::size_t>(design.fileCode - 1)] = button;
        connect(button, &QRadioButton::clicked, this,
                [selected, kind = design.kind] { selected(kind); });
    }
    // Each row's label, placed by the row of one of its designs.
    for (const DesignKind kind :
         {DesignKind::Groups1, DesignKind::TwoGroupsDV1, DesignKind::TwoDVGroups1,
          DesignKind::Factorial2x2, DesignKind::Regression1, DesignKind::Correlated2,
          DesignKind::MixedOccasions3, DesignKind::Categories1, DesignKind::BinaryOutcome1}) {
        auto* label = new QLabel(style::ToQString(RowLabelOf(Design(kind))), this);
        QFont font = style::SansSerif(10, true);
        font.setUnderline(true);
        label->setFont(font);
        label->move(RowOf(Design(kind)).label);
        label->adjustSize();
    }
    for (const int x : {280, 528}) {
        auto* divider = new QFrame(this);
        divider->setFrameShape(QFrame::VLine);
        divider->setFrameShadow(QFrame::Sunken);
        divider->setGeometry(x, 18, 2, 80);
    }
    Render(DesignKind::Groups2);
}

void DesignSelector::Render(DesignKind checked) {
    QRadioButton* button = buttons_[static_cast<std::size_t>(FileCodeOf(checked) - 1)];
    if (!button->isChecked()) button->setChecked(true);
    // As in any group of radio buttons, Tab enters at the chosen one; the arrow keys move on.
    for (QRadioButton* other : buttons_) {
        other->setFocusPolicy(other == button ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

}  // namespace zek
