// The editor as its users start it, ending once its window's first frame is painted and handed
// to the window system: the process the start-up benchmark times from outside. It ends at once,
// without the teardown that closing the window would do.

#include "editor/RunEditor.h"
#include "editor/TfrmMain.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdlib>

namespace {

class QuitAfterFirstPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // The window paints first and its children after it in the same pass; the end is
        // queued behind that pass.
        if (event->type() == QEvent::Paint && !m_quitting) {
            m_quitting = true;
            QTimer::singleShot(0, QCoreApplication::instance(), [] {
                QGuiApplication::sync();
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_quitting = false;
};

} // namespace

int main(int argc, char** argv) {
    return keyloom::RunEditor(argc, argv, [](keyloom::TfrmMain& window) {
        window.installEventFilter(new QuitAfterFirstPaint(&window));
    });
}
