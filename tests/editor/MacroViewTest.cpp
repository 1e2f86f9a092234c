#include "EditorFixture.h"
#include "support/EventTrace.h"

#include "document/CellList.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "editor/OnScreenKeyboard.h"

#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace keyloom {
namespace {

using test::Bytes;


const QString kNoRoom = QStringLiteral(
    "Not enough room for this key. You can make room by deleting one or more keys.\r\r"
    "If both levels are used then each level can be up to 111 bytes long.\r"
    "If only Level 1 is used then Level 1 can be up to 220 bytes long.");

// Delay 200 ms, a, L Shift Dn, A, L Shift Up: five cells over eight bytes.
const Bytes kMixedMacro = {0xE2, 0x01, 0x32, 0x1C, 0x12, 0x1C, 0xF0, 0x12};

class MacroView : public test::EditorFixture {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename Widget = QWidget>
    Widget* Find(const char* name) {
        auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    MacroGrid* Grid(int level) { return Find<MacroGrid>(level == 0 ? "StringGrid1" : "StringGrid2"); }
    QString LengthText(int level) {
        return Find<QLabel>(level == 0 ? "lblLengthOfMacro1" : "lblLengthOfMacro2")->text();
    }
    QProgressBar* Bar(int level) { return Find<QProgressBar>(level == 0 ? "ProgressBar1" : "ProgressBar2"); }


};

TEST_F(MacroView, EmptyKeyShowsItsRoomOnBothLevelsWithTheSelectionOnCellZero) {
    ShowKey(3, 0);
    EXPECT_EQ(LengthText(0), "Length of key data = 0 of 220");
    EXPECT_EQ(Grid(0)->selectedIndex(), 0);
    ShowKey(3, 1);
    EXPECT_EQ(LengthText(1), "Length of key data = 0 of 111");
    EXPECT_EQ(Grid(1)->selectedIndex(), 0);
    for (int cell = 0; cell < MacroGrid::kColumns * MacroGrid::kRows; ++cell)
        ASSERT_TRUE(Grid(0)->cellText(cell).isEmpty() && Grid(1)->cellText(cell).isEmpty()) << cell;
}

TEST_F(MacroView, HeadersNameTheKeyIndexPlusOneAndTheLevel) {
    ShowKey(4, 1);
    EXPECT_EQ(Find<QLabel>("lblMacroHeaderLvl1")->text(), "Key Codes for Key 5, Level 2");
    EXPECT_EQ(Find<QLabel>("lblMacroHeaderLvl2")->text(), "Key Codes for Key 5, Level 2");
}

TEST_F(MacroView, GridShowsNamesOrRevealedCodesAndOnlyTheSelectedLevel) {
    SetCodes(2, Level::One, kMixedMacro);
    SetCodes(2, Level::Two, {0x32});
    ShowKey(2, 1);
    ShowKey(2, 0);
    const QStringList names = {"Dly 200ms", "a", "L Shift Dn", "A", "L Shift Up", ""};
    for (int cell = 0; cell < names.size(); ++cell)
        EXPECT_EQ(Grid(0)->cellText(cell), names[cell]) << cell;
    EXPECT_EQ(Grid(1)->cellText(0), "") << "the other level's grid is blanked";

    Find<QCheckBox>("cboxRevealCodes1")->click();
    const QStringList codes = {"e2 01 32", "1c", "12", "1c", "f0 12", ""};
    for (int cell = 0; cell < codes.size(); ++cell)
        EXPECT_EQ(Grid(0)->cellText(cell), codes[cell]) << cell;
}

// A macro that ends with a modifier still pressed marks its last cell and names the keys held.
TEST_F(MacroView, AMacroLeavingKeysHeldMarksItsLastCellAndNamesThem) {
    const struct {
        const char* title;
        Bytes bytes;
        int mark;
        const char* line;
    } cases[] = {
        {"Shift never released", {0x12, 0x1C}, 1, "Still held at the end: Left Shift"},
        {"released", kMixedMacro, -1, ""},
        {"two kept, with a delay last", {0xE0, 0x14, 0x11, 0xE2, 0x01, 0x32}, 2,
         "Still held at the end: Left Alt, Right Ctrl"},
        {"Caps Lock only", {0x58, 0xF0, 0x58}, -1, ""},
        {"empty", {}, -1, ""},
    };
    SetCodes(5, Level::Two, {0x12});
    ShowKey(5, 1);
    EXPECT_EQ(Grid(1)->heldMark(), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        SetCodes(5, Level::One, c.bytes);
        ShowKey(5, 0);
        EXPECT_EQ(Grid(0)->heldMark(), c.mark);
        EXPECT_EQ(Find<QLabel>("lblHeldModifiers1")->text(), c.line);
        EXPECT_EQ(Grid(1)->heldMark(), -1) << "the other level's grid is blanked";
        EXPECT_EQ(Find<QLabel>("lblHeldModifiers2")->text(), "");
    }
}

// The longest names ("R Shift Up", "LED3 Flash", "Dly 1020ms") and code texts are not cut, in the
// font of this desktop; the selection still counts eight cells to a row.
TEST_F(MacroView, EveryCellTextFitsItsColumn) {
    MacroGrid* grid = Grid(0);
    const QFontMetrics metrics(grid->font());
    for (int column = 0; column < MacroGrid::kColumns; ++column) {
        for (const std::string& text : EveryCellText()) {
            EXPECT_LE(metrics.horizontalAdvance(QString::fromStdString(text)) + 8, grid->columnWidth(column))
                << text;
        }
    }
    EXPECT_GE(grid->viewport()->width(), MacroGrid::kColumns * grid->columnWidth(0));
    grid->selectIndex(9);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->currentColumn(), 1);
}

TEST_F(MacroView, LevelControlsShowTheSelectedLevelOnlyWithoutMarkingAChange) {
    KeyRecord& key = document.keys[1];
    key.name = {"Volume up", "Mute"};
    key.macroMode = {3, 1};
    key.autoRepeat = {0, 1};
    document.keys[0].name[1] = "First key, Level 2";
    Loaded();
    ShowKey(0, 1);
    ShowKey(1, 0);

    EXPECT_EQ(Find<QLineEdit>("edDescription1")->text(), "Volume up");
    EXPECT_EQ(Find<QComboBox>("comboMacroMode1")->currentText(), "Literal   (Advanced)");
    EXPECT_FALSE(Find<QCheckBox>("cboxAutoRepeatL1")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("edDescription2")->text(), "First key, Level 2") << "Level 2 keeps what it showed";
    EXPECT_FALSE(window->session().modified());
    EXPECT_EQ(Find<QLabel>("lblModified")->text(), "");
}

struct RoomCase {
    const char* name;
    int level1Length;
    int level2Length;
    int shownLevel;
    const char* lengthText;
    int maximum;
    int value;
};

void PrintTo(const RoomCase& c, std::ostream* out) { *out << c.name; }

class MacroViewRoom : public MacroView, public ::testing::WithParamInterface<RoomCase> {};

TEST_P(MacroViewRoom, LengthLabelAndBarShowLengthAndRoom) {
    const RoomCase& c = GetParam();
    SetCodes(7, Level::One, Bytes(static_cast<std::size_t>(c.level1Length), 0x1C));
    SetCodes(7, Level::Two, Bytes(static_cast<std::size_t>(c.level2Length), 0x32));
    ShowKey(7, c.shownLevel);
    EXPECT_EQ(LengthText(c.shownLevel), c.lengthText);
    EXPECT_EQ(Bar(c.shownLevel)->maximum(), c.maximum);
    EXPECT_EQ(Bar(c.shownLevel)->value(), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, MacroViewRoom,
    ::testing::Values(RoomCase{"Level1Alone", 40, 0, 0, "Length of key data = 40 of 220", 220, 40},
                      RoomCase{"Level1BesideLevel2", 100, 1, 0, "Length of key data = 100 of 111", 111, 100},
                      RoomCase{"Level1FromAFileOverItsRoom", 150, 1, 0, "Length of key data = 150 of 111", 111, 111},
                      RoomCase{"Level2BesideLevel1Of111", 111, 3, 1, "Length of key data = 3 of 111", 111, 3},
                      RoomCase{"Level2BlockedByDoubleSpace", 112, 0, 1, "Length of key data = 0 of 0", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct RecordCase {
    const char* name;
    int level1Length;
    int level2Length;
    int level;
    Bytes codes;
    bool accepted;
};

void PrintTo(const RecordCase& c, std::ostream* out) { *out << c.name; }

class MacroViewRecord : public MacroView, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(MacroViewRecord, InsertsWithinTheRoomAndRefusesBeyondItChangingNothing) {
    const RecordCase& c = GetParam();
    SetCodes(9, Level::One, Bytes(static_cast<std::size_t>(c.level1Length), 0x1C));
    SetCodes(9, Level::Two, Bytes(static_cast<std::size_t>(c.level2Length), 0x32));
    ShowKey(9, c.level);
    QLineEdit* description = Find<QLineEdit>(c.level == 0 ? "edDescription1" : "edDescription2");
    description->setFocus();
    const KeypadDocument before = document;
    const int selectionBefore = Grid(c.level)->selectedIndex();
    const QString lengthBefore = LengthText(c.level);

    const bool inserted = window->RecordCodes(c.codes);

    EXPECT_EQ(inserted, c.accepted);
    const Level level = c.level == 0 ? Level::One : Level::Two;
    if (c.accepted) {
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
        EXPECT_EQ(CodesOf(9, level).size(), MacroLength(before.keys[9].codes(level)) + c.codes.size());
        EXPECT_EQ(Find<QLabel>("lblModified")->text(), "Modified");
        EXPECT_EQ(QApplication::focusWidget(), Grid(c.level));
    } else {
        EXPECT_EQ(prompts.shown, QStringList{"warning: " + kNoRoom});
        EXPECT_EQ(document, before);
        EXPECT_FALSE(window->session().modified());
        EXPECT_EQ(Find<QLabel>("lblModified")->text(), "");
        EXPECT_EQ(Grid(c.level)->selectedIndex(), selectionBefore);
        EXPECT_EQ(LengthText(c.level), lengthBefore);
        EXPECT_EQ(QApplication::focusWidget(), description) << "the focus stays where it was";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Room, MacroViewRecord,
    ::testing::Values(RecordCase{"Level1FromAFileOverItsRoom", 150, 1, 0, {0x1C}, false},
                      RecordCase{"Level2BesideDoubleSpace", 112, 0, 1, {0x1C}, false},
                      RecordCase{"Level1FullBesideLevel2", 111, 1, 0, {0x1C}, false},
                      RecordCase{"DelayIntoTwoBytesLeft", 218, 0, 0, {0xE2, 0x01, 0x32}, false},
                      RecordCase{"TwoByteCodeFillsLevel1Exactly", 218, 0, 0, {0xE0, 0x75}, true},
                      RecordCase{"Level2FilledExactly", 0, 110, 1, {0x1C}, true},
                      RecordCase{"Level2BesideLevel1Of111", 111, 0, 1, {0x1C}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct InsertionCase {
    const char* name;
    Bytes macro;
    int selected;
    int insertionCell;
    int insertionOffset;
    int selectedAfter;
};

void PrintTo(const InsertionCase& c, std::ostream* out) { *out << c.name; }

class MacroViewInsertion : public MacroView, public ::testing::WithParamInterface<InsertionCase> {};

TEST_P(MacroViewInsertion, CodeGoesInAtTheSelectedCellAndTheSelectionWalksOn) {
    const InsertionCase& c = GetParam();
    SetCodes(5, Level::One, c.macro);
    ShowKey(5, 0);
    Grid(0)->selectIndex(c.selected);
    EXPECT_EQ(window->InsertionCell(), c.insertionCell);
    EXPECT_EQ(window->InsertionOffset(), c.insertionOffset);

    ASSERT_TRUE(window->RecordCodes(Bytes{0x24}));

    Bytes expected = c.macro;
    expected.insert(expected.begin() + c.insertionOffset, 0x24);
    EXPECT_EQ(CodesOf(5, Level::One), expected);
    EXPECT_EQ(Grid(0)->selectedIndex(), c.selectedAfter);
    EXPECT_EQ(Grid(0)->cellText(c.insertionCell), "e");
}

INSTANTIATE_TEST_SUITE_P(
    Selection, MacroViewInsertion,
    ::testing::Values(InsertionCase{"EmptyMacro", {}, 0, 0, 0, 1},
                      InsertionCase{"InFrontOfTheSelectedCode", kMixedMacro, 2, 2, 4, 3},
                      InsertionCase{"SelectionBeyondTheEndAppends", {0x1C, 0x32, 0x21}, 20, 3, 3, 21},
                      InsertionCase{"ColumnSevenWrapsToTheNextRow", Bytes(10, 0x1C), 7, 7, 7, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MacroView, SelectedCodeMovesOnWithTheSelection) {
    SetCodes(5, Level::One, kMixedMacro);
    ShowKey(5, 0);
    Grid(0)->selectIndex(2);
    ASSERT_TRUE(window->RecordCodes(Bytes{0x24}));
    EXPECT_EQ(Grid(0)->cellText(Grid(0)->selectedIndex()), "L Shift Dn");
}

TEST_F(MacroView, SelectionBeyondTheEndKeepsAppendingOneCellAtATime) {
    SetCodes(5, Level::One, {0x1C});
    ShowKey(5, 0);
    Grid(0)->selectIndex(10);
    ASSERT_TRUE(window->RecordCodes(Bytes{0x32}));
    ASSERT_TRUE(window->RecordCodes(Bytes{0x21}));
    EXPECT_EQ(CodesOf(5, Level::One), (Bytes{0x1C, 0x32, 0x21}));
    EXPECT_EQ(Grid(0)->selectedIndex(), 12);
}

TEST_F(MacroView, LevelTabShowsItsMacroWithTheSelectionAfterTheLastCell) {
    SetCodes(0, Level::Two, {0x1C, 0x32, 0x21, 0x23});
    ShowKey(0, 1);
    EXPECT_EQ(window->TabControl1->currentWidget(), Find("tabLevel2"));
    EXPECT_EQ(Grid(1)->selectedIndex(), 4);
    EXPECT_EQ(Grid(1)->cellText(3), "d");
    EXPECT_EQ(QApplication::focusWidget(), Grid(1));
}

TEST_F(MacroView, ALayoutCommandSelectsTheFirstKeyOnLevel1) {
    SetCodes(0, Level::One, {0x1C});
    ShowKey(12, 1);
    Find<QPushButton>("keyLShift")->click();
    ASSERT_TRUE(window->session().heldModifiers()[1]);

    Find<QPushButton>("btn24Keys")->click();

    EXPECT_EQ(window->session().selectedKey(), 0);
    EXPECT_EQ(window->session().selectedLevel(), 0);
    EXPECT_EQ(window->session().heldModifiers(), (std::array<bool, 8>{}));
    EXPECT_TRUE(Find<QPushButton>("Key1")->isChecked());
    EXPECT_EQ(window->TabControl1->currentWidget(), Find("tabLevel1"));
    EXPECT_EQ(Find<QLabel>("lblMacroHeaderLvl1")->text(), "Key Codes for Key 1, Level 1");
    EXPECT_EQ(Grid(0)->cellText(0), "a");
}

// A step changes the texts of the length label, the header and the bar; none of them may lay the
// window out again or repaint the controls around them, whose content stays.
struct StepCase {
    const char* name;
    int length; // of key 1's Level 1 before the step
    std::function<void(TfrmMain&)> step;
};

class MacroViewStep : public MacroView, public ::testing::WithParamInterface<StepCase> {};

TEST_P(MacroViewStep, RepaintsOnlyWhatChanged) {
    SetCodes(0, Level::One, Bytes(static_cast<std::size_t>(GetParam().length), 0x1C));
    SetCodes(1, Level::One, Bytes(10, 0x32));
    ShowKey(0, 0);
    test::EventTrace trace;
    test::ProcessEventsUntilIdle(trace);
    trace.clear();

    GetParam().step(*window);
    test::ProcessEventsUntilIdle(trace);

    EXPECT_EQ(trace.layoutRequests, 0);
    EXPECT_GT(trace.paints, 0);
    for (const char* unchanged : {"cboxAutoRepeatL1", "comboMacroMode1", "lblDescription1", "edDescription1",
                                  "lblMode1", "lblRevealCodes1", "cboxRevealCodes1", "btnEraseSelectedL1",
                                  "btnEraseAllL1", "qt_tabwidget_tabbar", "TrackBar1"})
        EXPECT_EQ(trace.painted.count(unchanged), 0u) << unchanged << " was painted";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, MacroViewStep,
    ::testing::Values(
        StepCase{"Record", 4, [](TfrmMain& w) { w.RecordCodes(Bytes{0x24}); }},
        // The bar reaches its maximum.
        StepCase{"RecordTheLastByte", 219, [](TfrmMain& w) { w.RecordCodes(Bytes{0x24}); }},
        StepCase{"EraseTheLastCell", 220,
                 [](TfrmMain& w) {
                     w.CurrentGrid()->selectIndex(219);
                     w.btnEraseSelectedClick(0);
                 }},
        StepCase{"SwitchKey", 64, [](TfrmMain& w) { w.ButtonOfKeyIndex(1)->click(); }}),
    [](const auto& info) { return std::string(info.param.name); });

// L Ctrl, L Shift, L Alt, L Win, R Ctrl, R Shift, R Alt, R Win pressed in bit order, then Caps Lock:
// cell i presses the modifier of bit i.
const Bytes kEveryModifier = {0x14, 0x12, 0x11, 0xE0, 0x1F, 0xE0, 0x14, 0x59, 0xE0, 0x11, 0xE0, 0x27, 0x58};
const char* const kModifierPictures[] = {"LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin"};

TEST_F(MacroView, ModifierPicturesAndCapsLampFollowTheSelectedCell) {
    SetCodes(6, Level::One, kEveryModifier);
    ShowKey(6, 0);
    for (int selected : {0, 3, 7, 8, 30}) {
        Grid(0)->selectIndex(selected);
        window->ShowModifierState();
        const int lastCell = std::min(selected, 8);
        for (int bit = 0; bit < 8; ++bit) {
            const QString name = QString::fromLatin1(kModifierPictures[bit]);
            const bool held = bit <= lastCell;
            EXPECT_EQ(Find<QLabel>(qPrintable("img" + name + "Down"))->isVisible(), held) << selected << ' ' << bit;
            EXPECT_EQ(Find<QLabel>(qPrintable("img" + name + "Up"))->isVisible(), !held) << selected << ' ' << bit;
        }
        const QRgb lamp = Find("ledCapsLock")->palette().color(QPalette::Window).rgba();
        EXPECT_EQ(lamp, lastCell == 8 ? 0xFFADFF2Fu : 0xFFA9A9A9u) << selected;
    }
}

TEST_F(MacroView, EmptyMacroShowsEveryModifierUpAndTheLampGrey) {
    SetCodes(6, Level::One, kEveryModifier);
    ShowKey(6, 0);
    window->ShowModifierState();
    ShowKey(7, 0);
    for (QLabel* down : window->KeyboardPanel->modifierDown)
        EXPECT_FALSE(down->isVisible()) << down->objectName().toStdString();
    for (QLabel* up : window->KeyboardPanel->modifierUp)
        EXPECT_TRUE(up->isVisible()) << up->objectName().toStdString();
    EXPECT_EQ(Find("ledCapsLock")->palette().color(QPalette::Window).rgba(), 0xFFA9A9A9u);
}

} // namespace
} // namespace keyloom
