#include "editor/QtPrompts.h"
#include "editor/TfrmMain.h"
#include "platform/desktop/DesktopPlatform.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KeyloomVKxx"));
    try {
        keyloom::DesktopPlatform platform;
        if (!platform.acquireSingleInstance("KeyloomVKxx")) {
            QMessageBox::information(nullptr, QStringLiteral("KeyloomVKxx"),
                                     QStringLiteral("KeyloomVKxx is already running!"));
            return 0;
        }
        keyloom::KeypadDocument document;
        keyloom::QtPrompts prompts;
        QStringList arguments = QApplication::arguments();
        arguments.removeFirst();
        keyloom::TfrmMain window(document, platform, prompts, arguments);
        prompts.setWindow(&window);
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("KeyloomVKxx"), QString::fromStdString(error.what()));
        return 1;
    }
}
