#include "editor/TfrmMain.h"
#include "gui/QtPaths.h"
#include "gui/QtPrompts.h"
#include "gui/UiFont.h"
#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#else
#include "platform/desktop/DesktopPlatform.h"
#endif

#include <QApplication>
#include <QMessageBox>

#include <exception>

namespace {
#ifdef _WIN32
using SystemPlatform = keyloom::Win32Platform;
#else
using SystemPlatform = keyloom::DesktopPlatform;
#endif
} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KeyloomVKxx"));
    keyloom::UseAvailableUiFont();
    try {
        SystemPlatform platform;
        if (!platform.acquireSingleInstance("KeyloomVKxx")) {
            // A plain message: no icon.
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("KeyloomVKxx"),
                            QStringLiteral("KeyloomVKxx is already running!"), QMessageBox::Ok);
            box.exec();
            return 0;
        }
        keyloom::KeypadDocument document;
        keyloom::QtPrompts prompts;
        keyloom::TfrmMain window(document, platform, prompts, keyloom::CommandLineArguments(argc, argv));
        prompts.setWindow(&window);
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("KeyloomVKxx"), QString::fromStdString(error.what()));
        return 1;
    }
}
