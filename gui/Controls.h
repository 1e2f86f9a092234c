#pragma once

#include <QObject>
#include <QString>

namespace keyloom {

// Gives a control its name (tests and styles find it by it) and hands it back, so that a control
// is created, named and stored in one line.
template <typename Control>
Control* Named(Control* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

template <typename Control>
Control* Named(Control* control, const char* name) {
    return Named(control, QString::fromLatin1(name));
}

// The Tag of a control (its index into a table), kept as the property "Tag".
inline int TagOf(const QObject* control) { return control->property("Tag").toInt(); }
inline void SetTag(QObject* control, int tag) { control->setProperty("Tag", tag); }

} // namespace keyloom
