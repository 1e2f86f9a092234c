#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>

namespace keyloom {

// The fixed panels are drawn in design units: pixels at a 9-point UI font, where every caption
// fits. A larger UI font scales them, as Windows scales a form with its font; a smaller one
// keeps them (they never shrink). A high-density screen scales pixels on top of this.
class DesignUnits {
public:
    static constexpr double kDesignPoints = 9;

    explicit DesignUnits(const QFont& font) {
        const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
        m_factor = std::max(1.0, points / kDesignPoints);
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

} // namespace keyloom
