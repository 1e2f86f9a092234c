#pragma once

#include "editor/RecordingMenus.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QAbstractButton;
class QLabel;
class QPushButton;
class QSlider;

namespace keyloom {

class KeyPicture;

// Which handler of the window a keyboard button runs: Keyboard records its Tag, Modifier a press
// or release, Delay a delay; the others open their popup menus.
enum class KeyHandler { Keyboard, Modifier, Delay, Media, Mouse, More, Led1, Led2, Led3 };

// The on-screen PC keyboard: seven rows of key buttons built from one table, the Caps Lock lamp,
// the delay slider with its labels, the buttons of the popup menus and the menus themselves. It
// shows and gives the pressed look; TfrmMain records.
class OnScreenKeyboard : public QWidget {
    Q_OBJECT
public:
    explicit OnScreenKeyboard(QWidget* parent = nullptr);

    // keyLED1 moves with the layout; keyLED2 and keyLED3 exist only on the 48-key keypad.
    void applyLayout(int numberOfKeys);
    // Down pictures for the held modifiers (bits 01h..80h), the lamp for Caps Lock (100h).
    void showModifierState(uint32_t state);

    struct Key {
        QPushButton* button;
        KeyHandler handler;
        KeyPicture* up;   // nullptr for a light key
        KeyPicture* down;
    };
    // Every key button in table order, the LED and menu buttons included.
    std::vector<Key> keys;

    std::array<QPushButton*, 3> keyLED{};
    QPushButton* keyDelay = nullptr;
    QPushButton* keyMedia = nullptr;
    QPushButton* keyMouse = nullptr;
    QPushButton* keyMore = nullptr;
    // In modifier bit order: L Ctrl, L Shift, L Alt, L Win, R Ctrl, R Shift, R Alt, R Win.
    std::array<QLabel*, 8> modifierDown{}; // imgLCtrlDown ...
    std::array<QLabel*, 8> modifierUp{};   // imgLCtrlUp ...
    QAbstractButton* ledCapsLock = nullptr; // Tag 58; its Window colour is the lamp's
    QSlider* TrackBar1 = nullptr;
    QLabel* lblDelay = nullptr;
    QLabel* lblMouseDelta = nullptr;
    QLabel* lblInstructions = nullptr;
    RecordingMenus menus;
};

} // namespace keyloom
