#include "EditorFixture.h"

#include "keys/KeyAdapter.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace keyloom {
namespace {

using test::Bytes;


// The adapter, without a window: what each kind of Qt key event becomes.
struct AdapterCase {
    const char* name;
    QEvent::Type type;
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool autoRepeat;
    std::optional<TypedKey> expected;
};

void PrintTo(const AdapterCase& c, std::ostream* out) { *out << c.name; }

class KeyAdapterPairs : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(KeyAdapterPairs, EventBecomesTheWindowsPair) {
    const AdapterCase& c = GetParam();
    const QKeyEvent event(c.type, c.key, c.modifiers, c.text, c.autoRepeat);
    const std::optional<TypedKey> pair = TypedKeyOf(event);
    ASSERT_EQ(pair.has_value(), c.expected.has_value());
    if (pair) {
        EXPECT_EQ(pair->keyCode, c.expected->keyCode);
        EXPECT_EQ(pair->character, c.expected->character);
    }
}

constexpr QEvent::Type kPress = QEvent::KeyPress;
constexpr QEvent::Type kRelease = QEvent::KeyRelease;
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kKeypad = Qt::KeypadModifier;

INSTANTIATE_TEST_SUITE_P(
    Events, KeyAdapterPairs,
    ::testing::Values(
        AdapterCase{"Letter", kPress, Qt::Key_A, kNone, "a", false, TypedKey{0, 'a'}},
        AdapterCase{"ShiftedLetter", kPress, Qt::Key_A, Qt::ShiftModifier, "A", false, TypedKey{0, 'A'}},
        AdapterCase{"RepeatedLetter", kPress, Qt::Key_A, kNone, "a", true, TypedKey{0, 'a'}},
        AdapterCase{"LetterRelease", kRelease, Qt::Key_A, kNone, "a", false, TypedKey{0, 0}},
        AdapterCase{"LetterReleaseWithCtrl", kRelease, Qt::Key_A, kCtrl, "\x01", false, TypedKey{'A', 0}},
        AdapterCase{"CtrlLetterAsControlCharacter", kPress, Qt::Key_C, kCtrl, "\x03", false, TypedKey{'C', 0}},
        AdapterCase{"CtrlLetterAsText", kPress, Qt::Key_C, kCtrl, "c", false, TypedKey{'C', 0}},
        AdapterCase{"AltLetter", kPress, Qt::Key_F, Qt::AltModifier, "f", false, TypedKey{'F', 0}},
        AdapterCase{"AltGrTypesText", kPress, Qt::Key_At, kCtrl | Qt::AltModifier, "@", false, TypedKey{0, '@'}},
        AdapterCase{"CtrlShiftedSymbolIsItsKey", kPress, Qt::Key_Exclam, kCtrl | Qt::ShiftModifier, "", false,
                    TypedKey{'1', 0}},
        AdapterCase{"CtrlPunctuation", kPress, Qt::Key_Semicolon, kCtrl, "", false, TypedKey{186, 0}},
        AdapterCase{"KeypadDigit", kPress, Qt::Key_1, kKeypad, "1", false, TypedKey{0, '1'}},
        AdapterCase{"CtrlKeypadDigit", kPress, Qt::Key_1, kKeypad | kCtrl, "", false, TypedKey{97, 0}},
        AdapterCase{"KeypadEnter", kPress, Qt::Key_Enter, kKeypad, "\r", false, TypedKey{13, 0}},
        AdapterCase{"Space", kPress, Qt::Key_Space, kNone, " ", false, TypedKey{0, ' '}},
        AdapterCase{"DeleteIsAKeyNotText", kPress, Qt::Key_Delete, kNone, "\x7f", false, TypedKey{46, 0}},
        AdapterCase{"Backspace", kPress, Qt::Key_Backspace, kNone, "\b", false, TypedKey{8, 0}},
        AdapterCase{"Shift", kPress, Qt::Key_Shift, kNone, "", false, TypedKey{16, 0}},
        AdapterCase{"ShiftRelease", kRelease, Qt::Key_Shift, kNone, "", false, TypedKey{16, 0}},
        AdapterCase{"BackTab", kRelease, Qt::Key_Backtab, Qt::ShiftModifier, "", false, TypedKey{9, 0}},
        AdapterCase{"RightWindows", kPress, Qt::Key_Super_R, kNone, "", false, TypedKey{92, 0}},
        AdapterCase{"F13", kPress, Qt::Key_F13, kNone, "", false, TypedKey{124, 0}},
        AdapterCase{"AutoRepeatRelease", kRelease, Qt::Key_A, kNone, "a", true, std::nullopt},
        AdapterCase{"PrintScreenPress", kPress, Qt::Key_Print, kNone, "", false, std::nullopt},
        AdapterCase{"PrintScreenRelease", kRelease, Qt::Key_Print, kNone, "", false, TypedKey{44, 0}},
        AdapterCase{"MenuPress", kPress, Qt::Key_Menu, kNone, "", false, std::nullopt},
        AdapterCase{"MenuRelease", kRelease, Qt::Key_Menu, kNone, "", false, TypedKey{93, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// Windows hands the virtual-key code over with each key event, and it wins over Qt's key: Qt names
// both Windows keys Meta, and a key of another layout by its character. Events that carry no
// native code (made by a program) and other systems' native codes (X11 key symbols) map Qt's key.
TEST(KeyAdapterNative, WindowsTakesTheVirtualKeyCodeOfTheEvent) {
    const QKeyEvent rightWindows(kRelease, Qt::Key_Meta, kNone, 0x15C, 92, 0);
    const QKeyEvent ctrlODiaeresis(kPress, Qt::Key_Odiaeresis, kCtrl, 0x27, 192, 0, "\xf6");
    const QKeyEvent madeByAProgram(kRelease, Qt::Key_Meta, kNone, 0, 0, 0);
#ifdef Q_OS_WIN
    EXPECT_EQ(TypedKeyOf(rightWindows), (TypedKey{92, 0}));
    EXPECT_EQ(TypedKeyOf(ctrlODiaeresis), (TypedKey{192, 0}));
#else
    EXPECT_EQ(TypedKeyOf(rightWindows), (TypedKey{91, 0}));
    EXPECT_EQ(TypedKeyOf(ctrlODiaeresis), (TypedKey{0, 0}));
#endif
    EXPECT_EQ(TypedKeyOf(madeByAProgram), (TypedKey{91, 0}));
}

class Typing : public test::EditorFixture {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    MacroGrid* Grid(int level) {
        return window->findChild<MacroGrid*>(QStringLiteral("StringGrid%1").arg(level + 1));
    }
    bool ShowsDown(const char* modifier) {
        auto* picture = window->findChild<QWidget*>(QStringLiteral("img%1Down").arg(QLatin1String(modifier)));
        EXPECT_NE(picture, nullptr) << modifier;
        return picture != nullptr && picture->isVisible();
    }
};

// Keys typed on a grid, through the real widget: what the macro gets.
struct TypedCase {
    const char* name;
    int level;
    Bytes before;
    std::function<void(QWidget*)> type;
    Bytes after;
};

void PrintTo(const TypedCase& c, std::ostream* out) { *out << c.name; }

class TypingRecords : public Typing, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypingRecords, KeysTypedOnTheGridRecordTheirCodes) {
    const TypedCase& c = GetParam();
    const Level level = c.level == 0 ? Level::One : Level::Two;
    SetCodes(10, level, c.before);
    ShowKey(10, c.level);

    c.type(Grid(c.level));

    EXPECT_EQ(CodesOf(10, level), c.after);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
}

void TypeKeypadDigits(QWidget* grid) {
    for (int digit : {1, 2, 3, 4, 5, 6, 7, 8, 9, 0})
        QTest::keyClick(grid, static_cast<Qt::Key>(Qt::Key_0 + digit), Qt::KeypadModifier);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TypingRecords,
    ::testing::Values(
        TypedCase{"LetterPressAndRelease", 0, {}, [](QWidget* g) { QTest::keyClick(g, 'a'); }, {0x1C}},
        TypedCase{"HeldLetterRecordsEachRepeat", 0, {},
                  [](QWidget* g) {
                      for (int press = 0; press < 3; ++press)
                          QTest::keyPress(g, 'a');
                      QTest::keyRelease(g, 'a');
                  },
                  {0x1C, 0x1C, 0x1C}},
        // The held Shift repeats its press before A goes down; the macro gets one press.
        TypedCase{"ShiftHeldOverA", 0, {},
                  [](QWidget* g) {
                      QTest::keyPress(g, Qt::Key_Shift);
                      QTest::keyPress(g, Qt::Key_Shift);
                      QTest::keyPress(g, 'A', Qt::ShiftModifier); // Shift again, then A
                      QTest::keyRelease(g, 'A', Qt::ShiftModifier); // A, then Shift
                  },
                  {0x12, 0x1C, 0xF0, 0x12}},
        TypedCase{"ShiftedDigitIsItsKey", 0, {}, [](QWidget* g) { QTest::keyClick(g, '!', Qt::ShiftModifier); },
                  {0x12, 0x16, 0xF0, 0x12}},
        // With Ctrl down, C arrives as a key code rather than as text.
        TypedCase{"CtrlC", 0, {}, [](QWidget* g) { QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier); },
                  {0x14, 0x21, 0xF0, 0x14}},
        TypedCase{"KeypadDigitsGiveTheMainRow", 0, {}, TypeKeypadDigits,
                  {0x16, 0x1E, 0x26, 0x25, 0x2E, 0x36, 0x3D, 0x3E, 0x46, 0x45}},
        TypedCase{"DeleteRecordsRatherThanDeletes", 0, {0x1C, 0x32},
                  [](QWidget* g) { QTest::keyClick(g, Qt::Key_Delete); }, {0x1C, 0x32, 0xE0, 0x71}},
        TypedCase{"AltRecordsNothing", 0, {0x1C}, [](QWidget* g) { QTest::keyClick(g, Qt::Key_Alt); }, {0x1C}},
        TypedCase{"WindowsKeyPressAndRelease", 0, {},
                  [](QWidget* g) {
                      QTest::keyPress(g, Qt::Key_Super_L);
                      QTest::keyPress(g, Qt::Key_Super_L);
                      QTest::keyRelease(g, Qt::Key_Super_L);
                  },
                  {0xE0, 0x1F, 0xE0, 0xF0, 0x1F}},
#ifndef Q_OS_WIN
        // X11 and Wayland name both Windows keys Meta; the key symbol (XK_Super_R) says which.
        TypedCase{"RightWindowsKeyByItsKeySymbol", 0, {},
                  [](QWidget* g) {
                      QKeyEvent press(QEvent::KeyPress, Qt::Key_Meta, Qt::MetaModifier, 134, 0xffec, 0);
                      QKeyEvent release(QEvent::KeyRelease, Qt::Key_Meta, Qt::NoModifier, 134, 0xffec, 0);
                      QApplication::sendEvent(g, &press);
                      QApplication::sendEvent(g, &release);
                  },
                  {0xE0, 0x27, 0xE0, 0xF0, 0x27}},
        TypedCase{"LeftWindowsKeyByItsKeySymbol", 0, {},
                  [](QWidget* g) {
                      QKeyEvent press(QEvent::KeyPress, Qt::Key_Meta, Qt::MetaModifier, 133, 0xffeb, 0);
                      QKeyEvent release(QEvent::KeyRelease, Qt::Key_Meta, Qt::NoModifier, 133, 0xffeb, 0);
                      QApplication::sendEvent(g, &press);
                      QApplication::sendEvent(g, &release);
                  },
                  {0xE0, 0x1F, 0xE0, 0xF0, 0x1F}},
#endif
        TypedCase{"PrintScreenOncePerStroke", 0, {}, [](QWidget* g) { QTest::keyClick(g, Qt::Key_Print); }, {0x86}},
        TypedCase{"MenuOncePerStroke", 0, {}, [](QWidget* g) { QTest::keyClick(g, Qt::Key_Menu); }, {0xE0, 0x2F}},
        TypedCase{"EnterAndEscape", 0, {},
                  [](QWidget* g) {
                      QTest::keyClick(g, Qt::Key_Return);
                      QTest::keyClick(g, Qt::Key_Escape);
                  },
                  {0x5A, 0x76}},
        TypedCase{"Level2", 1, {0x1C}, [](QWidget* g) { QTest::keyClick(g, 'b'); }, {0x1C, 0x32}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BackspaceCase {
    const char* name;
    Bytes macro;
    int selected;
    Bytes after;
    int selectedAfter;
    QStringList shown;
};

void PrintTo(const BackspaceCase& c, std::ostream* out) { *out << c.name; }

class TypingBackspace : public Typing, public ::testing::WithParamInterface<BackspaceCase> {};

TEST_P(TypingBackspace, ErasesTheCodeInFrontOfTheSelection) {
    const BackspaceCase& c = GetParam();
    SetCodes(11, Level::One, c.macro);
    ShowKey(11, 0);
    Grid(0)->selectIndex(c.selected);

    QTest::keyClick(Grid(0), Qt::Key_Backspace);

    EXPECT_EQ(CodesOf(11, Level::One), c.after);
    EXPECT_EQ(Grid(0)->selectedIndex(), c.selectedAfter);
    EXPECT_EQ(prompts.shown, c.shown);
}

const Bytes kFiveCodes = {0x1C, 0x32, 0x21, 0x23, 0x24}; // a b c d e

INSTANTIATE_TEST_SUITE_P(
    Selection, TypingBackspace,
    ::testing::Values(BackspaceCase{"InsideTheMacro", kFiveCodes, 3, {0x1C, 0x32, 0x23, 0x24}, 2, {}},
                      BackspaceCase{"AtTheEnd", kFiveCodes, 5, {0x1C, 0x32, 0x21, 0x23}, 4, {}},
                      BackspaceCase{"OnCellZero", kFiveCodes, 0, kFiveCodes, 0, {}},
                      BackspaceCase{"FromColumnZeroToTheRowAbove", Bytes(9, 0x1C), 8, Bytes(8, 0x1C), 7, {}},
                      BackspaceCase{"PastTheEnd", {0x1C, 0x32, 0x21}, 8, {0x1C, 0x32, 0x21}, 7,
                                    {"warning: Nothing to erase!"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Typing, TabReleasedInTheDescriptionRecordsTabIntoTheMacro) {
    SetCodes(1, Level::One, {0x1C});
    ShowKey(1, 0);
    auto* description = window->findChild<QLineEdit*>(QStringLiteral("edDescription1"));
    description->setFocus(); // where a Tab pressed on the mode box moves the focus

    QTest::keyRelease(description, Qt::Key_Tab);

    EXPECT_EQ(CodesOf(1, Level::One), (Bytes{0x1C, 0x0D}));
    EXPECT_EQ(QApplication::focusWidget(), Grid(0));
}

TEST_F(Typing, TabPressedOnTheGridRecordsOneTabWhereItIsReleased) {
    ShowKey(1, 0);
    QTest::keyPress(Grid(0), Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, Grid(0)) << "the press moves the focus on";

    QTest::keyRelease(focus, Qt::Key_Tab);

    EXPECT_EQ(CodesOf(1, Level::One), Bytes{0x0D});
    EXPECT_EQ(QApplication::focusWidget(), Grid(0));
}

TEST_F(Typing, ArrowMovesTheSelectionAndItsReleaseShowsTheModifiersThere) {
    // L Shift Dn, a, L Shift Up; the selection after the end shows Shift up.
    SetCodes(2, Level::One, {0x12, 0x1C, 0xF0, 0x12});
    ShowKey(2, 0);
    QTest::keyClick(Grid(0), Qt::Key_Left);
    QTest::keyPress(Grid(0), Qt::Key_Left);
    EXPECT_EQ(Grid(0)->selectedIndex(), 1);
    EXPECT_FALSE(ShowsDown("LShift")) << "the pictures change on release";

    QTest::keyRelease(Grid(0), Qt::Key_Left);

    EXPECT_TRUE(ShowsDown("LShift"));
    EXPECT_EQ(CodesOf(2, Level::One), (Bytes{0x12, 0x1C, 0xF0, 0x12}));
}

TEST_F(Typing, OtherKeysDoNotMoveTheSelection) {
    // The view's own keyboard search would jump to the cell that starts with the typed letter.
    SetCodes(2, Level::One, {0x1C, 0x32, 0x21});
    ShowKey(2, 0);
    Grid(0)->selectIndex(0);
    QTest::keyClick(Grid(0), 'c');
    EXPECT_EQ(Grid(0)->selectedIndex(), 1);
    EXPECT_EQ(CodesOf(2, Level::One), (Bytes{0x21, 0x1C, 0x32, 0x21}));
}

// The handlers on their own, given pairs as the adapter delivers them.
struct PairCase {
    const char* name;
    std::vector<std::array<int, 3>> events; // {1 = press / 0 = release, key code, character}
    Bytes after;
};

void PrintTo(const PairCase& c, std::ostream* out) { *out << c.name; }

class TypingPairs : public Typing, public ::testing::WithParamInterface<PairCase> {};

TEST_P(TypingPairs, HandlersRecordFromPairs) {
    const PairCase& c = GetParam();
    ShowKey(12, 0);
    for (const auto& [press, keyCode, character] : c.events) {
        if (press)
            window->StringGridKeyDown(keyCode, character);
        else
            window->StringGridKeyUp(keyCode);
    }
    EXPECT_EQ(CodesOf(12, Level::One), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, TypingPairs,
    ::testing::Values(PairCase{"CodesFrom160AreIgnored", {{1, 161, 0}, {0, 161, 0}, {1, 165, 0}}, {}},
                      PairCase{"AltPressAndRelease", {{1, 18, 0}, {0, 18, 0}}, {}},
                      PairCase{"CharacterTakenModulo128", {{1, 0, 'a' + 128}}, {0x1C}},
                      PairCase{"ControlCharacterHasNoKey", {{1, 0, 3}}, {}},
                      PairCase{"ReleaseOfAnOrdinaryKey", {{0, 'A', 0}, {0, 0, 0}}, {}},
                      PairCase{"CtrlHeldRepeatsOnce", {{1, 17, 0}, {1, 17, 0}, {1, 17, 0}, {0, 17, 0}},
                               {0x14, 0xF0, 0x14}},
                      PairCase{"NavigationPressRecordsNothing", {{1, 36, 0}, {1, 40, 0}}, {}},
                      PairCase{"MenuPressAndReleaseEachRecord", {{1, 93, 0}, {0, 93, 0}}, {0xE0, 0x2F, 0xE0, 0x2F}},
                      PairCase{"KeypadCodeWithCtrl", {{1, 97, 0}}, {0x1C}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace keyloom
