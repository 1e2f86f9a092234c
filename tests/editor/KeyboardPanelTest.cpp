#include "RecordingFixture.h"

#include "gui/Controls.h"
#include "keys/TagCodeTable.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

namespace keyloom {
namespace {

using test::Bytes;

struct ButtonRow {
    const char* name;
    const char* caption;
    int tag;
    int width;
    int height;
    // "K" records the Tag, "M" a modifier press, "Delay" a delay; otherwise the menu it opens.
    const char* handler;
    const char* picture; // a shaded key's picture pair, <picture>Down and <picture>Up
};

// The seven rows of the keyboard, from the top, each from left to right.
const ButtonRow kButtons[] = {
    {"keyF13", "F13", 104, 30, 30, "K", nullptr},
    {"keyF14", "F14", 105, 30, 30, "K", nullptr},
    {"keyF15", "F15", 106, 30, 30, "K", nullptr},
    {"keyF16", "F16", 107, 30, 30, "K", nullptr},
    {"keyF17", "F17", 108, 30, 30, "K", nullptr},
    {"keyF18", "F18", 109, 30, 30, "K", nullptr},
    {"keyF19", "F19", 110, 30, 30, "K", nullptr},
    {"keyF20", "F20", 111, 30, 30, "K", nullptr},
    {"keyF21", "F21", 112, 30, 30, "K", nullptr},
    {"keyF22", "F22", 113, 30, 30, "K", nullptr},
    {"keyF23", "F23", 114, 30, 30, "K", nullptr},
    {"keyF24", "F24", 115, 30, 30, "K", nullptr},
    {"keyLED1", "LED1", 1, 35, 24, "menuLED1", nullptr},
    {"keyLED2", "LED2", 1, 35, 24, "menuLED2", nullptr},
    {"keyLED3", "LED3", 1, 35, 24, "menuLED3", nullptr},
    {"keyMedia", "Media", 82, 42, 24, "menuMedia", nullptr},
    {"keyMouse", "Mouse", 82, 43, 24, "menuMouse", nullptr},
    {"keyMore", "More", 82, 45, 24, "menuMore", nullptr},
    {"keyEsc", "Esc", 1, 32, 30, "K", nullptr},
    {"keyF1", "F1", 59, 30, 30, "K", nullptr},
    {"keyF2", "F2", 60, 30, 30, "K", nullptr},
    {"keyF3", "F3", 61, 30, 30, "K", nullptr},
    {"keyF4", "F4", 62, 30, 30, "K", nullptr},
    {"keyF5", "F5", 63, 30, 30, "K", nullptr},
    {"keyF6", "F6", 64, 30, 30, "K", nullptr},
    {"keyF7", "F7", 65, 30, 30, "K", nullptr},
    {"keyF8", "F8", 66, 30, 30, "K", nullptr},
    {"keyF9", "F9", 67, 30, 30, "K", nullptr},
    {"keyF10", "F10", 68, 30, 30, "K", nullptr},
    {"keyF11", "F11", 84, 30, 30, "K", nullptr},
    {"keyF12", "F12", 85, 30, 30, "K", nullptr},
    {"keyPrtScn", "PrtScn", 160, 30, 30, "K", "imgPrntScrn"},
    {"keyScroll", "Scroll", 70, 30, 30, "K", "imgScroll"},
    {"keyPause", "Pause", 159, 30, 30, "K", "imgPause"},
    {"keyDelay", "Delay", 69, 40, 30, "Delay", nullptr},
    {"keyTilde", "`~", 41, 30, 30, "K", nullptr},
    {"keyNum1", "1!", 2, 30, 30, "K", nullptr},
    {"keyNum2", "2@", 3, 30, 30, "K", nullptr},
    {"keyNum3", "3#", 4, 30, 30, "K", nullptr},
    {"keyNum4", "4$", 5, 30, 30, "K", nullptr},
    {"keyNum5", "5%", 6, 30, 30, "K", nullptr},
    {"keyNum6", "6^", 7, 30, 30, "K", nullptr},
    {"keyNum7", "7&&", 8, 30, 30, "K", nullptr},
    {"keyNum8", "8*", 9, 30, 30, "K", nullptr},
    {"keyNum9", "9 (", 10, 30, 30, "K", nullptr},
    {"keyNum0", "0 )", 11, 30, 30, "K", nullptr},
    {"keyDash", "-_", 12, 30, 30, "K", nullptr},
    {"keyPlus", "=+", 13, 30, 30, "K", nullptr},
    {"keyBackspace", "Backspace", 14, 62, 30, "K", "imgBackspace"},
    {"keyInsert", "Ins", 99, 30, 30, "K", "imgIns"},
    {"keyHome", "Home", 91, 30, 30, "K", "imgHome"},
    {"keyPgUp", "PgUp", 93, 30, 30, "K", "imgPgUp"},
    {"keyNumLock", "Num", 69, 30, 30, "K", "imgNumLock"},
    {"kpFSlash", "/", 88, 30, 30, "K", "imgFSlash"},
    {"kpStar", "*", 55, 30, 30, "K", "imgKpStar"},
    {"kpMinus", "-", 74, 30, 30, "K", "imgKpMinus"},
    {"keyTab", "Tab", 15, 51, 30, "K", nullptr},
    {"keyQ", "Q", 16, 30, 30, "K", nullptr},
    {"keyW", "W", 17, 30, 30, "K", nullptr},
    {"keyE", "E", 18, 30, 30, "K", nullptr},
    {"keyR", "R", 19, 30, 30, "K", nullptr},
    {"keyT", "T", 20, 30, 30, "K", nullptr},
    {"keyY", "Y", 21, 30, 30, "K", nullptr},
    {"keyU", "U", 22, 30, 30, "K", nullptr},
    {"keyI", "I", 23, 30, 30, "K", nullptr},
    {"keyO", "O", 24, 30, 30, "K", nullptr},
    {"keyP", "P", 25, 30, 30, "K", nullptr},
    {"keyLBrace", "[ {", 26, 30, 30, "K", nullptr},
    {"keyRBrace", "] }", 27, 30, 30, "K", nullptr},
    {"keyBSlash", "\\ |", 43, 41, 30, "K", nullptr},
    {"keyDelete", "Del", 100, 30, 30, "K", "imgDel"},
    {"keyEnd", "End", 96, 30, 30, "K", "imgEnd"},
    {"keyPgDn", "PgDn", 98, 30, 30, "K", "imgPgDn"},
    {"kp7", "7", 71, 30, 30, "K", "imgKp7"},
    {"kp8", "8", 72, 30, 30, "K", "imgKp8"},
    {"kp9", "9", 73, 30, 30, "K", "imgKp9"},
    {"kpPlus", "+", 78, 30, 62, "K", "imgKpPlus"},
    {"keyCaps", "   Caps", 58, 59, 30, "K", nullptr},
    {"keyA", "A", 30, 30, 30, "K", nullptr},
    {"keyS", "S", 31, 30, 30, "K", nullptr},
    {"keyD", "D", 32, 30, 30, "K", nullptr},
    {"keyF", "F", 33, 30, 30, "K", nullptr},
    {"keyG", "G", 34, 30, 30, "K", nullptr},
    {"keyH", "H", 35, 30, 30, "K", nullptr},
    {"keyJ", "J", 36, 30, 30, "K", nullptr},
    {"keyK", "K", 37, 30, 30, "K", nullptr},
    {"keyL", "L", 38, 30, 30, "K", nullptr},
    {"keyColon", "; :", 39, 30, 30, "K", nullptr},
    {"keyQuote", "' \"", 40, 30, 30, "K", nullptr},
    {"keyEnter", "Enter", 28, 65, 30, "K", nullptr},
    {"kp4", "4", 75, 30, 30, "K", "imgKp4"},
    {"kp5", "5", 76, 30, 30, "K", "imgKp5"},
    {"kp6", "6", 77, 30, 30, "K", "imgKp6"},
    {"keyLShift", "Shift", 42, 73, 30, "M", "imgLShift"},
    {"keyZ", "Z", 44, 30, 30, "K", nullptr},
    {"keyX", "X", 45, 30, 30, "K", nullptr},
    {"keyC", "C", 46, 30, 30, "K", nullptr},
    {"keyV", "V", 47, 30, 30, "K", nullptr},
    {"keyB", "B", 48, 30, 30, "K", nullptr},
    {"keyN", "N", 49, 30, 30, "K", nullptr},
    {"keyM", "M", 50, 30, 30, "K", nullptr},
    {"keyComma", ", <", 51, 30, 30, "K", nullptr},
    {"keyPeriod", ". >", 52, 30, 30, "K", nullptr},
    {"keyFSlash", "/ ?", 53, 30, 30, "K", nullptr},
    {"keyRShift", "Shift", 54, 82, 30, "M", "imgRShift"},
    {"keyUp", "Up", 92, 30, 30, "K", "imgUp"},
    {"kp1", "1", 79, 30, 30, "K", "imgKp1"},
    {"kp2", "2", 80, 30, 30, "K", "imgKp2"},
    {"kp3", "3", 81, 30, 30, "K", "imgKp3"},
    {"kpEnter", "Ent", 86, 30, 62, "K", "imgKpEnt"},
    {"keyLCtrl", "Ctrl", 29, 40, 30, "M", "imgLCtrl"},
    {"keyLWin", "Win", 101, 40, 30, "M", "imgLWin"},
    {"keyLAlt", "Alt", 56, 40, 30, "M", "imgLAlt"},
    {"keySpace", "", 57, 184, 30, "K", nullptr},
    {"keyRAlt", "Alt", 90, 40, 30, "M", "imgRAlt"},
    {"keyRWin", "Win", 102, 40, 30, "M", "imgRWin"},
    {"keyMenu", "Menu", 103, 40, 30, "K", "imgMenu"},
    {"keyRCtrl", "Ctrl", 87, 40, 30, "M", "imgRCtrl"},
    {"keyLeft", "<-", 94, 30, 30, "K", "imgLeft"},
    {"keyDown", "Dn", 97, 30, 30, "K", "imgDown"},
    {"keyRight", "->", 95, 30, 30, "K", "imgRight"},
    {"kp0", "0", 82, 62, 30, "K", "imgKp0"},
    {"kpPeriod", ".", 83, 30, 30, "K", "imgKpPeriod"},
};

class KeyboardPanelTest : public test::RecordingFixture {
protected:
    // Empties key 1, Level 1 again and selects cell 0.
    void Clear() { ShowCodes({}); }
};

TEST_F(KeyboardPanelTest, EveryButtonHasItsCaptionTagSizeAndHandler) {
    // 48 keys, so that every LED button shows and can be clicked.
    QTest::mouseClick(window->keypadPanel->btn48Keys, Qt::LeftButton);
    EXPECT_EQ(window->KeyboardPanel->findChildren<QPushButton*>().size(), std::size(kButtons));
    for (const ButtonRow& row : kButtons) {
        SCOPED_TRACE(row.name);
        auto* button = Find<QPushButton>(QString::fromLatin1(row.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(row.caption));
        EXPECT_EQ(TagOf(button), row.tag);
        EXPECT_EQ(button->size(), QSize(row.width, row.height));
        EXPECT_TRUE(button->isVisible());

        Clear();
        const std::string handler = row.handler;
        QTest::mouseClick(button, Qt::LeftButton);
        if (handler == "K" || handler == "M") {
            const std::span<const uint8_t> press = TagCodes(row.tag);
            EXPECT_EQ(Codes(), Bytes(press.begin(), press.end()));
        } else if (handler == "Delay") {
            EXPECT_EQ(Codes(), (Bytes{0xE2, 0x01, 0x32}));
        } else {
            auto* menu = Find<QMenu>(QString::fromLatin1(row.handler));
            EXPECT_TRUE(menu->isVisible());
            menu->hide();
            EXPECT_TRUE(Codes().empty());
        }
    }
}

TEST_F(KeyboardPanelTest, NoTwoControlsOverlapAndAllLieInThePanel) {
    QTest::mouseClick(window->keypadPanel->btn48Keys, Qt::LeftButton);
    QList<QWidget*> controls;
    for (QPushButton* button : window->KeyboardPanel->findChildren<QPushButton*>())
        controls.append(button);
    controls.append(window->KeyboardPanel->TrackBar1);
    controls.append(window->KeyboardPanel->lblDelay);
    controls.append(window->KeyboardPanel->lblMouseDelta);
    const QRect panel = window->KeyboardPanel->rect();
    for (qsizetype i = 0; i < controls.size(); ++i) {
        EXPECT_TRUE(panel.contains(controls[i]->geometry())) << controls[i]->objectName().toStdString();
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << controls[i]->objectName().toStdString() << " and " << controls[j]->objectName().toStdString();
    }
}

TEST_F(KeyboardPanelTest, ShadedKeysLieUnderTheirPicturesAndShowThemRaisedAtRest) {
    for (const ButtonRow& row : kButtons) {
        auto* button = Find<QPushButton>(QString::fromLatin1(row.name));
        if (row.picture == nullptr)
            continue;
        SCOPED_TRACE(row.name);
        auto* up = Find<QLabel>(QString::fromLatin1(row.picture) + "Up");
        auto* down = Find<QLabel>(QString::fromLatin1(row.picture) + "Down");
        ASSERT_TRUE(up && down);
        EXPECT_EQ(up->geometry(), button->geometry());
        EXPECT_EQ(down->geometry(), button->geometry());
        EXPECT_TRUE(up->isVisible());
        EXPECT_FALSE(down->isVisible());
        // The pictures take no mouse input: a click where they lie reaches the button.
        EXPECT_EQ(panel->childAt(button->geometry().center()), button);
    }
}

TEST_F(KeyboardPanelTest, PressingAShadedKeyShowsItDownAndTheClickRecords) {
    auto* kp5 = Find<QPushButton>("kp5");
    QTest::mousePress(kp5, Qt::LeftButton);
    EXPECT_TRUE(Shows("imgKp5Down"));
    EXPECT_FALSE(Shows("imgKp5Up"));
    EXPECT_TRUE(Codes().empty()) << "recording happens on the click";
    QTest::mouseRelease(kp5, Qt::LeftButton);
    EXPECT_FALSE(Shows("imgKp5Down"));
    EXPECT_TRUE(Shows("imgKp5Up"));
    EXPECT_EQ(Codes(), (Bytes{0x73}));
}

TEST_F(KeyboardPanelTest, CapsLockLampShowsTheCapsLockStateAtTheSelection) {
    auto* lamp = Find<QWidget>("ledCapsLock");
    const auto colour = [&] { return lamp->palette().color(QPalette::Window).rgba(); };
    EXPECT_EQ(lamp->size(), QSize(16, 30));
    EXPECT_EQ(TagOf(lamp), 58);
    EXPECT_EQ(colour(), 0xFFA9A9A9u);
    Use("keyCaps");
    EXPECT_EQ(colour(), 0xFFADFF2Fu);
    Use("ledCapsLock");
    EXPECT_EQ(colour(), 0xFFA9A9A9u);
    EXPECT_EQ(Codes(), (Bytes{0x58, 0x58}));
}

TEST_F(KeyboardPanelTest, InstructionsTellWhichKeysMustBeClicked) {
    EXPECT_EQ(Find<QLabel>("lblInstructions")->text(),
              "To enter macro data:   Light keys can be typed or mouse-clicked.    "
              "Shaded keys, if required, must be mouse-clicked.");
}

struct MenuRow {
    const char* menu;
    const char* item;
    const char* caption;
    int tag;
    Bytes recorded; // with the slider at 50
};

// Every item of the six popup menus, in menu order.
const MenuRow kMenuItems[] = {
    {"menuMedia", "keyNext", " >> Next Track", 130, {0xE0, 0x4D}},
    {"menuMedia", "keyPrev", "<< Prev Track", 131, {0xE0, 0x15}},
    {"menuMedia", "keyStop", "Stop", 132, {0xE0, 0x3B}},
    {"menuMedia", "keyPlay", "Play/Pause", 133, {0xE0, 0x34}},
    {"menuMedia", "keyMute", "Vol Mute", 134, {0xE0, 0x23}},
    {"menuMedia", "keyVolUp", "Vol Up", 135, {0xE0, 0x32}},
    {"menuMedia", "keyVolDown", "Vol Down", 136, {0xE0, 0x21}},
    {"menuMedia", "keyMediaPlayer", "Media Player", 137, {0xE0, 0x50}},
    {"menuMedia", "keyEmail", "eMail", 138, {0xE0, 0x48}},
    {"menuMedia", "keyCalc", "Calculator", 139, {0xE0, 0x2B}},
    {"menuMedia", "keyMyPC", "My Computer", 140, {0xE0, 0x40}},
    {"menuMedia", "keySearch", "Search", 141, {0xE0, 0x10}},
    {"menuMedia", "keyWWW", "Web Browser", 142, {0xE0, 0x3A}},
    {"menuMedia", "KeyWebBack", "Web Back", 143, {0xE0, 0x38}},
    {"menuMedia", "keyWebFwd", "Web Fwd", 144, {0xE0, 0x30}},
    {"menuMedia", "keyWebEsc", "Web Esc", 145, {0xE0, 0x28}},
    {"menuMedia", "keyWebRefresh", "Web Refresh", 146, {0xE0, 0x20}},
    {"menuMedia", "keyWebFaves", "Web Faves", 147, {0xE0, 0x18}},
    {"menuMedia", "keyEject", "Eject (Mac)", 148, {0xE0, 0x1A}},
    {"menuMedia", "keyPower", "KB Power", 149, {0xE0, 0x37}},
    {"menuMore", "keyF13old", "F13 (alt)", 116, {0x2F}},
    {"menuMore", "keyF14old", "F14 (alt)", 117, {0x37}},
    {"menuMore", "keyF15old", "F15 (alt)", 118, {0x3F}},
    {"menuMore", "keyIntl1", "Int'l 1", 119, {0x51}},
    {"menuMore", "keyIntl2a", "Int'l 2a", 120, {0x13}},
    {"menuMore", "keyIntl2b", "Int'l 2b", 121, {0x6A}},
    {"menuMore", "keyIntl4", "Int' l 4", 122, {0x64}},
    {"menuMore", "keyIntl5", "Int' l 5", 123, {0x67}},
    {"menuMore", "keyIntl6", "Int' l 6", 124, {0x27}},
    {"menuMore", "keyEurope2", "Europe 2", 125, {0x61}},
    {"menuMore", "keyLang3", "Lang 3", 126, {0x63}},
    {"menuMore", "keyLang4", "Lang 4", 127, {0x62}},
    {"menuMore", "kpComma", "KP Comma", 128, {0x6D}},
    {"menuMore", "kpEqual", "KP Equal", 129, {0x0F}},
    {"menuMore", "keyBreakCode", "Insert Break Code (F0)", 161, {0xF0}},
    {"menuMore", "keyExtCode", "Insert Ext Code (E0)", 162, {0xE0}},
    {"menuLED1", "keyLed1Off", "Insert LED1 OFF Code", 150, {0xE2, 0x04}},
    {"menuLED1", "keyLed1On", "Insert LED1 ON Code", 151, {0xE2, 0x05}},
    {"menuLED1", "keyLed1Flash", "Insert LED1 Flash Code", 152, {0xE2, 0x06}},
    {"menuLED2", "keyLed2Off", "Insert LED2 OFF Code", 153, {0xE2, 0x14}},
    {"menuLED2", "keyLed2On", "Insert LED2 ON Code", 154, {0xE2, 0x15}},
    {"menuLED2", "keyLed2Flash", "Insert LED2 Flash Code", 155, {0xE2, 0x16}},
    {"menuLED3", "keyLed3Off", "Insert LED3 OFF Code", 156, {0xE2, 0x24}},
    {"menuLED3", "keyLed3On", "Insert LED3 ON Code", 157, {0xE2, 0x25}},
    {"menuLED3", "keyLed3Flash", "Insert LED3 Flash Code", 158, {0xE2, 0x26}},
    {"menuMouse", "miMouseLeftClick", "Button Down/Click:  Left", 163, {0xE0, 0x61}},
    {"menuMouse", "miMouseRightClick", "Button Down/Click:  Right", 164, {0xE0, 0x62}},
    {"menuMouse", "miMouseCenterClick", "Button Down/Click:  Center (Wheel)", 165, {0xE0, 0x63}},
    {"menuMouse", "miMouseClickRev", "Button Down/Click:  Reverse", 166, {0xE0, 0x64}},
    {"menuMouse", "miMouseClickFwd", "Button Down/Click:  Forward", 167, {0xE0, 0x65}},
    {"menuMouse", "miMouseLeftDoubleClick", "Double-Click:  Left", 1163, {0xE0, 0x61, 0xE2, 0x01, 0x32, 0xE0, 0x61}},
    {"menuMouse", "miMouseRightDoubleClick", "Double-Click:  Right", 1164, {0xE0, 0x62, 0xE2, 0x01, 0x32, 0xE0, 0x62}},
    {"menuMouse", "miMouseCenterDoubleClick", "Double-Click:  Center (Wheel)", 1165,
     {0xE0, 0x63, 0xE2, 0x01, 0x32, 0xE0, 0x63}},
    {"menuMouse", "miMouseReverseDoubleClick", "Double-Click:  Reverse", 1166,
     {0xE0, 0x64, 0xE2, 0x01, 0x32, 0xE0, 0x64}},
    {"menuMouse", "miMouseForwardDoubleClick", "Double-Click:  Forward", 1167,
     {0xE0, 0x65, 0xE2, 0x01, 0x32, 0xE0, 0x65}},
    {"menuMouse", "miMouseMoveXPos", "Move:  X- (Left) <value>", 145, {0x91, 0x32}},
    {"menuMouse", "miMouseMoveXNeg", "Move:  X+ (Right) <value>", 144, {0x90, 0x32}},
    {"menuMouse", "miMouseMoveYPos", "Move:  Y- (Up) <value>", 147, {0x93, 0x32}},
    {"menuMouse", "miMouseMoveYNeg", "Move:  Y+ (Down) <value>", 146, {0x92, 0x32}},
    {"menuMouse", "miMouseMoveWheelPos", "Move:  Wheel Down <value>", 149, {0x95, 0x32}},
    {"menuMouse", "miMouseMoveWheelNeg", "Move:  Wheel Up <value>", 148, {0x94, 0x32}},
};

TEST_F(KeyboardPanelTest, EveryMenuItemHasItsCaptionTagAndRecording) {
    document.settings.usbDeviceType = 12;
    for (const char* name : {"menuMedia", "menuMore", "menuMouse", "menuLED1", "menuLED2", "menuLED3"}) {
        QStringList expected;
        for (const MenuRow& row : kMenuItems) {
            if (std::string(row.menu) == name)
                expected << QString::fromLatin1(row.item);
        }
        QStringList items;
        for (QAction* action : Find<QMenu>(QString::fromLatin1(name))->actions()) {
            if (!action->isSeparator())
                items << action->objectName();
        }
        EXPECT_EQ(items, expected) << name;
    }
    for (const MenuRow& row : kMenuItems) {
        SCOPED_TRACE(row.item);
        auto* item = Find<QAction>(QString::fromLatin1(row.item));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QString::fromLatin1(row.caption));
        EXPECT_EQ(TagOf(item), row.tag);
        Clear();
        item->trigger();
        EXPECT_EQ(Codes(), row.recorded);
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(KeyboardPanelTest, MovesTakeTheSliderValue) {
    Find<QSlider>("TrackBar1")->setValue(7);
    Use("miMouseMoveWheelNeg");
    Use("miMouseMoveXPos");
    EXPECT_EQ(Codes(), (Bytes{0x94, 0x07, 0x91, 0x07}));
}

} // namespace
} // namespace keyloom
