#include "keys/KeyAdapter.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace keyloom {

namespace {

// Windows virtual-key codes used below.
constexpr int kVkTab = 9;
constexpr int kVkNumpad0 = 96;
constexpr int kVkMultiply = 106;
constexpr int kVkAdd = 107;
constexpr int kVkSeparator = 108;
constexpr int kVkSubtract = 109;
constexpr int kVkDecimal = 110;
constexpr int kVkDivide = 111;
constexpr int kVkF1 = 112;
constexpr int kVkSnapshot = 44;
constexpr int kVkApps = 93;
constexpr int kVkLeftWindows = 91;
constexpr int kVkRightWindows = 92;
// X11 key symbols, which Qt hands over as the native virtual key on X11 and Wayland.
[[maybe_unused]] constexpr quint32 kXkSuperL = 0xffeb;
[[maybe_unused]] constexpr quint32 kXkSuperR = 0xffec;
constexpr int kVkOem1 = 186;      // ; :
constexpr int kVkOemPlus = 187;   // = +
constexpr int kVkOemComma = 188;  // , <
constexpr int kVkOemMinus = 189;  // - _
constexpr int kVkOemPeriod = 190; // . >
constexpr int kVkOem2 = 191;      // / ?
constexpr int kVkOem3 = 192;      // ` ~
constexpr int kVkOem4 = 219;      // [ {
constexpr int kVkOem5 = 220;      // \ |
constexpr int kVkOem6 = 221;      // ] }
constexpr int kVkOem7 = 222;      // ' "

struct KeyCode {
    int qtKey;
    int virtualKey;
};

constexpr KeyCode kSpecialKeys[] = {
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, kVkTab},   {Qt::Key_Backtab, kVkTab}, {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},    {Qt::Key_Enter, 13},     {Qt::Key_Shift, 16},       {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},       {Qt::Key_AltGr, 18},     {Qt::Key_Pause, 19},       {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},    {Qt::Key_Space, 32},     {Qt::Key_PageUp, 33},      {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},       {Qt::Key_Home, 36},      {Qt::Key_Left, 37},        {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},     {Qt::Key_Down, 40},      {Qt::Key_Select, 41},      {Qt::Key_Printer, 42},
    {Qt::Key_Execute, 43},   {Qt::Key_Print, kVkSnapshot}, {Qt::Key_SysReq, kVkSnapshot},
    {Qt::Key_Insert, 45},    {Qt::Key_Delete, 46},    {Qt::Key_Help, 47},
    // Meta is a Windows key: the left one unless the event's native code says which (WindowsKeyCodeOf).
    {Qt::Key_Meta, kVkLeftWindows}, {Qt::Key_Super_L, kVkLeftWindows}, {Qt::Key_Super_R, kVkRightWindows},
    {Qt::Key_Menu, kVkApps},
    {Qt::Key_Sleep, 95},     {Qt::Key_NumLock, 144},  {Qt::Key_ScrollLock, 145},
};

// Punctuation, each shifted symbol with its unshifted key's code.
constexpr KeyCode kSymbolKeys[] = {
    {Qt::Key_Exclam, '1'},        {Qt::Key_At, '2'},          {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},        {Qt::Key_Percent, '5'},     {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},     {Qt::Key_Asterisk, '8'},    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},    {Qt::Key_Semicolon, kVkOem1}, {Qt::Key_Colon, kVkOem1},
    {Qt::Key_Equal, kVkOemPlus},  {Qt::Key_Plus, kVkOemPlus}, {Qt::Key_Comma, kVkOemComma},
    {Qt::Key_Less, kVkOemComma},  {Qt::Key_Minus, kVkOemMinus}, {Qt::Key_Underscore, kVkOemMinus},
    {Qt::Key_Period, kVkOemPeriod}, {Qt::Key_Greater, kVkOemPeriod}, {Qt::Key_Slash, kVkOem2},
    {Qt::Key_Question, kVkOem2},  {Qt::Key_QuoteLeft, kVkOem3}, {Qt::Key_AsciiTilde, kVkOem3},
    {Qt::Key_BracketLeft, kVkOem4}, {Qt::Key_BraceLeft, kVkOem4}, {Qt::Key_Backslash, kVkOem5},
    {Qt::Key_Bar, kVkOem5},       {Qt::Key_BracketRight, kVkOem6}, {Qt::Key_BraceRight, kVkOem6},
    {Qt::Key_Apostrophe, kVkOem7}, {Qt::Key_QuoteDbl, kVkOem7},
};

// The numeric keypad's own codes, for the keys that Qt reports with the keypad modifier.
constexpr KeyCode kKeypadSymbols[] = {
    {Qt::Key_Asterisk, kVkMultiply}, {Qt::Key_Plus, kVkAdd},     {Qt::Key_Comma, kVkSeparator},
    {Qt::Key_Minus, kVkSubtract},    {Qt::Key_Period, kVkDecimal}, {Qt::Key_Slash, kVkDivide},
};

template <std::size_t N>
int Find(const KeyCode (&table)[N], int qtKey) {
    for (const KeyCode& entry : table) {
        if (entry.qtKey == qtKey)
            return entry.virtualKey;
    }
    return 0;
}

// Ctrl or Alt alone turn a typed character into a command; AltGr (both together, as Windows
// reports it) types characters like a plain key does.
bool CommandModifiers(Qt::KeyboardModifiers modifiers) {
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    return control != alt;
}

// The character of an event's text when it is printable; 0 otherwise. Delete types 7Fh on some
// desktops but is a key, not text, on Windows.
int PrintableCharacter(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty())
        return 0;
    const int character = text.at(0).unicode();
    return character >= 0x20 && character != 0x7F ? character : 0;
}

} // namespace

int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? kVkNumpad0 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return kVkF1 + (qtKey - Qt::Key_F1);
    if (keypad) {
        if (const int code = Find(kKeypadSymbols, qtKey))
            return code;
    }
    if (const int code = Find(kSpecialKeys, qtKey))
        return code;
    return Find(kSymbolKeys, qtKey);
}

// On Windows the event carries the virtual-key code itself, which tells apart what Qt's keys do
// not (both Windows keys are Meta) and follows the keyboard layout as Windows programs see it.
// Events made by a program (tests, accessibility tools) carry none and are mapped from Qt's key.
int WindowsKeyCodeOf(const QKeyEvent& event) {
#ifdef Q_OS_WIN
    if (event.nativeVirtualKey() > 0 && event.nativeVirtualKey() < 256)
        return static_cast<int>(event.nativeVirtualKey());
#else
    // X11 and Wayland report both Windows keys as Meta; their key symbols tell them apart. The
    // other left/right pairs are one virtual key each on Windows too (Shift, Ctrl, Alt).
    switch (event.nativeVirtualKey()) {
    case kXkSuperL: return kVkLeftWindows;
    case kXkSuperR: return kVkRightWindows;
    default: break;
    }
#endif
    return VirtualKeyCode(event.key(), event.modifiers());
}

std::optional<TypedKey> TypedKeyOf(const QKeyEvent& event) {
    const bool press = event.type() == QEvent::KeyPress;
    const int keyCode = WindowsKeyCodeOf(event);
    if (!press && event.isAutoRepeat())
        return std::nullopt;
    if (press && (keyCode == kVkSnapshot || keyCode == kVkApps))
        return std::nullopt;
    const int character = CommandModifiers(event.modifiers()) ? 0 : PrintableCharacter(event);
    if (character != 0)
        return press ? TypedKey{0, character} : TypedKey{0, 0};
    return TypedKey{keyCode, 0};
}

KeyAdapter::KeyAdapter(QObject* target, QObject* owner, Handler onPress, Handler onRelease, ReceiverFilter receivers)
    : QObject(owner), m_onPress(std::move(onPress)), m_onRelease(std::move(onRelease)),
      m_receivers(std::move(receivers)) {
    target->installEventFilter(this);
}

bool KeyAdapter::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    const Handler& handler = press ? m_onPress : m_onRelease;
    if (handler && (!m_receivers || m_receivers(watched))) {
        if (const std::optional<TypedKey> key = TypedKeyOf(*static_cast<QKeyEvent*>(event)))
            handler(*key);
    }
    return false;
}

} // namespace keyloom
