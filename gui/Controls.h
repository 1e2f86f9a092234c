#pragma once

#include <QLabel>
#include <QObject>
#include <QString>
#include <QStringList>

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

// Fixes a label's size to fit the widest of texts, the texts it will show. A label whose size
// does not depend on its text changes it without asking its parents for a new layout, which
// would repaint the whole page around it.
inline void FixSizeForTexts(QLabel* label, const QStringList& texts) {
    const QString shown = label->text();
    QSize size;
    for (const QString& text : texts) {
        label->setText(text);
        size = size.expandedTo(label->sizeHint());
    }
    label->setText(shown);
    label->setFixedSize(size);
}

// pattern with every '#' replaced by the same digit, for each digit: the texts among which a
// number's widest spelling is, whatever the font's digits.
inline QStringList EveryDigitIn(const QString& pattern) {
    QStringList texts;
    for (QChar digit = u'0'; digit <= u'9'; digit = QChar(digit.unicode() + 1))
        texts.append(QString(pattern).replace(u'#', digit));
    return texts;
}

} // namespace keyloom
