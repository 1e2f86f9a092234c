#include "EditorFixture.h"
#include "support/Captions.h"

#include "editor/CodeFinder.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroTabs.h"
#include "editor/OnScreenKeyboard.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTabBar>
#include <QToolButton>

#include <gmock/gmock.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace keyloom {
namespace {

// The window built with the desktop's UI font at 9 to 12 points.
class FontSizes : public test::EditorFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
#ifdef Q_OS_WIN
        // Wine's offscreen tests measure text in a 15-pixel stand-in font, not the UI font.
        GTEST_SKIP() << "text is not measured in the UI font under Wine's offscreen platform";
#endif
        m_font.emplace(GetParam());
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

private:
    // Given back after the window is gone (EditorFixture::TearDown).
    std::optional<test::ScopedUiFont> m_font;
};

TEST_P(FontSizes, EveryCaptionFitsItsControl) {
    // A shaded key's button lies under its pictures, which fit its caption themselves.
    std::set<const QWidget*> covered;
    for (const OnScreenKeyboard::Key& key : window->KeyboardPanel->keys) {
        if (key.up != nullptr)
            covered.insert(key.button);
    }
    EXPECT_THAT(test::ClippedCaptions(window.get(), covered), ::testing::IsEmpty());
}

TEST_P(FontSizes, ThePanelsDoNotOverlap) {
    const std::vector<const QWidget*> panels = {window->MenuPanel, window->keypadPanel, window->TabControl1,
                                                window->KeyboardPanel};
    for (std::size_t i = 0; i < panels.size(); ++i) {
        for (std::size_t j = i + 1; j < panels.size(); ++j) {
            EXPECT_FALSE(panels[i]->geometry().intersects(panels[j]->geometry()))
                << panels[i]->objectName().toStdString() << " and " << panels[j]->objectName().toStdString();
        }
    }
}

TEST_P(FontSizes, TheFinderFitsBesideTheLevelTabs) {
    const QLineEdit* field = window->codeFinder->edFindCode;
    const QTabBar* tabs = window->TabControl1->tabBar();
    const QRect fieldRect(field->mapTo(window->TabControl1, QPoint(0, 0)), field->size());
    const QRect tabsRect(tabs->mapTo(window->TabControl1, QPoint(0, 0)), tabs->size());
    EXPECT_TRUE(window->TabControl1->rect().contains(fieldRect));
    for (int tab = 0; tab < tabs->count(); ++tab)
        EXPECT_FALSE(fieldRect.intersects(tabs->tabRect(tab).translated(tabsRect.topLeft()))) << tab;
    // Room for the placeholder and a query as long as this.
    EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(QStringLiteral("double-click: forward")));
}

INSTANTIATE_TEST_SUITE_P(Points, FontSizes, ::testing::Values(9, 10, 11, 12),
                         [](const auto& info) { return std::to_string(info.param) + "pt"; });

} // namespace
} // namespace keyloom
