#include "dialogs/TfrmShortcut.h"

#include "gui/QtPaths.h"
#include "support/FakePlatform.h"
#include "support/ScriptedPrompts.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <sstream>

namespace keyloom {
namespace {

namespace fs = std::filesystem;
using test::FakePlatform;
using testing::HasSubstr;
using test::TemporaryFolder;

constexpr int kShift = 16;
constexpr int kCtrl = 17;
constexpr int kAlt = 18;

#ifndef _WIN32
// The keys and values of a desktop entry file.
std::map<std::string, std::string> EntryFields(const fs::path& file) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(test::ReadFile(file));
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}
#endif

class ShortcutWizardTest : public ::testing::Test {
protected:
    ShortcutWizardTest() {
        // Shortcuts are written by the system's own platform, where the tests read them back.
        platform.shortcutResult = std::nullopt;
        wizard = std::make_unique<TfrmShortcut>(platform, prompts, macroFiles);
        wizard->FormShow();
    }

    // A key pressed and released in the capture box with these keys held.
    void Press(HotKeyStroke stroke, std::vector<int> held = {}) {
        platform.keysDown = std::move(held);
        wizard->edShortcutKeyDown(stroke);
        wizard->edShortcutKeyUp(stroke);
    }
    QString Shown() const { return wizard->edShortcut->text(); }
    uint16_t Word() const { return EncodeHotKey(wizard->capturedHotKey()); }

    TemporaryFolder root;
    FakePlatform platform{root.path()};
    fs::path macroFiles = root / "Macro_Files";
    test::ScriptedPrompts prompts;
    std::deque<std::optional<QString>>& fileNames = prompts.fileNames;
    QStringList& shown = prompts.shown;
    std::unique_ptr<TfrmShortcut> wizard;
};

struct CaptureCase {
    const char* name;
    HotKeyStroke stroke;
    std::vector<int> held;
    const char* shown;
    uint16_t word;
};

TEST_F(ShortcutWizardTest, EachKeyCapturesItsHotKey) {
    const CaptureCase cases[] = {
        {"letter", {0x41, 'a'}, {}, "Ctrl + Alt + A", 0x0641},
        {"capital letter", {0x5A, 'Z'}, {kShift}, "Ctrl + Alt + Z", 0x065A},
        {"digit", {0x37, '7'}, {}, "Ctrl + Alt + 7", 0x0637},
        {"space", {0x20, ' '}, {}, "Ctrl + Alt +  ", 0x0620},
        {"shifted 1", {0x31, '!'}, {kShift}, "Ctrl + Alt + 1", 0x0631},
        {"shifted 2", {0x32, '@'}, {kShift}, "Ctrl + Alt + 2", 0x0632},
        {"shifted 6", {0x36, '^'}, {kShift}, "Ctrl + Alt + 6", 0x0636},
        {"shifted 0", {0x30, ')'}, {kShift}, "Ctrl + Alt + 0", 0x0630},
        {"keypad 1", {0x61, '1'}, {0x61}, "Num 1", 0x0061},
        {"keypad 5", {0x65, '5'}, {0x65}, "Num 5", 0x0065},
        {"keypad 0", {0x60, '0'}, {0x60}, "Num 0", 0x0060},
        {"question mark", {0xBF, '?'}, {kShift}, "Ctrl + Alt + /", 0x06BF},
        {"F1", {0x70, 0}, {}, "F1", 0x0070},
        {"F12", {0x7B, 0}, {}, "F12", 0x007B},
        {"Alt F2", {0x71, 0}, {kAlt}, "Alt + F2", 0x0471},
        {"Shift F5", {0x74, 0}, {kShift}, "Shift + F5", 0x0174},
        {"Shift Alt F4", {0x73, 0}, {kShift, kAlt}, "Shift + Alt + F4", 0x0573},
        {"Ctrl F6", {0x75, 0}, {kCtrl}, "Ctrl + F6", 0x0275},
        {"Ctrl Alt F7", {0x76, 0}, {kCtrl, kAlt}, "Ctrl + Alt + F7", 0x0676},
        {"Ctrl Shift F3", {0x72, 0}, {kCtrl, kShift}, "Ctrl + Shift + F3", 0x0372},
        {"Ctrl Shift Alt F24", {0x87, 0}, {kCtrl, kShift, kAlt}, "Ctrl + Shift + Alt + F24", 0x0787},
        {"Page Up", {0x21, 0}, {}, "Ctrl + Alt + Page Up", 0x0E21},
        {"Page Down", {0x22, 0}, {}, "Ctrl + Alt + Page Down", 0x0E22},
        {"End", {0x23, 0}, {}, "Ctrl + Alt + End", 0x0E23},
        {"Home whatever is held", {0x24, 0}, {kCtrl, kShift}, "Ctrl + Alt + Home", 0x0E24},
        {"Left", {0x25, 0}, {}, "Ctrl + Alt + Left", 0x0E25},
        {"Up", {0x26, 0}, {}, "Ctrl + Alt + Up", 0x0E26},
        {"Right", {0x27, 0}, {}, "Ctrl + Alt + Right", 0x0E27},
        {"Down", {0x28, 0}, {}, "Ctrl + Alt + Down", 0x0E28},
        {"Insert", {0x2D, 0}, {kAlt}, "Ctrl + Alt + Insert", 0x0E2D},
    };
    for (const CaptureCase& c : cases) {
        wizard->FormShow();
        Press(c.stroke, c.held);
        EXPECT_EQ(Shown(), c.shown) << c.name;
        EXPECT_EQ(Word(), c.word) << c.name;
    }
}

TEST_F(ShortcutWizardTest, BothCharactersOfAPunctuationKeyCaptureTheKey) {
    const struct {
        const char* characters;
        char shown;
        uint8_t key;
    } keys[] = {
        {"`~", '`', 0xC0}, {"-_", '-', 0xBD}, {"=+", '=', 0xBB}, {"[{", '[', 0xDB},
        {"]}", ']', 0xDD}, {"\\|", '\\', 0xDC}, {";:", ';', 0xBA}, {"'\"", '\'', 0xDE},
        {",<", ',', 0xBC}, {".>", '.', 0xBE}, {"/?", '/', 0xBF},
    };
    for (const auto& key : keys) {
        for (const char character : std::string(key.characters)) {
            Press({key.key, character});
            EXPECT_EQ(Shown(), QStringLiteral("Ctrl + Alt + ") + QLatin1Char(key.shown)) << character;
            EXPECT_EQ(Word(), 0x0600 | key.key) << character;
        }
    }
}

TEST_F(ShortcutWizardTest, ModifiersAloneLeaveTheCaptureAndDeleteClearsIt) {
    Press({0x41, 'a'});
    for (const int modifier : {kShift, kCtrl, kAlt})
        Press({modifier, 0}, {modifier});
    Press({0, 0});
    EXPECT_EQ(Shown(), "Ctrl + Alt + A");
    EXPECT_EQ(Word(), 0x0641);

    Press({0x2E, 0}); // Delete
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(wizard->capturedHotKey(), CapturedHotKey{});
    EXPECT_EQ(Word(), 0);

    Press({0x70, 0});
    Press({0x1B, 0}); // Escape
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Word(), 0);
}

// Only a key-down with a digit character tells whether the keypad was used.
TEST_F(ShortcutWizardTest, TheKeypadIndicatorChangesOnlyAtDigitKeyDowns) {
    Press({0x65, '5'}, {0x65});
    Press({0x35, '%'}, {kShift});
    EXPECT_EQ(Shown(), "Num 5");
    EXPECT_EQ(Word(), 0x0065);

    Press({0x35, '5'});
    EXPECT_EQ(Shown(), "Ctrl + Alt + 5");
    EXPECT_EQ(Word(), 0x0635);

    // It carries over to the next opening.
    Press({0x61, '1'}, {0x61});
    wizard->FormShow();
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Word(), 0);
    platform.keysDown.clear();
    wizard->edShortcutKeyUp({0x32, '@'});
    EXPECT_EQ(Shown(), "Num 2");
}

TEST_F(ShortcutWizardTest, KeyEventsBecomeVirtualKeysAndCharacters) {
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        int virtualKey;
        char character;
    } cases[] = {
        {"a", Qt::Key_A, Qt::NoModifier, "a", 0x41, 'a'},
        {"Ctrl+Alt+A", Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, "\x01", 0x41, 'A'},
        {"7", Qt::Key_7, Qt::NoModifier, "7", 0x37, '7'},
        {"Shift+1", Qt::Key_Exclam, Qt::ShiftModifier, "!", 0x31, '!'},
        {"?", Qt::Key_Question, Qt::ShiftModifier, "?", 0xBF, '?'},
        {"keypad 5", Qt::Key_5, Qt::KeypadModifier, "5", 0x65, '5'},
        {"F5", Qt::Key_F5, Qt::NoModifier, "", 0x74, 0},
        {"F24", Qt::Key_F24, Qt::NoModifier, "", 0x87, 0},
        {"Home", Qt::Key_Home, Qt::NoModifier, "", 0x24, 0},
        {"Page Down", Qt::Key_PageDown, Qt::NoModifier, "", 0x22, 0},
        {"Shift", Qt::Key_Shift, Qt::ShiftModifier, "", kShift, 0},
        {"Control", Qt::Key_Control, Qt::ControlModifier, "", kCtrl, 0},
        {"Alt", Qt::Key_Alt, Qt::AltModifier, "", kAlt, 0},
        {"Delete", Qt::Key_Delete, Qt::NoModifier, "\x7f", 0x2E, 0},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyRelease, c.key, c.modifiers, c.text);
        const HotKeyStroke stroke = HotKeyStrokeOf(event);
        EXPECT_EQ(stroke.key, c.virtualKey) << c.name;
        EXPECT_EQ(stroke.character, c.character) << c.name;
    }
}

TEST_F(ShortcutWizardTest, TheCaptureBoxShowsTheCaptureNotTheTypedText) {
    wizard->show();
    QTest::keyClick(wizard->edShortcut, Qt::Key_Q);
    EXPECT_EQ(Shown(), "Ctrl + Alt + Q");
    QTest::keyClick(wizard->edShortcut, Qt::Key_End);
    EXPECT_EQ(Shown(), "Ctrl + Alt + End");
    EXPECT_EQ(Word(), 0x0E23);
    wizard->reject();
}

#ifndef _WIN32
// A quick chord has let go of its modifiers before the key's release is handled: they come from
// the event, not from the keyboard's state now.
TEST_F(ShortcutWizardTest, AQuickChordKeepsItsModifiers) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* shown;
        uint16_t word;
    } chords[] = {
        {Qt::Key_F3, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl + Shift + F3", 0x0372},
        {Qt::Key_F5, Qt::ShiftModifier, "Shift + F5", 0x0174},
        {Qt::Key_F7, Qt::ControlModifier | Qt::AltModifier, "Ctrl + Alt + F7", 0x0676},
    };
    platform.keysDown.clear();
    for (const auto& chord : chords) {
        QKeyEvent press(QEvent::KeyPress, chord.key, chord.modifiers);
        QKeyEvent release(QEvent::KeyRelease, chord.key, chord.modifiers);
        QApplication::sendEvent(wizard->edShortcut, &press);
        QApplication::sendEvent(wizard->edShortcut, &release);
        EXPECT_EQ(Shown(), chord.shown);
        EXPECT_EQ(Word(), chord.word);
    }
}
#endif

// Windows hands the virtual-key code over with the event: a key of another layout is its own key.
TEST_F(ShortcutWizardTest, OnWindowsTheEventsVirtualKeyCodeIsTheKey) {
    const QKeyEvent oDiaeresis(QEvent::KeyRelease, Qt::Key_Odiaeresis, Qt::NoModifier, 0x27, 192, 0, "\xf6");
#ifdef Q_OS_WIN
    EXPECT_EQ(HotKeyStrokeOf(oDiaeresis).key, 192);
#else
    EXPECT_EQ(HotKeyStrokeOf(oDiaeresis).key, 0xFF); // a key the wizard does not take
#endif
}

#ifndef _WIN32
// The desktop platform follows the numeric keypad through the application's key events.
TEST_F(ShortcutWizardTest, AKeypadDigitTypedInTheBoxIsTheKeypadKey) {
    DesktopPlatform desktop;
    TfrmShortcut keypadWizard(desktop, prompts, macroFiles);
    keypadWizard.show();
    QTest::keyClick(keypadWizard.edShortcut, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(keypadWizard.edShortcut->text(), "Num 5");
    EXPECT_EQ(EncodeHotKey(keypadWizard.capturedHotKey()), 0x0065);
    QTest::keyClick(keypadWizard.edShortcut, Qt::Key_5);
    EXPECT_EQ(keypadWizard.edShortcut->text(), "Ctrl + Alt + 5");
    keypadWizard.reject();
}
#endif

TEST_F(ShortcutWizardTest, ShowingStartsEmptyWithTheDefaultComment) {
    EXPECT_EQ(wizard->windowTitle(), "Shortcut Wizard");
    EXPECT_EQ(wizard->size(), QSize(480, 449));
    EXPECT_THAT(wizard->Memo1->toPlainText().toStdString(),
                HasSubstr(" 1. Select the targe CKD (or other) file that the shortcut will activate.\n"
                          " 2. Fill in the Comment (the hint that you see when you hover the mouse over it).\n"
                          " 3. Set up a hot key to launch the shortcut (press and release a letter key).\n"
                          " 4. Click on Create."));
    wizard->edCkdFile->setText("/x/y.ckd");
    wizard->edHint->setText("mine");
    Press({0x41, 'a'});
    wizard->FormShow();
    EXPECT_EQ(wizard->edCkdFile->text(), "");
    EXPECT_EQ(wizard->edHint->text(), "My shortcut comment (hint)");
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Word(), 0);
}

TEST_F(ShortcutWizardTest, ChoosingATargetStartsInTheMacroFilesFolder) {
    fileNames = {QString("/keys/Office.ckd"), std::nullopt};
    wizard->btnChooseShortcutCKDClick();
    EXPECT_EQ(wizard->edCkdFile->text(), "/keys/Office.ckd");
    wizard->btnChooseShortcutCKDClick();
    EXPECT_EQ(wizard->edCkdFile->text(), "/keys/Office.ckd");
    EXPECT_EQ(shown, QStringList({"open: ", "open: "}));
    EXPECT_EQ(prompts.lastRequest.filter, "CKD Files (*.CKD)|*.CKD|All Files (*.*)|*.*");
    EXPECT_EQ(prompts.lastRequest.selectedFilter, 1);
    EXPECT_EQ(prompts.lastRequest.folder, ToQString(macroFiles));
}

TEST_F(ShortcutWizardTest, AKeyDefinitionShortcutRunsTheUtilityWithThePath) {
    for (const char* name : {"Office.ckd", "Office.CKD", "Office.Ckd"}) {
        SCOPED_TRACE(name);
        wizard->FormShow();
        shown.clear();
        const fs::path target = root / "Keys" / name;
        wizard->edCkdFile->setText(ToQString(target));
        wizard->edHint->setText("Office layout");
        Press({0x41, 'a'});
        wizard->btnCreateClick();

        EXPECT_EQ(shown, QStringList{"information: Success!"});
        EXPECT_EQ(wizard->result(), QDialog::Accepted);
        ASSERT_FALSE(platform.shortcuts.empty());
        const ShellLink& link = platform.shortcuts.back();
        EXPECT_EQ(link.target, platform.helperProgram(kDownloadUtility));
        EXPECT_EQ(link.arguments, std::vector<std::string>{target.string()});
        EXPECT_EQ(link.description, "Office layout");
        EXPECT_EQ(link.hotKey, 0x0641);
#ifdef _WIN32
        EXPECT_TRUE(fs::exists(platform.desktop / "Office.lnk"));
        fs::remove(platform.desktop / "Office.lnk");
#else
        const fs::path file = platform.desktop / "Office.desktop";
        ASSERT_TRUE(fs::exists(file));
        const auto fields = EntryFields(file);
        EXPECT_EQ(fields.at("Exec"), (platform.program / "VKxxLoad").string() + " " + target.string());
        EXPECT_EQ(fields.at("Path"), platform.program.string() + "/");
        EXPECT_EQ(fields.at("Comment"), "Office layout");
        EXPECT_EQ(fields.at("X-KDE-Shortcuts"), "Ctrl+Alt+A");
        fs::remove(file);
#endif
    }
}

TEST_F(ShortcutWizardTest, AnyOtherTargetOpensItselfInItsFolder) {
    const fs::path folder = root / "Reports";
    fs::create_directories(folder);
    test::WriteFile(folder / "report.xls", "sheet");
    wizard->edCkdFile->setText(ToQString(folder / "report.xls"));
    wizard->btnCreateClick();

    EXPECT_EQ(shown, QStringList{"information: Success!"});
    ASSERT_EQ(platform.shortcuts.size(), 1u);
    EXPECT_EQ(platform.shortcuts[0].target, folder / "report.xls");
    EXPECT_TRUE(platform.shortcuts[0].arguments.empty());
    EXPECT_EQ(platform.shortcuts[0].hotKey, 0); // no hot key captured
#ifdef _WIN32
    EXPECT_TRUE(fs::exists(platform.desktop / "report.lnk"));
#else
    const auto fields = EntryFields(platform.desktop / "report.desktop");
    EXPECT_EQ(fields.at("Exec"), "xdg-open " + (folder / "report.xls").string());
    EXPECT_EQ(fields.at("Path"), folder.string() + "/");
    EXPECT_EQ(fields.at("Comment"), "My shortcut comment (hint)");
    EXPECT_EQ(fields.count("X-KDE-Shortcuts"), 0u);
#endif
}

TEST_F(ShortcutWizardTest, EachFailureIsToldApartAndTheWizardStaysAsItWas) {
    const std::pair<ShortcutResult, const char*> failures[] = {
        {ShortcutResult::CannotCreateLink, "error: Could not make shortcut!!!"},
        {ShortcutResult::NoPersistFile, "error: Could not make shortcut!!"},
        {ShortcutResult::SaveFailed, "error: Could not make shortcut!"},
    };
    wizard->open();
    wizard->edCkdFile->setText("/keys/Office.ckd");
    Press({0x70, 0}, {kCtrl});
    for (const auto& [result, message] : failures) {
        platform.shortcutResult = result;
        shown.clear();
        wizard->btnCreateClick();
        EXPECT_EQ(shown, QStringList{message});
        EXPECT_TRUE(wizard->isVisible());
        EXPECT_EQ(wizard->edCkdFile->text(), "/keys/Office.ckd");
        EXPECT_EQ(Shown(), "Ctrl + F1");
    }
    EXPECT_FALSE(fs::exists(platform.desktop / "Office.desktop"));
    EXPECT_FALSE(fs::exists(platform.desktop / "Office.lnk"));
    wizard->reject();
}

} // namespace
} // namespace keyloom
