#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace keyloom {

// The on-screen PC keyboard. For now it holds what the rest of the window drives: the LED
// buttons that follow the layout, the pictures of the eight modifier keys and the Caps Lock lamp.
class KeyboardPanel : public QWidget {
    Q_OBJECT
public:
    explicit KeyboardPanel(QWidget* parent = nullptr);

    // keyLED1 moves with the layout; keyLED2 and keyLED3 exist only on the 48-key keypad.
    void applyLayout(int numberOfKeys);
    // Down pictures for the held modifiers (bits 01h..80h), the lamp for Caps Lock (100h).
    void showModifierState(uint32_t state);

    std::array<QPushButton*, 3> keyLED{};
    // In modifier bit order: L Ctrl, L Shift, L Alt, L Win, R Ctrl, R Shift, R Alt, R Win.
    std::array<QLabel*, 8> modifierDown{}; // imgLCtrlDown ...
    std::array<QLabel*, 8> modifierUp{};   // imgLCtrlUp ...
    QWidget* ledCapsLock = nullptr;
};

} // namespace keyloom
