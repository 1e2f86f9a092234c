#include "editor/OnScreenKeyboard.h"

#include "document/CellList.h"
#include "document/HexText.h"
#include "editor/KeyPicture.h"
#include "editor/KeypadPanel.h"
#include "gui/Controls.h"
#include "gui/DesignUnits.h"
#include "keys/TagCodeTable.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

#include <string_view>
#include <utility>

namespace keyloom {

namespace {

using enum KeyHandler;

constexpr QSize kPanelSize{770, 262};
constexpr int kGap = 2; // keys sit on a 32-unit pitch: 30 wide and 2 apart
constexpr int kRowTops[] = {4, 36, 80, 112, 144, 176, 208};

// Where the blocks of the keyboard start; 0 in a table entry means "right after the key before".
constexpr int kMainLeft = 4;
constexpr int kFunctionGroups[] = {58, 206, 354}; // F1, F5, F9 (and F13, F17, F21 above them)
constexpr int kNavigationLeft = 496;
constexpr int kKeypadLeft = 604;
constexpr int kMenuButtonsLeft = 632;
constexpr int kFollow = 0;

constexpr int kLedTop = kRowTops[0];
constexpr QSize kLedSize{35, 24};
constexpr int kLed1Left24 = 557;
constexpr int kLed1Left48 = 522;

constexpr int kCapsLockTag = 58;
constexpr QRgb kCapsLockOn = 0xFFADFF2F;
constexpr QRgb kCapsLockOff = 0xFFA9A9A9;

constexpr int kSliderLeft = kKeypadLeft + 42;
constexpr int kSliderWidth = 82;
constexpr int kInitialSliderValue = 50;

struct KeyEntry {
    const char* name;
    const char* caption;
    int tag;
    int row; // 1 (top) .. 7
    int left;
    int width;
    int height;
    KeyHandler handler;
    const char* picture; // a shaded key's picture pair is <picture>Down and <picture>Up
};

// The keyboard, row by row, each row from left to right.
constexpr KeyEntry kKeys[] = {
    {"keyF13", "F13", 104, 1, kFunctionGroups[0], 30, 30, Keyboard, nullptr},
    {"keyF14", "F14", 105, 1, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF15", "F15", 106, 1, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF16", "F16", 107, 1, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF17", "F17", 108, 1, kFunctionGroups[1], 30, 30, Keyboard, nullptr},
    {"keyF18", "F18", 109, 1, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF19", "F19", 110, 1, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF20", "F20", 111, 1, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF21", "F21", 112, 1, kFunctionGroups[2], 30, 30, Keyboard, nullptr},
    {"keyF22", "F22", 113, 1, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF23", "F23", 114, 1, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF24", "F24", 115, 1, kFollow, 30, 30, Keyboard, nullptr},
    // The LED buttons are placed by applyLayout.
    {"keyLED1", "LED1", 1, 1, kLed1Left48, 35, 24, Led1, nullptr},
    {"keyLED2", "LED2", 1, 1, kFollow, 35, 24, Led2, nullptr},
    {"keyLED3", "LED3", 1, 1, kFollow, 35, 24, Led3, nullptr},
    {"keyMedia", "Media", 82, 1, kMenuButtonsLeft, 42, 24, Media, nullptr},
    {"keyMouse", "Mouse", 82, 1, kFollow, 43, 24, Mouse, nullptr},
    {"keyMore", "More", 82, 1, kFollow, 45, 24, More, nullptr},

    {"keyEsc", "Esc", 1, 2, kMainLeft, 32, 30, Keyboard, nullptr},
    {"keyF1", "F1", 59, 2, kFunctionGroups[0], 30, 30, Keyboard, nullptr},
    {"keyF2", "F2", 60, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF3", "F3", 61, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF4", "F4", 62, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF5", "F5", 63, 2, kFunctionGroups[1], 30, 30, Keyboard, nullptr},
    {"keyF6", "F6", 64, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF7", "F7", 65, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF8", "F8", 66, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF9", "F9", 67, 2, kFunctionGroups[2], 30, 30, Keyboard, nullptr},
    {"keyF10", "F10", 68, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF11", "F11", 84, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF12", "F12", 85, 2, kFollow, 30, 30, Keyboard, nullptr},
    {"keyPrtScn", "PrtScn", 160, 2, kNavigationLeft, 30, 30, Keyboard, "imgPrntScrn"},
    {"keyScroll", "Scroll", 70, 2, kFollow, 30, 30, Keyboard, "imgScroll"},
    {"keyPause", "Pause", 159, 2, kFollow, 30, 30, Keyboard, "imgPause"},
    {"keyDelay", "Delay", 69, 2, kKeypadLeft, 40, 30, Delay, nullptr},

    {"keyTilde", "`~", 41, 3, kMainLeft, 30, 30, Keyboard, nullptr},
    {"keyNum1", "1!", 2, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyNum2", "2@", 3, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyNum3", "3#", 4, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyNum4", "4$", 5, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyNum5", "5%", 6, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyNum6", "6^", 7, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyNum7", "7&&", 8, 3, kFollow, 30, 30, Keyboard, nullptr}, // && shows one &
    {"keyNum8", "8*", 9, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyNum9", "9 (", 10, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyNum0", "0 )", 11, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyDash", "-_", 12, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyPlus", "=+", 13, 3, kFollow, 30, 30, Keyboard, nullptr},
    {"keyBackspace", "Backspace", 14, 3, kFollow, 62, 30, Keyboard, "imgBackspace"},
    {"keyInsert", "Ins", 99, 3, kNavigationLeft, 30, 30, Keyboard, "imgIns"},
    {"keyHome", "Home", 91, 3, kFollow, 30, 30, Keyboard, "imgHome"},
    {"keyPgUp", "PgUp", 93, 3, kFollow, 30, 30, Keyboard, "imgPgUp"},
    {"keyNumLock", "Num", 69, 3, kKeypadLeft, 30, 30, Keyboard, "imgNumLock"},
    {"kpFSlash", "/", 88, 3, kFollow, 30, 30, Keyboard, "imgFSlash"},
    {"kpStar", "*", 55, 3, kFollow, 30, 30, Keyboard, "imgKpStar"},
    {"kpMinus", "-", 74, 3, kFollow, 30, 30, Keyboard, "imgKpMinus"},

    {"keyTab", "Tab", 15, 4, kMainLeft, 51, 30, Keyboard, nullptr},
    {"keyQ", "Q", 16, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyW", "W", 17, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyE", "E", 18, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyR", "R", 19, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyT", "T", 20, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyY", "Y", 21, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyU", "U", 22, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyI", "I", 23, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyO", "O", 24, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyP", "P", 25, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyLBrace", "[ {", 26, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyRBrace", "] }", 27, 4, kFollow, 30, 30, Keyboard, nullptr},
    {"keyBSlash", "\\ |", 43, 4, kFollow, 41, 30, Keyboard, nullptr},
    {"keyDelete", "Del", 100, 4, kNavigationLeft, 30, 30, Keyboard, "imgDel"},
    {"keyEnd", "End", 96, 4, kFollow, 30, 30, Keyboard, "imgEnd"},
    {"keyPgDn", "PgDn", 98, 4, kFollow, 30, 30, Keyboard, "imgPgDn"},
    {"kp7", "7", 71, 4, kKeypadLeft, 30, 30, Keyboard, "imgKp7"},
    {"kp8", "8", 72, 4, kFollow, 30, 30, Keyboard, "imgKp8"},
    {"kp9", "9", 73, 4, kFollow, 30, 30, Keyboard, "imgKp9"},
    {"kpPlus", "+", 78, 4, kFollow, 30, 62, Keyboard, "imgKpPlus"},

    {"keyCaps", "   Caps", 58, 5, kMainLeft, 59, 30, Keyboard, nullptr},
    {"keyA", "A", 30, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyS", "S", 31, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyD", "D", 32, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyF", "F", 33, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyG", "G", 34, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyH", "H", 35, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyJ", "J", 36, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyK", "K", 37, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyL", "L", 38, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyColon", "; :", 39, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyQuote", "' \"", 40, 5, kFollow, 30, 30, Keyboard, nullptr},
    {"keyEnter", "Enter", 28, 5, kFollow, 65, 30, Keyboard, nullptr},
    {"kp4", "4", 75, 5, kKeypadLeft, 30, 30, Keyboard, "imgKp4"},
    {"kp5", "5", 76, 5, kFollow, 30, 30, Keyboard, "imgKp5"},
    {"kp6", "6", 77, 5, kFollow, 30, 30, Keyboard, "imgKp6"},

    {"keyLShift", "Shift", 42, 6, kMainLeft, 73, 30, Modifier, "imgLShift"},
    {"keyZ", "Z", 44, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyX", "X", 45, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyC", "C", 46, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyV", "V", 47, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyB", "B", 48, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyN", "N", 49, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyM", "M", 50, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyComma", ", <", 51, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyPeriod", ". >", 52, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyFSlash", "/ ?", 53, 6, kFollow, 30, 30, Keyboard, nullptr},
    {"keyRShift", "Shift", 54, 6, kFollow, 82, 30, Modifier, "imgRShift"},
    {"keyUp", "Up", 92, 6, kNavigationLeft + 32, 30, 30, Keyboard, "imgUp"},
    {"kp1", "1", 79, 6, kKeypadLeft, 30, 30, Keyboard, "imgKp1"},
    {"kp2", "2", 80, 6, kFollow, 30, 30, Keyboard, "imgKp2"},
    {"kp3", "3", 81, 6, kFollow, 30, 30, Keyboard, "imgKp3"},
    {"kpEnter", "Ent", 86, 6, kFollow, 30, 62, Keyboard, "imgKpEnt"},

    {"keyLCtrl", "Ctrl", 29, 7, kMainLeft, 40, 30, Modifier, "imgLCtrl"},
    {"keyLWin", "Win", 101, 7, kFollow, 40, 30, Modifier, "imgLWin"},
    {"keyLAlt", "Alt", 56, 7, kFollow, 40, 30, Modifier, "imgLAlt"},
    {"keySpace", "", 57, 7, kFollow, 184, 30, Keyboard, nullptr},
    {"keyRAlt", "Alt", 90, 7, kFollow, 40, 30, Modifier, "imgRAlt"},
    {"keyRWin", "Win", 102, 7, kFollow, 40, 30, Modifier, "imgRWin"},
    {"keyMenu", "Menu", 103, 7, kFollow, 40, 30, Keyboard, "imgMenu"},
    {"keyRCtrl", "Ctrl", 87, 7, kFollow, 40, 30, Modifier, "imgRCtrl"},
    {"keyLeft", "<-", 94, 7, kNavigationLeft, 30, 30, Keyboard, "imgLeft"},
    {"keyDown", "Dn", 97, 7, kFollow, 30, 30, Keyboard, "imgDown"},
    {"keyRight", "->", 95, 7, kFollow, 30, 30, Keyboard, "imgRight"},
    {"kp0", "0", 82, 7, kKeypadLeft, 62, 30, Keyboard, "imgKp0"},
    {"kpPeriod", ".", 83, 7, kFollow, 30, 30, Keyboard, "imgKpPeriod"},
};

constexpr const char* kInstructions = "To enter macro data:   Light keys can be typed or mouse-clicked.    "
                                      "Shaded keys, if required, must be mouse-clicked.";

// The Caps Lock lamp: a small upright lamp lying over the left end of the Caps key. It paints only
// the lamp, so the key shows around it, and it is clicked like the key.
class Lamp final : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        painter.setBrush(palette().color(QPalette::Window));
        painter.drawRoundedRect(QRectF(rect()).adjusted(4.5, 4.5, -4.5, -4.5), 2, 2);
    }
};

void SetLampColour(QWidget* lamp, QRgb colour) {
    // Most steps leave the lamp as it is; only a change is painted.
    if (lamp->palette().color(QPalette::Window) == QColor::fromRgba(colour))
        return;
    QPalette palette = lamp->palette();
    palette.setColor(QPalette::Window, QColor::fromRgba(colour));
    lamp->setPalette(palette);
    lamp->update();
}

// What a screen reader and a tooltip call a key: its caption where that is a whole name.
QString FullName(const KeyEntry& entry) {
    static constexpr std::pair<std::string_view, const char*> kNames[] = {
        {"keyLED1", "LED 1"}, {"keyLED2", "LED 2"}, {"keyLED3", "LED 3"},
        {"keyMedia", "Media keys"}, {"keyMouse", "Mouse actions"}, {"keyMore", "More keys"},
        {"keyEsc", "Escape"}, {"keyPrtScn", "Print Screen"}, {"keyScroll", "Scroll Lock"},
        {"keyInsert", "Insert"}, {"keyDelete", "Delete"}, {"keyPgUp", "Page Up"}, {"keyPgDn", "Page Down"},
        {"keyNumLock", "Num Lock"}, {"keyCaps", "Caps Lock"},
        {"keyLShift", "Left Shift"}, {"keyRShift", "Right Shift"}, {"keyLCtrl", "Left Ctrl"},
        {"keyRCtrl", "Right Ctrl"}, {"keyLAlt", "Left Alt"}, {"keyRAlt", "Right Alt"},
        {"keyLWin", "Left Windows"}, {"keyRWin", "Right Windows"}, {"keySpace", "Space"},
        {"keyUp", "Up arrow"}, {"keyDown", "Down arrow"}, {"keyLeft", "Left arrow"}, {"keyRight", "Right arrow"},
        {"kpEnter", "Keypad Enter"},
    };
    for (const auto& [name, fullName] : kNames) {
        if (name == entry.name)
            return QString::fromLatin1(fullName);
    }
    QString caption = QString::fromLatin1(entry.caption).replace(QStringLiteral("&&"), QStringLiteral("&"));
    if (std::string_view(entry.name).starts_with("kp"))
        return QStringLiteral("Keypad ") + caption;
    caption.remove(u' ');
    // A key of two signs: "1!" is the key of 1 and !.
    if (caption.size() == 2 && !(caption.front().isLetter() && caption.back().isLetterOrNumber()))
        return QStringLiteral("%1 and %2").arg(caption.front()).arg(caption.back());
    return caption;
}

// What clicking the key does.
QString KeyToolTip(const KeyEntry& entry, const QString& name) {
    const QString codes = QString::fromStdString(BytesAsHex(TagCodes(entry.tag), " "));
    switch (entry.handler) {
    case Keyboard: return QStringLiteral("%1: records %2").arg(name, codes);
    case Modifier:
        return QStringLiteral("%1: records its press (%2), or its release where the macro holds it down")
            .arg(name, codes);
    case Delay: return QStringLiteral("Delay: records a pause as long as the slider sets");
    case Media: return QStringLiteral("Media keys: a menu of playback, volume, web, mail and power keys");
    case Mouse: return QStringLiteral("Mouse actions: a menu of clicks, double-clicks, presses and moves");
    case More:
        return QStringLiteral("More keys: a menu of international keys, old F13-F15, keypad comma and equal, "
                              "and the break (F0) and extended (E0) codes");
    case Led1:
    case Led2:
    case Led3: return QStringLiteral("%1: a menu of the lamp's OFF, ON and Flash codes").arg(name);
    }
    return name;
}

// The keys that can be typed are light, the shaded ones (their pictures) grey, whatever the
// theme: the instructions below the keyboard tell them apart by it.
QPalette LightKeyPalette(QPalette palette) {
    palette.setColor(QPalette::Button, QColor(0xf4, 0xf4, 0xf4));
    palette.setColor(QPalette::ButtonText, QColor(0x10, 0x10, 0x10));
    return palette;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    return label;
}

} // namespace

OnScreenKeyboard::OnScreenKeyboard(QWidget* parent) : QWidget(parent), menus(this) {
    setObjectName(QStringLiteral("KeyboardPanel"));
    const DesignUnits units(font());
    setFixedSize(units(kPanelSize));

    int row = 0;
    int left = kMainLeft;
    for (const KeyEntry& entry : kKeys) {
        if (entry.row != row) {
            row = entry.row;
            left = kMainLeft;
        }
        if (entry.left != kFollow)
            left = entry.left;
        const QRect place = units(QRect(left, kRowTops[row - 1], entry.width, entry.height));
        left += entry.width + kGap;

        auto* button = new QPushButton(QString::fromLatin1(entry.caption), this);
        button->setObjectName(QString::fromLatin1(entry.name));
        const QString name = FullName(entry);
        button->setAccessibleName(name);
        button->setToolTip(KeyToolTip(entry, name));
        button->setGeometry(place);
        SetTag(button, entry.tag);
        // Clicks record into the grid; the grid keeps the focus so that typing goes on there.
        button->setFocusPolicy(Qt::NoFocus);

        Key key{button, entry.handler, nullptr, nullptr};
        if (entry.picture == nullptr) {
            button->setPalette(LightKeyPalette(button->palette()));
        } else {
            // The pictures cover the button and show its caption themselves.
            const QString caption = QString::fromLatin1(entry.caption);
            const QString stem = QString::fromLatin1(entry.picture);
            key.up = new KeyPicture(this, stem + QStringLiteral("Up"), place, caption, false);
            key.down = new KeyPicture(this, stem + QStringLiteral("Down"), place, caption, true);
            for (KeyPicture* picture : {key.up, key.down})
                picture->setAccessibleName(name);
            const int modifier = ModifierIndexOfTag(entry.tag);
            if (entry.handler == Modifier && modifier >= 0) {
                // Held modifiers follow the macro (showModifierState), not the mouse.
                modifierUp[static_cast<std::size_t>(modifier)] = key.up;
                modifierDown[static_cast<std::size_t>(modifier)] = key.down;
            } else {
                KeyPicture* up = key.up;
                KeyPicture* down = key.down;
                connect(button, &QPushButton::pressed, this, [up, down] {
                    down->show();
                    up->hide();
                });
                connect(button, &QPushButton::released, this, [up, down] {
                    down->hide();
                    up->show();
                });
            }
        }
        switch (entry.handler) {
        case Led1: keyLED[0] = button; break;
        case Led2: keyLED[1] = button; break;
        case Led3: keyLED[2] = button; break;
        case Delay: keyDelay = button; break;
        case Media: keyMedia = button; break;
        case Mouse: keyMouse = button; break;
        case More: keyMore = button; break;
        case Keyboard:
        case Modifier: break;
        }
        keys.push_back(key);
    }

    const QRect caps = findChild<QPushButton*>(QStringLiteral("keyCaps"))->geometry();
    auto* lamp = new Lamp(this);
    lamp->setObjectName(QStringLiteral("ledCapsLock"));
    // It lies on the Caps Lock key, lit while the macro has Caps Lock on, and is clicked as the key.
    lamp->setAccessibleName(QStringLiteral("Caps Lock lamp"));
    lamp->setToolTip(findChild<QPushButton*>(QStringLiteral("keyCaps"))->toolTip());
    lamp->setGeometry(QRect(caps.topLeft() + QPoint(units(2), 0), units(QSize(16, 30))));
    lamp->setFocusPolicy(Qt::NoFocus);
    SetTag(lamp, kCapsLockTag);
    ledCapsLock = lamp;
    SetLampColour(ledCapsLock, kCapsLockOff);

    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(1, 125);
    TrackBar1->setAccessibleName(QStringLiteral("Delay and mouse delta"));
    TrackBar1->setToolTip(QStringLiteral("The length of a recorded delay (4 ms a step) and of a mouse move"));
    TrackBar1->setValue(kInitialSliderValue);
    TrackBar1->setGeometry(units(QRect(kSliderLeft, kRowTops[1], kSliderWidth, 16)));
    QFont small = font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.85);
    lblDelay = MakeLabel(this, "lblDelay", QStringLiteral("Delay = %1 ms").arg(4 * kInitialSliderValue),
                         units(QRect(kSliderLeft, kRowTops[1] + 16, kPanelSize.width() - kSliderLeft, 14)));
    lblMouseDelta = MakeLabel(this, "lblMouseDelta", QStringLiteral("Mouse Delta = %1").arg(kInitialSliderValue),
                              units(QRect(kSliderLeft, kRowTops[1] + 30, kPanelSize.width() - kSliderLeft, 14)));
    lblDelay->setFont(small);
    lblMouseDelta->setFont(small);

    const int instructionsTop = kRowTops[6] + 30 + 6;
    lblInstructions = MakeLabel(this, "lblInstructions", QString::fromLatin1(kInstructions),
                                units(QRect(0, instructionsTop, kPanelSize.width(), kPanelSize.height() - instructionsTop)));
    lblInstructions->setAlignment(Qt::AlignCenter);

    applyLayout(24);
}

void OnScreenKeyboard::applyLayout(int numberOfKeys) {
    const bool wide = numberOfKeys == 48;
    const int firstLeft = wide ? kLed1Left48 : kLed1Left24;
    const DesignUnits units(font());
    for (std::size_t i = 0; i < keyLED.size(); ++i) {
        keyLED[i]->move(units(QPoint(firstLeft + static_cast<int>(i) * kLedSize.width(), kLedTop)));
        keyLED[i]->setVisible(i == 0 || wide);
    }
}

void OnScreenKeyboard::showModifierState(uint32_t state) {
    for (std::size_t bit = 0; bit < modifierDown.size(); ++bit) {
        const bool held = (state & (1u << bit)) != 0;
        modifierDown[bit]->setVisible(held);
        modifierUp[bit]->setVisible(!held);
    }
    SetLampColour(ledCapsLock, (state & kCapsLock) != 0 ? kCapsLockOn : kCapsLockOff);
}

} // namespace keyloom
