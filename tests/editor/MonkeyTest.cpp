#include "EditorFixture.h"

#include "editor/OnScreenKeyboard.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "gui/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

// Random use of the real window, with the document and the view checked after every action.
// A failure names the seed and the last actions, which replay the same way.

namespace keyloom {
namespace {

namespace fs = std::filesystem;

constexpr int kActionsPerSeed = 1500;
constexpr std::size_t kLoggedActions = 30;

const QString kSaveChanges = QStringLiteral("Do you want to save your changes?");
const QString kFileExists = QStringLiteral("File exists. Overwrite?");
const QString kOpenTitle = QStringLiteral("Open KeydeckKey Definition File");
const QString kSaveTitle = QStringLiteral("Save VKxx Custom Key Definition File");

// Every warning a user can meet while editing, saving and opening the files this test writes.
const QStringList kKnownWarnings = {
    QStringLiteral("Not enough room for this key. You can make room by deleting one or more keys.\r\r"
                   "If both levels are used then each level can be up to 111 bytes long.\r"
                   "If only Level 1 is used then Level 1 can be up to 220 bytes long."),
    QStringLiteral("Nothing to erase!"),
    QStringLiteral("Already have two Shift keys!"),
    QStringLiteral("Already have two Toggle keys!"),
    QStringLiteral("The Properties panel USB Device Type is \rnot set for Multimedia Keyboard-Mouse."),
    QStringLiteral("No room for this key. L1 for this key is using double space which leaves no room for a L2 "
                   "macro for this key."),
};

std::string S(const QString& text) { return text.toStdString(); }

// The INI format keeps no blanks around a value.
std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Answers every prompt at random, as a user clicking about would, and keeps what a check needs:
// prompts nobody expects, the document as it was when a save was asked for, the file opened.
class MonkeyPrompts final : public Prompts {
public:
    std::mt19937* random = nullptr;
    const KeypadDocument* document = nullptr;
    std::vector<QString> saveNames;
    std::function<std::vector<QString>()> openableNames;

    QStringList unexpected;
    QStringList shown;
    std::optional<KeypadDocument> saving;
    std::optional<QString> opened;

    void warning(const QString& text) override {
        shown << "warning: " + text;
        if (!kKnownWarnings.contains(text))
            unexpected << "warning: " + text;
    }
    void information(const QString& text) override { unexpected << "information: " + text; }
    void error(const QString& text) override { unexpected << "error: " + text; }
    Answer question(const QString& text, bool allowCancel) override {
        shown << "question: " + text;
        if (text != kSaveChanges && text != kFileExists)
            unexpected << "question: " + text;
        // Any answer may lead to a save: the document is taken as it is now.
        saving = *document;
        const int pick = Pick(allowCancel ? 3 : 2);
        return pick == 0 ? Answer::Yes : pick == 1 ? Answer::No : Answer::Cancel;
    }
    std::optional<QString> openFileName(const FileDialogRequest& request) override {
        shown << "open: " + request.title;
        if (request.title != kOpenTitle)
            unexpected << "open: " + request.title;
        const std::vector<QString> names = openableNames();
        if (names.empty() || Pick(5) == 0)
            return std::nullopt;
        opened = names[static_cast<std::size_t>(Pick(static_cast<int>(names.size())))];
        return opened;
    }
    std::optional<QString> saveFileName(const FileDialogRequest& request) override {
        shown << "save: " + request.title;
        if (request.title != kSaveTitle)
            unexpected << "save: " + request.title;
        saving = *document;
        if (Pick(6) == 0)
            return std::nullopt;
        return saveNames[static_cast<std::size_t>(Pick(static_cast<int>(saveNames.size())))];
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(*random); }
};

class MonkeyTest : public test::EditorFixture, public ::testing::WithParamInterface<uint32_t> {
protected:
    void SetUp() override {
        random.seed(GetParam());
        monkeyPrompts.random = &random;
        monkeyPrompts.document = &document;
        window = std::make_unique<TfrmMain>(document, platform, monkeyPrompts, QStringList{});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        for (const char* name : {"monkeyA.ckd", "monkeyB.ckd", "monkeyC.ckd"})
            monkeyPrompts.saveNames.push_back(QString::fromStdString((window->folders().macroFiles / name).string()));
        monkeyPrompts.openableNames = [this] {
            std::vector<QString> names;
            for (const auto& [name, content] : files)
                names.push_back(name);
            return names;
        };
        // Start-up may report its folders; only what the actions bring counts.
        monkeyPrompts.unexpected.clear();
        monkeyPrompts.shown.clear();
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    bool Chance(int percent) { return Pick(100) < percent; }

    LevelControls& Shown() { return window->TabControl1->levels[window->session().selectedLevel() == 0 ? 0 : 1]; }

    void Log(const std::string& action) {
        log.push_back(std::to_string(actionNumber) + ": " + action);
        if (log.size() > kLoggedActions)
            log.pop_front();
    }

    // --- actions ---

    // Most clicks go to a few keys, so that their macros grow to the room and its limits show.
    int KeyTag() {
        static constexpr int favourites[] = {0, 1, 2, 30};
        return Chance(75) ? favourites[Pick(4)] : Pick(48);
    }

    void ClickKey() {
        const int tag = KeyTag();
        QPushButton* key = window->keypadPanel->keys[static_cast<std::size_t>(tag)];
        if (!key->isVisible())
            return Log(S(key->objectName()) + " is hidden: nothing");
        Log("click " + S(key->objectName()));
        QTest::mouseClick(key, Qt::LeftButton);
    }

    // Right-clicks a key and chooses one of its menu's items with the mouse, or leaves the menu.
    void KeyMenu() {
        const int tag = KeyTag();
        QPushButton* key = window->keypadPanel->keys[static_cast<std::size_t>(tag)];
        if (!key->isVisible())
            return Log(S(key->objectName()) + " is hidden: nothing");
        QMenu* menu = window->keypadPanel->menuKeyType;
        std::vector<QAction*> items;
        for (QAction* item : menu->actions())
            if (!item->isSeparator())
                items.push_back(item);
        QAction* item = Chance(85) ? items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))] : nullptr;
        Log("right-click " + S(key->objectName()) + ", then " +
            (item ? S(item->text()) : std::string("closes the menu")));
        QTest::mousePress(key, Qt::RightButton, {}, key->rect().center());
        if (item && menu->isVisible())
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        CloseMenus();
        QTest::mouseRelease(key, Qt::RightButton, {}, key->rect().center());
    }

    // A button of the on-screen keyboard; a menu button's menu then gets an item chosen or closed.
    void ClickKeyboard() {
        const auto& keys = window->KeyboardPanel->keys;
        QPushButton* button = keys[static_cast<std::size_t>(Pick(static_cast<int>(keys.size())))].button;
        if (!button->isVisible())
            return Log(S(button->objectName()) + " is hidden: nothing");
        std::string action = "click " + S(button->objectName());
        QTest::mouseClick(button, Qt::LeftButton);
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            std::vector<QAction*> items;
            for (QAction* item : menu->actions())
                if (!item->isSeparator() && item->isVisible())
                    items.push_back(item);
            if (!items.empty() && Chance(80)) {
                QAction* item = items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))];
                action += ", then " + S(item->objectName());
                Log(action);
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
                return;
            }
            action += ", then closes its menu";
        }
        Log(action);
    }

    void TriggerMenuItem() {
        const auto& items = window->KeyboardPanel->menus.items;
        QAction* action = items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))].action;
        Log("choose " + S(action->objectName()));
        action->trigger();
    }

    void ClickCapsLockLamp() {
        Log("click ledCapsLock");
        QTest::mouseClick(window->KeyboardPanel->ledCapsLock, Qt::LeftButton);
    }

    void MoveSlider() {
        const int value = Pick(125) + 1;
        Log("slider to " + std::to_string(value));
        window->KeyboardPanel->TrackBar1->setValue(value);
    }

    void ClickTab() {
        const int level = Pick(2);
        Log("click tab Level " + std::to_string(level + 1));
        QTabBar* tabs = window->TabControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(level).center());
    }

    void ClickButton(QAbstractButton* button) {
        Log("click " + S(button->objectName()));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Scrolls a cell into view as the user would, then clicks or double-clicks it.
    void ClickCell(bool twice) {
        MacroGrid* grid = Shown().StringGrid;
        // Mostly near the macro, where the cells are.
        const int cells = window->cells().cellCount();
        const int index = Chance(80) ? std::min(Pick(cells + 3), MacroGrid::kColumns * MacroGrid::kRows - 1)
                                     : Pick(MacroGrid::kColumns * MacroGrid::kRows);
        QTableWidgetItem* item = grid->item(index / MacroGrid::kColumns, index % MacroGrid::kColumns);
        grid->scrollToItem(item);
        const QPoint centre = grid->visualItemRect(item).center();
        Log(std::string(twice ? "double-click" : "click") + " cell " + std::to_string(index) + " of " +
            S(grid->objectName()));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centre);
        if (twice)
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, centre);
    }

    QWidget* Focus() {
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr && focus->window() == window.get() ? focus : window->CurrentGrid();
    }

    // A key stroke on whatever has the focus: mostly the grid, else a box the user left it in.
    void TypeKey() {
        struct Stroke {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char* name;
        };
        static const Stroke strokes[] = {
            {Qt::Key_A, Qt::NoModifier, "a"},          {Qt::Key_Q, Qt::NoModifier, "q"},
            {Qt::Key_Z, Qt::ShiftModifier, "Shift+Z"}, {Qt::Key_5, Qt::NoModifier, "5"},
            {Qt::Key_Exclam, Qt::ShiftModifier, "!"},  {Qt::Key_Space, Qt::NoModifier, "Space"},
            {Qt::Key_Comma, Qt::NoModifier, ","},      {Qt::Key_Slash, Qt::NoModifier, "/"},
            {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
            {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
            {Qt::Key_Delete, Qt::NoModifier, "Delete"}, {Qt::Key_Return, Qt::NoModifier, "Return"},
            {Qt::Key_Escape, Qt::NoModifier, "Escape"}, {Qt::Key_Shift, Qt::NoModifier, "Shift"},
            {Qt::Key_Control, Qt::NoModifier, "Ctrl"},  {Qt::Key_Alt, Qt::NoModifier, "Alt"},
            {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"}, {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
            {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
            {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+Z"},
            {Qt::Key_Left, Qt::NoModifier, "Left"},     {Qt::Key_Right, Qt::NoModifier, "Right"},
            {Qt::Key_Up, Qt::NoModifier, "Up"},         {Qt::Key_Down, Qt::NoModifier, "Down"},
            {Qt::Key_Home, Qt::NoModifier, "Home"},     {Qt::Key_End, Qt::NoModifier, "End"},
            {Qt::Key_PageDown, Qt::NoModifier, "PageDown"}, {Qt::Key_Home, Qt::ControlModifier, "Ctrl+Home"},
            {Qt::Key_End, Qt::ControlModifier, "Ctrl+End"}, {Qt::Key_F5, Qt::NoModifier, "F5"},
            {Qt::Key_Insert, Qt::NoModifier, "Insert"}, {Qt::Key_Menu, Qt::NoModifier, "Menu"},
            {Qt::Key_Print, Qt::NoModifier, "Print"},   {Qt::Key_Super_L, Qt::NoModifier, "Super_L"},
            {Qt::Key_1, Qt::KeypadModifier, "Keypad 1"}, {Qt::Key_Enter, Qt::KeypadModifier, "Keypad Enter"},
        };
        QWidget* focus = Focus();
        const int kind = Pick(100);
        if (kind < 6) {
            // Tab moves the focus on with its press; its release reaches the next control.
            const bool back = Chance(30);
            Log(std::string(back ? "Shift+Tab" : "Tab") + " on " + S(focus->objectName()));
            const Qt::Key key = back ? Qt::Key_Backtab : Qt::Key_Tab;
            const Qt::KeyboardModifiers modifiers = back ? Qt::ShiftModifier : Qt::NoModifier;
            QTest::keyPress(focus, key, modifiers);
            QTest::keyRelease(Focus(), key, modifiers);
            return;
        }
        if (kind < 12) {
            // Shift held over a few letters: one press and one release in the macro.
            Log("Shift held over a, b on " + S(focus->objectName()));
            QTest::keyPress(focus, Qt::Key_Shift);
            QTest::keyPress(focus, Qt::Key_Shift);
            QTest::keyClick(focus, Qt::Key_A, Qt::ShiftModifier);
            QTest::keyClick(focus, Qt::Key_B, Qt::ShiftModifier);
            QTest::keyRelease(focus, Qt::Key_Shift);
            return;
        }
        if (kind < 20) {
            // A burst of letters fills a macro towards its room.
            const int count = 5 + Pick(60);
            Log("types " + std::to_string(count) + " letters on " + S(focus->objectName()));
            for (int i = 0; i < count; ++i)
                QTest::keyClick(focus, static_cast<Qt::Key>(Qt::Key_A + Pick(26)));
            return;
        }
        const Stroke& stroke = strokes[Pick(static_cast<int>(std::size(strokes)))];
        Log(std::string(stroke.name) + " on " + S(focus->objectName()));
        QTest::keyClick(focus, stroke.key, stroke.modifiers);
    }

    void ClickLayout() {
        ClickButton(Chance(50) ? static_cast<QAbstractButton*>(window->keypadPanel->btn24Keys)
                               : window->keypadPanel->btn48Keys);
    }

    void ChooseMacroMode() {
        QComboBox* combo = Shown().comboMacroMode;
        const int index = Pick(combo->count());
        Log(S(combo->objectName()) + " to " + std::to_string(index));
        combo->setCurrentIndex(index);
    }

    // Types into the shown level's description box, and sometimes confirms with Enter.
    void TypeDescription() {
        static const char* const words[] = {"Vol", "up", "Copy all", "x7", "Mute", "F5 key", "go-to", "Paste.it"};
        QLineEdit* box = Shown().edDescription;
        const QString text = QString::fromLatin1(words[Pick(static_cast<int>(std::size(words)))]);
        const bool replace = Chance(50);
        const bool confirm = Chance(50);
        Log("types '" + S(text) + "' into " + S(box->objectName()) + (replace ? " over its text" : "") +
            (confirm ? ", Enter" : ""));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        if (replace)
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        else if (!box->text().isEmpty())
            QTest::keyClick(box, Qt::Key_Space);
        QTest::keyClicks(box, text);
        if (Chance(20))
            QTest::keyClick(box, Qt::Key_Backspace);
        if (confirm)
            QTest::keyClick(box, Qt::Key_Return);
    }

    void CloseMenus() {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

    void RandomAction() {
        const int pick = Pick(1000);
        KeypadPanel* keypad = window->keypadPanel;
        if (pick < 90)
            ClickKey();
        else if (pick < 140)
            KeyMenu();
        else if (pick < 300)
            ClickKeyboard();
        else if (pick < 340)
            TriggerMenuItem();
        else if (pick < 350)
            ClickCapsLockLamp();
        else if (pick < 365)
            MoveSlider();
        else if (pick < 420)
            ClickTab();
        else if (pick < 460)
            ClickButton(Shown().btnEraseSelected);
        else if (pick < 470)
            ClickButton(Shown().btnEraseAll);
        else if (pick < 530)
            ClickCell(false);
        else if (pick < 555)
            ClickCell(true);
        else if (pick < 775)
            TypeKey();
        else if (pick < 790)
            ClickLayout();
        else if (pick < 810)
            ClickButton(Shown().cboxRevealCodes);
        else if (pick < 830)
            ClickButton(Shown().cboxAutoRepeat);
        else if (pick < 850)
            ChooseMacroMode();
        else if (pick < 900)
            TypeDescription();
        else if (pick < 910)
            ClickButton(window->btnNew);
        else if (pick < 935)
            ClickButton(window->btnSaveAs);
        else if (pick < 955)
            ClickButton(window->btnSave);
        else if (pick < 980)
            ClickButton(window->btnOpen);
        else {
            // Copy and paste by the menu's actions, on the selected key, whatever the menu enables.
            QAction* item = Chance(50) ? keypad->mnuCopyKeyMacro : keypad->mnuPasteKeyMacro;
            Log("choose " + S(item->objectName()));
            item->trigger();
        }
        CloseMenus();
    }

    // --- checks ---

    // What the file holds after this document was written on top of it: the keys of the layout
    // in use and the settings; a key the file never had reads back with the reader's defaults.
    void Written(const QString& name, const KeypadDocument& saved) {
        auto [entry, fresh] = files.try_emplace(name);
        KeypadDocument& model = entry->second;
        if (fresh) {
            model.ResetDocument();
            for (KeyRecord& key : model.keys)
                key.autoRepeat = {0, 0};
        }
        model.settings = saved.settings;
        model.numberOfKeys = saved.numberOfKeys == 48 ? 48 : 24;
        for (int i = 0; i < model.numberOfKeys; ++i) {
            KeyRecord& key = model.keys[static_cast<std::size_t>(i)];
            key = saved.keys[static_cast<std::size_t>(i)];
            for (std::string& text : key.name)
                text = TrimBlanks(text);
        }
    }

    std::string CheckDocument() {
        std::ostringstream fault;
        const KeypadDocument& d = document;
        if (d.numberOfKeys != 24 && d.numberOfKeys != 48)
            fault << "numberOfKeys " << d.numberOfKeys << "; ";
        for (int k = 0; k < kKeyCount; ++k) {
            const KeyRecord& key = d.keys[static_cast<std::size_t>(k)];
            const std::size_t one = d.Length(Level::One, k);
            const std::size_t two = d.Length(Level::Two, k);
            if (one > 220 || two > 111 || (one > 111 && two > 0))
                fault << "key " << k + 1 << " has levels of " << one << " and " << two << " bytes; ";
            for (const Level level : {Level::One, Level::Two}) {
                const std::span<const uint8_t> codes = key.codes(level);
                const std::size_t length = MacroLength(codes);
                if (std::any_of(codes.begin() + static_cast<std::ptrdiff_t>(length), codes.end(),
                                [](uint8_t byte) { return byte != 0; }))
                    fault << "key " << k + 1 << " Level " << levelNumber(level) << " keeps bytes after its end; ";
            }
            if (key.KeyType < 0 || key.KeyType > 2 || key.autoRepeat[0] > 1 || key.autoRepeat[1] > 1 ||
                key.macroMode[0] < 0 || key.macroMode[0] > 3 || key.macroMode[1] < 0 || key.macroMode[1] > 3)
                fault << "key " << k + 1 << " has a setting out of range; ";
        }
        // The limit of two is counted over the keys of the layout in use, so a 48-key keypad may
        // hold two more in its upper half, set while it was shown with 24; the first 24 keys
        // never hold more than two.
        for (const int type : {int{kLevelShiftKey}, int{kLevelToggleKey}}) {
            const auto count = std::count_if(d.keys.begin(), d.keys.begin() + 24,
                                             [type](const KeyRecord& key) { return key.KeyType == type; });
            if (count > 2)
                fault << count << (type == kLevelShiftKey ? " Shift" : " Toggle") << " keys on the keypad; ";
        }
        return fault.str();
    }

    std::string CheckView() {
        std::ostringstream fault;
        const EditorSession& session = window->session();
        const KeypadDocument& d = document;
        const int key = session.selectedKey();
        const int shown = session.selectedLevel();
        if (key < 0 || key >= d.numberOfKeys || (shown != 0 && shown != 1))
            return "selection key " + std::to_string(key) + " level " + std::to_string(shown) + " is off the keypad";
        const Level level = shown == 0 ? Level::One : Level::Two;
        KeypadPanel* keypad = window->keypadPanel;

        if (window->TabControl1->currentIndex() != shown)
            fault << "tab " << window->TabControl1->currentIndex() << " shows while Level " << shown + 1
                  << " is selected; ";
        if (keypad->keyGroup->checkedButton() != window->ButtonOfKeyIndex(key))
            fault << "the checked key button is not the selected key " << key + 1 << "; ";
        if (keypad->btn24Keys->isChecked() != (d.numberOfKeys == 24) ||
            keypad->btn48Keys->isChecked() != (d.numberOfKeys == 48) ||
            keypad->KeyPanel2->isVisible() != (d.numberOfKeys == 48))
            fault << "the keypad does not show the " << d.numberOfKeys << "-key layout; ";
        for (int k = 0; k < d.numberOfKeys; ++k) {
            const int32_t type = d.keys[static_cast<std::size_t>(k)].KeyType;
            const QString mark = type == kLevelShiftKey ? "S" : type == kLevelToggleKey ? "T" : "";
            if (window->ButtonOfKeyIndex(k)->text() != mark)
                fault << "key " << k + 1 << " button says '" << S(window->ButtonOfKeyIndex(k)->text()) << "'; ";
        }

        const QString header = QStringLiteral("Key Codes for Key %1, Level %2").arg(key + 1).arg(shown + 1);
        for (const LevelControls& controls : window->TabControl1->levels)
            if (controls.lblMacroHeader->text() != header)
                fault << "header '" << S(controls.lblMacroHeader->text()) << "'; ";

        CellList expected;
        const int rendered = expected.RenderLevel(d, key, level);
        if (window->cells().cells() != expected.cells())
            fault << "the window's cells are not the rendering of the level; ";
        if (static_cast<std::size_t>(rendered) != d.Length(level, key))
            fault << "the grid shows " << rendered << " of the level's " << d.Length(level, key) << " bytes; ";
        const LevelControls& controls = window->TabControl1->levels[static_cast<std::size_t>(shown)];
        const LevelControls& hidden = window->TabControl1->levels[static_cast<std::size_t>(1 - shown)];
        for (int index = 0; index < MacroGrid::kColumns * MacroGrid::kRows; ++index) {
            QString want;
            if (index < expected.cellCount()) {
                const MacroCell& cell = expected.cells()[static_cast<std::size_t>(index)];
                want = QString::fromStdString(session.revealCodes() ? cell.codeText : cell.name);
            }
            if (controls.StringGrid->cellText(index) != want) {
                fault << "cell " << index << " shows '" << S(controls.StringGrid->cellText(index)) << "', not '"
                      << S(want) << "'; ";
                break;
            }
            if (!hidden.StringGrid->cellText(index).isEmpty()) {
                fault << "the hidden grid's cell " << index << " is not empty; ";
                break;
            }
        }
        const int room = d.LevelCapacity(level, key);
        const QString length = QStringLiteral("Length of key data = %1 of %2").arg(rendered).arg(room);
        if (controls.lblLengthOfMacro->text() != length)
            fault << "'" << S(controls.lblLengthOfMacro->text()) << "', not '" << S(length) << "'; ";
        if (controls.ProgressBar->maximum() != room || controls.ProgressBar->value() != std::min(rendered, room))
            fault << "room bar " << controls.ProgressBar->value() << "/" << controls.ProgressBar->maximum() << "; ";
        if (controls.cboxRevealCodes->isChecked() != session.revealCodes() ||
            hidden.cboxRevealCodes->isChecked() != session.revealCodes())
            fault << "the reveal-codes boxes disagree with the flag; ";

        const KeyRecord& record = d.keys[static_cast<std::size_t>(key)];
        const std::size_t slot = levelIndex(level);
        if (controls.cboxAutoRepeat->isChecked() != (record.autoRepeat[slot] != 0))
            fault << "auto-repeat box disagrees; ";
        if (controls.comboMacroMode->currentIndex() != record.macroMode[slot])
            fault << "mode box " << controls.comboMacroMode->currentIndex() << ", document "
                  << record.macroMode[slot] << "; ";
        // A description still being typed is the user's, not yet the document's.
        if (!controls.edDescription->isModified() && S(controls.edDescription->text()) != record.name[slot])
            fault << "description box '" << S(controls.edDescription->text()) << "', document '"
                  << record.name[slot] << "'; ";
        const QString modified = session.modified() ? QStringLiteral("Modified") : QString();
        if (window->lblModified->text() != modified)
            fault << "status '" << S(window->lblModified->text()) << "' while modified is " << session.modified() << "; ";

        const int selected = controls.StringGrid->selectedIndex();
        const ModifierState held = expected.ModifiersAtCell(std::min(selected, expected.cellCount() - 1));
        const OnScreenKeyboard* keyboard = window->KeyboardPanel;
        for (std::size_t bit = 0; bit < keyboard->modifierDown.size(); ++bit)
            if (keyboard->modifierDown[bit]->isVisible() != ((held & (1u << bit)) != 0) ||
                keyboard->modifierUp[bit]->isVisible() == ((held & (1u << bit)) != 0))
                fault << "modifier picture " << bit << " disagrees with the macro at cell " << selected << "; ";
        return fault.str();
    }

    std::string CheckOpened() {
        if (!monkeyPrompts.opened || window->lblFilename->text() != *monkeyPrompts.opened)
            return {};
        const KeypadDocument& model = files.at(*monkeyPrompts.opened);
        ++roundTrips;
        std::ostringstream fault;
        if (document.numberOfKeys != model.numberOfKeys)
            fault << "opened in the " << document.numberOfKeys << "-key layout, saved in " << model.numberOfKeys
                  << "; ";
        if (document.settings != model.settings)
            fault << "settings differ from what was saved; ";
        for (int k = 0; k < kKeyCount; ++k)
            if (document.keys[static_cast<std::size_t>(k)] != model.keys[static_cast<std::size_t>(k)]) {
                const KeyRecord& got = document.keys[static_cast<std::size_t>(k)];
                const KeyRecord& want = model.keys[static_cast<std::size_t>(k)];
                fault << "key " << k + 1 << " differs from what was saved (names '" << got.name[0] << "'/'"
                      << got.name[1] << "' vs '" << want.name[0] << "'/'" << want.name[1] << "', lengths "
                      << MacroLength(got.level1Codes) << "/" << MacroLength(got.level2Codes) << " vs "
                      << MacroLength(want.level1Codes) << "/" << MacroLength(want.level2Codes) << "); ";
                break;
            }
        if (window->session().modified())
            fault << "a document just opened is marked modified; ";
        return fault.str();
    }

    std::mt19937 random;
    MonkeyPrompts monkeyPrompts;
    std::map<QString, KeypadDocument> files; // what each file written so far must read back as
    std::deque<std::string> log;
    int actionNumber = 0;
    int roundTrips = 0;
};

TEST_P(MonkeyTest, RandomUseKeepsDocumentAndViewInStep) {
    for (actionNumber = 1; actionNumber <= kActionsPerSeed; ++actionNumber) {
        std::map<QString, std::string> before;
        for (const QString& name : monkeyPrompts.saveNames)
            before[name] = FileBytes(fs::path(name.toStdString()));
        monkeyPrompts.shown.clear();
        monkeyPrompts.saving.reset();
        monkeyPrompts.opened.reset();

        RandomAction();

        // A file that changed was written from the document as it was when the save was asked for.
        std::string fault;
        for (const QString& name : monkeyPrompts.saveNames) {
            if (FileBytes(fs::path(name.toStdString())) == before[name])
                continue;
            if (monkeyPrompts.saving)
                Written(name, *monkeyPrompts.saving);
            else
                fault += S(name) + " was written without a save being asked for; ";
        }

        if (!monkeyPrompts.unexpected.isEmpty())
            fault += "unexpected prompts: " + S(monkeyPrompts.unexpected.join(" | ")) + "; ";
        fault += CheckDocument();
        fault += CheckView();
        fault += CheckOpened();
        if (!fault.empty()) {
            std::string replay;
            for (const std::string& line : log)
                replay += "  " + line + "\n";
            FAIL() << "seed " << GetParam() << ", action " << actionNumber << ": " << fault << "\nprompts: "
                   << S(monkeyPrompts.shown.join(" | ")) << "\nlast actions:\n"
                   << replay;
        }
    }
    // Each seed must have got as far as saving and opening again, or the round trip went unchecked.
    EXPECT_GT(roundTrips, 0) << "seed " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Monkey, MonkeyTest, ::testing::Values(20261210u, 17u, 7u),
                         [](const auto& info) { return "Seed" + std::to_string(info.param); });

} // namespace
} // namespace keyloom
