#include "dialogs/TfrmAbout.h"
#include "dialogs/TfrmProperties.h"
#include "dialogs/TfrmShortcut.h"
#include "dialogs/TfrmTypeText.h"

#include "document/KeypadDocument.h"
#include "support/Captions.h"
#include "support/FakePlatform.h"
#include "support/ScriptedPrompts.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace keyloom {
namespace {

enum class Dialog { About, Properties, Shortcut, TypeText };
const char* const kDialogNames[] = {"About", "Properties", "Shortcut", "TypeText"};
void PrintTo(Dialog dialog, std::ostream* out) { *out << kDialogNames[static_cast<int>(dialog)]; }

// A dialog built with the desktop's UI font at 9 to 12 points.
class DialogFontSizes : public ::testing::TestWithParam<std::tuple<Dialog, int>> {
protected:
    void SetUp() override {
#ifdef Q_OS_WIN
        // Wine's offscreen tests measure text in a 15-pixel stand-in font, not the UI font.
        GTEST_SKIP() << "text is not measured in the UI font under Wine's offscreen platform";
#endif
        m_font.emplace(std::get<1>(GetParam()));
        switch (std::get<0>(GetParam())) {
        case Dialog::About:
            dialog = std::make_unique<TfrmAbout>(platform, folder.path());
            break;
        case Dialog::Properties:
            dialog = std::make_unique<TfrmProperties>(document);
            break;
        case Dialog::Shortcut:
            dialog = std::make_unique<TfrmShortcut>(platform, prompts, folder.path());
            break;
        case Dialog::TypeText: {
            // With its longest lines showing: a text too long and with characters no key types.
            auto typeText = std::make_unique<TfrmTypeText>(2, TfrmTypeText::Recorder{});
            typeText->edText->setPlainText(QStringLiteral("Caf\u00E9 \u20AC, ann@example.org\n"));
            dialog = std::move(typeText);
            break;
        }
        }
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    // The dialog goes before the font is given back.
    std::optional<test::ScopedUiFont> m_font;
    test::TemporaryFolder folder;
    test::FakePlatform platform{folder.path()};
    test::ScriptedPrompts prompts;
    KeypadDocument document;
    std::unique_ptr<QDialog> dialog;
};

TEST_P(DialogFontSizes, EveryCaptionFits) { EXPECT_THAT(test::ClippedCaptions(dialog.get()), ::testing::IsEmpty()); }

TEST_P(DialogFontSizes, NoTwoControlsOverlap) {
    std::vector<std::string> overlapping;
    std::vector<QWidget*> parents = {dialog.get()};
    for (QWidget* parent : dialog->findChildren<QGroupBox*>())
        parents.push_back(parent);
    for (const QWidget* parent : parents) {
        const QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < children.size(); ++i) {
            for (qsizetype j = i + 1; j < children.size(); ++j) {
                if (children[i]->isVisible() && children[j]->isVisible() &&
                    children[i]->geometry().intersects(children[j]->geometry()))
                    overlapping.push_back(children[i]->objectName().toStdString() + " and " +
                                          children[j]->objectName().toStdString());
            }
        }
    }
    EXPECT_THAT(overlapping, ::testing::IsEmpty());
}

// Each control keeps inside its dialog.
TEST_P(DialogFontSizes, EveryControlLiesInsideTheDialog) {
    for (const QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible()) {
            EXPECT_TRUE(dialog->rect().contains(child->geometry())) << child->objectName().toStdString();
        }
    }
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Dialog, int>>& info) {
    return kDialogNames[static_cast<int>(std::get<0>(info.param))] + std::to_string(std::get<1>(info.param)) + "pt";
}

INSTANTIATE_TEST_SUITE_P(Points, DialogFontSizes,
                         ::testing::Combine(::testing::Values(Dialog::About, Dialog::Properties, Dialog::Shortcut,
                                                              Dialog::TypeText),
                                            ::testing::Values(9, 10, 11, 12)),
                         CaseName);

} // namespace
} // namespace keyloom
