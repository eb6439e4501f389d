// The questions before a class set: how many students, the first seed, and the folder and
// name of the files.
#pragma once

#include <QDialog>

#include "commands/class_set.h"

class QLineEdit;
class QSpinBox;

namespace zek {

class UserPrompts;

class ClassSetDialog final : public QDialog {
    Q_OBJECT

  public:
    ClassSetDialog(UserPrompts& prompts, QWidget* parent);

    QSpinBox* students() const { return students_; }
    QLineEdit* firstSeed() const { return firstSeed_; }
    QLineEdit* folder() const { return folder_; }
    QLineEdit* fileName() const { return fileName_; }
    /// What the dialog holds, as typed.
    ClassSetForm Form() const;

  private:
    QSpinBox* students_ = nullptr;
    QLineEdit* firstSeed_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QLineEdit* fileName_ = nullptr;
};

}  // namespace zek
