#include "ui/class_set_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "commands/class_set.h"
#include "ui/user_prompts.h"
#include "ui/window_style.h"

namespace zek {

namespace {
// A class, not a lecture hall: beyond this the window's progress would take minutes.
constexpr int kMaxStudentsInTheWindow = 500;
}  // namespace

ClassSetDialog::ClassSetDialog(UserPrompts& prompts, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ClassSetForm"));
    setWindowTitle(QStringLiteral("Generate Class Set"));
    setModal(true);
    setFont(style::SansSerif(12));
    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(QStringLiteral("A dataset for every student, each with its own seed, "
                                           "and one answer key for the class."),
                            this));
    students_ = new QSpinBox(this);
    students_->setObjectName(QStringLiteral("spn_students"));
    students_->setRange(1, kMaxStudentsInTheWindow);
    students_->setValue(30);
    form->addRow(QStringLiteral("Number of students:"), students_);
    firstSeed_ = new QLineEdit(this);
    firstSeed_->setObjectName(QStringLiteral("txt_firstseed"));
    form->addRow(QStringLiteral("First seed:"), firstSeed_);
    auto* folderRow = new QHBoxLayout;
    folder_ = new QLineEdit(QDir::currentPath(), this);
    folder_->setObjectName(QStringLiteral("txt_folder"));
    folderRow->addWidget(folder_);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this, &prompts] {
        if (const auto chosen = prompts.FolderName(this, folder_->text())) {
            folder_->setText(*chosen);
        }
    });
    folderRow->addWidget(browse);
    form->addRow(QStringLiteral("Folder:"), folderRow);
    fileName_ = new QLineEdit(QStringLiteral("class.csv"), this);
    fileName_->setObjectName(QStringLiteral("txt_classname"));
    form->addRow(QStringLiteral("Data file name:"), fileName_);
    auto* hint = new QLabel(this);
    hint->setObjectName(QStringLiteral("lbl_naming"));
    hint->setWordWrap(true);
    form->addRow(hint);
    const auto showHint = [this, hint] {
        hint->setText(QString::fromStdString(
            ClassSetNamingHint(fileName_->text().toStdString(), students_->value())));
    };
    connect(fileName_, &QLineEdit::textChanged, this, showHint);
    connect(students_, &QSpinBox::valueChanged, this, showHint);
    showHint();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ClassSetForm ClassSetDialog::Form() const {
    return {students_->value(), firstSeed_->text().toStdString(), folder_->text().toStdString(),
            fileName_->text().toStdString()};
}

}  // namespace zek
