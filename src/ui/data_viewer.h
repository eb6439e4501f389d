// The information and data viewer (`TDataForm`): the files of the last save, read back from
// the disk, in a fixed-pitch box that prints.
#pragma once

#include <QDialog>

#include "commands/data_viewer_text.h"
#include "commands/program_state.h"

class QPlainTextEdit;
class QPushButton;

namespace zek {

class UserPrompts;

class DataViewer final : public QDialog {
    Q_OBJECT

  public:
    DataViewer(const ProgramState& state, UserPrompts& prompts, QWidget* parent);

    /// Refills the box from the files in the current mode and shows and raises the window.
    /// A file that cannot be read is reported, naming it; the window is then not shown.
    void LoadViewer();

    QPlainTextEdit* box() const { return box_; }
    DataViewMode mode() const { return mode_; }

  private:
    void Button1Click();
    void Button2Click();
    void ApplyCaptions();
    void BitBtn2Click();

    const ProgramState& state_;
    UserPrompts& prompts_;
    DataViewMode mode_ = DataViewMode::Both;
    QPlainTextEdit* box_ = nullptr;
    QPushButton* informationButton_ = nullptr;
    QPushButton* dataButton_ = nullptr;
};

}  // namespace zek
