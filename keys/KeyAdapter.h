#pragma once

#include <QObject>
#include <Qt>

#include <functional>
#include <optional>

class QKeyEvent;

namespace keyloom {

// A key event as the typing handlers take it: a Windows virtual-key code and the character typed.
// A press that types printable text without Ctrl or Alt is (0, character); every other press and
// every release is (key code, 0), and the release of a printable key is (0, 0).
struct TypedKey {
    int keyCode = 0;
    int character = 0;

    bool operator==(const TypedKey&) const = default;
};

// The Windows virtual-key code of a Qt key; 0 for a key Windows has no code for. Shifted symbols
// give the code of their key on a US keyboard ("!" is the 1 key).
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The Windows virtual-key code of a key event: the one Windows delivered with it, else the code of
// its Qt key; 0 for a key without one.
int WindowsKeyCodeOf(const QKeyEvent& event);

// The pair of a key press or release, or nothing for an event that Windows would not deliver:
// the releases of a held key's auto-repeat, and the presses of Print Screen and Menu, which are
// recorded once, on release.
std::optional<TypedKey> TypedKeyOf(const QKeyEvent& event);

// Hands the key presses and releases that reach one object to handlers as pairs. The events go on
// to the object as before.
class KeyAdapter final : public QObject {
public:
    using Handler = std::function<void(TypedKey)>;
    // Whether an event delivered to this receiver is handed on; an event that propagates from a
    // child to its parents reaches an adapter on the application once for each of them.
    using ReceiverFilter = std::function<bool(const QObject* receiver)>;

    // Watches target's key events for as long as owner lives (the adapter is owner's child). Either
    // handler may be empty; without a receiver filter every delivery is handed on.
    KeyAdapter(QObject* target, QObject* owner, Handler onPress, Handler onRelease, ReceiverFilter receivers = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler m_onPress;
    Handler m_onRelease;
    ReceiverFilter m_receivers;
};

} // namespace keyloom
