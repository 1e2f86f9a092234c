#include "EditorFixture.h"

#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include <set>
#include <string>

namespace keyloom {
namespace {

using test::Bytes;

// Every command has an Alt chord; a key typed with Alt records what it records without Alt, so
// the chords take nothing away from typing.
class Chords : public test::EditorFixture {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->FocusCurrentGrid();
    }

    // Alt and key typed on the grid. A popup or a dialog that closed may have left the window
    // inactive: the offscreen platform does not give the activation back by itself.
    void Chord(Qt::Key key) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window->CurrentGrid(), key, Qt::AltModifier);
    }

    // The last thing the prompts were asked or shown, once the command has run (a toolbar
    // button's chord clicks it a moment later, as a click would show).
    std::string NextPrompt(int before) {
        if (!QTest::qWaitFor([&] { return prompts.shown.size() > before; }, 2000))
            return "(nothing)";
        return prompts.shown.back().toStdString();
    }
};

TEST_F(Chords, ToolbarCommandsRunByTheirChords) {
    struct Case {
        Qt::Key key;
        const char* prompt;
    };
    for (const Case& c : {Case{Qt::Key_O, "open: Open"}, Case{Qt::Key_S, "save: "},
                          Case{Qt::Key_A, "save: "}, Case{Qt::Key_L, "open: "},
                          Case{Qt::Key_D, "warning: "}, Case{Qt::Key_T, "warning: "}}) {
        prompts.fileNames.push_back(std::nullopt);
        const int before = static_cast<int>(prompts.shown.size());
        Chord(c.key);
        EXPECT_THAT(NextPrompt(before), ::testing::StartsWith(c.prompt)) << QTest::toString(c.key);
        prompts.fileNames.clear();
    }

    Chord(Qt::Key_H);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->menuHelp->isVisible(); }, 2000));
    window->menuHelp->hide();
    Chord(Qt::Key_X);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->menuPrint->isVisible(); }, 2000));
    window->menuPrint->hide();

    document.keys[3].name[0] = "to be gone";
    Loaded();
    Chord(Qt::Key_N);
    EXPECT_TRUE(QTest::qWaitFor([&] { return document.keys[3].name[0].empty(); }, 2000));

    // The dialogs open modally; whatever opens is closed again and noted.
    std::set<std::string> opened;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&opened] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened.insert(dialog->objectName().toStdString());
            dialog->close();
        }
    });
    closer.start(10);
    Chord(Qt::Key_I);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.count("frmTypeText") == 1; }, 2000));
    Chord(Qt::Key_P);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.count("frmProperties") == 1; }, 2000));
    Chord(Qt::Key_W);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.count("frmShortcut") == 1; }, 2000));
}

TEST_F(Chords, MoveBetweenKeysAndLevelsAndReachTheLevelControls) {
    SetCodes(0, Level::One, {0x1C, 0xF0, 0x1C});
    window->RefreshMacroView();
    window->FocusCurrentGrid();

    Chord(Qt::Key_2);
    EXPECT_EQ(window->session().selectedLevel(), 1);
    Chord(Qt::Key_1);
    EXPECT_EQ(window->session().selectedLevel(), 0);

    struct Move {
        Qt::Key key;
        int keyAfter;
    };
    // 24 keys: 4 columns of 6 rows, numbered row by row; the edges stop the move.
    for (const Move& move : {Move{Qt::Key_Left, 0}, Move{Qt::Key_Up, 0}, Move{Qt::Key_Right, 1},
                             Move{Qt::Key_Down, 5}, Move{Qt::Key_Left, 4}, Move{Qt::Key_Up, 0}}) {
        Chord(move.key);
        EXPECT_EQ(window->session().selectedKey(), move.keyAfter) << QTest::toString(move.key);
    }

    Chord(Qt::Key_E);
    EXPECT_EQ(QApplication::focusWidget(), window->findChild<QLineEdit*>("edDescription1"));
    window->FocusCurrentGrid();

    const uint8_t autoRepeat = document.keys[0].autoRepeat[0];
    Chord(Qt::Key_R);
    EXPECT_NE(document.keys[0].autoRepeat[0], autoRepeat);

    Chord(Qt::Key_M);
    auto* mode = window->findChild<QComboBox*>("comboMacroMode1");
    EXPECT_TRUE(mode->view()->isVisible());
    mode->hidePopup();
    window->FocusCurrentGrid();

    Chord(Qt::Key_K);
    EXPECT_TRUE(window->keypadPanel->menuKeyType->isVisible());
    window->keypadPanel->menuKeyType->hide();

    // No chord recorded anything.
    EXPECT_EQ(CodesOf(0, Level::One), (Bytes{0x1C, 0xF0, 0x1C}));
    EXPECT_EQ(CodesOf(0, Level::Two), Bytes{});
}

TEST_F(Chords, TheirKeysTypedWithoutAltStillRecord) {
    QTest::keyClicks(window->CurrentGrid(), QStringLiteral("nosapdthlwermk12xi"));
    EXPECT_EQ(CodesOf(0, Level::One), (Bytes{0x31, 0x44, 0x1B, 0x1C, 0x4D, 0x23, 0x2C, 0x33, 0x4B, 0x1D, 0x24,
                                              0x2D, 0x3A, 0x42, 0x16, 0x1E, 0x22, 0x43}));
}

} // namespace
} // namespace keyloom
