#include <QApplication>
#include <QScreen>
#include <iostream>
#include <memory>
#include <string_view>

#include "commands/help_texts.h"
#include "commands/program_state.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

int main(int argc, char** argv) {
    // Answered before a window or a display is needed, as a packager's script asks it.
    for (int k = 1; k < argc; ++k) {
        if (std::string_view(argv[k]) == "--version") {
            std::cout << "zek " << zek::kVersion << '\n';
            return 0;
        }
    }
    QApplication application(argc, argv);
    // The setup, the streams and the tables live for the whole program.
    auto state = std::make_unique<zek::ProgramState>();
    zek::DialogPrompts prompts;
    zek::MainWindow window(*state, prompts);
    // Centred on the desktop, where a teacher's projector shows it whole.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
    window.show();
    return QApplication::exec();
}
