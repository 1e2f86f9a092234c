#include "document/KeycapSheet.h"
#include "files/FileError.h"
#include "files/KeyDefinitionFile.h"
#include "gui/QtPaths.h"
#include "print/KeycapLabelsPdf.h"
#include "print/KeymapPdf.h"
#include "support/PdfText.h"
#include "support/SheetEdges.h"
#include "support/TemporaryFolder.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace keyloom::print {
namespace {

using test::CanReadPdfText;
using test::EdgeRun;
using test::EdgeRuns;
using test::PageCount;
using test::PdfText;
using test::TemporaryFolder;

QString Numbered(const char* word, int key) {
    return QStringLiteral("%1%2").arg(QString::fromLatin1(word)).arg(key + 1, 2, 10, QLatin1Char('0'));
}

// The multimedia sample, whose first 24 keys have Level 1 descriptions and macros, with a Level 2
// description on every one of its 48 keys.
KeypadDocument Sample(int numberOfKeys) {
    KeypadDocument document;
    ReadKeyDefinitionFile(document, KEYLOOM_SOURCE_DIR "/examples/Macro_Files/MultiMediaKeys.ckd");
    document.numberOfKeys = numberOfKeys;
    for (int key = 0; key < kKeyCount; ++key)
        document.keys[static_cast<std::size_t>(key)].name[1] = Numbered("Second", key).toStdString();
    document.keys[23].KeyType = kLevelToggleKey;
    return document;
}

class PrintSheetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CanReadPdfText())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }

    QString Text(const std::filesystem::path& pdf) {
        const std::optional<QString> text = PdfText(pdf);
        EXPECT_TRUE(text) << "pdftotext cannot read " << pdf;
        return text.value_or(QString());
    }

    TemporaryFolder folder;
};

TEST_F(PrintSheetsTest, KeymapShowsTheKeysOfTheLayoutThenTheirMacrosByCellName) {
    for (const auto& [keys, pages] : {std::pair{24, 2}, std::pair{48, 3}}) {
        SCOPED_TRACE(keys);
        const std::filesystem::path pdf = folder / "keymap.pdf";
        WriteKeymapPdf(Sample(keys), keys, QStringLiteral("MultiMediaKeys.ckd"), pdf);
        const QString text = Text(pdf);
        EXPECT_EQ(PageCount(text), pages);
        EXPECT_TRUE(text.contains(QStringLiteral("Keymap of MultiMediaKeys.ckd")));
        EXPECT_TRUE(text.contains(QStringLiteral("VK%1 layout").arg(keys)));
        for (int key = 0; key < kKeyCount; ++key)
            EXPECT_EQ(text.contains(Numbered("Second", key)), key < keys) << "key " << key + 1;
        for (const char* shown : {"Copy (Ctrl+C)", "Favourites", "Level Toggle", "[L Ctrl Dn] [c] [L Ctrl Up]",
                                  "[Vol Mute]", "(empty)"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;
    }
}

// Renders the page as pdftoppm prints it, at the templates' resolution.
QImage PageImage(const std::filesystem::path& pdf, const std::filesystem::path& folder) {
    QProcess process;
    process.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                                               QStringLiteral("-singlefile"), ToQString(pdf),
                                               ToQString(folder / "page")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QImage(ToQString(folder / "page.pgm"));
}

TEST_F(PrintSheetsTest, LabelsFillTheTemplatesFramesOnOnePage) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    KeypadDocument document;
    document.numberOfKeys = 48;
    for (int key = 0; key < kKeyCount - 1; ++key)
        document.keys[static_cast<std::size_t>(key)].name[0] = Numbered("Lab", key).toStdString();
    document.keys[5].name[1] = "Upper";

    struct Case {
        KeycapSize size;
        const char* templateFile;
        int frame;
    };
    for (const Case& c : {Case{KeycapSize::Large, "Keycap_Labels_Large.bmp", keycaps::kLargeFrame},
                          Case{KeycapSize::Small, "Keycap_Labels_Small.bmp", keycaps::kSmallFrame}}) {
        SCOPED_TRACE(c.templateFile);
        const std::filesystem::path pdf = folder / "labels.pdf";
        WriteKeycapLabelsPdf(document, 48, c.size, QStringLiteral("labels.ckd"), pdf);
        const QString text = Text(pdf);
        EXPECT_EQ(PageCount(text), 1);
        for (int key = 0; key < kKeyCount - 1; ++key)
            EXPECT_TRUE(text.contains(Numbered("Lab", key))) << "key " << key + 1;
        EXPECT_TRUE(text.contains(QStringLiteral("Upper")));
        // The frame without a description keeps its number.
        EXPECT_TRUE(text.contains(QStringLiteral("48")));

        // Frame for frame where the template has them, half an inch from the page's corner.
        const QImage page = PageImage(pdf, folder.path());
        const QImage sheet(QStringLiteral(KEYLOOM_BINARY_DIR "/bin/Examples/Keycap_Labels/") +
                           QString::fromLatin1(c.templateFile));
        ASSERT_FALSE(page.isNull());
        ASSERT_FALSE(sheet.isNull());
        const int margin = keycaps::kDotsPerInch / 2;
        for (const bool columns : {true, false}) {
            const int minimum = (columns ? keycaps::kRows : keycaps::kColumns) * c.frame * 9 / 10;
            const std::vector<EdgeRun> expected = EdgeRuns(sheet, columns, minimum);
            const std::vector<EdgeRun> printed = EdgeRuns(page, columns, minimum);
            ASSERT_EQ(printed.size(), expected.size()) << (columns ? "columns" : "rows");
            for (std::size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(printed[i].first, expected[i].first + margin) << i;
                EXPECT_EQ(printed[i].last, expected[i].last + margin) << i;
            }
        }
    }
}

TEST_F(PrintSheetsTest, AnUnwritableOutputNamesTheFile) {
    const std::filesystem::path pdf = folder / "missing" / "keymap.pdf";
    try {
        WriteKeymapPdf(KeypadDocument{}, 24, QStringLiteral("a.ckd"), pdf);
        FAIL() << "written";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), pdf);
        EXPECT_NE(std::string(error.what()).find("keymap.pdf"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

} // namespace
} // namespace keyloom::print
