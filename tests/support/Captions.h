#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QWidget>

#include <set>
#include <string>
#include <vector>

namespace keyloom::test {

// The application's UI font at a size in points while the object lives; the font before it
// comes back at the end.
class ScopedUiFont {
public:
    explicit ScopedUiFont(int points) : m_saved(QApplication::font()) {
        QFont font = m_saved;
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ~ScopedUiFont() { QApplication::setFont(m_saved); }
    ScopedUiFont(const ScopedUiFont&) = delete;
    ScopedUiFont& operator=(const ScopedUiFont&) = delete;

private:
    QFont m_saved;
};

// The room a control leaves its caption: its width less the frame, indicator and margins the
// style draws.
inline int CaptionRoom(const QWidget* widget) {
    if (qobject_cast<const QToolButton*>(widget) || qobject_cast<const QPushButton*>(widget))
        return widget->width() - 4;
    if (qobject_cast<const QCheckBox*>(widget))
        return widget->width() - widget->style()->pixelMetric(QStyle::PM_IndicatorWidth) - 4;
    if (qobject_cast<const QRadioButton*>(widget))
        return widget->width() - widget->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) - 4;
    if (qobject_cast<const QGroupBox*>(widget))
        return widget->width() - 16;
    return widget->contentsRect().width();
}

// "name needs N of M" for every shown caption under root (labels, buttons, group box titles)
// wider than its room, or a wrapped label's lines taller than it; skipped: controls that lie
// under others.
inline std::vector<std::string> ClippedCaptions(const QWidget* root, const std::set<const QWidget*>& skipped = {}) {
    std::vector<std::string> clipped;
    for (const QWidget* widget : root->findChildren<QWidget*>()) {
        if (skipped.count(widget) != 0 || !widget->isVisible())
            continue;
        const auto* label = qobject_cast<const QLabel*>(widget);
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        const auto* group = qobject_cast<const QGroupBox*>(widget);
        QString text = label ? label->text() : button ? button->text() : group ? group->title() : QString();
        text.replace(QStringLiteral("&&"), QStringLiteral("&"));
        if (text.trimmed().isEmpty())
            continue;
        const std::string name =
            widget->objectName().isEmpty() ? '"' + text.toStdString() + '"' : widget->objectName().toStdString();
        if (label && label->wordWrap()) {
            // Wrapped text needs its lines' height instead.
            const int height = label->heightForWidth(label->contentsRect().width());
            if (height > label->contentsRect().height())
                clipped.push_back(name + " needs " + std::to_string(height) +
                                  " high of " + std::to_string(label->contentsRect().height()));
            continue;
        }
        const int needed = widget->fontMetrics().horizontalAdvance(text);
        if (needed > CaptionRoom(widget))
            clipped.push_back(name + " needs " + std::to_string(needed) + " of " +
                              std::to_string(CaptionRoom(widget)));
    }
    return clipped;
}

} // namespace keyloom::test
