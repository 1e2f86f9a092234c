#include "keytest/KeyTestWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace keyloom {
namespace {

// A listed row as its columns read: number, key, event, codes, names.
QStringList RowText(const QTreeWidget& list, int row) {
    const QTreeWidgetItem* item = list.topLevelItem(row);
    QStringList texts;
    for (int column = 0; column < list.columnCount(); ++column)
        texts << item->text(column);
    return texts;
}

TEST(KeyTestWindow, ListsEveryPressAndReleaseWithItsCodesAndClears) {
    KeyTestWindow window;
    window.show();
    auto* list = window.findChild<QTreeWidget*>("lstStrokes");
    auto* count = window.findChild<QLabel*>("lblCount");
    auto* clear = window.findChild<QPushButton*>("btnClear");
    ASSERT_NE(list, nullptr);
    ASSERT_NE(count, nullptr);
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(window.windowTitle(), "KeyloomVKxx Key Test");

    QTest::keyClick(&window, Qt::Key_A);
    // Tab and Space are listed too: they neither move the focus nor press the Clear button.
    QTest::keyClick(&window, Qt::Key_Tab);
    QTest::keyClick(&window, Qt::Key_Space);
    QTest::keyClick(&window, Qt::Key_VolumeUp);
    QTest::keyClick(&window, Qt::Key_Print);

    ASSERT_EQ(list->topLevelItemCount(), 10);
    EXPECT_EQ(RowText(*list, 0), QStringList({"1", "A", "Press", "1c", "a"}));
    EXPECT_EQ(RowText(*list, 1), QStringList({"2", "A", "Release", "not recorded", ""}));
    EXPECT_EQ(RowText(*list, 2), QStringList({"3", "Tab", "Press", "not recorded", ""}));
    EXPECT_EQ(RowText(*list, 3), QStringList({"4", "Tab", "Release", "0d", "Tab"}));
    EXPECT_EQ(RowText(*list, 4), QStringList({"5", "Space", "Press", "29", "Space"}));
    EXPECT_EQ(RowText(*list, 5), QStringList({"6", "Space", "Release", "not recorded", ""}));
    EXPECT_EQ(RowText(*list, 6).mid(2, 3), QStringList({"Press", "not recorded", ""}));
    EXPECT_EQ(RowText(*list, 8).mid(2, 3), QStringList({"Press", "recorded on release", ""}));
    EXPECT_EQ(RowText(*list, 9).mid(2, 3), QStringList({"Release", "86", "PrtScrn"}));
    EXPECT_EQ(count->text(), "Events: 10");
    EXPECT_EQ(window.count(), 10);

    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(count->text(), "Events: 0");

    // Numbering starts again, and Shift held names the symbol as shifted.
    QTest::keyClick(&window, Qt::Key_Exclam, Qt::ShiftModifier);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(RowText(*list, 0), QStringList({"1", "Shift", "Press", "12", "L Shift Dn"}));
    EXPECT_EQ(RowText(*list, 1), QStringList({"2", "!", "Press", "16", "!"}));
    EXPECT_EQ(RowText(*list, 2), QStringList({"3", "!", "Release", "not recorded", ""}));
    EXPECT_EQ(RowText(*list, 3), QStringList({"4", "Shift", "Release", "f0 12", "L Shift Up"}));
    EXPECT_EQ(count->text(), "Events: 4");
}

// Keys by the names on their keycaps; an Alt chord's letter says what the editor does with it; and
// the Codes column shows the longest of those sayings whole.
TEST(KeyTestWindow, NamesTheModifierKeysAndSaysWhatAnAltChordDoes) {
    KeyTestWindow window;
    window.show();
    auto* list = window.findChild<QTreeWidget*>("lstStrokes");
    ASSERT_NE(list, nullptr);
    QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
    // keyClick has no text for these keys.
    for (const Qt::Key key : {Qt::Key_AltGr, Qt::Key_Meta, Qt::Key_Super_R}) {
        QTest::sendKeyEvent(QTest::Press, &window, key, QString(), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, &window, key, QString(), Qt::NoModifier);
    }
    QTest::keyClick(&window, Qt::Key_Control);
    QTest::keyClick(&window, Qt::Key_V, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_Backspace);
    QTest::keyClick(&window, Qt::Key_Print);

    ASSERT_EQ(list->topLevelItemCount(), 20);
    EXPECT_EQ(RowText(*list, 0).mid(1, 3), QStringList({"Alt", "Press", "not recorded"}));
    EXPECT_EQ(RowText(*list, 1).mid(1, 3), QStringList({"A", "Press", "runs Save As"}));
    EXPECT_EQ(RowText(*list, 2).mid(1, 3), QStringList({"A", "Release", "not recorded"}));
    EXPECT_EQ(RowText(*list, 3).mid(1, 3), QStringList({"Alt", "Release", "not recorded"}));
    EXPECT_EQ(RowText(*list, 4).mid(1, 2), QStringList({"AltGr", "Press"}));
    EXPECT_EQ(RowText(*list, 6).mid(1, 4), QStringList({"Win", "Press", "e0 1f", "L Win Dn"}));
    EXPECT_EQ(RowText(*list, 8).mid(1, 4), QStringList({"Win", "Press", "e0 27", "R Win Dn"}));
    EXPECT_EQ(RowText(*list, 10).mid(1, 2), QStringList({"Ctrl", "Press"}));
    EXPECT_EQ(RowText(*list, 13).mid(1, 3), QStringList({"V", "Press", "shows or hides descriptions on keys"}));
    EXPECT_EQ(RowText(*list, 16).mid(1, 3), QStringList({"Backspace", "Press", "erases the cell before the selection"}));
    EXPECT_EQ(RowText(*list, 18).mid(1, 3), QStringList({"Print", "Press", "recorded on release"}));
    const QAbstractItemView* view = list; // the size hint is public there
    EXPECT_GE(list->columnWidth(3), view->sizeHintForColumn(3));
}

} // namespace
} // namespace keyloom
