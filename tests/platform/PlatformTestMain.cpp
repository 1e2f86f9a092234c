#include <QGuiApplication>

#include <gtest/gtest.h>

// The desktop platform follows keys through the application, so the tests run inside one.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery at build time runs without a display too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
