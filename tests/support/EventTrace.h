#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <set>
#include <string>

namespace keyloom::test {

// Watches every event of the application and counts the work a step leaves to the event loop:
// layout requests, update requests, paints (with the names of the painted widgets), polish and
// geometry events.
class EventTrace final : public QObject {
public:
    EventTrace() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventTrace() override { QCoreApplication::instance()->removeEventFilter(this); }
    EventTrace(const EventTrace&) = delete;
    EventTrace& operator=(const EventTrace&) = delete;

    int layoutRequests = 0;
    int paints = 0;
    int work = 0; // every counted event, the above included
    // objectName of each painted widget, or of its nearest named ancestor (a grid's viewport
    // paints for the grid).
    std::set<std::string> painted;

    void clear() {
        layoutRequests = paints = work = 0;
        painted.clear();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::LayoutRequest:
            ++layoutRequests;
            ++work;
            break;
        case QEvent::Paint:
            ++paints;
            ++work;
            painted.insert(NameOf(watched));
            break;
        case QEvent::UpdateRequest:
        case QEvent::UpdateLater:
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::Polish:
        case QEvent::PolishRequest:
        case QEvent::MetaCall:
            ++work;
            break;
        default:
            break;
        }
        return false;
    }

private:
    static std::string NameOf(const QObject* object) {
        while (object != nullptr && object->objectName().isEmpty())
            object = object->parent();
        return object == nullptr ? std::string("(unnamed)") : object->objectName().toStdString();
    }
};

// Runs the event loop until a pass delivers none of the work EventTrace counts: whatever a step
// posted (layouts climbing the parents one pass at a time, updates, the paint) is then done.
inline void ProcessEventsUntilIdle(const EventTrace& trace) {
    for (int pass = 0; pass < 100; ++pass) {
        const int before = trace.work;
        QCoreApplication::processEvents();
        if (trace.work == before)
            return;
    }
}

} // namespace keyloom::test
