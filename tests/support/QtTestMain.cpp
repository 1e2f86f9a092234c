#include <QApplication>

#include <gtest/gtest.h>

// The main of the tests that need an application: widgets, and the desktop platform, which
// follows keys through the application's events. Discovery at build time runs without a display
// too, so the offscreen platform is the default.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
