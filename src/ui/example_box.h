// The How To window (`TExampleBox`): a recipe's lines in a read-only box, with Close, Print
// and Wordwrap in its own menu bar.
#pragma once

#include <QMainWindow>
#include <QString>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace zek {

class UserPrompts;

class ExampleBox final : public QMainWindow {
    Q_OBJECT

  public:
    ExampleBox(UserPrompts& prompts, QWidget* parent);

    /// Replaces the text with the recipe's lines and shows the window, centred on the main
    /// window the first time; printing without a printer offers `pdfFileName`.
    void ShowRecipe(const std::string& pdfFileName, const std::vector<std::string>& lines);
    QPlainTextEdit* box() const { return box_; }

  private:
    UserPrompts& prompts_;
    QPlainTextEdit* box_ = nullptr;
    QString pdfFileName_;
    bool placed_ = false;
};

}  // namespace zek
