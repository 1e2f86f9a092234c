#include "keytest/KeyStroke.h"

#include "document/HexText.h"
#include "document/KeypadDocument.h"
#include "keys/EditorChords.h"
#include "keys/KeyAdapter.h"
#include "keys/TagCodeTable.h"
#include "keys/Typing.h"
#include "keys/TypingMaps.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>
#include <array>
#include <memory>
#include <span>

namespace keyloom {

namespace {

constexpr int kTagCapsLock = 58;
constexpr int kTagMenu = 103;
constexpr int kTagPrintScreen = 160;

constexpr const char* kMovesSelection = "moves the selection";
constexpr const char* kErasesBefore = "erases the cell before the selection";
constexpr const char* kNotRecorded = "not recorded";
constexpr const char* kRecordedOnRelease = "recorded on release";

void Append(std::vector<uint8_t>& bytes, std::span<const uint8_t> more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

// The Tag of an event's key, for the keys the adapter hands on nothing or (0, 0) for: the
// presses of Print Screen and Menu, and the release of a printable key (named by the text its
// press typed, so a keypad digit releases the key it pressed).
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

// What the editor does for a press that is one of its chords, or nothing: the chord runs its
// command, and the key is not recorded.
const char* ChordAction(const QKeyEvent& event) {
    constexpr Qt::KeyboardModifiers kChordModifiers =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QKeyCombination combination(event.modifiers() & kChordModifiers, Qt::Key(event.key()));
    const QString keys = QKeySequence(combination).toString(QKeySequence::PortableText);
    for (const EditorChord& chord : EditorChords()) {
        if (keys == QLatin1String(chord.keys))
            return chord.action;
    }
    return nullptr;
}

// Names the recorded codes as the grid would, in a macro that holds the modifiers in held, and
// moves the state on as the codes do (a Caps Lock press toggles it).
void NameCodes(KeyStroke& stroke, ModifierState held) {
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
    if (cells.cellCount() > 0)
        stroke.modifiersAfter = cells.cells()[static_cast<std::size_t>(cells.cellCount() - 1)].modifierState;
}

// The bytes the editor records for a step, or nothing with the reason.
std::vector<uint8_t> RecordedCodes(const TypingStep& step, bool press, ModifierState held, std::string& action) {
    const std::span<const uint8_t> make = TagCodes(step.tag);
    const int modifier = ModifierIndexOfTag(step.tag);
    const bool modifierHeld = modifier >= 0 && (held & (1u << modifier)) != 0;
    switch (step.effect) {
    case TypingEffect::Records:
        // A held modifier repeats its press; the macro gets one press per stroke.
        if (press && TypingHeldFlag(step.tag) && modifierHeld)
            break;
        return {make.begin(), make.end()};
    case TypingEffect::RecordsModifier: {
        // Released when the macro holds it, else pressed: the state at the selection decides.
        if (!modifierHeld)
            return {make.begin(), make.end()};
        const std::array<uint8_t, 4> release = ModifierReleaseCodes(step.tag);
        return {release.begin(), std::find(release.begin(), release.end(), uint8_t{0})};
    }
    case TypingEffect::MovesSelection:
        action = kMovesSelection;
        return {};
    case TypingEffect::ErasesBefore:
        action = kErasesBefore;
        return {};
    case TypingEffect::NotRecorded:
        break;
    }
    action = kNotRecorded;
    return {};
}

} // namespace

std::optional<KeyStroke> KeyStrokeOf(const QKeyEvent& event, ModifierState held) {
    const bool press = event.type() == QEvent::KeyPress;
    if (!press && event.isAutoRepeat())
        return std::nullopt;
    KeyStroke stroke;
    stroke.press = press;
    stroke.modifiersAfter = held;
    if (const char* action = press ? ChordAction(event) : nullptr) {
        stroke.action = action;
        return stroke;
    }
    const std::optional<TypedKey> pair = TypedKeyOf(event);
    stroke.tag = TagOf(event, pair);
    if (!pair) {
        // Windows does not always deliver these presses; the editor waits for the release.
        stroke.action = stroke.tag == kTagMenu || stroke.tag == kTagPrintScreen ? kRecordedOnRelease : kNotRecorded;
        return stroke;
    }
    TypingStep step = press ? GridKeyDownStep(*pair) : WindowKeyUpStep(pair->keyCode);
    if (!press && step.effect == TypingEffect::NotRecorded)
        step = GridKeyUpStep(pair->keyCode);
    stroke.codes = RecordedCodes(step, press, held, stroke.action);
    if (stroke.recorded())
        NameCodes(stroke, held);
    return stroke;
}

std::vector<std::string> KeyStrokeActions() {
    std::vector<std::string> actions = {kMovesSelection, kErasesBefore, kNotRecorded, kRecordedOnRelease};
    for (const EditorChord& chord : EditorChords())
        actions.emplace_back(chord.action);
    return actions;
}

std::string HexText(const std::vector<uint8_t>& codes) { return BytesAsHex(codes, " "); }

} // namespace keyloom
