#include "EditorFixture.h"

#include "dialogs/TfrmAbout.h"
#include "dialogs/TfrmProperties.h"
#include "dialogs/TfrmShortcut.h"
#include "gui/QtPaths.h"
#include "editor/MacroGrid.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& path) { return QString::fromStdU16String(path.u16string()); }

#ifdef _WIN32
constexpr const char* kKeyTestProgram = "KeyTest.exe";
#else
constexpr const char* kKeyTestProgram = "KeyTest";
#endif

class DialogCommandsTest : public test::EditorFixture {
protected:
    // Runs act on dialog once it is open modally; closes it if act left it open, so that a
    // failing test never hangs in exec().
    static void WhenOpen(QDialog* dialog, std::function<void()> act) {
        QTimer::singleShot(0, dialog, [dialog, act] {
            EXPECT_TRUE(dialog->isVisible());
            act();
            if (dialog->isVisible())
                dialog->reject();
        });
    }
};

TEST_F(DialogCommandsTest, TheDialogsAreMadeOnceAfterTheMainWindowInOrder) {
    Start();
    QStringList names;
    for (const QDialog* dialog : window->findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly))
        names << dialog->objectName();
    EXPECT_EQ(names, QStringList({"frmAbout", "frmProperties", "frmShortcut"}));
}

TEST_F(DialogCommandsTest, PropertiesMarkTheDocumentModifiedOnlyWhenOkWroteThem) {
    Start();
    TfrmProperties* dialog = window->frmProperties;
    WhenOpen(dialog, [dialog] {
        dialog->spinRollover->setValue(9);
        dialog->btnCancelClick();
    });
    window->btnProperties->click();
    EXPECT_EQ(document.settings.keyRollOver, KeypadSettings{}.keyRollOver);
    EXPECT_FALSE(window->session().modified());
    EXPECT_EQ(window->lblModified->text(), "");

    WhenOpen(dialog, [dialog] {
        dialog->spinRollover->setValue(9);
        dialog->btnOkClick();
    });
    window->btnProperties->click();
    EXPECT_EQ(document.settings.keyRollOver, 9);
    EXPECT_TRUE(window->session().modified());
    EXPECT_EQ(window->lblModified->text(), "Modified");
}

TEST_F(DialogCommandsTest, TheHelperProgramsStartWhenPresentAndAreReportedWhenMissing) {
    Start();
    const struct {
        const char* name;
        std::function<void()> run;
        const char* file;
        const char* warning;
    } cases[] = {
        {"Test", [this] { window->btnTest->click(); }, kKeyTestProgram,
         "warning: The KeyTest.exe file download utility was not found."},
        {"manual", [this] { window->mnuManual->trigger(); }, "KeyloomVKxx.pdf",
         "warning: The document KeyloomVKxx.pdf was not found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.shown.clear();
        platform.launches.clear();
        c.run();
        EXPECT_EQ(prompts.shown, QStringList{c.warning});
        EXPECT_TRUE(platform.launches.empty());

        test::WriteFile(platform.program / c.file, "x");
        prompts.shown.clear();
        c.run();
        EXPECT_TRUE(prompts.shown.isEmpty());
        ASSERT_EQ(platform.launches.size(), 1u);
        EXPECT_EQ(platform.launches[0].verb, "open");
        EXPECT_EQ(platform.launches[0].file, platform.program / c.file);
        EXPECT_TRUE(platform.launches[0].arguments.empty());
    }
}

// The program does not wait for what it starts, but a launch the system refused is said rather
// than nothing happening (no PDF viewer, no opener at all).
TEST_F(DialogCommandsTest, ALaunchThatFailsIsReported) {
    Start();
    test::WriteFile(platform.program / "KeyloomVKxx.pdf", "x");
    test::WriteFile(platform.program / kKeyTestProgram, "x");
    platform.launchSucceeds = false;
    const fs::path label = window->folders().keycapLabels / "label.bmp";
    const struct {
        const char* name;
        std::function<void()> run;
        QString warning;
    } cases[] = {
        {"manual", [this] { window->mnuManual->trigger(); },
         "warning: The document KeyloomVKxx.pdf could not be opened: no program for PDF documents was found."},
        {"Test", [this] { window->btnTest->click(); },
         "warning: The key test program " + ToQString(platform.program / kKeyTestProgram) + " could not be started."},
        {"Key Labels", [&] {
             prompts.fileNames = {ToQString(label)};
             window->btnLabels->click();
         },
         "warning: " + ToQString(label) + " could not be opened for editing: no program for it was found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.shown.clear();
        c.run();
        EXPECT_EQ(prompts.shown.back(), c.warning);
    }
}

TEST_F(DialogCommandsTest, KeyLabelsOpensTheChosenTemplateForEditing) {
    Start();
    const fs::path chosen = window->folders().keycapLabels / "Keycap_Labels_Large.doc";
    prompts.fileNames = {Q(chosen), std::nullopt};
    window->btnLabels->click();
    EXPECT_EQ(prompts.lastRequest.folder, Q(window->folders().keycapLabels));
    EXPECT_EQ(prompts.lastRequest.title, "");
    EXPECT_EQ(prompts.lastRequest.filter, "");
    ASSERT_EQ(platform.launches.size(), 1u);
    EXPECT_EQ(platform.launches[0].verb, "edit");
    EXPECT_EQ(platform.launches[0].file, chosen);

    window->btnLabels->click(); // cancelled
    EXPECT_EQ(platform.launches.size(), 1u);
}

TEST_F(DialogCommandsTest, HelpPopsUpItsMenuJustAboveThePointer) {
    Start();
    QCursor::setPos(QPoint(200, 300));
    window->btnHelp->click();
    ASSERT_TRUE(window->menuHelp->isVisible());
    EXPECT_EQ(window->menuHelp->pos(), QCursor::pos() - QPoint(0, 10));
    QStringList items;
    for (const QAction* action : window->menuHelp->actions())
        items << action->text();
    EXPECT_EQ(items, QStringList({"&About...", "PDF &User Manual"}));
    EXPECT_EQ(window->menuHelp->actions().value(0), window->mnuAbout);
    window->menuHelp->hide();
}

// Location.ini beside the program chooses the Documents folder; About shows the one in use.
TEST_F(DialogCommandsTest, AboutShowsTheDocumentsAreaInUse) {
    for (const bool shared : {false, true}) {
        SCOPED_TRACE(shared ? "shared Documents" : "user's Documents");
        if (shared) {
            fs::create_directories(platform.sharedDocuments);
            test::WriteFile(platform.program / "Location.ini", "[CONFIGURATION]\r\nMy_Documents=0\r\n");
        }
        Start();
        const fs::path area = (shared ? platform.sharedDocuments : platform.userDocuments) / "Quorvane" / "KeyloomVKxx";
        ASSERT_EQ(window->folders().area, area);
        TfrmAbout* about = window->frmAbout;
        QString memo;
        WhenOpen(about, [about, &memo] {
            memo = about->Memo1->toPlainText();
            about->btnExploreClick();
            about->Button1Click();
        });
        platform.launches.clear();
        window->mnuAbout->trigger();
        EXPECT_EQ(memo, "Documents Area:\n" + Q(area));
        ASSERT_EQ(platform.launches.size(), 1u);
        EXPECT_EQ(platform.launches[0].verb, "explore");
        EXPECT_EQ(platform.launches[0].file, area);
    }
}

TEST_F(DialogCommandsTest, TheShortcutWizardChoosesThroughThePromptsAndReportsSuccess) {
    Start();
    TfrmShortcut* wizard = window->frmShortcut;
    const QString target = Q(window->folders().macroFiles / "DefaultVK24.ckd");
    prompts.fileNames = {target};
    WhenOpen(wizard, [wizard] {
        wizard->btnChooseShortcutCKD->click();
        wizard->edShortcutKeyDown({0x41, 'a'});
        wizard->edShortcutKeyUp({0x41, 'a'});
        wizard->btnCreate->click();
    });
    window->btnShortcut->click();
    EXPECT_EQ(prompts.shown, QStringList({"open: ", "information: Success!"}));
    EXPECT_EQ(prompts.lastRequest.filter, "CKD Files (*.CKD)|*.CKD|All Files (*.*)|*.*");
    EXPECT_EQ(prompts.lastRequest.folder, Q(window->folders().macroFiles));
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    EXPECT_FALSE(wizard->isVisible());
}

TEST_F(DialogCommandsTest, TheCommandsGiveTheFocusBackToTheGridOfTheLevel) {
    Start();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->tabLevelClick(1);
    const auto* grid2 = window->findChild<MacroGrid*>("StringGrid2");
    prompts.fileNames = {std::nullopt};
    for (QToolButton* button : {window->btnTest, window->btnLabels, window->btnHelp}) {
        window->btnNew->setFocus();
        button->click();
        window->menuHelp->hide();
        EXPECT_EQ(QApplication::focusWidget(), grid2) << button->objectName().toStdString();
    }
    TfrmProperties* dialog = window->frmProperties;
    window->btnNew->setFocus();
    WhenOpen(dialog, [dialog] { dialog->btnOkClick(); });
    window->btnProperties->click();
    // The window becomes active again in its own time; the grid is the focus it comes back to.
    EXPECT_EQ(window->focusWidget(), grid2) << "btnProperties";
}

} // namespace
} // namespace keyloom
