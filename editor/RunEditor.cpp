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
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>

#include <exception>

namespace keyloom {

namespace {
#ifdef _WIN32
using SystemPlatform = Win32Platform;
#else
using SystemPlatform = DesktopPlatform;
#endif

// The icon of the desktop's theme; without one (a bare X server, a desktop whose platform
// reports no theme), the pictures installed in the hicolor theme's folders.
QIcon ProgramIcon() {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("keyloomvkxx"));
    if (!themed.isNull())
        return themed;
    QIcon icon;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        for (const int size : {16, 32, 48, 64, 128, 256}) {
            const QString picture = QStringLiteral("%1/icons/hicolor/%2x%2/apps/keyloomvkxx.png").arg(folder).arg(size);
            if (QFileInfo::exists(picture))
                icon.addFile(picture, QSize(size, size));
        }
        if (!icon.isNull())
            break;
    }
    return icon;
}

} // namespace

void SetUpApplication() {
    QApplication::setApplicationName(QStringLiteral("KeyloomVKxx"));
    QGuiApplication::setDesktopFileName(QStringLiteral("keyloomvkxx"));
    const QIcon icon = ProgramIcon();
    if (!icon.isNull())
        QApplication::setWindowIcon(icon);
    UseAvailableUiFont();
}

int RunEditor(int argc, char** argv, const std::function<void(TfrmMain&)>& beforeShow) {
    QApplication application(argc, argv);
    SetUpApplication();
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
        window.FitToScreen();
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
