#include "EditorFixture.h"

#include "editor/KeypadPanel.h"
#include "editor/MacroTabs.h"
#include "editor/OnScreenKeyboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

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
        m_saved = QApplication::font();
        QFont font = m_saved;
        font.setPointSize(GetParam());
        QApplication::setFont(font);
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        if (!window)
            return;
        window.reset();
        QApplication::setFont(m_saved);
    }

private:
    QFont m_saved;
};

// The room a control leaves its caption: its width less the frame and margins the style draws.
int CaptionRoom(const QWidget* widget) {
    if (qobject_cast<const QToolButton*>(widget))
        return widget->width() - 4;
    if (qobject_cast<const QPushButton*>(widget))
        return widget->width() - 4;
    if (const auto* box = qobject_cast<const QCheckBox*>(widget))
        return box->width() - box->style()->pixelMetric(QStyle::PM_IndicatorWidth) - 4;
    return widget->contentsRect().width();
}

TEST_P(FontSizes, EveryCaptionFitsItsControl) {
    // A shaded key's button lies under its pictures, which fit its caption themselves.
    std::set<const QWidget*> covered;
    for (const OnScreenKeyboard::Key& key : window->KeyboardPanel->keys) {
        if (key.up != nullptr)
            covered.insert(key.button);
    }
    std::vector<std::string> clipped;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (covered.count(widget) != 0)
            continue;
        const auto* label = qobject_cast<const QLabel*>(widget);
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        QString text = label ? label->text() : button ? button->text() : QString();
        text.replace(QStringLiteral("&&"), QStringLiteral("&"));
        if (text.trimmed().isEmpty() || !widget->isVisible() || (label && label->wordWrap()))
            continue;
        const int needed = widget->fontMetrics().horizontalAdvance(text);
        if (needed > CaptionRoom(widget))
            clipped.push_back(widget->objectName().toStdString() + " needs " + std::to_string(needed) + " of " +
                              std::to_string(CaptionRoom(widget)));
    }
    EXPECT_THAT(clipped, ::testing::IsEmpty());
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

INSTANTIATE_TEST_SUITE_P(Points, FontSizes, ::testing::Values(9, 10, 11, 12),
                         [](const auto& info) { return std::to_string(info.param) + "pt"; });

} // namespace
} // namespace keyloom
