// The questions before a class set: a roster or how many students, the first seed, the folder
// and name of the files, and what the students receive besides their data: handouts and a
// Moodle quiz.
#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "commands/class_set.h"

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;

namespace zek {

class UserPrompts;

class ClassSetDialog final : public QDialog {
    Q_OBJECT

  public:
    /// `figureNames` are the key figures the quiz can ask: those of the last run, none before.
    ClassSetDialog(UserPrompts& prompts, const std::vector<std::string>& figureNames,
                   QWidget* parent);

    QSpinBox* students() const { return students_; }
    QLineEdit* firstSeed() const { return firstSeed_; }
    QLineEdit* folder() const { return folder_; }
    QLineEdit* fileName() const { return fileName_; }
    QLineEdit* roster() const { return roster_; }
    QCheckBox* handouts() const { return handouts_; }
    QCheckBox* quiz() const { return quiz_; }
    QPlainTextEdit* instructions() const { return instructions_; }
    QListWidget* quizFigures() const { return quizFigures_; }
    /// What the dialog holds, as typed.
    ClassSetForm Form() const;

  private:
    void AddStudentFiles(QFormLayout& form, UserPrompts& prompts,
                         const std::vector<std::string>& figureNames);

    QSpinBox* students_ = nullptr;
    QLineEdit* firstSeed_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    QLineEdit* roster_ = nullptr;
    QCheckBox* handouts_ = nullptr;
    QCheckBox* quiz_ = nullptr;
    QPlainTextEdit* instructions_ = nullptr;
    QListWidget* quizFigures_ = nullptr;
    QSpinBox* quizDigits_ = nullptr;
};

}  // namespace zek
