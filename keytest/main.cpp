#include "gui/UiFont.h"
#include "keytest/KeyTestWindow.h"


#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KeyTest"));
    keyloom::UseAvailableUiFont();
    keyloom::KeyTestWindow window;
    window.show();
    return QApplication::exec();
}
