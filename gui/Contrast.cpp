#include "gui/Contrast.h"

#include <algorithm>
#include <cmath>

namespace keyloom {

namespace {

double Linear(double channel) {
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double first = RelativeLuminance(a);
    const double second = RelativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

double LargestContrastOn(const QImage& image, const QColor& background) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    double largest = 1;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            if (qAlpha(line[x]) >= 192)
                largest = std::max(largest, ContrastRatio(QColor::fromRgb(line[x]), background));
        }
    }
    return largest;
}

bool StandsOut(const QIcon& icon, int size, const QColor& background) {
    return !icon.isNull() && LargestContrastOn(icon.pixmap(size, size).toImage(), background) >= 3;
}

} // namespace keyloom
