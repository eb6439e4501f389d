#include <QApplication>
#include <memory>

#include "commands/program_state.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The setup, the streams and the tables live for the whole program.
    auto state = std::make_unique<zek::ProgramState>();
    zek::DialogPrompts prompts;
    zek::MainWindow window(*state, prompts);
    window.show();
    return QApplication::exec();
}
