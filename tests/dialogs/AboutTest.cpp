#include "dialogs/TfrmAbout.h"

#include "support/FakePlatform.h"
#include "support/TemporaryFolder.h"

#include <QDate>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

TEST(AboutTest, ShowsTheVersionTheBuildDateAndTheDocumentsAreaInUse) {
    test::TemporaryFolder root;
    test::FakePlatform platform{root.path()};
    fs::path area = root / "Documents" / "Quorvane" / "KeyloomVKxx";
    TfrmAbout about(platform, area);

    about.FormShow();
    EXPECT_EQ(about.windowTitle(), "About KeyloomVKxx");
    EXPECT_EQ(about.Label4->text(), "Version: 1.60");
    const QString date = about.Label5->text();
    EXPECT_TRUE(QRegularExpression("^[A-Z][a-z]{2} [0-3][0-9] [0-9]{4}$").match(date).hasMatch()) << date.toStdString();
    const QDate built = QDate::fromString(date, "MMM dd yyyy");
    EXPECT_TRUE(built.isValid()) << date.toStdString();
    EXPECT_LE(built, QDate::currentDate());
    EXPECT_EQ(about.Memo1->toPlainText(), "Documents Area:\n" + QString::fromStdString(area.string()));

    // The area is read at every showing: the main window finds it after creating the window.
    area = root / "Shared" / "Quorvane" / "KeyloomVKxx";
    about.FormShow();
    EXPECT_EQ(about.Memo1->toPlainText(), "Documents Area:\n" + QString::fromStdString(area.string()));

    about.btnExploreClick();
    ASSERT_EQ(platform.launches.size(), 1u);
    EXPECT_EQ(platform.launches[0].verb, "explore");
    EXPECT_EQ(platform.launches[0].file, area);
    EXPECT_TRUE(platform.launches[0].arguments.empty());
}

} // namespace
} // namespace keyloom
