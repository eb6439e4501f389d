#include "ui/parameter_box_widget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "commands/control_texts.h"
#include "ui/window_style.h"

namespace zek {

namespace {

constexpr QPoint kTopRowPlaces[] = {{4, 112}, {140, 112}, {276, 112}, {412, 112}};
constexpr int kBottomRowY = 320;
constexpr const char* kMeanHint =
    "Set means EQUAL for robustness analysis, DIFFERENT for power analysis";
constexpr const char* kShareOfOnesHint =
    "The percentage of cases whose outcome is 1 (more than 0, less than 100)";

QString Numbered(const char* stem, int box) {
    return QString::fromLatin1(stem) + QString::number(box);
}

void SetText(QLineEdit* edit, const std::string& text) {
    const QString wanted = QString::fromStdString(text);
    // Only a different text is set: setting moves the cursor, and the model's change would
    // otherwise reach the user's typing.
    if (edit->text() != wanted) edit->setText(wanted);
}

}  // namespace

ParameterBoxWidget::ParameterBoxWidget(int box, MainWindowModel& model, QWidget* parent)
    : QGroupBox(parent), box_(box), model_(model) {
    setObjectName(Numbered("box_group", box));
    const QPoint place = kTopRowPlaces[(box - 1) % 4];
    setGeometry(place.x(), box <= 4 ? place.y() : kBottomRowY, 132, 202);
    // The caption is bold maroon at 12 pixels; everything inside keeps the window's font.
    setFont(style::SansSerif(12, true));
    setStyleSheet(QStringLiteral("QGroupBox#%1::title { color: #800000; }").arg(objectName()));

    struct Heading {
        const char* text;
        int x;
        const char* hint;
    };
    for (const Heading& heading :
         {Heading{" Mean ", 6, kMeanHint},
          Heading{" SD ", 50,
                  "Set standard deviations DIFFERENT to violate homogeneity "
                  "assumption"},
          Heading{" N ", 92, nullptr}}) {
        auto* label = new QLabel(QString::fromLatin1(heading.text), this);
        label->setGeometry(heading.x, 17, 38, 13);
        if (heading.hint != nullptr) label->setToolTip(QString::fromLatin1(heading.hint));
        if (heading.hint == kMeanHint) meanHeading_ = label;
    }
    AddEdit(this, BoxEdit::Mean, "txt_mean", {4, 31, 42, 20});
    AddEdit(this, BoxEdit::Sd, "txt_sd", {47, 31, 40, 20});
    AddEdit(this, BoxEdit::N, "txt_n", {88, 31, 40, 20});

    auto* restrictions = new QGroupBox(QStringLiteral("Restrictions"), this);
    restrictions->setGeometry(4, 54, 124, 74);
    auto* decimalsLabel = new QLabel(QStringLiteral("# Decimals:"), restrictions);
    decimalsLabel->setGeometry(6, 16, 60, 16);
    AddEdit(restrictions, BoxEdit::Decimals, "txt_dec", {68, 15, 30, 18});
    minCheck_ = AddLimitCheck(restrictions, LimitSide::Min, {4, 34, 70, 17});
    AddEdit(restrictions, BoxEdit::Min, "txt_min", {76, 33, 44, 18});
    maxCheck_ = AddLimitCheck(restrictions, LimitSide::Max, {4, 53, 70, 17});
    AddEdit(restrictions, BoxEdit::Max, "txt_max", {76, 52, 44, 18});

    AddShapeButtons();
    for (QWidget* child : findChildren<QWidget*>()) child->setFont(style::SansSerif(10));
    Render(model_.Box(box));
}

void ParameterBoxWidget::AddShapeButtons() {
    struct Shape {
        DistributionKind kind;
        const char* stem;
        QRect place;
    };
    auto* group = new QButtonGroup(this);
    for (const Shape& shape :
         {Shape{DistributionKind::Normal, "rdo_normal", {6, 132, 60, 16}},
          Shape{DistributionKind::Uniform, "rdo_uniform", {68, 132, 62, 16}},
          Shape{DistributionKind::SkewPos, "rdo_pos", {6, 149, 60, 16}},
          Shape{DistributionKind::SkewNeg, "rdo_neg", {68, 149, 62, 16}},
          Shape{DistributionKind::RandomlyChosen, "rdo_random", {6, 166, 120, 16}},
          Shape{DistributionKind::Likert, "rdo_likert", {6, 183, 120, 16}}}) {
        auto* button = new QRadioButton(QString::fromLatin1(DistributionCaption(shape.kind)), this);
        button->setObjectName(Numbered(shape.stem, box_));
        button->setGeometry(shape.place);
        group->addButton(button);
        shapes_[static_cast<std::size_t>(shape.kind)] = button;
        if (shape.kind == DistributionKind::Likert) {
            button->setToolTip(QStringLiteral(
                "Whole points from 1 to the Max Score (3 to 11 points), with the Mean and SD "
                "typed above"));
        }
        connect(button, &QRadioButton::clicked, this,
                [this, kind = shape.kind] { model_.SelectShape(box_, kind); });
    }
}

QLineEdit* ParameterBoxWidget::AddEdit(QWidget* parent, BoxEdit edit, const char* stem,
                                       QRect place) {
    auto* line = new QLineEdit(parent);
    line->setMaxLength(static_cast<int>(kMaxTextLength));
    line->setObjectName(Numbered(stem, box_));
    line->setGeometry(place);
    // textEdited comes from the user alone; the model's own changes do not echo back.
    connect(line, &QLineEdit::textEdited, this, [this, edit](const QString& text) {
        model_.SetBoxText(box_, edit, text.toStdString());
    });
    edits_[static_cast<std::size_t>(edit)] = line;
    return line;
}

QCheckBox* ParameterBoxWidget::AddLimitCheck(QWidget* parent, LimitSide side, QRect place) {
    const bool min = side == LimitSide::Min;
    auto* check =
        new QCheckBox(min ? QStringLiteral("Min Score:") : QStringLiteral("Max Score:"), parent);
    check->setObjectName(Numbered(min ? "chk_min" : "chk_max", box_));
    check->setGeometry(place);
    check->setToolTip(
        min ? QStringLiteral("After checking, enter minimum value in box to the right")
            : QStringLiteral("After checking, enter maximum value in box to the right"));
    connect(check, &QCheckBox::clicked, this,
            [this, side](bool checked) { model_.SetLimitTicked(box_, side, checked); });
    return check;
}

void ParameterBoxWidget::Render(const ParameterBox& state) {
    setTitle(QString::fromStdString(state.caption));
    const QString heading = QString::fromStdString(state.meanHeading);
    if (meanHeading_->text() != heading) {
        meanHeading_->setText(heading);
        meanHeading_->setToolTip(
            QString::fromLatin1(heading == QLatin1String(" Mean ") ? kMeanHint : kShareOfOnesHint));
    }
    style::SetBackground(this, style::ToQColor(state.colour));
    setVisible(state.visible);
    for (const BoxEdit edit :
         {BoxEdit::Mean, BoxEdit::Sd, BoxEdit::N, BoxEdit::Decimals, BoxEdit::Min, BoxEdit::Max}) {
        const EditControl& control = state.Edit(edit);
        QLineEdit* line = edits_[static_cast<std::size_t>(edit)];
        SetText(line, control.text);
        line->setEnabled(control.enabled);
        line->setReadOnly(control.readOnly);
        line->setVisible(control.visible);
    }
    minCheck_->setChecked(state.minCheck.checked);
    minCheck_->setEnabled(state.minCheck.enabled);
    maxCheck_->setChecked(state.maxCheck.checked);
    maxCheck_->setEnabled(state.maxCheck.enabled);
    for (QRadioButton* button : shapes_) button->setEnabled(state.shapesEnabled);
    QRadioButton* selected = shapes_[static_cast<std::size_t>(state.shape)];
    if (!selected->isChecked()) selected->setChecked(true);
}

}  // namespace zek
