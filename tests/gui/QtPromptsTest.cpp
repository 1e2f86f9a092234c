#include "gui/QtPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
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

TEST(QtFileFilterTest, WritesTheFilterTheWayQtReadsItInBothCases) {
    EXPECT_EQ(QtFileFilter("Custom Keypad Definition Files |*.ckd"),
              "Custom Keypad Definition Files (*.ckd *.CKD)");
    EXPECT_EQ(QtFileFilter("CKD Files (*.CKD)|*.CKD|All Files (*.*)|*.*"),
              "CKD Files (*.CKD) (*.CKD *.ckd);;All Files (*.*) (*.*)");
    EXPECT_EQ(QtFileFilter("Pictures|*.bmp;*.Png|All files|*.*"),
              "Pictures (*.bmp *.BMP *.Png *.png *.PNG);;All files (*.*)");
}

// The dialog shows the filters by their names, as on Windows, with the requested one chosen, and
// its first filter lists a key definition file whatever the case of its extension.
TEST(QtPromptsTest, TheFileDialogShowsTheNamesAndPreselectsTheRequestedFilter) {
    const QTemporaryDir folder;
    for (const char* name : {"a.ckd", "B.CKD", "report.xls"})
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    QtPrompts prompts;
    QStringList names;
    QString preselected;
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        for (int i = 0; i < types->count(); ++i)
            names << types->itemText(i);
        preselected = types->currentText();
        auto* view = dialog->findChild<QListView*>("listView");
        ASSERT_NE(view, nullptr);
        const auto rows = [view] { return view->model()->rowCount(view->rootIndex()); };
        EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == 3; }));
        types->setCurrentIndex(0);
        emit types->activated(0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == 2; }));
        for (int row = 0; row < rows(); ++row)
            listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
        dialog->reject();
    });
    EXPECT_EQ(prompts.openFileName({"", "CKD Files (*.CKD)|*.CKD|All Files (*.*)|*.*", "", folder.path(), "", 1}),
              std::nullopt);
    EXPECT_EQ(names, QStringList({"CKD Files (*.CKD)", "All Files (*.*)"}));
    EXPECT_EQ(preselected, "All Files (*.*)");
    listed.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, QStringList({"a.ckd", "B.CKD"}));
}

// The chosen file comes back as the system writes paths (with backslashes on Windows), as it is
// shown and handed to other programs.
TEST(QtPromptsTest, TheChosenFileIsInTheNativeForm) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("chosen.ckd"));
    QFile(path).open(QIODevice::WriteOnly);
    QtPrompts prompts;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const std::optional<QString> chosen =
        prompts.openFileName({"", "Custom Keypad Definition Files |*.ckd", "ckd", folder.path(), ""});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QDir::fromNativeSeparators(*chosen), QDir::cleanPath(path));
#ifdef _WIN32
    EXPECT_FALSE(chosen->contains(QLatin1Char('/'))) << chosen->toStdString();
#endif
}

} // namespace
} // namespace keyloom
