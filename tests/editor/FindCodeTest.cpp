#include "RecordingFixture.h"

#include "editor/CodeFinder.h"
#include "editor/CodeSearch.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace keyloom {
namespace {

using test::Bytes;

TEST(CodeSearch, RanksNamesBeforeCodesAndMatchesHexByBytes) {
    const std::vector<CodeSearchEntry> entries = {
        {{"Volume Knob"}, {"e0 99"}}, // 0
        {{"Vol"}, {"e0 32"}},         // 1
        {{"Mute Vol"}, {"03"}},       // 2
        {{"Evolve"}, {"32 e0"}},      // 3
        {{"Ctrl  Down"}, {"14"}},     // 4
    };
    struct Case {
        const char* query;
        std::vector<std::size_t> found;
    };
    for (const Case& c : {
             Case{"vol", {1, 0, 2, 3}}, // equal, start, word start, inside
             Case{"VOL", {1, 0, 2, 3}},
             Case{"e0 32", {1}},
             Case{"e032", {1}},
             Case{"03", {2}}, // not the 0 of e0 and the 3 of 32
             Case{"32", {3, 1}}, // a code's start before a later byte
             Case{" ctrl   down ", {4}},
             Case{"zzz", {}},
             Case{"  ", {}},
         }) {
        EXPECT_EQ(FindCodes(entries, c.query), c.found) << '"' << c.query << '"';
    }
}

// The window with its finder; queries are typed into the field as the user types them.
class FindCode : public test::RecordingFixture {
protected:
    QLineEdit* Field() { return window->codeFinder->edFindCode; }
    QListWidget* List() { return window->codeFinder->listboxFoundCodes; }

    void Search(const QString& query) {
        QTest::keyClick(Grid(), Qt::Key_F, Qt::AltModifier);
        Field()->clear();
        QTest::keyClicks(Field(), query);
    }
    // The controls that record the listed codes, by their names, in the list's order.
    std::vector<std::string> Listed() {
        std::vector<std::string> names;
        for (const CatalogueEntry& entry : window->foundCodes())
            names.push_back(entry.control->objectName().toStdString());
        EXPECT_EQ(List()->isVisible() ? List()->count() : 0, static_cast<int>(names.size()));
        return names;
    }
    // The bytes key 1, Level 1 gets from using a control; the macro is emptied again after.
    Bytes RecordedBy(const QString& name) {
        Use(name);
        const Bytes bytes = Codes();
        ShowCodes({});
        return bytes;
    }
};

TEST_F(FindCode, ListsTheCodesThatMatchAQuery) {
    struct Case {
        const char* query;
        std::vector<std::string> first; // the first rows, in order
        std::size_t count;
    };
    for (const Case& c : {
             Case{"vol", {"keyMute", "keyVolUp", "keyVolDown"}, 3},
             Case{"VOL UP", {"keyVolUp"}, 1},
             Case{"e0 32", {"keyVolUp"}, 1},
             Case{"e032", {"keyVolUp"}, 1},
             Case{"double",
                  {"miMouseLeftDoubleClick", "miMouseRightDoubleClick", "miMouseCenterDoubleClick",
                   "miMouseReverseDoubleClick", "miMouseForwardDoubleClick"},
                  5},
             Case{"delay", {"keyDelay"}, 1},
             Case{"dly 200", {"keyDelay"}, 6}, // the double clicks pause as long
             Case{"esc", {"keyEsc", "keyWebEsc"}, 2},
             Case{"f0 12", {"keyLShift"}, 1}, // a modifier's release
             Case{"led1 on", {"keyLed1On"}, 1},
             Case{"led2", {}, 0}, // the 24-key keypad has one LED
             Case{"zzz", {}, 0},
         }) {
        Search(QString::fromLatin1(c.query));
        std::vector<std::string> listed = Listed();
        EXPECT_EQ(listed.size(), c.count) << c.query << ": " << ::testing::PrintToString(listed);
        listed.resize(std::min(listed.size(), c.first.size()));
        EXPECT_EQ(listed, c.first) << c.query;
    }
    window->btn48KeysClick();
    Search(QStringLiteral("led2"));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"keyLed2Off", "keyLed2On", "keyLed2Flash"}));
}

TEST_F(FindCode, EnterRecordsWhatTheControlRecords) {
    panel->TrackBar1->setValue(30);
    struct Case {
        const char* query;
        int downs; // rows down from the first
        const char* control;
    };
    for (const Case& c : {
             Case{"vol", 1, "keyVolUp"},
             Case{"a", 0, "keyA"},
             Case{"left shift", 0, "keyLShift"},
             Case{"delay", 0, "keyDelay"},
             Case{"double-click: left", 0, "miMouseLeftDoubleClick"},
             Case{"move: x+", 0, "miMouseMoveXNeg"},
             Case{"led1 flash", 0, "keyLed1Flash"},
             Case{"ext code", 0, "keyExtCode"},
         }) {
        const Bytes expected = RecordedBy(QString::fromLatin1(c.control));
        ASSERT_FALSE(expected.empty()) << c.control;
        Search(QString::fromLatin1(c.query));
        for (int i = 0; i < c.downs; ++i)
            QTest::keyClick(Field(), Qt::Key_Down);
        ASSERT_GT(window->foundCodes().size(), static_cast<std::size_t>(c.downs)) << c.query;
        EXPECT_EQ(window->foundCodes()[static_cast<std::size_t>(c.downs)].control->objectName().toStdString(),
                  c.control);
        QTest::keyClick(Field(), Qt::Key_Return);
        EXPECT_EQ(Codes(), expected) << c.query;
        EXPECT_FALSE(List()->isVisible()) << c.query;
        EXPECT_EQ(QApplication::focusWidget(), Grid()) << c.query;
        ShowCodes({});
    }
}

TEST_F(FindCode, RecordsAtTheSelectionAsOneUndoStep) {
    ShowCodes({0x1C, 0x32}); // a b
    Grid()->selectIndex(1);
    Search(QStringLiteral("double-click: left"));
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_EQ(Codes(), (Bytes{0x1C, 0xE0, 0x61, 0xE2, 0x01, 0x32, 0xE0, 0x61, 0x32}));
    EXPECT_TRUE(window->session().modified());

    QTest::keyClick(Grid(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Codes(), (Bytes{0x1C, 0x32}));
}

TEST_F(FindCode, TypingAndEscapeInTheFieldRecordNothing) {
    ShowCodes({0x1C});
    Search(QStringLiteral("vol"));
    EXPECT_EQ(QApplication::focusWidget(), Field());
    EXPECT_TRUE(List()->isVisible());
    QTest::keyClick(Field(), Qt::Key_Down);
    // A release goes where the press left the focus.
    QTest::keyPress(Field(), Qt::Key_Tab);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Field());
    QTest::keyClick(Field(), Qt::Key_Escape);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Grid());
    EXPECT_EQ(Codes(), (Bytes{0x1C}));
    EXPECT_FALSE(window->session().modified());

    // Alt+F comes back to the query with its list open again.
    QTest::keyClick(Grid(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Field());
    EXPECT_EQ(Field()->selectedText(), QStringLiteral("vol"));
    EXPECT_TRUE(List()->isVisible());
    EXPECT_EQ(Codes(), (Bytes{0x1C}));
}

TEST_F(FindCode, AClickOnARowRecordsIt) {
    const Bytes expected = RecordedBy(QStringLiteral("keyVolDown"));
    Search(QStringLiteral("vol"));
    QListWidget* list = List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(Codes(), expected);
}

} // namespace
} // namespace keyloom
