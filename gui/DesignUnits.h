#pragma once

#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>

namespace keyloom {

// The fixed panels are drawn in design units: pixels at a 9-point UI font on a 96-dpi screen
// (12 pixels), where every caption fits. A font larger in pixels - a larger UI font, or a desktop
// that sets a higher font resolution - scales them, as Windows scales a form with its font; a
// smaller one keeps them (they never shrink). A high-density screen scales pixels on top of this.
class DesignUnits {
public:
    static constexpr double kDesignPixels = 12;

    explicit DesignUnits(const QFont& font) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96;
        const double pixels = font.pointSizeF() > 0 ? font.pointSizeF() * dpi / 72 : font.pixelSize();
        m_factor = std::max(1.0, pixels / kDesignPixels);
    }

    double factor() const { return m_factor; }
    int operator()(int units) const { return static_cast<int>(units * m_factor + 0.5); }
    QPoint operator()(QPoint units) const { return {(*this)(units.x()), (*this)(units.y())}; }
    QSize operator()(QSize units) const { return {(*this)(units.width()), (*this)(units.height())}; }
    // Edges are scaled, not the size, so that neighbouring places stay neighbours.
    QRect operator()(const QRect& units) const {
        return QRect((*this)(units.topLeft()), (*this)(units.topLeft() + QPoint(units.width(), units.height())) -
                                                   QPoint(1, 1));
    }

private:
    double m_factor = 1;
};

// Scales a form whose controls were placed in design units: every child's geometry (inside
// group boxes too) and the form's fixed size.
inline void ScaleChildren(QWidget* parent, const DesignUnits& units) {
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        child->setGeometry(units(child->geometry()));
        if (qobject_cast<QGroupBox*>(child) != nullptr)
            ScaleChildren(child, units);
    }
}

inline void ScaleForm(QWidget* form, const DesignUnits& units) {
    if (units.factor() == 1)
        return;
    ScaleChildren(form, units);
    form->setFixedSize(units(form->size()));
}

} // namespace keyloom
