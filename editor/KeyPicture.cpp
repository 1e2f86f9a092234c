#include "editor/KeyPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace keyloom {

namespace {

constexpr int kCaptionMargin = 3;
constexpr int kSmallestCaptionPixels = 7;

// The largest font, up to the widget's own, in which the caption fits on the key's face.
QFont CaptionFont(QFont font, const QString& caption, int width) {
    if (font.pixelSize() <= 0)
        font.setPixelSize(QFontMetrics(font).height() * 3 / 4);
    while (font.pixelSize() > kSmallestCaptionPixels &&
           QFontMetrics(font).horizontalAdvance(caption) > width - 2 * kCaptionMargin)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

// A darker key than the light keys beside it: these must be clicked, they cannot be typed.
// Raised, it has a lit top edge and a shadowed bottom; pressed, the face sinks and darkens.
QPixmap DrawKey(QSize size, qreal ratio, const QString& caption, bool down, const QFont& widgetFont) {
    // Drawn at the screen's pixel density, so the caption stays sharp on a high-density screen.
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF body = QRectF(QPointF(), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(0x3a, 0x3c, 0x40), 1));
    painter.setBrush(down ? QColor(0x5e, 0x62, 0x68) : QColor(0x74, 0x78, 0x7f));
    painter.drawRoundedRect(body, 3, 3);

    const qreal inset = down ? 3.0 : 2.0;
    QRectF face = body.adjusted(inset, down ? inset : 1.5, -inset, down ? -inset + 1 : -4.5);
    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    if (down) {
        shade.setColorAt(0, QColor(0x70, 0x74, 0x7a));
        shade.setColorAt(1, QColor(0x84, 0x88, 0x8e));
    } else {
        shade.setColorAt(0, QColor(0xb4, 0xb8, 0xbe));
        shade.setColorAt(1, QColor(0x98, 0x9c, 0xa3));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRoundedRect(face, 2, 2);

    painter.setFont(CaptionFont(widgetFont, caption, size.width()));
    painter.setPen(down ? QColor(0xf2, 0xf2, 0xf2) : QColor(0x10, 0x10, 0x10));
    painter.drawText(face.translated(0, down ? 1 : 0), Qt::AlignCenter, caption);
    return picture;
}

} // namespace

KeyPicture::KeyPicture(QWidget* parent, const QString& name, const QRect& place, const QString& caption, bool down)
    : QLabel(parent) {
    setObjectName(name);
    setGeometry(place);
    setPixmap(DrawKey(place.size(), parent->devicePixelRatioF(), caption, down, parent->font()));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // At rest every key shows its Up picture.
    setVisible(!down);
}

} // namespace keyloom
