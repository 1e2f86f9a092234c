// The tree that `cmake --install` made, as the editor installed there and a file manager see it.
// Run by the packaging_lookup_installed test with the prefix in KEYLOOM_INSTALLED_PREFIX and the
// prefix's share folder first in XDG_DATA_DIRS.

#include "editor/RunEditor.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

TEST(InstalledTree, HoldsTheSamplesAndTheManualWhereTheEditorLooks) {
    const char* prefix = std::getenv("KEYLOOM_INSTALLED_PREFIX");
    ASSERT_NE(prefix, nullptr) << "KEYLOOM_INSTALLED_PREFIX is not set";
    test::FakePlatform platform;
    platform.program = fs::path(prefix) / "bin";

    const fs::path data = platform.dataFolder();
    const fs::path manual = platform.shippedDocument("KeyloomVKxx.pdf");
    EXPECT_TRUE(fs::is_regular_file(data / "Examples/Macro_Files/DefaultVK24.ckd")) << data;
    EXPECT_TRUE(fs::is_regular_file(data / "Examples/Keycap_Labels/Keycap_Labels_Large.bmp")) << data;
    EXPECT_TRUE(fs::is_regular_file(manual)) << manual;
    EXPECT_TRUE(fs::is_regular_file(platform.helperProgram(kKeyTestProgram)));
}

// What a file manager that reads the installed MIME package makes of our files: a key definition
// file by its name, a device image by its first bytes even under another name.
TEST(InstalledTree, MimePackageNamesKeyDefinitionFilesAndDeviceImages) {
    const char* prefix = std::getenv("KEYLOOM_INSTALLED_PREFIX");
    ASSERT_NE(prefix, nullptr) << "KEYLOOM_INSTALLED_PREFIX is not set";
    const fs::path share = fs::path(prefix) / "share";
    const QMimeDatabase database;

    const QString sample = QString::fromStdString(
        (share / "keyloomvkxx/Examples/Macro_Files/DefaultVK24.ckd").string());
    const QMimeType definition = database.mimeTypeForFile(sample);
    EXPECT_EQ(definition.name().toStdString(), "application/x-keyloom-ckd");
    EXPECT_TRUE(definition.inherits(QStringLiteral("text/plain")));

    // The first record of every device image starts E4 01 0C E0 70.
    const QByteArray image = QByteArray::fromHex("e4010ce070808080800202010102");
    EXPECT_EQ(database.mimeTypeForData(image).name().toStdString(), "application/x-keyloom-bin");
    EXPECT_NE(database.mimeTypeForData(QByteArray::fromHex("e4010ce071")).name().toStdString(),
              "application/x-keyloom-bin");
    // The name alone claims nothing: firmware and disk images are .bin files too.
    EXPECT_NE(database.mimeTypeForFile(QStringLiteral("firmware.bin"), QMimeDatabase::MatchExtension).name().toStdString(),
              "application/x-keyloom-bin");
}

// Docks and task bars match the editor's windows with the desktop entry it names, and show the
// icon installed beside it.
TEST(InstalledTree, TheEditorNamesItsDesktopEntryAndCarriesItsIcon) {
    const char* prefix = std::getenv("KEYLOOM_INSTALLED_PREFIX");
    ASSERT_NE(prefix, nullptr) << "KEYLOOM_INSTALLED_PREFIX is not set";
    SetUpApplication();
    const fs::path entry =
        fs::path(prefix) / "share/applications" / (QGuiApplication::desktopFileName().toStdString() + ".desktop");
    EXPECT_TRUE(fs::is_regular_file(entry)) << entry;
    EXPECT_FALSE(QApplication::windowIcon().isNull());
}

} // namespace
} // namespace keyloom
