// The editor as its users start it, quitting once its window's first frame is painted: the
// process the start-up benchmark times from outside.

#include "editor/RunEditor.h"
#include "editor/TfrmMain.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

namespace {

class QuitAfterFirstPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // The window paints first and its children after it in the same pass; quitting is
        // queued behind that pass.
        if (event->type() == QEvent::Paint && !m_quitting) {
            m_quitting = true;
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
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
