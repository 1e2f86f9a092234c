#include "EditorFixture.h"

#include "files/DeviceImage.h"
#include "gui/QtPaths.h"
#include "support/PdfText.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

using test::ReadFile;
using test::WriteFile;

// The Print button's sheets, saved from the document on screen.
class PrintTest : public test::EditorFixture {
protected:
    // Opens a copy of the multimedia sample as the command line does.
    fs::path OpenSample() {
        const fs::path ckd = folder / "Media keys.ckd";
        fs::copy_file(KEYLOOM_SOURCE_DIR "/examples/Macro_Files/MultiMediaKeys.ckd", ckd);
        Start({ToQString(ckd)});
        return ckd;
    }

    QStringList Errors() const { return prompts.shown.filter(QStringLiteral("error: ")); }
};

TEST_F(PrintTest, EachSheetIsSavedBesideTheOpenFileAndTheDocumentStaysAsItWas) {
    if (!test::CanReadPdfText())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const fs::path ckd = OpenSample();
    document.keys[2].name[1] = "Rewind";
    Loaded();
    const KeypadDocument before = document;
    struct Case {
        QAction* TfrmMain::*item;
        const char* title;
        const char* proposed;
        int pages;
    };
    for (const Case& c : {Case{&TfrmMain::mnuPrintKeymap, "Save Keymap as PDF", "Media keys.pdf", 2},
                          Case{&TfrmMain::mnuPrintLabels, "Save Keycap Labels as PDF", "Media keys-labels.pdf", 1},
                          Case{&TfrmMain::mnuPrintSmallLabels, "Save Small Keycap Labels as PDF",
                               "Media keys-small-labels.pdf", 1}}) {
        SCOPED_TRACE(c.title);
        const fs::path pdf = folder / c.proposed;
        prompts.fileNames = {ToQString(pdf)};
        (window.get()->*c.item)->trigger();
        EXPECT_EQ(prompts.lastRequest.title, c.title);
        EXPECT_EQ(prompts.lastRequest.folder, ToQString(ckd.parent_path()));
        EXPECT_EQ(prompts.lastRequest.fileName, c.proposed);
        EXPECT_EQ(prompts.lastRequest.filter, "PDF Documents |*.pdf");
        const std::optional<QString> text = test::PdfText(pdf);
        ASSERT_TRUE(text);
        EXPECT_EQ(test::PageCount(*text), c.pages);
        EXPECT_TRUE(text->contains("Favourites"));
        EXPECT_TRUE(text->contains("Rewind"));
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
    EXPECT_EQ(document, before);
    EXPECT_EQ(window->lblModified->text(), "");
}

TEST_F(PrintTest, AnUntitledDocumentsSheetsGoToTheMacroFiles) {
    Start();
    prompts.fileNames = {std::nullopt};
    window->mnuPrintLabels->trigger();
    EXPECT_EQ(prompts.lastRequest.folder, ToQString(window->folders().macroFiles));
    EXPECT_EQ(prompts.lastRequest.fileName, "Untitled-labels.pdf");
    EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(PrintTest, NeitherTheOpenFileNorItsImageIsReplacedAndAFailedWriteIsShown) {
    const fs::path ckd = OpenSample();
    WriteFile(DeviceImagePath(ckd), "image");
    const std::string sample = ReadFile(ckd);
    for (const fs::path& refused : {ckd, DeviceImagePath(ckd), folder / "." / "Media keys.bin"}) {
        prompts.shown.clear();
        prompts.fileNames = {ToQString(refused)};
        window->mnuPrintKeymap->trigger();
        EXPECT_EQ(Errors(), QStringList{"error: " + ToQString(refused) +
                                        " is the open key definition file or its device image; the PDF is not "
                                        "saved over it. Choose another name."});
    }
    EXPECT_EQ(ReadFile(ckd), sample);
    EXPECT_EQ(ReadFile(DeviceImagePath(ckd)), "image");

    prompts.shown.clear();
    const fs::path unwritable = folder / "absent" / "keymap.pdf";
    prompts.fileNames = {ToQString(unwritable)};
    window->mnuPrintSmallLabels->trigger();
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].startsWith("error: Unable to write to " + ToQString(unwritable))) << Errors()[0].toStdString();
}

TEST_F(PrintTest, ThePrintButtonOpensTheMenuOfSheetsUnderIt) {
    Start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(window->btnPrint->shortcut(), QKeySequence(QStringLiteral("Alt+X")));
    EXPECT_FALSE(window->btnPrint->toolTip().isEmpty());
    window->btnPrint->click();
    ASSERT_TRUE(window->menuPrint->isVisible());
    // Its top on the button's bottom edge, across the button's left edge (a style may move it a few
    // pixels aside).
    const QPoint underButton = window->btnPrint->mapToGlobal(QPoint(0, window->btnPrint->height()));
    EXPECT_EQ(window->menuPrint->y(), underButton.y());
    EXPECT_LE(window->menuPrint->x(), underButton.x());
    // A screen narrower than the window (the offscreen one) pushes it back to its right edge.
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_GT(window->menuPrint->geometry().right(), std::min(underButton.x(), screen.right() - 1));
    QStringList items;
    for (const QAction* action : window->menuPrint->actions()) {
        items << action->text();
        EXPECT_FALSE(action->toolTip().isEmpty());
    }
    EXPECT_EQ(items, QStringList({"&Keymap (PDF)...", "Keycap &Labels (PDF)...", "&Small Keycap Labels (PDF)..."}));
    window->menuPrint->hide();
}

} // namespace
} // namespace keyloom
