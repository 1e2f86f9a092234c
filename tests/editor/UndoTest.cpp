#include "EditorFixture.h"

#include "editor/MacroGrid.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroTabs.h"
#include "editor/OnScreenKeyboard.h"
#include "gui/QtPaths.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

#include <filesystem>
#include <string>
#include <vector>

namespace keyloom {
namespace {

using test::Bytes;

class Undo : public test::EditorFixture {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ShowKey(0, 0);
    }
    void Chord(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window->CurrentGrid(), key, modifiers);
    }
    void UndoStep() { Chord(Qt::Key_Backspace, Qt::AltModifier); }
    void RedoStep() { Chord(Qt::Key_Y, Qt::AltModifier); }
    void Type(Qt::Key key) { QTest::keyClick(window->CurrentGrid(), key); }

    // What the user sees and what would be saved after each step.
    struct Seen {
        Bytes key0Level1;
        Bytes key2Level2;
        bool autoRepeat;
        int key;
        int level;
        int cell;
        bool modified;
    };
    Seen Now() const {
        return {CodesOf(0, Level::One), CodesOf(2, Level::Two), document.keys[0].autoRepeat[0] != 0,
                window->session().selectedKey(), window->session().selectedLevel(), window->CurrentGrid()->selectedIndex(),
                window->session().modified()};
    }
};

// A mixed sequence of commands, undone step by step back to the opened state (not modified),
// then redone to the end; each step shows the key, level and cell it was made in.
TEST_F(Undo, UndoAndRedoWalkBackToTheSavedStateAndForth) {
    std::vector<Seen> states = {Now()};
    Type(Qt::Key_A); // a
    states.push_back(Now());
    Type(Qt::Key_B); // b
    states.push_back(Now());
    window->TabControl1->levels[0].cboxAutoRepeat->click();
    states.push_back(Now());
    ShowKey(2, 1);
    Type(Qt::Key_C); // c, on another key and level
    states.push_back(Now());
    Type(Qt::Key_Backspace); // erases the c again
    states.push_back(Now());
    EXPECT_TRUE(window->session().modified());

    // Each undo shows the state before the last change, in the view the change was made in.
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        UndoStep();
        const Seen seen = Now();
        EXPECT_EQ(seen.key0Level1, states[i - 1].key0Level1) << i;
        EXPECT_EQ(seen.key2Level2, states[i - 1].key2Level2) << i;
        EXPECT_EQ(seen.autoRepeat, states[i - 1].autoRepeat) << i;
        EXPECT_EQ(seen.modified, i - 1 != 0) << i;
        EXPECT_EQ(seen.key, i >= 4 ? 2 : 0) << i << ": the key the change was made on";
        EXPECT_EQ(window->findChild<QLabel*>("lblModified")->text().isEmpty(), i - 1 == 0) << i;
    }
    EXPECT_EQ(Now().key, 0);
    EXPECT_EQ(Now().cell, 0);
    UndoStep(); // nothing further back: nothing changes
    EXPECT_EQ(Now().key0Level1, Bytes{});

    for (std::size_t i = 1; i < states.size(); ++i) {
        RedoStep();
        EXPECT_EQ(Now().key0Level1, states[i].key0Level1) << i;
        EXPECT_EQ(Now().key2Level2, states[i].key2Level2) << i;
        EXPECT_EQ(Now().modified, true) << i;
    }
    EXPECT_EQ(Now().key, 2);
    EXPECT_EQ(Now().level, 1);
}

// New and Open both start afresh: nothing before them comes back.
TEST_F(Undo, NewAndOpenStartAFreshHistory) {
    const std::filesystem::path sample = folder / "sample.ckd";
    std::filesystem::copy_file(KEYLOOM_SOURCE_DIR "/examples/Macro_Files/MultiMediaKeys.ckd", sample);
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open ? "Open" : "New");
        ShowKey(0, 0);
        Type(Qt::Key_A);
        prompts.answers.push_back(Answer::No); // do not save the changes
        if (open) {
            prompts.fileNames.push_back(ToQString(sample));
            window->btnOpenClick();
        } else {
            window->btnNewClick();
        }
        const Bytes opened = CodesOf(0, Level::One);
        EXPECT_NE(opened, (Bytes{0x1C}));
        UndoStep();
        EXPECT_EQ(CodesOf(0, Level::One), opened) << "the typed a is not brought back";
        EXPECT_FALSE(window->session().modified());
        EXPECT_FALSE(window->btnUndo->isEnabled());
    }
}

// A character typed with Shift records Shift down, the key and Shift up: one step to undo, as the
// plain characters around it are.
TEST_F(Undo, ACharacterTypedWithShiftIsOneStep) {
    Type(Qt::Key_A);
    QTest::keyClick(window->CurrentGrid(), Qt::Key_B, Qt::ShiftModifier);
    Type(Qt::Key_C);
    const Bytes a{0x1C}, shiftedB{0x1C, 0x12, 0x32, 0xF0, 0x12};
    ASSERT_EQ(CodesOf(0, Level::One), (Bytes{0x1C, 0x12, 0x32, 0xF0, 0x12, 0x21}));
    UndoStep();
    EXPECT_EQ(CodesOf(0, Level::One), shiftedB);
    UndoStep();
    EXPECT_EQ(CodesOf(0, Level::One), a) << "Shift, B and the Shift's release go together";
    UndoStep();
    EXPECT_EQ(CodesOf(0, Level::One), Bytes{});
    RedoStep();
    RedoStep();
    EXPECT_EQ(CodesOf(0, Level::One), shiftedB);
}

// With 48 keys the panel's buttons are not in the keys' order: undo presses the button of the key
// the change was made on.
TEST_F(Undo, UndoPressesTheButtonOfTheChangedKeyInTheWideLayout) {
    window->keypadPanel->btn48Keys->click();
    QTest::mouseClick(window->ButtonOfKeyIndex(4), Qt::LeftButton);
    Type(Qt::Key_A);
    QTest::mouseClick(window->ButtonOfKeyIndex(0), Qt::LeftButton);
    UndoStep();
    EXPECT_EQ(window->findChild<QLabel*>("lblMacroHeaderLvl1")->text(), "Key Codes for Key 5, Level 1");
    EXPECT_TRUE(window->ButtonOfKeyIndex(4)->isChecked());
    EXPECT_EQ(window->keypadPanel->keyGroup->checkedButton(), window->ButtonOfKeyIndex(4));
}

// Redo goes to the key and level of the change it makes again, not to where undo was pressed.
TEST_F(Undo, RedoShowsTheKeyAndLevelOfTheChange) {
    ShowKey(2, 1);
    Type(Qt::Key_A);
    ShowKey(0, 0);
    UndoStep();
    ShowKey(5, 0);
    RedoStep();
    EXPECT_EQ(Now().key, 2);
    EXPECT_EQ(Now().level, 1);
    EXPECT_EQ(window->findChild<QLabel*>("lblMacroHeaderLvl2")->text(), "Key Codes for Key 3, Level 2");
    EXPECT_EQ(CodesOf(2, Level::Two), (Bytes{0x1C}));
}

// A description typed and not confirmed is stored when a button that takes no focus acts: as its
// own step, so that one undo takes back the button's change alone.
TEST_F(Undo, APendingDescriptionIsAStepOfItsOwn) {
    Type(Qt::Key_A);
    QLineEdit* description = window->TabControl1->levels[0].edDescription;
    description->setFocus();
    QTest::keyClicks(description, "Copy");
    window->KeyboardPanel->findChild<QPushButton*>("keyB")->click();
    ASSERT_EQ(CodesOf(0, Level::One), (Bytes{0x1C, 0x32}));
    ASSERT_EQ(document.keys[0].name[0], "Copy");

    UndoStep();
    EXPECT_EQ(CodesOf(0, Level::One), (Bytes{0x1C}));
    EXPECT_EQ(document.keys[0].name[0], "Copy");
    UndoStep();
    EXPECT_EQ(document.keys[0].name[0], "");
    EXPECT_EQ(description->text(), "");
    EXPECT_EQ(CodesOf(0, Level::One), (Bytes{0x1C})) << "the typed a is a step of its own";
}

// New and Open describe every key again, not only the selected one.
TEST_F(Undo, NewAndOpenRedrawEveryKeysCaption) {
    const std::filesystem::path sample = folder / "sample.ckd";
    std::filesystem::copy_file(KEYLOOM_SOURCE_DIR "/examples/Macro_Files/MultiMediaKeys.ckd", sample);
    prompts.fileNames.push_back(ToQString(sample));
    window->btnOpenClick();
    const auto caption = [this](int key) {
        return window->keypadPanel->keyCaption(window->ButtonOfKeyIndex(key)->property("Tag").toInt());
    };
    // Shortened where the key is too narrow for it, as in Wine's wide stand-in font.
    ASSERT_THAT(caption(1).toStdString(), ::testing::StartsWith("St"));
    ASSERT_THAT(window->ButtonOfKeyIndex(1)->accessibleDescription().toStdString(), ::testing::HasSubstr("Stop"));

    window->btnNewClick();
    for (int key = 0; key < document.numberOfKeys; ++key) {
        EXPECT_EQ(caption(key), QString()) << key;
        EXPECT_THAT(window->ButtonOfKeyIndex(key)->accessibleDescription().toStdString(),
                    ::testing::Not(::testing::HasSubstr("\u201C")))
            << key;
    }
}

// A description is part of what the file stores: changing it marks the document modified, and
// closing asks to save it.
TEST_F(Undo, AChangedDescriptionAsksToBeSavedAtClose) {
    QLineEdit* description = window->TabControl1->levels[0].edDescription;
    description->setFocus();
    QTest::keyClicks(description, "Copy");
    QTest::keyClick(description, Qt::Key_Return);
    EXPECT_TRUE(window->session().modified());
    EXPECT_EQ(window->findChild<QLabel*>("lblModified")->text(), "Modified");

    prompts.answers.push_back(Answer::No);
    window->close();
    EXPECT_THAT(prompts.shown, ::testing::Contains(QString("yes/no question: Do you want to save your changes?")))
        << prompts.shown.join('|').toStdString();
}

// Alt+Backspace takes nothing from typing: Backspace alone still erases.
TEST_F(Undo, BackspaceWithoutAltStillErases) {
    Type(Qt::Key_A);
    Type(Qt::Key_B);
    Type(Qt::Key_Backspace);
    EXPECT_EQ(CodesOf(0, Level::One), (Bytes{0x1C}));
}

} // namespace
} // namespace keyloom
