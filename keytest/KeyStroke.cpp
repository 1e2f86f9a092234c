#include "keytest/KeyStroke.h"

#include "document/HexText.h"
#include "document/KeypadDocument.h"
#include "keys/KeyAdapter.h"
#include "keys/TagCodeTable.h"
#include "keys/TypingMaps.h"

#include <QKeyEvent>

#include <algorithm>
#include <array>
#include <memory>
#include <span>

namespace keyloom {

namespace {

constexpr int kTagCapsLock = 58;
constexpr int kTagMenu = 103;
constexpr int kTagPause = 159;
constexpr int kTagPrintScreen = 160;

constexpr uint8_t kBreak = 0xF0;
constexpr uint8_t kExtended = 0xE0;

std::vector<uint8_t> MakeCodes(int tag) {
    const std::span<const uint8_t> codes = TagCodes(tag);
    return {codes.begin(), codes.end()};
}

void Append(std::vector<uint8_t>& bytes, std::span<const uint8_t> more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

// The Tag of an event's key. The adapter hands on no pair for a Print Screen or Menu press and
// turns the release of a printable key into (0, 0); those take the Tag from the event itself, the
// release from the text its press typed, so a keypad digit releases the key it pressed.
int TagOf(const QKeyEvent& event, const std::optional<TypedKey>& pair) {
    if (pair && pair->keyCode != 0)
        return KeyCodeTag(pair->keyCode);
    if (pair && pair->character != 0)
        return CharacterTag(pair->character);
    const QString text = event.text();
    if (pair && !text.isEmpty())
        return CharacterTag(text.at(0).unicode());
    return KeyCodeTag(VirtualKeyCode(event.key(), event.modifiers()));
}

} // namespace

bool RecordedOnRelease(int tag) { return tag == kTagMenu || tag == kTagPrintScreen; }

std::vector<uint8_t> PressCodes(int tag) {
    if (RecordedOnRelease(tag))
        return {};
    return MakeCodes(tag);
}

std::vector<uint8_t> ReleaseCodes(int tag) {
    if (RecordedOnRelease(tag))
        return MakeCodes(tag);
    if (ModifierIndexOfTag(tag) >= 0) {
        const std::array<uint8_t, 4> release = ModifierReleaseCodes(tag);
        return {release.begin(), std::find(release.begin(), release.end(), uint8_t{0})};
    }
    const TagCode make = TagCodeOf(tag);
    // Only keys with a make code of their own break; the lone prefixes and the E2 device commands
    // do not.
    if (make.code == 0 || make.code == kBreak || make.code == kExtended || tag == kTagPause)
        return {};
    if (make.prefix == kExtended)
        return {kExtended, kBreak, make.code};
    if (make.prefix != 0)
        return {};
    return {kBreak, make.code};
}

KeyStroke StrokeOfTag(int tag, bool press, ModifierState held) {
    KeyStroke stroke;
    stroke.press = press;
    stroke.tag = tag;
    stroke.codes = press ? PressCodes(tag) : ReleaseCodes(tag);
    stroke.modifiersAfter = held;
    if (stroke.codes.empty())
        return stroke;

    // The held modifiers' presses go first, so the cells are named as in a macro that holds them.
    std::vector<uint8_t> macro;
    int heldCells = 0;
    for (std::size_t bit = 0; bit < kModifierTags.size(); ++bit) {
        if ((held & (1u << bit)) != 0) {
            Append(macro, TagCodes(kModifierTags[bit]));
            ++heldCells;
        }
    }
    if ((held & kCapsLock) != 0) {
        Append(macro, TagCodes(kTagCapsLock));
        ++heldCells;
    }
    Append(macro, stroke.codes);

    // A scratch document on the heap: it holds all 48 keys.
    const auto document = std::make_unique<KeypadDocument>();
    document->InsertCodes(Level::One, 0, 0, macro);
    CellList cells;
    cells.RenderLevel(*document, 0, Level::One);
    for (int cell = heldCells; cell < cells.cellCount(); ++cell)
        stroke.names.push_back(cells.cells()[static_cast<std::size_t>(cell)].name);

    // The editor records no release of an ordinary key, so only presses and modifier releases
    // move the state on: a Caps Lock stroke toggles it once.
    if (cells.cellCount() > 0 && (press || ModifierIndexOfTag(tag) >= 0))
        stroke.modifiersAfter = cells.cells()[static_cast<std::size_t>(cells.cellCount() - 1)].modifierState;
    return stroke;
}

std::optional<KeyStroke> KeyStrokeOf(const QKeyEvent& event, ModifierState held) {
    const bool press = event.type() == QEvent::KeyPress;
    if (!press && event.isAutoRepeat())
        return std::nullopt;
    const std::optional<TypedKey> pair = TypedKeyOf(event);
    return StrokeOfTag(TagOf(event, pair), press, held);
}

std::string HexText(const std::vector<uint8_t>& codes) { return BytesAsHex(codes, " "); }

} // namespace keyloom
