#include "EditorFixture.h"

#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

namespace keyloom {
namespace {

using testing::HasSubstr;

using test::Bytes;
namespace fs = std::filesystem;


const QString kNothingToErase = QStringLiteral("warning: Nothing to erase!");

class LevelSettings : public test::EditorFixture {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename Widget = QWidget>
    Widget* Find(const QString& name) {
        auto* widget = window->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    // A level's control: Find<QCheckBox>(1, "cboxAutoRepeatL") is cboxAutoRepeatL2.
    template <typename Widget = QWidget>
    Widget* Find(int level, const char* stem) {
        return Find<Widget>(QString::fromLatin1(stem) + QString::number(level + 1));
    }
    MacroGrid* Grid(int level) { return Find<MacroGrid>(level, "StringGrid"); }
    QString Modified() { return Find<QLabel>(QStringLiteral("lblModified"))->text(); }

    void DoubleClickCell(MacroGrid* grid, int cell) {
        const QRect rect = grid->visualItemRect(grid->item(cell / MacroGrid::kColumns, cell % MacroGrid::kColumns));
        // The first click of a double click selects the cell, as the pointer does.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

TEST_F(LevelSettings, RevealCodesBoxesAgreeAndAreNoChange) {
    SetCodes(2, Level::One, {0x1C, 0x32});
    ShowKey(2, 0);
    QCheckBox* reveal1 = Find<QCheckBox>(0, "cboxRevealCodes");
    QCheckBox* reveal2 = Find<QCheckBox>(1, "cboxRevealCodes");

    reveal1->click();
    EXPECT_TRUE(reveal2->isChecked());
    EXPECT_EQ(Grid(0)->cellText(1), "32");
    EXPECT_EQ(QApplication::focusWidget(), Grid(0));

    ShowKey(2, 1);
    reveal2->click();
    EXPECT_FALSE(reveal1->isChecked());
    EXPECT_FALSE(window->session().revealCodes());
    EXPECT_EQ(QApplication::focusWidget(), Grid(1));
    ShowKey(2, 0);
    EXPECT_EQ(Grid(0)->cellText(1), "b");
    EXPECT_FALSE(window->session().modified());
    EXPECT_EQ(Modified(), "");
}

// Each level's controls change that level of the selected key, and only that.
class LevelSettingsPerLevel : public LevelSettings, public ::testing::WithParamInterface<int> {
protected:
    Level level() const { return GetParam() == 0 ? Level::One : Level::Two; }
    int other() const { return GetParam() == 0 ? 1 : 0; }
};

TEST_P(LevelSettingsPerLevel, MacroModeIsStoredAndMarksAChange) {
    ShowKey(6, GetParam());
    Find<QComboBox>(GetParam(), "comboMacroMode")->setCurrentIndex(1); // "Separate Up Codes"
    EXPECT_EQ(document.keys[6].macroMode[levelIndex(level())], 1);
    EXPECT_EQ(document.keys[6].macroMode[static_cast<std::size_t>(other())], 0);
    EXPECT_EQ(Modified(), "Modified");
    EXPECT_EQ(QApplication::focusWidget(), Grid(GetParam()));
}

TEST_P(LevelSettingsPerLevel, AutoRepeatIsStoredAndMarksAChange) {
    ShowKey(6, GetParam());
    Find<QCheckBox>(GetParam(), "cboxAutoRepeatL")->click(); // a new key may auto-repeat: this clears it
    EXPECT_EQ(document.keys[6].autoRepeat[levelIndex(level())], 0);
    EXPECT_EQ(document.keys[6].autoRepeat[static_cast<std::size_t>(other())], 1);
    EXPECT_EQ(Modified(), "Modified");
    EXPECT_EQ(QApplication::focusWidget(), Grid(GetParam()));
}

// A description is part of what the file stores: keeping it marks a change to save.
TEST_P(LevelSettingsPerLevel, DescriptionIsKeptOnEnterAndMarksAChange) {
    ShowKey(6, GetParam());
    QLineEdit* description = Find<QLineEdit>(GetParam(), "edDescription");
    description->setFocus();
    QTest::keyClicks(description, "Volume up");
    EXPECT_EQ(document.keys[6].name[levelIndex(level())], "") << "not before the edit is committed";

    QTest::keyClick(description, Qt::Key_Return);

    EXPECT_EQ(document.keys[6].name[levelIndex(level())], "Volume up");
    EXPECT_EQ(document.keys[6].name[static_cast<std::size_t>(other())], "");
    EXPECT_EQ(QApplication::focusWidget(), Grid(GetParam()));
    EXPECT_TRUE(window->session().modified());
    EXPECT_EQ(Modified(), "Modified");
    EXPECT_TRUE(CodesOf(6, level()).empty()) << "Enter in the box records nothing";
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelSettingsPerLevel, ::testing::Values(0, 1),
                         [](const auto& info) { return "Level" + std::to_string(info.param + 1); });

TEST_F(LevelSettings, DescriptionIsKeptWhenTheFocusLeaves) {
    ShowKey(3, 0);
    QLineEdit* description = Find<QLineEdit>(0, "edDescription");
    description->setFocus();
    QTest::keyClicks(description, "Paste");
    Grid(0)->setFocus();
    EXPECT_EQ(document.keys[3].name[0], "Paste");
    EXPECT_TRUE(window->session().modified());
}

// Buttons that take no focus act while the box still holds its text unconfirmed.
TEST_F(LevelSettings, DescriptionBeingTypedIsKeptWhenAButtonWithoutFocusActs) {
    for (const char* button : {"keyA", "keyDelay", "btn48Keys", "btnSaveAs"}) {
        SCOPED_TRACE(button);
        ShowKey(0, 0);
        document.keys[0].name[0].clear();
        QLineEdit* description = Find<QLineEdit>(0, "edDescription");
        description->setFocus();
        description->clear();
        QTest::keyClicks(description, "Volume up");
        const fs::path saved = folder.path() / "saved.ckd";
        prompts.fileNames.push_back(QString::fromStdString(saved.string()));

        auto* target = window->findChild<QAbstractButton*>(QString::fromLatin1(button));
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton);

        EXPECT_EQ(document.keys[0].name[0], "Volume up");
        EXPECT_EQ(description->text(), "Volume up");
        if (std::string_view(button) == "btnSaveAs") {
            EXPECT_THAT(test::ReadFile(saved), HasSubstr("Level_1_Name=Volume up\r\n"));
        }
        prompts.fileNames.clear();
    }
}

// The box keeps its text when New, Open or a layout switch selects key 1 without showing its
// level again; losing the focus afterwards must not hand that text to key 1.
TEST_F(LevelSettings, DescriptionBeingTypedStaysWithItsKeyWhenTheDocumentChanges) {
    for (const char* button : {"btnNew", "btn24Keys", "btn48Keys"}) {
        SCOPED_TRACE(button);
        ShowKey(5, 1);
        QLineEdit* description = Find<QLineEdit>(1, "edDescription");
        description->setFocus();
        description->clear();
        QTest::keyClicks(description, "abc");

        QTest::mouseClick(window->findChild<QAbstractButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        Grid(0)->setFocus();

        EXPECT_EQ(document.keys[0].name[1], "");
        if (std::string_view(button) != "btnNew") {
            EXPECT_EQ(document.keys[5].name[1], "abc");
        }
        document.keys[5].name[1].clear();
    }
}

struct EraseAllCase {
    const char* name;
    int level1Length;
    int level2Length;
    int level;
};

void PrintTo(const EraseAllCase& c, std::ostream* out) { *out << c.name; }

class LevelSettingsEraseAll : public LevelSettings, public ::testing::WithParamInterface<EraseAllCase> {};

TEST_P(LevelSettingsEraseAll, EmptiesTheLevelAndKeepsItsSettings) {
    const EraseAllCase& c = GetParam();
    const Level level = c.level == 0 ? Level::One : Level::Two;
    SetCodes(8, Level::One, Bytes(static_cast<std::size_t>(c.level1Length), 0x1C));
    SetCodes(8, Level::Two, Bytes(static_cast<std::size_t>(c.level2Length), 0x32));
    KeyRecord& key = document.keys[8];
    key.name = {"one", "two"};
    key.macroMode = {2, 3};
    key.autoRepeat = {0, 0};
    ShowKey(8, c.level);
    const std::size_t otherLength = c.level == 0 ? static_cast<std::size_t>(c.level2Length)
                                                 : static_cast<std::size_t>(c.level1Length);

    Find<QPushButton>(c.level, "btnEraseAllL")->click();

    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    EXPECT_TRUE(CodesOf(8, level).empty());
    EXPECT_EQ(CodesOf(8, c.level == 0 ? Level::Two : Level::One).size(), otherLength);
    const std::span<const uint8_t> area = key.codes(level);
    EXPECT_TRUE(std::all_of(area.begin(), area.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(key.name, (std::array<std::string, 2>{"one", "two"}));
    EXPECT_EQ(key.macroMode, (std::array<int32_t, 2>{2, 3}));
    EXPECT_EQ(key.autoRepeat, (std::array<uint8_t, 2>{0, 0}));
    EXPECT_EQ(Grid(c.level)->selectedIndex(), 0);
    EXPECT_EQ(Grid(c.level)->cellText(0), "");
    EXPECT_EQ(Modified(), "Modified");
    EXPECT_EQ(QApplication::focusWidget(), Grid(c.level));
}

INSTANTIATE_TEST_SUITE_P(
    Levels, LevelSettingsEraseAll,
    ::testing::Values(EraseAllCase{"Level1", 5, 0, 0}, EraseAllCase{"Level2", 0, 4, 1},
                      // The bar stops at its room: 150 of 111 shows a full bar, not 150.
                      EraseAllCase{"Level1LongerThanItsRoom", 150, 1, 0},
                      // A level with no room left has a bar of maximum 0, yet it holds codes.
                      EraseAllCase{"Level2BesideALongLevel1", 150, 3, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LevelSettings, EraseAllOnAnEmptyLevelHasNothingToErase) {
    SetCodes(8, Level::Two, {0x1C});
    ShowKey(8, 0);
    Find<QPushButton>(0, "btnEraseAllL")->click();
    EXPECT_EQ(prompts.shown, QStringList{kNothingToErase});
    EXPECT_FALSE(window->session().modified());
    EXPECT_EQ(CodesOf(8, Level::Two), Bytes{0x1C});
    EXPECT_EQ(QApplication::focusWidget(), Grid(0));
}

struct EraseSelectedCase {
    const char* name;
    Bytes macro;
    int selected;
    Bytes after;
    QString shownAtSelection; // the code that followed the erased one
};

void PrintTo(const EraseSelectedCase& c, std::ostream* out) { *out << c.name; }

class LevelSettingsEraseSelected : public LevelSettings, public ::testing::WithParamInterface<EraseSelectedCase> {};

TEST_P(LevelSettingsEraseSelected, RemovesTheWholeSelectedCellAndKeepsTheSelection) {
    const EraseSelectedCase& c = GetParam();
    SetCodes(4, Level::Two, c.macro);
    ShowKey(4, 1);
    Grid(1)->selectIndex(c.selected);

    Find<QPushButton>(1, "btnEraseSelectedL")->click();

    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    EXPECT_EQ(CodesOf(4, Level::Two), c.after);
    EXPECT_EQ(Grid(1)->selectedIndex(), c.selected);
    EXPECT_EQ(Grid(1)->cellText(c.selected), c.shownAtSelection);
    EXPECT_EQ(Modified(), "Modified");
    EXPECT_EQ(QApplication::focusWidget(), Grid(1));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, LevelSettingsEraseSelected,
    ::testing::Values(EraseSelectedCase{"SecondOfThreeCodes", {0x1C, 0x32, 0x21}, 1, {0x1C, 0x21}, "c"},
                      EraseSelectedCase{"ThreeByteDelay", {0x1C, 0xE2, 0x01, 0x32, 0x21}, 1, {0x1C, 0x21}, "c"},
                      EraseSelectedCase{"ExtendedKey", {0xE0, 0x75, 0x1C}, 0, {0x1C}, "a"},
                      EraseSelectedCase{"LastCode", {0x1C, 0x32}, 1, {0x1C}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LevelSettings, EraseSelectedLoadsTheHeldModifiersAtTheSelection) {
    // L Ctrl Dn, L Shift Dn, a, L Shift Up: erasing "a" leaves the selection on L Shift Up.
    SetCodes(4, Level::One, {0x14, 0x12, 0x1C, 0xF0, 0x12});
    ShowKey(4, 0);
    Grid(0)->selectIndex(2);
    Find<QPushButton>(0, "btnEraseSelectedL")->click();
    const std::array<bool, 8> onlyLeftCtrl = {true, false, false, false, false, false, false, false};
    EXPECT_EQ(window->session().heldModifiers(), onlyLeftCtrl);
}

TEST_F(LevelSettings, EraseSelectedBeyondTheEndHasNothingToErase) {
    SetCodes(4, Level::One, {0x1C, 0x32, 0x21});
    ShowKey(4, 0);
    for (int selected : {3, 9}) {
        prompts.shown.clear();
        Grid(0)->selectIndex(selected);
        Find<QPushButton>(0, "btnEraseSelectedL")->click();
        EXPECT_EQ(prompts.shown, QStringList{kNothingToErase}) << selected;
    }
    EXPECT_EQ(CodesOf(4, Level::One), (Bytes{0x1C, 0x32, 0x21}));
    EXPECT_FALSE(window->session().modified());
    EXPECT_EQ(QApplication::focusWidget(), Grid(0));
}

TEST_F(LevelSettings, DoubleClickErasesTheCodeUnderThePointer) {
    SetCodes(4, Level::One, {0x1C, 0x32, 0x21});
    ShowKey(4, 0);
    DoubleClickCell(Grid(0), 1);
    EXPECT_EQ(CodesOf(4, Level::One), (Bytes{0x1C, 0x21}));
    EXPECT_EQ(Grid(0)->selectedIndex(), 1);

    DoubleClickCell(Grid(0), 12);
    EXPECT_EQ(prompts.shown, QStringList{kNothingToErase});
    EXPECT_EQ(CodesOf(4, Level::One), (Bytes{0x1C, 0x21}));
}

} // namespace
} // namespace keyloom
