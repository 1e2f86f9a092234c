#include "EditorFixture.h"

#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "gui/QtPaths.h"

#include <QCheckBox>
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
                window->state().selectedKey, window->state().selectedLevel, window->CurrentGrid()->selectedIndex(),
                window->state().modified};
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
    EXPECT_TRUE(window->state().modified);

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
        EXPECT_FALSE(window->state().modified);
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

// Alt+Backspace takes nothing from typing: Backspace alone still erases.
TEST_F(Undo, BackspaceWithoutAltStillErases) {
    Type(Qt::Key_A);
    Type(Qt::Key_B);
    Type(Qt::Key_Backspace);
    EXPECT_EQ(CodesOf(0, Level::One), (Bytes{0x1C}));
}

} // namespace
} // namespace keyloom
