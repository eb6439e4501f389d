#include "ui/class_set_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "commands/class_set.h"
#include "ui/user_prompts.h"
#include "ui/window_style.h"

namespace zek {

namespace {
// A class, not a lecture hall: beyond this the window's progress would take minutes.
constexpr int kMaxStudentsInTheWindow = 500;

// A line edit with a Browse... button that fills it from `choose`.
QHBoxLayout* WithBrowseButton(QLineEdit* edit, QWidget* parent,
                              std::function<std::optional<QString>()> choose) {
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), parent);
    browse->setAutoDefault(false);
    QObject::connect(browse, &QPushButton::clicked, parent, [edit, choose = std::move(choose)] {
        if (const auto chosen = choose()) edit->setText(*chosen);
    });
    row->addWidget(browse);
    return row;
}
}  // namespace

ClassSetDialog::ClassSetDialog(UserPrompts& prompts, const std::vector<std::string>& figureNames,
                               QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ClassSetForm"));
    setWindowTitle(QStringLiteral("Generate Class Set"));
    setModal(true);
    setFont(style::SansSerif(12));
    auto* form = new QFormLayout(this);
    // Every row keeps its height: the dialog grows to its rows, never squeezes them.
    form->setSizeConstraint(QLayout::SetMinimumSize);
    form->addRow(new QLabel(QStringLiteral("A dataset for every student, each with its own seed, "
                                           "and one answer key for the class."),
                            this));
    roster_ = new QLineEdit(this);
    roster_->setObjectName(QStringLiteral("txt_roster"));
    roster_->setPlaceholderText(QStringLiteral("none: numbered datasets"));
    roster_->setToolTip(QStringLiteral(
        "A CSV file of the students: a header naming an id column (id, student id, id number, "
        "username) and a name column (name, or first and last name). Each student's files "
        "are named by their id."));
    form->addRow(QStringLiteral("Roster (CSV):"), WithBrowseButton(roster_, this, [this, &prompts] {
                     return prompts.OpenFileName(this, roster_->text());
                 }));
    students_ = new QSpinBox(this);
    students_->setObjectName(QStringLiteral("spn_students"));
    students_->setRange(1, kMaxStudentsInTheWindow);
    students_->setValue(30);
    form->addRow(QStringLiteral("Number of students:"), students_);
    firstSeed_ = new QLineEdit(this);
    firstSeed_->setObjectName(QStringLiteral("txt_firstseed"));
    form->addRow(QStringLiteral("First seed:"), firstSeed_);
    folder_ = new QLineEdit(QDir::currentPath(), this);
    folder_->setObjectName(QStringLiteral("txt_folder"));
    form->addRow(QStringLiteral("Folder:"), WithBrowseButton(folder_, this, [this, &prompts] {
                     return prompts.FolderName(this, folder_->text());
                 }));
    fileName_ = new QLineEdit(QStringLiteral("class.csv"), this);
    fileName_->setObjectName(QStringLiteral("txt_classname"));
    form->addRow(QStringLiteral("Data file name:"), fileName_);
    auto* hint = new QLabel(this);
    hint->setObjectName(QStringLiteral("lbl_naming"));
    hint->setWordWrap(true);
    form->addRow(hint);
    const auto showHint = [this, hint] {
        const bool roster = !roster_->text().trimmed().isEmpty();
        students_->setEnabled(!roster);
        const std::string name = fileName_->text().toStdString();
        hint->setText(QString::fromStdString(
            roster ? RosterNamingHint(name) : ClassSetNamingHint(name, students_->value())));
    };
    connect(fileName_, &QLineEdit::textChanged, this, showHint);
    connect(students_, &QSpinBox::valueChanged, this, showHint);
    connect(roster_, &QLineEdit::textChanged, this, showHint);
    showHint();
    AddStudentFiles(*form, prompts, figureNames);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void ClassSetDialog::AddStudentFiles(QFormLayout& form, UserPrompts&,
                                     const std::vector<std::string>& figureNames) {
    handouts_ = new QCheckBox(QStringLiteral("Handouts: one PDF, a page per student"), this);
    handouts_->setObjectName(QStringLiteral("chk_handouts"));
    form.addRow(handouts_);
    quiz_ = new QCheckBox(QStringLiteral("Moodle quiz (XML): a question per student with their "
                                         "data file attached"),
                          this);
    quiz_->setObjectName(QStringLiteral("chk_moodle"));
    form.addRow(quiz_);
    instructions_ = new QPlainTextEdit(this);
    instructions_->setObjectName(QStringLiteral("txt_instructions"));
    instructions_->setPlaceholderText(
        QStringLiteral("What the students are to do, for the handouts and the quiz"));
    instructions_->setMinimumHeight(64);
    form.addRow(QStringLiteral("Instructions:"), instructions_);
    quizFigures_ = new QListWidget(this);
    quizFigures_->setObjectName(QStringLiteral("lst_quizfigures"));
    quizFigures_->setMinimumHeight(112);
    for (const std::string& name : figureNames) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), quizFigures_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    auto* figuresLabel =
        new QLabel(figureNames.empty() ? QStringLiteral("Quiz asks:\n(generate once\nto choose)")
                                       : QStringLiteral("Quiz asks:\n(none ticked:\nevery figure)"),
                   this);
    form.addRow(figuresLabel, quizFigures_);
    quizDigits_ = new QSpinBox(this);
    quizDigits_->setObjectName(QStringLiteral("spn_quizdigits"));
    quizDigits_->setRange(kFewestQuizDigits, kMostQuizDigits);
    quizDigits_->setValue(3);
    quizDigits_->setToolTip(QStringLiteral(
        "Students give each figure to this many significant digits; the answer is accepted "
        "within half a unit of the last. N and degrees of freedom are asked exactly."));
    form.addRow(QStringLiteral("Significant digits:"), quizDigits_);
    const auto showQuiz = [this, figuresLabel] {
        const bool asked = quiz_->isChecked();
        quizFigures_->setEnabled(asked);
        quizDigits_->setEnabled(asked);
        figuresLabel->setEnabled(asked);
        instructions_->setEnabled(asked || handouts_->isChecked());
    };
    connect(quiz_, &QCheckBox::toggled, this, showQuiz);
    connect(handouts_, &QCheckBox::toggled, this, showQuiz);
    showQuiz();
}

ClassSetForm ClassSetDialog::Form() const {
    ClassSetForm form;
    form.students = students_->value();
    form.firstSeed = firstSeed_->text().toStdString();
    form.folder = folder_->text().toStdString();
    form.fileName = fileName_->text().toStdString();
    form.roster = roster_->text().trimmed().toStdString();
    form.handouts = handouts_->isChecked();
    form.quiz = quiz_->isChecked();
    form.instructions = instructions_->toPlainText().toStdString();
    for (int row = 0; row < quizFigures_->count(); ++row) {
        if (quizFigures_->item(row)->checkState() == Qt::Checked) {
            form.quizFigures.push_back(quizFigures_->item(row)->text().toStdString());
        }
    }
    form.quizDigits = quizDigits_->value();
    return form;
}

}  // namespace zek
