#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QKeyEvent;

namespace keyloom {

// The hot key the Shortcut wizard captured: none (both codes 0), a character key (a letter,
// digit or punctuation key, or a digit of the numeric keypad), or a special key (a function key
// with the modifiers held, or a navigation key). Codes are Windows virtual-key codes.
struct CapturedHotKey {
    uint8_t characterKey = 0;
    uint8_t specialKey = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool navigation = false;

    bool operator==(const CapturedHotKey&) const = default;
};

// The hot key word of the shortcut (virtual-key code in the low byte, modifier flags in the
// high byte); 0 when nothing was captured.
uint16_t EncodeHotKey(const CapturedHotKey& hotKey);

struct HeldModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// A key event as the capture reads it: the Windows virtual-key code (kOtherHotKey for a key
// without one), the printable ASCII character the key produced (0 when none), and the modifiers
// held at the event when the event tells them (on Windows the key state is read instead).
struct HotKeyStroke {
    int key = 0;
    char character = 0;
    std::optional<HeldModifiers> modifiers = std::nullopt;
};
inline constexpr int kOtherHotKey = 0xFF;
HotKeyStroke HotKeyStrokeOf(const QKeyEvent& event);

// The virtual-key code of the numeric keypad's 0; its digits follow.
inline constexpr int kKeypadDigit0 = 0x60;

// What the capture box shows and holds after a key's release.
struct HotKeyCapture {
    QString shown;
    CapturedHotKey hotKey;
};

// The capture a key's release makes, or nothing when it leaves the capture as it is (a modifier,
// or a key without a code). keypadDigit: the digit character of the last digit key-down when it
// came from the numeric keypad, else 0. held: the modifiers down at the release; only function
// keys take them.
std::optional<HotKeyCapture> CaptureHotKey(const HotKeyStroke& stroke, char keypadDigit, HeldModifiers held);

} // namespace keyloom
