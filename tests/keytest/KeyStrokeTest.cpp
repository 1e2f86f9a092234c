#include "keytest/KeyStroke.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace keyloom {
namespace {

using Names = std::vector<std::string>;

constexpr QEvent::Type kPress = QEvent::KeyPress;
constexpr QEvent::Type kRelease = QEvent::KeyRelease;
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kKeypad = Qt::KeypadModifier;

// One key event and what the key test lists for it: the codes in hex ("" when nothing is
// recorded) and the cell names, given the modifiers held before it.
struct StrokeCase {
    const char* name;
    QEvent::Type type;
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    ModifierState held;
    std::string codes;
    Names names;
};

void PrintTo(const StrokeCase& c, std::ostream* out) { *out << c.name; }

class KeyStrokes : public ::testing::TestWithParam<StrokeCase> {};

TEST_P(KeyStrokes, EventGivesTheRecordedCodesAndTheirNames) {
    const StrokeCase& c = GetParam();
    const QKeyEvent event(c.type, c.key, c.modifiers, c.text);
    const std::optional<KeyStroke> stroke = KeyStrokeOf(event, c.held);
    ASSERT_TRUE(stroke.has_value());
    EXPECT_EQ(stroke->press, c.type == kPress);
    EXPECT_EQ(HexText(stroke->codes), c.codes);
    EXPECT_EQ(stroke->recorded(), !c.codes.empty());
    EXPECT_EQ(stroke->names, c.names);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyStrokes,
    ::testing::Values(
        StrokeCase{"Letter", kPress, Qt::Key_A, kNone, "a", 0, "1c", {"a"}},
        StrokeCase{"LetterReleaseIsNotRecorded", kRelease, Qt::Key_A, kNone, "a", 0, "", {}},
        StrokeCase{"ShiftedLetter", kPress, Qt::Key_A, kShift, "A", kLeftShift, "1c", {"A"}},
        StrokeCase{"LetterUnderCapsLock", kPress, Qt::Key_A, kNone, "A", kCapsLock, "1c", {"A"}},
        StrokeCase{"ShiftedSymbol", kPress, Qt::Key_Exclam, kShift, "!", kLeftShift, "16", {"!"}},
        StrokeCase{"ShiftedSymbolRelease", kRelease, Qt::Key_Exclam, kShift, "!", kLeftShift, "", {}},
        StrokeCase{"SymbolWithoutShiftHeld", kPress, Qt::Key_BracketLeft, kNone, "[", 0, "54", {"["}},
        StrokeCase{"CtrlLetterByKeyCode", kPress, Qt::Key_C, Qt::ControlModifier, "\x03", kLeftCtrl, "21", {"c"}},
        StrokeCase{"CtrlLetterRelease", kRelease, Qt::Key_C, Qt::ControlModifier, "\x03", kLeftCtrl, "", {}},
        StrokeCase{"LeftShift", kPress, Qt::Key_Shift, kNone, "", 0, "12", {"L Shift Dn"}},
        StrokeCase{"LeftShiftRelease", kRelease, Qt::Key_Shift, kShift, "", kLeftShift, "f0 12", {"L Shift Up"}},
        StrokeCase{"Ctrl", kPress, Qt::Key_Control, kNone, "", 0, "14", {"L Ctrl Dn"}},
        StrokeCase{"CtrlRelease", kRelease, Qt::Key_Control, Qt::ControlModifier, "", kLeftCtrl, "f0 14",
                   {"L Ctrl Up"}},
        StrokeCase{"AltIsTheMenuKey", kPress, Qt::Key_Alt, kNone, "", 0, "", {}},
        StrokeCase{"AltGrToo", kPress, Qt::Key_AltGr, kNone, "", 0, "", {}},
        StrokeCase{"AltRelease", kRelease, Qt::Key_Alt, Qt::AltModifier, "", 0, "", {}},
        StrokeCase{"LeftWindows", kPress, Qt::Key_Super_L, kNone, "", 0, "e0 1f", {"L Win Dn"}},
        StrokeCase{"RightWindows", kPress, Qt::Key_Super_R, kNone, "", 0, "e0 27", {"R Win Dn"}},
        StrokeCase{"RightWindowsRelease", kRelease, Qt::Key_Super_R, kNone, "", kRightWin, "e0 f0 27",
                   {"R Win Up"}},
        StrokeCase{"ExtendedKey", kPress, Qt::Key_Insert, kNone, "", 0, "e0 70", {"Insert"}},
        StrokeCase{"ExtendedKeyRelease", kRelease, Qt::Key_Insert, kNone, "", 0, "", {}},
        StrokeCase{"Delete", kPress, Qt::Key_Delete, kNone, "\x7f", 0, "e0 71", {"Delete"}},
        StrokeCase{"KeypadDigitGivesTheMainRowKey", kPress, Qt::Key_1, kKeypad, "1", 0, "16", {"1"}},
        StrokeCase{"KeypadDigitRelease", kRelease, Qt::Key_1, kKeypad, "1", 0, "", {}},
        StrokeCase{"KeypadEnter", kPress, Qt::Key_Enter, kKeypad, "\r", 0, "5a", {"Enter"}},
        StrokeCase{"FunctionKey", kPress, Qt::Key_F13, kNone, "", 0, "08", {"F13"}},
        StrokeCase{"Pause", kPress, Qt::Key_Pause, kNone, "", 0, "85", {"Pause"}},
        StrokeCase{"PauseHasNoBreakCode", kRelease, Qt::Key_Pause, kNone, "", 0, "", {}},
        StrokeCase{"PrintScreenPressIsNotRecorded", kPress, Qt::Key_Print, kNone, "", 0, "", {}},
        StrokeCase{"PrintScreenIsRecordedOnRelease", kRelease, Qt::Key_Print, kNone, "", 0, "86", {"PrtScrn"}},
        StrokeCase{"MenuIsRecordedOnRelease", kRelease, Qt::Key_Menu, kNone, "", 0, "e0 2f", {"Menu"}},
        // A letter that is no chord of the editor is recorded with Alt held, AltGr's Ctrl+Alt too.
        StrokeCase{"AltLetterThatIsNoChord", kPress, Qt::Key_Q, Qt::AltModifier, "q", 0, "15", {"q"}},
        StrokeCase{"CtrlAltChordLetter", kPress, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, "", kLeftCtrl,
                   "1c", {"a"}},
        StrokeCase{"UnmappedKey", kPress, Qt::Key_VolumeUp, kNone, "", 0, "", {}},
        StrokeCase{"CtrlPunctuationIsUnmapped", kPress, Qt::Key_Semicolon, Qt::ControlModifier, "", kLeftCtrl, "",
                   {}}),
    [](const ::testing::TestParamInfo<StrokeCase>& info) { return std::string(info.param.name); });

// Where the editor records nothing, the list says what it does instead, as the grid does it.
TEST(KeyStrokes, AKeyTheEditorRecordsNothingForSaysWhatItDoes) {
    constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
    const struct {
        QEvent::Type type;
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
        ModifierState held;
        const char* action;
    } cases[] = {
        {kPress, Qt::Key_Up, kNone, "", 0, "moves the selection"},
        {kRelease, Qt::Key_PageDown, kNone, "", 0, "moves the selection"},
        {kPress, Qt::Key_Backspace, kNone, "\b", 0, "erases the cell before the selection"},
        {kPress, Qt::Key_Tab, kNone, "\t", 0, "not recorded"},
        {kRelease, Qt::Key_A, kNone, "a", 0, "not recorded"},
        {kPress, Qt::Key_Alt, kNone, "", 0, "not recorded"},
        {kPress, Qt::Key_Shift, kNone, "", kLeftShift, "not recorded"}, // held: one press per stroke
        {kPress, Qt::Key_Print, kNone, "", 0, "recorded on release"},
        {kPress, Qt::Key_Menu, kNone, "", 0, "recorded on release"},
        // The editor's chords run their commands instead of recording the key.
        {kPress, Qt::Key_A, kAlt, "a", 0, "runs Save As"},
        {kPress, Qt::Key_Backspace, kAlt, "\b", 0, "runs Undo"},
        {kPress, Qt::Key_2, kAlt, "2", 0, "shows Level 2"},
        {kPress, Qt::Key_Left, kAlt | kKeypad, "", 0, "selects the key to the left"},
        {kRelease, Qt::Key_A, kAlt, "a", 0, "not recorded"},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(c.type, c.key, c.modifiers, c.text);
        const std::optional<KeyStroke> stroke = KeyStrokeOf(event, c.held);
        ASSERT_TRUE(stroke.has_value());
        EXPECT_FALSE(stroke->recorded()) << c.action;
        EXPECT_EQ(stroke->action, c.action) << QKeySequence(c.key).toString().toStdString();
    }
    // The navigation keys of the keypad with Num Lock off move it too.
    const QKeyEvent keypadHome(kPress, Qt::Key_Home, kKeypad, "");
    EXPECT_EQ(KeyStrokeOf(keypadHome, 0)->action, "moves the selection");
    // Tab is recorded where it is released, as the window records it.
    const QKeyEvent tabRelease(kRelease, Qt::Key_Tab, kNone, "\t");
    EXPECT_EQ(HexText(KeyStrokeOf(tabRelease, 0)->codes), "0d");
}

TEST(KeyStrokes, AutoRepeatRepeatsThePressButListsNoRelease) {
    const QKeyEvent press(kPress, Qt::Key_A, kNone, "a", true);
    const QKeyEvent release(kRelease, Qt::Key_A, kNone, "a", true);
    const std::optional<KeyStroke> repeated = KeyStrokeOf(press, 0);
    ASSERT_TRUE(repeated.has_value());
    EXPECT_EQ(HexText(repeated->codes), "1c");
    EXPECT_FALSE(KeyStrokeOf(release, 0).has_value());
}

// The state each stroke leaves is the next one's: Shift and Caps Lock change the names that
// follow, as they do in the macro grid, and a Caps Lock stroke toggles Caps Lock once.
TEST(KeyStrokes, ModifierStateCarriesFromStrokeToStroke) {
    const QKeyEvent events[] = {
        {kPress, Qt::Key_Shift, kNone, ""},          {kPress, Qt::Key_1, kShift, "!"},
        {kRelease, Qt::Key_1, kShift, "!"},          {kRelease, Qt::Key_Shift, kShift, ""},
        {kPress, Qt::Key_1, kNone, "1"},             {kPress, Qt::Key_CapsLock, kNone, ""},
        {kRelease, Qt::Key_CapsLock, kNone, ""},     {kPress, Qt::Key_A, kNone, "A"},
        {kPress, Qt::Key_CapsLock, kNone, ""},       {kPress, Qt::Key_A, kNone, "a"},
    };
    const Names expected[] = {
        {"L Shift Dn"}, {"!"}, {}, {"L Shift Up"}, {"1"}, {"Caps Lock"}, {},
        {"A"},          {"Caps Lock"}, {"a"},
    };
    ModifierState held = 0;
    for (std::size_t i = 0; i < std::size(events); ++i) {
        const std::optional<KeyStroke> stroke = KeyStrokeOf(events[i], held);
        ASSERT_TRUE(stroke.has_value()) << "event " << i;
        EXPECT_EQ(stroke->names, expected[i]) << "event " << i;
        held = stroke->modifiersAfter;
    }
    EXPECT_EQ(held, ModifierState{0});
}

} // namespace
} // namespace keyloom
