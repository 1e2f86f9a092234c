#include "RecordingFixture.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

namespace keyloom {
namespace {

using test::Bytes;

const QString kNoRoom = QStringLiteral(
    "warning: Not enough room for this key. You can make room by deleting one or more keys.\r\r"
    "If both levels are used then each level can be up to 111 bytes long.\r"
    "If only Level 1 is used then Level 1 can be up to 220 bytes long.");
const QString kDeviceType =
    QStringLiteral("warning: The Properties panel USB Device Type is \rnot set for Multimedia Keyboard-Mouse.");

constexpr int32_t kMultimediaKeyboardMouse = 12;
constexpr int32_t kBasicKeyboard = 3;

class Recording : public test::RecordingFixture {
protected:
    void SetUp() override {
        RecordingFixture::SetUp();
        document.settings.usbDeviceType = kMultimediaKeyboardMouse;
        Loaded();
    }
};

struct ClickCase {
    const char* title;
    Bytes before;
    int selected; // the selected cell; -1: the end
    std::vector<const char*> used;
    Bytes after;
    int selectedAfter;
};

const ClickCase kClickCases[] = {
    {"LetterOnEmptyMacro", {}, -1, {"keyA"}, {0x1C}, 1},
    {"RightCtrlPressThenRelease", {}, -1, {"keyRCtrl", "keyRCtrl"}, {0xE0, 0x14, 0xE0, 0xF0, 0x14}, 2},
    {"LeftShiftReleasedInFrontOfACellThatHoldsIt", {0x12, 0x1C}, 1, {"keyLShift"}, {0x12, 0xF0, 0x12, 0x1C}, 2},
    {"LeftShiftPressedInAFileIsReleased", {0x12}, -1, {"keyLShift"}, {0x12, 0xF0, 0x12}, 2},
    {"LeftAltOnEmptyMacro", {}, -1, {"keyLAlt"}, {0x11}, 1},
    {"SelectionBeyondTheEndAppends", {0x1C, 0x32}, 20, {"keyEnter"}, {0x1C, 0x32, 0x5A}, 21},
    {"CapsLockLamp", {}, -1, {"ledCapsLock"}, {0x58}, 1},
    {"BreakCodeAlone", {}, -1, {"keyBreakCode"}, {0xF0}, 1},
    {"MediaItem", {0x1C}, -1, {"keyVolUp"}, {0x1C, 0xE0, 0x32}, 2},
    {"DoubleClickEachTimeItIsChosen", {}, -1, {"miMouseLeftDoubleClick", "miMouseLeftDoubleClick"},
     {0xE0, 0x61, 0xE2, 0x01, 0x32, 0xE0, 0x61, 0xE0, 0x61, 0xE2, 0x01, 0x32, 0xE0, 0x61}, 6},
};

class Clicks : public Recording, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(Clicks, RecordAtTheSelectionAndMoveItOn) {
    const ClickCase& c = GetParam();
    ShowCodes(c.before);
    if (c.selected >= 0)
        Grid()->selectIndex(c.selected);
    for (const char* name : c.used)
        Use(QString::fromLatin1(name));
    EXPECT_EQ(Codes(), c.after);
    EXPECT_EQ(Grid()->selectedIndex(), c.selectedAfter);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    EXPECT_TRUE(window->session().modified());
    EXPECT_EQ(QApplication::focusWidget(), Grid());
}

INSTANTIATE_TEST_SUITE_P(Cases, Clicks, ::testing::ValuesIn(kClickCases),
                         [](const auto& info) { return std::string(info.param.title); });

TEST_F(Recording, LeftShiftAlternatesFromTheMacroAndItsPictureFollows) {
    auto* shift = Find<QAbstractButton>("keyLShift");
    // The picture follows the macro, not the mouse: a press alone shows nothing.
    QTest::mousePress(shift, Qt::LeftButton);
    EXPECT_TRUE(Shows("imgLShiftUp"));
    EXPECT_FALSE(Shows("imgLShiftDown"));
    QTest::mouseRelease(shift, Qt::LeftButton);
    EXPECT_EQ(Codes(), (Bytes{0x12}));
    EXPECT_TRUE(Shows("imgLShiftDown"));
    EXPECT_FALSE(Shows("imgLShiftUp"));

    Use("keyLShift");
    EXPECT_EQ(Codes(), (Bytes{0x12, 0xF0, 0x12}));
    EXPECT_TRUE(Shows("imgLShiftUp"));
    EXPECT_FALSE(Shows("imgLShiftDown"));

    // Selected, the cell that pressed it says Shift is held: the button releases, in front of it.
    Grid()->selectIndex(0);
    Use("keyLShift");
    EXPECT_EQ(Codes(), (Bytes{0xF0, 0x12, 0x12, 0xF0, 0x12}));
}

TEST_F(Recording, ModifierClickLoadsEveryHeldFlagFromTheMacro) {
    ShowCodes({0x14, 0xE0, 0x11}); // L Ctrl and R Alt down
    Use("keyLAlt");
    const std::array<bool, 8> held = {true, false, true, false, false, false, true, false};
    EXPECT_EQ(window->session().heldModifiers(), held);
    EXPECT_EQ(Codes(), (Bytes{0x14, 0xE0, 0x11, 0x11}));
}

TEST_F(Recording, DoubleClickWithThreeBytesOfRoomKeepsTheFirstClickAndRefusesTheRest) {
    ShowCodes(Bytes(217, 0x1C));
    Use("miMouseLeftDoubleClick");
    Bytes expected(219, 0x1C);
    expected[217] = 0xE0;
    expected[218] = 0x61;
    EXPECT_EQ(Codes(), expected);
    EXPECT_EQ(prompts.shown, QStringList({kNoRoom, kNoRoom}));
    EXPECT_EQ(Grid()->selectedIndex(), 218);
}

TEST_F(Recording, RefusalChangesNothing) {
    ShowCodes(Bytes(219, 0x1C));
    Grid()->selectIndex(3);
    Use("keyDelay");
    EXPECT_EQ(Codes(), Bytes(219, 0x1C));
    EXPECT_EQ(Grid()->selectedIndex(), 3);
    EXPECT_FALSE(window->session().modified());
    EXPECT_EQ(prompts.shown, QStringList({kNoRoom}));
}

struct SliderCase {
    int value;
    Bytes delay;
    const char* delayText;
    const char* deltaText;
};

class Slider : public Recording, public ::testing::WithParamInterface<SliderCase> {};

TEST_P(Slider, SetsBothLabelsRecordsNothingAndTheDelayButtonUsesIt) {
    const SliderCase& c = GetParam();
    auto* slider = Find<QSlider>("TrackBar1");
    slider->setValue(c.value == 50 ? 51 : 50);
    slider->setValue(c.value);
    EXPECT_EQ(Find<QLabel>("lblDelay")->text(), c.delayText);
    EXPECT_EQ(Find<QLabel>("lblMouseDelta")->text(), c.deltaText);
    EXPECT_TRUE(Codes().empty());
    EXPECT_FALSE(window->session().modified());
    Use("keyDelay");
    EXPECT_EQ(Codes(), c.delay);
}

INSTANTIATE_TEST_SUITE_P(Values, Slider,
                         ::testing::Values(SliderCase{1, {0xE2, 0x01, 0x01}, "Delay = 4 ms", "Mouse Delta = 1"},
                                           SliderCase{50, {0xE2, 0x01, 0x32}, "Delay = 200 ms", "Mouse Delta = 50"},
                                           SliderCase{125, {0xE2, 0x01, 0x7D}, "Delay = 500 ms",
                                                      "Mouse Delta = 125"}),
                         [](const auto& info) { return std::to_string(info.param.value); });

TEST_F(Recording, SliderStartsAtFiftyAndHandsTheFocusBack) {
    auto* slider = Find<QSlider>("TrackBar1");
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 125);
    EXPECT_EQ(slider->value(), 50);
    EXPECT_EQ(Find<QLabel>("lblDelay")->text(), "Delay = 200 ms");
    EXPECT_EQ(Find<QLabel>("lblMouseDelta")->text(), "Mouse Delta = 50");
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(Find<QLabel>("lblMouseDelta")->text(), "Mouse Delta = 51");
    EXPECT_EQ(QApplication::focusWidget(), Grid());
}

struct DeviceCase {
    int32_t deviceType;
    const char* item;
    QStringList shown;
    Bytes recorded;
};

class DeviceType : public Recording, public ::testing::WithParamInterface<DeviceCase> {};

TEST_P(DeviceType, MouseButtonsWarnOutsideTheKeyboardMouseTypeAndRecordAnyway) {
    const DeviceCase& c = GetParam();
    document.settings.usbDeviceType = c.deviceType;
    Use(QString::fromLatin1(c.item));
    EXPECT_EQ(prompts.shown, c.shown);
    EXPECT_EQ(Codes(), c.recorded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceType,
    ::testing::Values(DeviceCase{kBasicKeyboard, "miMouseLeftClick", {kDeviceType}, {0xE0, 0x61}},
                      DeviceCase{kMultimediaKeyboardMouse, "miMouseLeftClick", {}, {0xE0, 0x61}},
                      DeviceCase{11, "miMouseClickFwd", {kDeviceType}, {0xE0, 0x65}},
                      // Each click of a double click warns on its own.
                      DeviceCase{kBasicKeyboard,
                                 "miMouseRightDoubleClick",
                                 {kDeviceType, kDeviceType},
                                 {0xE0, 0x62, 0xE2, 0x01, 0x32, 0xE0, 0x62}},
                      // Moves and keys are no mouse buttons.
                      DeviceCase{kBasicKeyboard, "miMouseMoveXNeg", {}, {0x90, 0x32}},
                      DeviceCase{kBasicKeyboard, "keyA", {}, {0x1C}}),
    [](const auto& info) { return std::string(info.param.item) + std::to_string(info.param.deviceType); });

TEST_F(Recording, MenuButtonsPopTheirMenusUpAboveThePointer) {
    const struct {
        const char* button;
        const char* menu;
        int rise;
    } buttons[] = {{"keyMedia", "menuMedia", 300}, {"keyMouse", "menuMouse", 150}, {"keyMore", "menuMore", 150},
                   {"keyLED1", "menuLED1", 50}};
    const QRect screen = window->screen()->geometry();
    for (const auto& b : buttons) {
        // High enough that the menu, raised by its distance, still lies whole on the screen.
        const QPoint pointer(screen.left() + 20, screen.top() + b.rise + 10);
        QCursor::setPos(pointer);
        auto* menu = Find<QMenu>(QString::fromLatin1(b.menu));
        Use(QString::fromLatin1(b.button));
        EXPECT_TRUE(menu->isVisible()) << b.menu;
        EXPECT_EQ(menu->pos(), pointer - QPoint(0, b.rise)) << b.menu;
        menu->hide();
        EXPECT_EQ(QApplication::focusWidget(), Grid());
    }
}

TEST_F(Recording, LedMenusFollowTheLayout) {
    // 24 keys: LED1 alone, and its menu records the LED1 codes.
    EXPECT_TRUE(Find<QWidget>("keyLED1")->isVisible());
    EXPECT_FALSE(Find<QWidget>("keyLED2")->isVisible());
    EXPECT_FALSE(Find<QWidget>("keyLED3")->isVisible());
    auto* menu = Find<QMenu>("menuLED1");
    Use("keyLED1");
    ASSERT_TRUE(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(Find<QAction>("keyLed1Flash")).center());
    EXPECT_EQ(Codes(), (Bytes{0xE2, 0x06}));

    QTest::mouseClick(window->keypadPanel->btn48Keys, Qt::LeftButton);
    auto* third = Find<QMenu>("menuLED3");
    Use("keyLED3");
    ASSERT_TRUE(third->isVisible());
    third->hide();
    Use("keyLed3On");
    EXPECT_EQ(Codes(), (Bytes{0xE2, 0x06, 0xE2, 0x25}));
}

} // namespace
} // namespace keyloom
