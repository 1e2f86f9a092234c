#include "keys/HotKeyCapture.h"

#include "keys/KeyAdapter.h"
#include "platform/Platform.h"

#include <QKeyEvent>

#include <utility>

namespace keyloom {

namespace {

constexpr int kShiftKey = 16;
constexpr int kCtrlKey = 17;
constexpr int kAltKey = 18;
constexpr int kFirstFunctionKey = 0x70; // F1
constexpr int kLastFunctionKey = 0x87;  // F24

// Shifted digits of the US layout, taken as their digits.
constexpr std::pair<char, char> kShiftedDigits[] = {
    {'!', '1'}, {'@', '2'}, {'#', '3'}, {'$', '4'}, {'%', '5'},
    {'^', '6'}, {'&', '7'}, {'*', '8'}, {'(', '9'}, {')', '0'},
};

struct PunctuationKey {
    char unshifted;
    char shifted;
    uint8_t virtualKey;
};

// Both characters of a punctuation key capture the key, shown by its unshifted character.
constexpr PunctuationKey kPunctuationKeys[] = {
    {'`', '~', 0xC0},  {'-', '_', 0xBD}, {'=', '+', 0xBB}, {'[', '{', 0xDB}, {']', '}', 0xDD}, {'\\', '|', 0xDC},
    {';', ':', 0xBA},  {'\'', '"', 0xDE}, {',', '<', 0xBC}, {'.', '>', 0xBE}, {'/', '?', 0xBF},
};

struct NavigationKey {
    uint8_t virtualKey;
    const char* name;
};

constexpr NavigationKey kNavigationKeys[] = {
    {0x21, "Page Up"}, {0x22, "Page Down"}, {0x23, "End"},  {0x24, "Home"},   {0x25, "Left"},
    {0x26, "Up"},      {0x27, "Right"},     {0x28, "Down"}, {0x2D, "Insert"},
};

HotKeyCapture CharacterCapture(char character, char keypadDigit) {
    for (const auto& [shifted, digit] : kShiftedDigits) {
        if (character == shifted)
            character = digit;
    }
    if (character >= '0' && character <= '9' && keypadDigit != 0) {
        const int digit = character - '0';
        return {QStringLiteral("Num %1").arg(digit), {.characterKey = static_cast<uint8_t>(kKeypadDigit0 + digit)}};
    }
    uint8_t virtualKey = 0;
    char shown = 0;
    for (const PunctuationKey& punctuation : kPunctuationKeys) {
        if (character == punctuation.unshifted || character == punctuation.shifted) {
            virtualKey = punctuation.virtualKey;
            shown = punctuation.unshifted;
        }
    }
    if (virtualKey == 0) {
        if (character >= 'a' && character <= 'z')
            character = static_cast<char>(character - 'a' + 'A');
        virtualKey = static_cast<uint8_t>(character);
        shown = character;
    }
    return {QStringLiteral("Ctrl + Alt + ") + QLatin1Char(shown), {.characterKey = virtualKey}};
}

} // namespace

uint16_t EncodeHotKey(const CapturedHotKey& hotKey) {
    if (hotKey.characterKey != 0) {
        // A digit of the numeric keypad works alone; any other character key with Ctrl + Alt.
        if (hotKey.characterKey >= kKeypadDigit0 && hotKey.characterKey <= kKeypadDigit0 + 9)
            return hotKey.characterKey;
        return kHotKeyControl | kHotKeyAlt | hotKey.characterKey;
    }
    if (hotKey.specialKey == 0)
        return 0;
    if (hotKey.navigation)
        return kHotKeyControl | kHotKeyAlt | kHotKeyExtended | hotKey.specialKey;
    uint16_t word = hotKey.specialKey;
    if (hotKey.shift)
        word |= kHotKeyShift;
    if (hotKey.ctrl)
        word |= kHotKeyControl;
    if (hotKey.alt)
        word |= kHotKeyAlt;
    return word;
}

HotKeyStroke HotKeyStrokeOf(const QKeyEvent& event) {
    HotKeyStroke stroke;
    const int key = event.key();
    const QString text = event.text();
    if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() < 0x7F)
        stroke.character = static_cast<char>(text[0].unicode());
    else if (key >= 0x20 && key < 0x7F && !(event.modifiers() & Qt::KeypadModifier))
        // With Ctrl held the text is a control character; Qt's key is the character itself.
        stroke.character = static_cast<char>(key);
    const int virtualKey = WindowsKeyCodeOf(event);
    stroke.key = virtualKey != 0 ? virtualKey : kOtherHotKey;
#ifndef Q_OS_WIN
    // A live query of the keyboard answers as of now: after a quick chord the modifiers are up
    // again before the key's release is handled. The event keeps them as they were.
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    stroke.modifiers = HeldModifiers{.shift = modifiers.testFlag(Qt::ShiftModifier),
                                     .ctrl = modifiers.testFlag(Qt::ControlModifier),
                                     .alt = modifiers.testFlag(Qt::AltModifier)};
#endif
    return stroke;
}

std::optional<HotKeyCapture> CaptureHotKey(const HotKeyStroke& stroke, char keypadDigit, HeldModifiers held) {
    const int key = stroke.key;
    // Releasing a modifier never changes the capture.
    if (key == kShiftKey || key == kCtrlKey || key == kAltKey)
        return std::nullopt;
    if (stroke.character != 0)
        return CharacterCapture(stroke.character, keypadDigit);
    if (key == 0)
        return std::nullopt;
    for (const NavigationKey& navigation : kNavigationKeys) {
        if (key == navigation.virtualKey) {
            // A navigation key always goes with Ctrl + Alt, whatever is held.
            return HotKeyCapture{QStringLiteral("Ctrl + Alt + %1").arg(QLatin1String(navigation.name)),
                                 {.specialKey = navigation.virtualKey, .navigation = true}};
        }
    }
    if (key >= kFirstFunctionKey && key <= kLastFunctionKey) {
        QString shown;
        if (held.ctrl)
            shown += QStringLiteral("Ctrl + ");
        if (held.shift)
            shown += QStringLiteral("Shift + ");
        if (held.alt)
            shown += QStringLiteral("Alt + ");
        shown += QStringLiteral("F%1").arg(key - kFirstFunctionKey + 1);
        return HotKeyCapture{shown, {.specialKey = static_cast<uint8_t>(key), .shift = held.shift, .ctrl = held.ctrl,
                                     .alt = held.alt}};
    }
    // Delete, Escape and every other key without a character: no hot key.
    return HotKeyCapture{};
}

} // namespace keyloom
