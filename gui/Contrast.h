#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

namespace keyloom {

// The relative luminance of a colour, 0 (black) to 1 (white), as the accessibility guidelines
// define it.
double RelativeLuminance(const QColor& colour);

// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white. Text wants at
// least 4.5, a picture's shapes 3.
double ContrastRatio(const QColor& a, const QColor& b);

// The largest contrast between background and a pixel of image that is mostly opaque: how well
// a picture drawn on background can be seen.
double LargestContrastOn(const QImage& image, const QColor& background);

// Whether icon, drawn at size on background, shows its shapes (contrast of at least 3).
bool StandsOut(const QIcon& icon, int size, const QColor& background);

} // namespace keyloom
