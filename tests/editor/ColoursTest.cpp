#include "EditorFixture.h"

#include "gui/Contrast.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

#include <map>
#include <string>
#include <vector>

namespace keyloom {
namespace {

// A dark desktop theme's palette.
QPalette DarkPalette() {
    QPalette palette;
    const QColor text(0xe8, 0xea, 0xed);
    for (const auto& [role, colour] : std::vector<std::pair<QPalette::ColorRole, QColor>>{
             {QPalette::Window, QColor(0x20, 0x21, 0x24)}, {QPalette::WindowText, text},
             {QPalette::Base, QColor(0x2b, 0x2c, 0x2f)}, {QPalette::AlternateBase, QColor(0x35, 0x36, 0x3a)},
             {QPalette::Text, text}, {QPalette::Button, QColor(0x30, 0x31, 0x34)}, {QPalette::ButtonText, text},
             {QPalette::Highlight, QColor(0x8a, 0xb4, 0xf8)}, {QPalette::HighlightedText, QColor(0x20, 0x21, 0x24)},
             {QPalette::ToolTipBase, QColor(0x30, 0x31, 0x34)}, {QPalette::ToolTipText, text},
             {QPalette::Light, QColor(0x50, 0x51, 0x55)}, {QPalette::Midlight, QColor(0x40, 0x41, 0x45)},
             {QPalette::Mid, QColor(0x28, 0x29, 0x2c)}, {QPalette::Dark, QColor(0x18, 0x19, 0x1b)},
             {QPalette::Shadow, QColor(0x00, 0x00, 0x00)}})
        palette.setColor(role, colour);
    return palette;
}

// The colour most pixels of image have: the background its text or shapes are drawn on.
QColor MostCommonColour(const QImage& image) {
    std::map<QRgb, int> counts;
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            ++counts[pixels.pixel(x, y)];
    return QColor::fromRgb(std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                               return a.second < b.second;
                           })->first);
}

double MeanLuminance(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += RelativeLuminance(image.pixelColor(x, y));
    return sum / (image.width() * image.height());
}

// The window in the desktop's light palette (false) and in a dark one (true).
class Colours : public test::EditorFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        m_saved = QApplication::palette();
        if (GetParam())
            QApplication::setPalette(DarkPalette());
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        window.reset();
        QApplication::setPalette(m_saved);
    }

private:
    QPalette m_saved;
};

// Each text is measured in broad letters: a thin glyph ("I", ".") never reaches its full colour
// on any pixel, which would say nothing about the colours chosen.
TEST_P(Colours, EveryShownTextStandsOutFromItsBackground) {
    std::vector<std::string> faint;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.trimmed().isEmpty() || !widget->isVisible() || !widget->isEnabled())
            continue;
        const auto setText = [&](const QString& shown) { label ? label->setText(shown) : button->setText(shown); };
        setText(QStringLiteral("MWM"));
        const QImage image = widget->grab().toImage();
        setText(text);
        const double contrast = LargestContrastOn(image, MostCommonColour(image));
        if (contrast < 4.5)
            faint.push_back(widget->objectName().toStdString() + " " + std::to_string(contrast));
    }
    EXPECT_THAT(faint, ::testing::IsEmpty());
}

TEST_P(Colours, ShadedKeysStayDarkerThanLightKeys) {
    const double light = MeanLuminance(window->findChild<QWidget*>("keyA")->grab().toImage());
    for (const char* shaded : {"imgLShiftUp", "imgKp7Up", "imgHomeUp"}) {
        const double dark = MeanLuminance(window->findChild<QWidget*>(shaded)->grab().toImage());
        EXPECT_GT(light - dark, 0.15) << shaded;
    }
}

TEST_P(Colours, ToolbarIconsShowOnTheToolbar) {
    for (const QToolButton* button : window->MenuPanel->findChildren<QToolButton*>()) {
        if (button->isEnabled()) {
            EXPECT_TRUE(StandsOut(button->icon(), 32, button->palette().color(QPalette::Window)))
                << button->objectName().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Palettes, Colours, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Dark" : "Light"; });

} // namespace
} // namespace keyloom
