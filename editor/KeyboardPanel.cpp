#include "editor/KeyboardPanel.h"

#include "document/CellList.h"
#include "editor/KeypadPanel.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace keyloom {

namespace {

constexpr QSize kPanelSize{800, 260};
constexpr int kLedTop = 6;
constexpr QSize kLedSize{35, 24};
constexpr int kLed1Left24 = 557;
constexpr int kLed1Left48 = 522;
constexpr int kCapsLockTag = 58;
constexpr QRgb kCapsLockOn = 0xFFADFF2F;
constexpr QRgb kCapsLockOff = 0xFFA9A9A9;

struct ModifierKey {
    const char* name; // imgLCtrl: the pictures are imgLCtrlDown and imgLCtrlUp
    const char* caption;
    QRect place;
};

// In modifier bit order, where the shift row and the bottom row of the keyboard put them.
constexpr int kShiftRowTop = 166;
constexpr int kBottomRowTop = 198;
const ModifierKey kModifierKeys[] = {
    {"imgLCtrl", "Ctrl", {4, kBottomRowTop, 40, 30}},
    {"imgLShift", "Shift", {4, kShiftRowTop, 73, 30}},
    {"imgLAlt", "Alt", {88, kBottomRowTop, 40, 30}},
    {"imgLWin", "Win", {46, kBottomRowTop, 40, 30}},
    {"imgRCtrl", "Ctrl", {442, kBottomRowTop, 40, 30}},
    {"imgRShift", "Shift", {399, kShiftRowTop, 82, 30}},
    {"imgRAlt", "Alt", {316, kBottomRowTop, 40, 30}},
    {"imgRWin", "Win", {358, kBottomRowTop, 40, 30}},
};

// A shaded key: raised with a light upper-left edge, or pressed in, darker, caption shifted.
QPixmap DrawKeyPicture(QSize size, const QString& caption, bool down, const QFont& font) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const QRect face(0, 0, size.width() - 1, size.height() - 1);
    painter.fillRect(face, down ? QColor(0x8c, 0x8f, 0x94) : QColor(0xc8, 0xcb, 0xd0));
    const QColor light(0xf4, 0xf4, 0xf4);
    const QColor dark(0x50, 0x52, 0x56);
    painter.setPen(down ? dark : light);
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(down ? light : dark);
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());
    painter.setFont(font);
    painter.setPen(down ? Qt::white : Qt::black);
    painter.drawText(face.translated(down ? 1 : 0, down ? 1 : 0), Qt::AlignCenter, caption);
    return picture;
}

QLabel* MakeKeyPicture(QWidget* parent, const ModifierKey& key, bool down) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(key.name) + QString::fromLatin1(down ? "Down" : "Up"));
    picture->setGeometry(key.place);
    picture->setPixmap(DrawKeyPicture(key.place.size(), QString::fromLatin1(key.caption), down, parent->font()));
    // The pictures lie over their key buttons and leave the clicks to them.
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    picture->setVisible(!down);
    return picture;
}

void SetLampColour(QWidget* lamp, QRgb colour) {
    QPalette palette = lamp->palette();
    palette.setColor(QPalette::Window, QColor::fromRgba(colour));
    lamp->setPalette(palette);
    lamp->setProperty("colour", QColor::fromRgba(colour));
}

} // namespace

KeyboardPanel::KeyboardPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("KeyboardPanel"));
    setFixedSize(kPanelSize);

    for (std::size_t i = 0; i < keyLED.size(); ++i) {
        auto* led = new QPushButton(QStringLiteral("LED%1").arg(i + 1), this);
        led->setObjectName(QStringLiteral("keyLED%1").arg(i + 1));
        led->setFixedSize(kLedSize);
        SetTag(led, 1);
        keyLED[i] = led;
    }

    for (std::size_t bit = 0; bit < std::size(kModifierKeys); ++bit) {
        modifierUp[bit] = MakeKeyPicture(this, kModifierKeys[bit], false);
        modifierDown[bit] = MakeKeyPicture(this, kModifierKeys[bit], true);
    }

    // Upright at the left edge of where the Caps Lock key goes.
    auto* lamp = new QFrame(this);
    lamp->setObjectName(QStringLiteral("ledCapsLock"));
    lamp->setGeometry(6, 141, 16, 30);
    lamp->setFrameShape(QFrame::Box);
    lamp->setAutoFillBackground(true);
    SetTag(lamp, kCapsLockTag);
    ledCapsLock = lamp;
    SetLampColour(ledCapsLock, kCapsLockOff);

    auto* placeholder = new QLabel(QStringLiteral("The on-screen keyboard will be shown here."), this);
    placeholder->setObjectName(QStringLiteral("lblKeyboardPlaceholder"));
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setGeometry(0, 90, kPanelSize.width(), 24);

    applyLayout(24);
}

void KeyboardPanel::applyLayout(int numberOfKeys) {
    const bool wide = numberOfKeys == 48;
    const int firstLeft = wide ? kLed1Left48 : kLed1Left24;
    for (std::size_t i = 0; i < keyLED.size(); ++i) {
        keyLED[i]->move(firstLeft + static_cast<int>(i) * kLedSize.width(), kLedTop);
        keyLED[i]->setVisible(i == 0 || wide);
    }
}

void KeyboardPanel::showModifierState(uint32_t state) {
    for (std::size_t bit = 0; bit < modifierDown.size(); ++bit) {
        const bool held = (state & (1u << bit)) != 0;
        modifierDown[bit]->setVisible(held);
        modifierUp[bit]->setVisible(!held);
    }
    SetLampColour(ledCapsLock, (state & kCapsLock) != 0 ? kCapsLockOn : kCapsLockOff);
}

} // namespace keyloom
