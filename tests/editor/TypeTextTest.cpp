#include "RecordingFixture.h"

#include "dialogs/TfrmTypeText.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gmock/gmock.h>

#include <functional>
#include <string>

namespace keyloom {
namespace {

using ::testing::HasSubstr;
using test::Bytes;

const QString kNoRoom = QStringLiteral(
    "warning: Not enough room for this key. You can make room by deleting one or more keys.\r\r"
    "If both levels are used then each level can be up to 111 bytes long.\r"
    "If only Level 1 is used then Level 1 can be up to 220 bytes long.");

// Types text key by key; keyClicks only knows the characters of ASCII keys.
void TypeInto(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() < 128)
            QTest::keyClick(widget, character.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

class TypeText : public test::RecordingFixture {
protected:
    // Opens the dialog from the toolbar, types text into it, runs act on it and closes it if act
    // left it open, so that a failing test never hangs in exec().
    void WithText(const QString& text, const std::function<void(TfrmTypeText*)>& act) {
        bool opened = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto* dialog = window->findChild<TfrmTypeText*>();
            if (dialog == nullptr)
                return;
            opened = true;
            TypeInto(dialog->edText, text);
            act(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        QTest::mouseClick(window->btnTypeText, Qt::LeftButton);
        EXPECT_TRUE(opened);
    }
    void Insert(const QString& text) {
        WithText(text, [](TfrmTypeText* dialog) { QTest::mouseClick(dialog->btnInsert, Qt::LeftButton); });
    }
};

struct InsertCase {
    const char* what;
    Bytes before;
    int selected; // the cell the text goes in front of
    const char* text;
    Bytes after;
    int selectedAfter;
    const char* room;
};

const InsertCase kInserts[] = {
    {"plain", {}, 0, "abc", {0x1C, 0x32, 0x21}, 3, "3 bytes of 220 left"},
    {"shifted", {}, 0, "Hi!", {0x12, 0x33, 0xF0, 0x12, 0x43, 0x12, 0x16, 0xF0, 0x12}, 7, "9 bytes of 220 left"},
    {"e-mail address",
     {},
     0,
     "ann@example.org",
     {0x1C, 0x31, 0x31, 0x12, 0x1E, 0xF0, 0x12, 0x24, 0x22, 0x1C, 0x3A, 0x4D, 0x4B, 0x24, 0x49, 0x44, 0x2D, 0x34},
     17,
     "18 bytes of 220 left"},
    {"between codes", {0x16, 0x1E}, 1, "Hi", {0x16, 0x12, 0x33, 0xF0, 0x12, 0x43, 0x1E}, 5, "5 bytes of 218 left"},
};

TEST_F(TypeText, InsertsTheCodesAtTheSelectedCellAndMovesPastThem) {
    for (const InsertCase& c : kInserts) {
        ShowCodes(c.before);
        Grid()->selectIndex(c.selected);
        QString room;
        QStringList cells;
        WithText(QString::fromLatin1(c.text), [&](TfrmTypeText* dialog) {
            room = dialog->lblRoom->text();
            for (int i = 0; i < dialog->listboxCodes->count(); ++i)
                cells << dialog->listboxCodes->item(i)->text();
            QTest::mouseClick(dialog->btnInsert, Qt::LeftButton);
        });
        EXPECT_EQ(Codes(), c.after) << c.what;
        EXPECT_EQ(Grid()->selectedIndex(), c.selectedAfter) << c.what;
        EXPECT_EQ(room.toStdString(), c.room) << c.what;
        // The dialog named the new cells as the grid now shows them.
        QStringList shown;
        for (int i = c.selected; i < c.selectedAfter; ++i)
            shown << Grid()->cellText(i);
        EXPECT_EQ(cells, shown) << c.what;
        EXPECT_TRUE(prompts.shown.isEmpty()) << c.what;
    }
}

TEST_F(TypeText, RefusesCharactersNoUsKeyTypesNamingThem) {
    bool insertEnabled = true;
    QString untypable;
    WithText(QStringLiteral("caf\u00E9 \u20AC"), [&](TfrmTypeText* dialog) {
        insertEnabled = dialog->btnInsert->isEnabled();
        untypable = dialog->lblUntypable->text();
        QTest::mouseClick(dialog->btnInsert, Qt::LeftButton);
    });
    EXPECT_FALSE(insertEnabled);
    EXPECT_EQ(untypable,
              QStringLiteral("Cannot be typed: \u201C\u00E9\u201D (character 4), \u201C\u20AC\u201D (character 6)"));
    EXPECT_EQ(Codes(), Bytes{});
}

TEST_F(TypeText, RefusesATextTooLongForTheRoomWhole) {
    // Level 2 in use: Level 1 has 111 bytes, 2 of them left.
    SetCodes(0, Level::Two, {0x1C});
    ShowCodes(Bytes(109, 0x1C));
    bool stayedOpen = false;
    QString room;
    WithText(QStringLiteral("abc"), [&](TfrmTypeText* dialog) {
        room = dialog->lblRoom->text();
        QTest::mouseClick(dialog->btnInsert, Qt::LeftButton);
        stayedOpen = dialog->isVisible();
    });
    EXPECT_EQ(room, QStringLiteral("3 bytes of 2 left: too long for this macro"));
    EXPECT_EQ(prompts.shown, QStringList{kNoRoom});
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Codes(), Bytes(109, 0x1C));
    EXPECT_FALSE(window->session().modified());
}

TEST_F(TypeText, CancelAndAnEmptyTextRecordNothing) {
    bool emptyInsertEnabled = true;
    WithText(QString(), [&](TfrmTypeText* dialog) { emptyInsertEnabled = dialog->btnInsert->isEnabled(); });
    WithText(QStringLiteral("abc"), [](TfrmTypeText* dialog) { QTest::mouseClick(dialog->btnCancel, Qt::LeftButton); });
    EXPECT_FALSE(emptyInsertEnabled);
    EXPECT_EQ(Codes(), Bytes{});
    EXPECT_FALSE(window->session().modified());
}

TEST_F(TypeText, OneUndoTakesBackTheWholeText) {
    Insert(QStringLiteral("Hi!"));
    ASSERT_EQ(Codes().size(), 9u);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(Grid(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Codes(), Bytes{});
    EXPECT_EQ(Grid()->selectedIndex(), 0);
}

} // namespace
} // namespace keyloom
