#include "ui/main_window.h"

#include "setup/version.h"

namespace zek {

MainWindow::MainWindow(ProgramState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setWindowTitle(QStringLiteral("ZEK: Qarn %1 ").arg(QString::fromLatin1(kVersion.data(), kVersion.size())));
    setFixedSize(822, 526);
}

}  // namespace zek
