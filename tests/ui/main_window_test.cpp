#include "ui/main_window.h"

#include <gtest/gtest.h>
#include <QApplication>

#include <memory>

namespace zek {
namespace {

TEST(MainWindow, OpensWithItsCaption) {
    auto state = std::make_unique<ProgramState>();
    MainWindow window(*state);
    window.show();
    EXPECT_EQ(window.windowTitle(), QString("ZEK: Qarn 18.9.8 "));
    EXPECT_EQ(window.size(), QSize(822, 526));
}

}  // namespace
}  // namespace zek

int main(int argc, char** argv) {
    // The tests need no screen; test discovery at build time runs them without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
