// Photographs the window in the states a handout shows, for a look after a change of layout:
//   QT_QPA_PLATFORM=offscreen build-test/tests/zek_take_screenshots FOLDER
#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "recording_prompts.h"
#include "ui/data_viewer.h"
#include "ui/example_box.h"
#include "ui/main_window.h"
#include "ui/plot_page.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zek_take_screenshots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    auto state = std::make_unique<zek::ProgramState>();
    zek::testing::RecordingPrompts prompts;
    zek::MainWindow window(*state, prompts);
    window.show();
    QApplication::processEvents();
    bool saved = window.grab().save(folder + "/startup.png");
    window.findChild<QRadioButton*>("rdo_corr8")->click();
    window.model().btn_randomcorrClick();
    window.model().SelectShape(3, zek::DistributionKind::Uniform);
    saved &= window.grab().save(folder + "/correlated8.png");
    window.findChild<QRadioButton*>("rdo_2dv2x2")->click();
    saved &= window.grab().save(folder + "/twodv2x2.png");
    const std::filesystem::path data =
        std::filesystem::temp_directory_path() / "zek_screenshot_scores.csv";
    prompts.saveAnswers = {QString::fromStdString(data.string())};
    window.btn_runClick();
    window.ViewData1Click();
    saved &= window.viewer().grab().save(folder + "/viewer.png");
    window.viewer().TogglePlots();
    saved &= window.viewer().grab().save(folder + "/viewer_plots.png");
    saved &= window.viewer().plots()->grab().save(folder + "/plots.png");
    window.findChild<QAction*>("IndependenttTest1")->trigger();
    saved &= window.examples().grab().save(folder + "/howto.png");
    for (const char* name : {"TAboutBox", "TAckForm"}) {
        auto* information = window.findChild<QWidget*>(name);
        information->show();
        saved &= information->grab().save(folder + "/" + name + ".png");
        information->hide();
    }
    return saved ? 0 : 1;
}
