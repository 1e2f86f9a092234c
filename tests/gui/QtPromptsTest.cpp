#include "gui/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace keyloom {
namespace {

// A Yes/No question has no answer for Escape or the window's close button, as on Windows: the
// closing window's "save your changes?" must not take either for No.
TEST(QtPromptsTest, AYesNoQuestionWaitsForAnAnswer) {
    QtPrompts prompts;
    bool stillAsking = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        stillAsking = box->isVisible();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(prompts.question("Do you want to save your changes?", false), Answer::Yes);
    EXPECT_TRUE(stillAsking);
}

TEST(QtPromptsTest, AQuestionWithCancelTakesEscapeForCancel) {
    QtPrompts prompts;
    QTimer::singleShot(0, [&] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    EXPECT_EQ(prompts.question("File exists. Overwrite?", true), Answer::Cancel);
}

TEST(QtPromptsTest, MessagesBreakLinesWhereTheirTextsDo) {
    EXPECT_EQ(MessageBoxText("The Properties panel USB Device Type is \rnot set for Multimedia Keyboard-Mouse."),
              "The Properties panel USB Device Type is \nnot set for Multimedia Keyboard-Mouse.");
    EXPECT_EQ(MessageBoxText("one\r\ntwo\nthree"), "one\ntwo\nthree");
    EXPECT_EQ(MessageBoxText("File exists. Overwrite?"), "File exists. Overwrite?");
}

TEST(QtFileFilterTest, WritesTheFilterTheWayQtReadsIt) {
    EXPECT_EQ(QtFileFilter("Custom Keypad Definition Files |*.ckd"), "Custom Keypad Definition Files (*.ckd)");
    EXPECT_EQ(QtFileFilter("Pictures|*.bmp;*.png|All files|*.*"), "Pictures (*.bmp *.png);;All files (*.*)");
}

} // namespace
} // namespace keyloom
