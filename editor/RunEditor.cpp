#include "editor/RunEditor.h"

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

namespace keyloom {

namespace {
#ifdef _WIN32
using SystemPlatform = Win32Platform;
#else
using SystemPlatform = DesktopPlatform;
#endif
} // namespace

int RunEditor(int argc, char** argv, const std::function<void(TfrmMain&)>& beforeShow) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KeyloomVKxx"));
    UseAvailableUiFont();
    try {
        SystemPlatform platform;
        if (!platform.acquireSingleInstance("KeyloomVKxx")) {
            // A plain message: no icon.
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("KeyloomVKxx"),
                            QStringLiteral("KeyloomVKxx is already running!"), QMessageBox::Ok);
            box.exec();
            return 0;
        }
        KeypadDocument document;
        QtPrompts prompts;
        TfrmMain window(document, platform, prompts, CommandLineArguments(argc, argv));
        prompts.setWindow(&window);
        if (beforeShow)
            beforeShow(window);
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("KeyloomVKxx"), QString::fromStdString(error.what()));
        return 1;
    }
}

} // namespace keyloom
