// The main window of ZEK (`Tzekform`).
//
// The window keeps the user's texts in its controls; the core turns them into a run:
// the window fills a `ControlTexts` from its controls, `RunCommand` validates them into the
// program's `GenerationSetup` and runs the engine, and `AfterRunSave` writes the data file,
// the information file and the parameters file. Messages, focus moves, dialogs and file
// choosers reach the user through the window's `CommandHost`.
#pragma once

#include <QMainWindow>

#include "commands/program_state.h"

namespace zek {

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(ProgramState& state, QWidget* parent = nullptr);

  private:
    ProgramState& state_;
};

}  // namespace zek
