#include "session/EditorSession.h"

#include "document/Protocol.h"
#include "files/DeviceImage.h"
#include "files/FileError.h"
#include "files/KeyDefinitionFile.h"
#include "files/PathText.h"
#include "keys/TagCodeTable.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace keyloom {

namespace {

const char* const kNoRoom =
    "Not enough room for this key. You can make room by deleting one or more keys.\r\r"
    "If both levels are used then each level can be up to 111 bytes long.\r"
    "If only Level 1 is used then Level 1 can be up to 220 bytes long.";
const char* const kNothingToErase = "Nothing to erase!";
const char* const kNoRoomForPaste = "No room for this key. L1 for this key is using double space which "
                                    "leaves no room for a L2 macro for this key.";
const char* const kDeviceTypeWarning = "The Properties panel USB Device Type is \rnot set for Multimedia Keyboard-Mouse.";

constexpr int kFirstMouseButtonTag = 163;
constexpr int kLastMouseButtonTag = 167;

// The document as the file stores it: the layout shown is a view, not a change.
bool SameContents(const KeypadDocument& a, const KeypadDocument& b) {
    return a.settings == b.settings && a.keys == b.keys;
}

SessionChange Refused(std::string warning) {
    SessionChange change;
    change.warning = std::move(warning);
    return change;
}

} // namespace

SessionChange& SessionChange::operator|=(const SessionChange& other) {
    level = level || other.level;
    selection = selection || other.selection;
    allKeys = allKeys || other.allKeys;
    if (warning.empty())
        warning = other.warning;
    return *this;
}

EditorSession::EditorSession(KeypadDocument& document) : m_document(document) {
    m_saved = m_document;
    m_last = m_document;
    Render();
}

bool EditorSession::modified() const { return !SameContents(m_document, m_saved); }

int EditorSession::insertionCell() const { return std::min(m_selectedCell, m_cells.cellCount()); }

int EditorSession::insertionOffset() const { return m_cells.BytesBeforeCell(insertionCell()); }

ModifierState EditorSession::modifiersAtSelection() const {
    // At or beyond the end the state after the last code shows: what an added code will see.
    return m_cells.ModifiersAtCell(std::min(m_selectedCell, m_cells.cellCount() - 1));
}

void EditorSession::Render() {
    m_cells.FreeCells();
    m_renderedLength = m_cells.RenderLevel(m_document, m_selectedKey, level());
}

SessionChange EditorSession::SelectEndCell() {
    m_selectedCell = m_cells.CountCells(level());
    return {false, true, false, {}};
}

void EditorSession::BeginStep(bool typed) {
    if (m_stepDepth++ > 0)
        return;
    m_stepView = View();
    m_stepTyped = typed;
    m_stepJoins = typed && m_typedStepOpen;
    m_historyTouched = false;
}

void EditorSession::EndStep() {
    if (--m_stepDepth > 0)
        return;
    m_last.numberOfKeys = m_document.numberOfKeys;
    if (m_historyTouched) {
        m_last = m_document;
        m_typedStepOpen = false;
        return;
    }
    const bool changed = !SameContents(m_last, m_document);
    if (changed) {
        // The step being joined holds the state before its first key already.
        if (!m_stepJoins)
            m_history.Record(std::move(m_last), m_stepView);
        m_last = m_document;
    }
    // A step that is no typed key and changes nothing (a description found unchanged) leaves an
    // open typed character open.
    if (m_stepTyped || changed)
        m_typedStepOpen = m_stepTyped && m_typedModifiersDown != 0 && (changed || m_stepJoins);
}

void EditorSession::TakeAsSaved() {
    m_saved = m_document;
    m_last = m_document;
    Render();
}

void EditorSession::TakeFresh() {
    // Nothing before a new or opened document can be undone.
    m_history.Clear();
    m_historyTouched = true;
    m_saved = m_document;
    m_last = m_document;
    m_selectedKey = 0;
    m_selectedLevel = 0;
    m_heldModifiers.fill(false);
    Render();
    SelectEndCell();
}

SessionChange EditorSession::New() {
    m_document.ResetDocument();
    m_path.reset();
    TakeFresh();
    return {true, true, true, {}};
}

IniFile EditorSession::Open(const std::filesystem::path& path) {
    // A missing file would read as an empty document; opening it would then replace the image
    // beside it with one of defaults.
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        throw FileError("The file " + PathText(path) + " was not found.", path);
    auto scratch = std::make_unique<KeypadDocument>();
    scratch->ResetDocument();
    int layout = 24;
    IniFile values = LoadKeyDefinitionIni(path);
    ReadKeyDefinition(*scratch, values, path, [&layout](int numberOfKeys) { layout = numberOfKeys; });
    // Only a file read whole replaces what the user had.
    m_document.settings = scratch->settings;
    m_document.keys = scratch->keys;
    m_document.numberOfKeys = layout == 48 ? 48 : 24;
    m_path = path;
    TakeFresh();
    return values;
}

SessionChange EditorSession::Save(const std::filesystem::path& path) {
    const IniFile written = SaveKeyDefinitionFile(m_document, path);
    m_path = path;
    m_saved = m_document;
    SessionChange change;
    // An image that cannot be written does not undo the save: the .ckd is the document.
    try {
        WriteDeviceImageFile(written, DeviceImagePath(path), m_document.numberOfKeys);
    } catch (const FileError& imageError) {
        change.warning = imageError.what();
    }
    return change;
}

SessionChange EditorSession::SetLayout(int numberOfKeys) {
    m_document.numberOfKeys = numberOfKeys == 48 ? 48 : 24;
    m_selectedKey = 0;
    m_selectedLevel = 0;
    m_heldModifiers.fill(false);
    Render();
    SelectEndCell();
    return {true, true, true, {}};
}

SessionChange EditorSession::SelectKey(int keyIndex) {
    if (keyIndex < 0 || keyIndex >= m_document.numberOfKeys)
        return {};
    m_selectedKey = keyIndex;
    Render();
    SelectEndCell();
    return {true, true, false, {}};
}

SessionChange EditorSession::SelectLevel(int level) {
    m_selectedLevel = level == 0 ? 0 : 1;
    Render();
    SelectEndCell();
    return {true, true, false, {}};
}

SessionChange EditorSession::SelectCell(int cell) {
    m_selectedCell = std::max(cell, 0);
    return {false, true, false, {}};
}

SessionChange EditorSession::SetRevealCodes(bool reveal) {
    m_revealCodes = reveal;
    return {true, false, false, {}};
}

SessionChange EditorSession::RecordCodes(std::span<const uint8_t> codes, int cells) {
    if (m_document.InsertCodes(level(), m_selectedKey, insertionOffset(), codes) != 0)
        return Refused(kNoRoom);
    // One cell on per code; from column 7 that is column 0 of the next row. It starts from the
    // selected cell, not the insertion cell, so a selection beyond the end walks on.
    m_selectedCell += cells;
    Render();
    return {true, true, false, {}};
}

SessionChange EditorSession::RecordTag(int tag) {
    const std::span<const uint8_t> bytes = TagCodes(tag);
    if (bytes.empty())
        return {};
    SessionChange change;
    // Mouse buttons only reach the host when the keypad reports itself as a mouse too; the user
    // is told, but the click is recorded all the same.
    if (tag >= kFirstMouseButtonTag && tag <= kLastMouseButtonTag &&
        m_document.settings.usbDeviceType != kMultimediaKeyboardMouse)
        change.warning = kDeviceTypeWarning;
    std::array<uint8_t, 3> codes{};
    std::copy(bytes.begin(), bytes.end(), codes.begin());
    SessionChange recorded = RecordCodes(codes);
    // The no-room refusal is the one to show when both happen.
    if (!recorded.warning.empty())
        change.warning.clear();
    change |= recorded;
    return change;
}

void EditorSession::SyncHeldModifiers(int cell) {
    const ModifierState state = m_cells.ModifiersAtCell(cell);
    for (std::size_t bit = 0; bit < m_heldModifiers.size(); ++bit)
        m_heldModifiers[bit] = (state & (1u << bit)) != 0;
}

SessionChange EditorSession::RecordModifier(int tag) {
    const int modifier = ModifierIndexOfTag(tag);
    if (modifier < 0)
        return {};
    // Press or release is read from the macro at the selected cell, never from a remembered
    // button state: the same button releases a Shift that a file or typing pressed.
    SyncHeldModifiers(std::min(m_selectedCell, m_cells.cellCount() - 1));
    bool& held = m_heldModifiers[static_cast<std::size_t>(modifier)];
    held = !held;
    return held ? RecordTag(tag) : RecordCodes(ModifierReleaseCodes(tag));
}

SessionChange EditorSession::RecordDelay(int count) {
    const std::array<uint8_t, 4> codes{kDevicePrefix, kDelayCommand, static_cast<uint8_t>(count), 0};
    return RecordCodes(codes);
}

SessionChange EditorSession::RecordMouseMove(uint8_t move, int distance) {
    const std::array<uint8_t, 3> codes{move, static_cast<uint8_t>(distance), 0};
    return RecordCodes(codes);
}

SessionChange EditorSession::TypeModifierDown(int tag, std::size_t flag) {
    // A held modifier repeats its press; the macro gets one press per stroke.
    bool& held = m_heldModifiers[flag];
    if (held)
        return {};
    held = true;
    m_typedModifiersDown |= 1u << flag;
    return RecordTag(tag);
}

SessionChange EditorSession::TypeModifierUp(int tag, std::size_t flag) {
    m_heldModifiers[flag] = false;
    m_typedModifiersDown &= ~(1u << flag);
    return RecordModifier(tag);
}

SessionChange EditorSession::EraseBefore() {
    if (m_selectedCell == 0)
        return {};
    --m_selectedCell;
    SessionChange change = EraseSelected();
    change.selection = true;
    return change;
}

SessionChange EditorSession::SetAutoRepeat(bool on) {
    SelectedRecord().autoRepeat[levelIndex(level())] = on ? 1 : 0;
    return {true, false, false, {}};
}

SessionChange EditorSession::SetMacroMode(int mode) {
    SelectedRecord().macroMode[levelIndex(level())] = mode;
    return {true, false, false, {}};
}

SessionChange EditorSession::SetDescription(int level, const std::string& text) {
    std::string& name = SelectedRecord().name[levelIndex(LevelOf(level))];
    if (name == text)
        return {};
    name = text;
    return {true, false, false, {}};
}

SessionChange EditorSession::EraseAll() {
    // A level's own length decides, not its room: a file may give a level codes and no room.
    if (m_document.Length(level(), m_selectedKey) == 0)
        return Refused(kNothingToErase);
    std::span<uint8_t> codes = SelectedRecord().codes(level());
    std::fill(codes.begin(), codes.end(), uint8_t{0});
    m_selectedCell = 0;
    Render();
    return {true, true, false, {}};
}

SessionChange EditorSession::EraseSelected() {
    const int cell = m_selectedCell;
    if (cell >= m_cells.cellCount())
        return Refused(kNothingToErase);
    // The whole cell goes: a delay's three bytes, an extended key's two.
    const int offset = m_cells.BytesBeforeCell(cell);
    const int count = m_cells.BytesBeforeCell(cell + 1) - offset;
    m_document.EraseCodes(level(), m_selectedKey, offset, count);
    Render();
    // The next modifier typed or clicked here starts from the state the macro now has here.
    SyncHeldModifiers(cell);
    return {true, false, false, {}};
}

bool EditorSession::canSetLevelKeyType() const {
    const int32_t keyType = m_document.keys[static_cast<std::size_t>(m_selectedKey)].KeyType;
    return keyType != kLevelShiftKey && keyType != kLevelToggleKey;
}

SessionChange EditorSession::SetKeyType(int32_t keyType) {
    if (keyType != kNormalKey && keyType != kLevelShiftKey && keyType != kLevelToggleKey)
        return {};
    KeyRecord& key = SelectedRecord();
    if (keyType == kNormalKey || key.KeyType == keyType) {
        key.KeyType = keyType;
        return {true, false, false, {}};
    }
    if (m_document.CountKeysOfType(keyType) >= kMaxLevelKeysOfAType) {
        key.KeyType = kNormalKey;
        return {true, false, false,
                keyType == kLevelShiftKey ? "Already have two Shift keys!" : "Already have two Toggle keys!"};
    }
    key.KeyType = keyType;
    return {true, false, false, {}};
}

bool EditorSession::canCopyKey() const {
    return m_document.keys[static_cast<std::size_t>(m_selectedKey)].codes(level())[0] != 0;
}

void EditorSession::CopyKey() {
    m_clipboard.fill(0);
    const std::span<const uint8_t> codes = SelectedRecord().codes(level());
    std::copy(codes.begin(), codes.end(), m_clipboard.begin());
}

SessionChange EditorSession::PasteKey() {
    const int room = m_document.LevelCapacity(level(), m_selectedKey);
    if (level() == Level::Two && room == 0)
        return Refused(kNoRoomForPaste);
    const std::span<uint8_t> target = SelectedRecord().codes(level());
    std::fill(target.begin(), target.end(), 0);
    // A longer macro is cut at the room, even inside a multi-byte code.
    const auto copied = static_cast<std::size_t>(std::min<int>(room, static_cast<int>(MacroLength(m_clipboard))));
    std::copy_n(m_clipboard.begin(), copied, target.begin());
    Render();
    SelectEndCell();
    return {true, true, false, {}};
}

SessionChange EditorSession::Undo() { return ShowState(m_history.Undo(m_document)); }

SessionChange EditorSession::Redo() { return ShowState(m_history.Redo(m_document)); }

SessionChange EditorSession::ShowState(std::optional<HistoryState> state) {
    m_historyTouched = true;
    if (!state)
        return {};
    state->document.numberOfKeys = m_document.numberOfKeys;
    m_document = std::move(state->document);
    m_last = m_document;
    // The view the change was made in, so the user sees what came back or went again.
    const HistoryView& view = state->view;
    m_selectedKey = std::clamp(view.key, 0, m_document.numberOfKeys - 1);
    m_selectedLevel = view.level == 0 ? 0 : 1;
    m_selectedCell = std::max(view.cell, 0);
    Render();
    return {true, true, true, {}};
}

} // namespace keyloom
