#include "ui/main_window.h"

namespace zek {

MainWindow::MainWindow(ProgramState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setWindowTitle(QString::fromLatin1(kCaption));
    setFixedSize(822, 526);
}

}  // namespace zek
