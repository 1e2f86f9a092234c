#include "keys/Typing.h"

#include "keys/TypingMaps.h"

namespace keyloom {

namespace {

constexpr int kTabKey = 9;

constexpr int kTagBackspace = 14;
constexpr int kTagTab = 15;
constexpr int kTagLeftAlt = 56;
constexpr int kTagMenu = 103;
constexpr int kTagPrintScreen = 160;
// Home, Up, Page Up, Left, Right, End, Down, Page Down: the grid moves its selection for them.
constexpr int kFirstNavigationTag = 91;
constexpr int kLastNavigationTag = 98;

bool IsNavigationTag(int tag) { return tag >= kFirstNavigationTag && tag <= kLastNavigationTag; }

} // namespace

std::optional<std::size_t> TypingHeldFlag(int tag) {
    switch (tag) {
    case 29: // L Ctrl
        return 0;
    case 42: // L Shift
        return 1;
    case 101: // L Win
        return 3;
    case 102: // R Win
        return 7;
    default:
        return std::nullopt;
    }
}

TypingStep GridKeyDownStep(TypedKey key) {
    if (key.keyCode == 0) {
        const int tag = CharacterTag(key.character);
        return tag != 0 ? TypingStep{TypingEffect::Records, tag} : TypingStep{};
    }
    // Tab moves the focus away before the grid sees it; its release records it.
    if (key.keyCode == kTabKey)
        return {};
    const int tag = KeyCodeTag(key.keyCode);
    // Alt and AltGr are the window's menu keys.
    if (tag == 0 || tag == kTagLeftAlt)
        return {};
    if (IsNavigationTag(tag))
        return {TypingEffect::MovesSelection, tag};
    if (tag == kTagBackspace)
        return {TypingEffect::ErasesBefore, tag};
    return {TypingEffect::Records, tag};
}

TypingStep GridKeyUpStep(int keyCode) {
    const int tag = KeyCodeTag(keyCode);
    if (tag == 0)
        return {};
    if (TypingHeldFlag(tag))
        return {TypingEffect::RecordsModifier, tag};
    if (tag == kTagMenu || tag == kTagPrintScreen)
        return {TypingEffect::Records, tag};
    if (IsNavigationTag(tag))
        return {TypingEffect::MovesSelection, tag};
    return {};
}

TypingStep WindowKeyUpStep(int keyCode) {
    return keyCode == kTabKey ? TypingStep{TypingEffect::Records, kTagTab} : TypingStep{};
}

} // namespace keyloom
