#include "EditorFixture.h"

#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "editor/OnScreenKeyboard.h"
#include "gui/Contrast.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

#include <ostream>
#include <string>
#include <vector>

namespace keyloom {
namespace {

class Screen : public test::EditorFixture {
protected:
    void SetUp() override {
        Start();
        scroller = window->findChild<QScrollArea*>(QStringLiteral("frmMainScroller"));
        ASSERT_NE(scroller, nullptr);
    }
    void Show() {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    // Whether the middle of widget can be seen in the scroll area's viewport.
    bool InView(const QWidget* widget) const {
        const QPoint middle = widget->mapTo(scroller->viewport(), widget->rect().center());
        return scroller->viewport()->rect().contains(middle);
    }

    QScrollArea* scroller = nullptr;
};

// The grid keeps every edge of its frame, also at fractional scale factors, where the style's
// frame used to lose its top and left edges. Each edge is found within two device pixels of its
// place, as a line that differs from the window behind it and from the cells inside.
TEST_F(Screen, TheGridShowsItsTopAndLeftEdges) {
    Show();
    const MacroGrid* grid = window->CurrentGrid();
    const QImage image = window->grab().toImage();
    const double scale = image.devicePixelRatio();
    const QRect place(grid->mapTo(window.get(), QPoint()), grid->size());
    const auto device = [scale](double logical) { return static_cast<int>(logical * scale); };
    const auto edgeShows = [&](QPoint across, QPoint start) {
        const QColor outside = image.pixelColor(start - 3 * across);
        const QColor inside = image.pixelColor(start + 4 * across);
        for (int step = -2; step <= 2; ++step) {
            const QColor line = image.pixelColor(start + step * across);
            if (ContrastRatio(line, outside) > 1.2 && ContrastRatio(line, inside) > 1.2)
                return true;
        }
        return false;
    };
    // The middles of the top and left edges: the fourth column and the fifth row, unselected.
    EXPECT_TRUE(edgeShows(QPoint(0, 1), QPoint(device(place.center().x()), device(place.top()))));
    EXPECT_TRUE(edgeShows(QPoint(1, 0), QPoint(device(place.left()), device(place.center().y()))));
}

// On a screen that has room, the window has its one fixed size and no scroll bars.
TEST_F(Screen, AWindowThatFitsIsWholeAndFixed) {
    const QSize whole = window->size();
    window->FitToScreen(QRect(0, 0, 2560, 1400), QMargins(4, 30, 4, 4));
    Show();
    EXPECT_EQ(window->size(), whole);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(scroller->verticalScrollBar()->isVisible());
    EXPECT_EQ(window->pos(), QPoint((2560 - whole.width()) / 2 - 4, (1400 - 34 - whole.height()) / 2));
}

struct SmallScreen {
    const char* name;
    QRect available; // in the logical pixels the window is placed in
};
void PrintTo(const SmallScreen& screen, std::ostream* out) { *out << screen.name; }

class SmallScreens : public Screen, public ::testing::WithParamInterface<SmallScreen> {};

// A laptop at 100 % with a 40-pixel panel; a full-HD screen at 150 % (1280 x 720 logical) with
// a 32-pixel panel; a window that a 2x scale makes wider and taller than its screen.
TEST_P(SmallScreens, TheWindowFitsAndScrollsToEveryPanel) {
    const QSize whole = window->size();
    const QMargins frame(4, 30, 4, 4);
    const QRect area = GetParam().available.marginsRemoved(frame);
    window->FitToScreen(GetParam().available, frame);
    Show();
    EXPECT_LE(window->width(), area.width());
    EXPECT_LE(window->height(), area.height());
    // A window is moved by its frame's corner; the offscreen platform draws no frame.
    EXPECT_TRUE(area.contains(QRect(window->pos() + QPoint(frame.left(), frame.top()), window->size())));
    // The user may make it larger again, up to the whole window.
    EXPECT_EQ(window->maximumSize(), whole);

    const std::vector<QWidget*> farthest = {
        window->btnPrint, window->ButtonOfKeyIndex(0), window->ButtonOfKeyIndex(23),
        window->TabControl1->levels[0].btnEraseAll, window->KeyboardPanel->keys.back().button,
        window->KeyboardPanel->keys.front().button};
    for (QWidget* widget : farthest) {
        scroller->ensureWidgetVisible(widget, 0, 0);
        EXPECT_TRUE(InView(widget)) << widget->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, SmallScreens,
                         ::testing::Values(SmallScreen{"Laptop", QRect(0, 0, 1366, 728)},
                                           SmallScreen{"FullHdAt150", QRect(0, 32, 1280, 688)},
                                           SmallScreen{"Tiny", QRect(0, 0, 640, 480)}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace keyloom
