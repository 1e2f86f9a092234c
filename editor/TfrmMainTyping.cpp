#include "editor/TfrmMain.h"

#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "keys/KeyAdapter.h"
#include "keys/TypingMaps.h"

#include <QApplication>
#include <QKeyEvent>

#include <optional>

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

// The held-modifier flag of the modifiers that typing records itself (the typed Shift and Ctrl
// stand for the left-hand keys); nothing for any other Tag.
std::optional<std::size_t> HeldFlagOf(int tag) {
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

} // namespace

void TfrmMain::ConnectTyping() {
    for (const LevelControls& level : TabControl1->levels) {
        connect(level.StringGrid, &MacroGrid::keyDown, this, [this](QKeyEvent* event) {
            if (const std::optional<TypedKey> key = TypedKeyOf(*event))
                RunCommand([this, key] { StringGridKeyDown(key->keyCode, key->character); });
        });
        connect(level.StringGrid, &MacroGrid::keyUp, this, [this](QKeyEvent* event) {
            if (const std::optional<TypedKey> key = TypedKeyOf(*event))
                RunCommand([this, key] { StringGridKeyUp(key->keyCode); });
        });
    }
    // A Tab release is recorded wherever the focus is, and the press has usually moved the focus
    // on already. Releases are watched application-wide because a control may keep a release to
    // itself (an edit box does); each is taken once, where it is first delivered: to this window's
    // focus widget, or to the window itself when nothing has the focus.
    new KeyAdapter(
        QCoreApplication::instance(), this, {},
        [this](TypedKey key) { RunCommand([this, key] { FormKeyUp(key.keyCode); }, TypedDescription::Keep); },
        [this](const QObject* receiver) {
            const QWidget* first = QApplication::focusWidget();
            if (first == nullptr)
                first = this;
            return receiver == first && first->window() == this;
        });
}

void TfrmMain::StringGridKeyDown(int keyCode, int character) {
    if (keyCode == 0) {
        if (const int tag = CharacterTag(character))
            RecordTag(tag);
        return;
    }
    const int tag = KeyCodeTag(keyCode);
    if (tag == 0 || tag == kTagLeftAlt || IsNavigationTag(tag))
        return;
    if (const std::optional<std::size_t> flag = HeldFlagOf(tag)) {
        // A held modifier repeats its press; the macro gets one press per stroke.
        bool& held = m_state.heldModifiers[*flag];
        if (held)
            return;
        held = true;
        RecordTag(tag);
        return;
    }
    if (tag == kTagBackspace) {
        // Backspace erases the code in front of the selection: one cell back, then erase it.
        MacroGrid* grid = CurrentGrid();
        const int cell = grid->selectedIndex();
        if (cell == 0)
            return;
        grid->selectIndex(cell - 1);
        btnEraseSelectedClick(m_state.selectedLevel);
        return;
    }
    RecordTag(tag);
}

void TfrmMain::StringGridKeyUp(int keyCode) {
    const int tag = KeyCodeTag(keyCode);
    if (tag == 0)
        return;
    if (const std::optional<std::size_t> flag = HeldFlagOf(tag)) {
        m_state.heldModifiers[*flag] = false;
        RecordModifier(tag);
    } else if (tag == kTagMenu || tag == kTagPrintScreen) {
        RecordTag(tag);
    } else if (IsNavigationTag(tag)) {
        ShowModifierState();
    }
}

void TfrmMain::FormKeyUp(int keyCode) {
    if (keyCode == kTabKey)
        RecordTag(kTagTab);
}

} // namespace keyloom
