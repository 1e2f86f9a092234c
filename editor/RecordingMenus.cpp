#include "editor/RecordingMenus.h"

#include "editor/KeypadPanel.h"
#include "gui/Controls.h"

#include <QAction>
#include <QMenu>

#include <span>

namespace keyloom {

namespace {

using enum MenuHandler;

struct MenuItem {
    const char* name; // nullptr: a separator
    const char* caption;
    int tag;
    MenuHandler handler;
};

constexpr MenuItem kSeparator{nullptr, nullptr, 0, Keyboard};

// The captions keep their spacing, the leading space of " >> Next Track" included.
constexpr MenuItem kMediaItems[] = {
    {"keyNext", " >> Next Track", 130, Keyboard},
    {"keyPrev", "<< Prev Track", 131, Keyboard},
    {"keyStop", "Stop", 132, Keyboard},
    {"keyPlay", "Play/Pause", 133, Keyboard},
    kSeparator,
    {"keyMute", "Vol Mute", 134, Keyboard},
    {"keyVolUp", "Vol Up", 135, Keyboard},
    {"keyVolDown", "Vol Down", 136, Keyboard},
    kSeparator,
    {"keyMediaPlayer", "Media Player", 137, Keyboard},
    {"keyEmail", "eMail", 138, Keyboard},
    {"keyCalc", "Calculator", 139, Keyboard},
    {"keyMyPC", "My Computer", 140, Keyboard},
    {"keySearch", "Search", 141, Keyboard},
    {"keyWWW", "Web Browser", 142, Keyboard},
    {"KeyWebBack", "Web Back", 143, Keyboard},
    {"keyWebFwd", "Web Fwd", 144, Keyboard},
    {"keyWebEsc", "Web Esc", 145, Keyboard},
    {"keyWebRefresh", "Web Refresh", 146, Keyboard},
    {"keyWebFaves", "Web Faves", 147, Keyboard},
    kSeparator,
    {"keyEject", "Eject (Mac)", 148, Keyboard},
    {"keyPower", "KB Power", 149, Keyboard},
};

constexpr MenuItem kMoreItems[] = {
    {"keyF13old", "F13 (alt)", 116, Keyboard},
    {"keyF14old", "F14 (alt)", 117, Keyboard},
    {"keyF15old", "F15 (alt)", 118, Keyboard},
    kSeparator,
    {"keyIntl1", "Int'l 1", 119, Keyboard},
    {"keyIntl2a", "Int'l 2a", 120, Keyboard},
    {"keyIntl2b", "Int'l 2b", 121, Keyboard},
    {"keyIntl4", "Int' l 4", 122, Keyboard},
    {"keyIntl5", "Int' l 5", 123, Keyboard},
    {"keyIntl6", "Int' l 6", 124, Keyboard},
    {"keyEurope2", "Europe 2", 125, Keyboard},
    {"keyLang3", "Lang 3", 126, Keyboard},
    {"keyLang4", "Lang 4", 127, Keyboard},
    kSeparator,
    {"kpComma", "KP Comma", 128, Keyboard},
    {"kpEqual", "KP Equal", 129, Keyboard},
    kSeparator,
    {"keyBreakCode", "Insert Break Code (F0)", 161, Keyboard},
    {"keyExtCode", "Insert Ext Code (E0)", 162, Keyboard},
};

constexpr MenuItem kLed1Items[] = {
    {"keyLed1Off", "Insert LED1 OFF Code", 150, Keyboard},
    {"keyLed1On", "Insert LED1 ON Code", 151, Keyboard},
    {"keyLed1Flash", "Insert LED1 Flash Code", 152, Keyboard},
};
constexpr MenuItem kLed2Items[] = {
    {"keyLed2Off", "Insert LED2 OFF Code", 153, Keyboard},
    {"keyLed2On", "Insert LED2 ON Code", 154, Keyboard},
    {"keyLed2Flash", "Insert LED2 Flash Code", 155, Keyboard},
};
constexpr MenuItem kLed3Items[] = {
    {"keyLed3Off", "Insert LED3 OFF Code", 156, Keyboard},
    {"keyLed3On", "Insert LED3 ON Code", 157, Keyboard},
    {"keyLed3Flash", "Insert LED3 Flash Code", 158, Keyboard},
};

// A double click is its button's Tag plus 1000. A move's Tag is its own first byte (90h..95h),
// and the item names run opposite to the captions: the caption and the Tag are what count.
constexpr MenuItem kMouseItems[] = {
    {"miMouseLeftClick", "Button Down/Click:  Left", 163, MouseButton},
    {"miMouseRightClick", "Button Down/Click:  Right", 164, MouseButton},
    {"miMouseCenterClick", "Button Down/Click:  Center (Wheel)", 165, MouseButton},
    {"miMouseClickRev", "Button Down/Click:  Reverse", 166, MouseButton},
    {"miMouseClickFwd", "Button Down/Click:  Forward", 167, MouseButton},
    kSeparator,
    {"miMouseLeftDoubleClick", "Double-Click:  Left", 1163, MouseButton},
    {"miMouseRightDoubleClick", "Double-Click:  Right", 1164, MouseButton},
    {"miMouseCenterDoubleClick", "Double-Click:  Center (Wheel)", 1165, MouseButton},
    {"miMouseReverseDoubleClick", "Double-Click:  Reverse", 1166, MouseButton},
    {"miMouseForwardDoubleClick", "Double-Click:  Forward", 1167, MouseButton},
    kSeparator,
    {"miMouseMoveXPos", "Move:  X- (Left) <value>", 145, MouseMove},
    {"miMouseMoveXNeg", "Move:  X+ (Right) <value>", 144, MouseMove},
    {"miMouseMoveYPos", "Move:  Y- (Up) <value>", 147, MouseMove},
    {"miMouseMoveYNeg", "Move:  Y+ (Down) <value>", 146, MouseMove},
    {"miMouseMoveWheelPos", "Move:  Wheel Down <value>", 149, MouseMove},
    {"miMouseMoveWheelNeg", "Move:  Wheel Up <value>", 148, MouseMove},
};

} // namespace

RecordingMenus::RecordingMenus(QWidget* parent) {
    const auto build = [&](const char* name, std::span<const MenuItem> table) {
        auto* menu = new QMenu(parent);
        menu->setObjectName(QString::fromLatin1(name));
        for (const MenuItem& entry : table) {
            if (entry.name == nullptr) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromLatin1(entry.caption));
            action->setObjectName(QString::fromLatin1(entry.name));
            SetTag(action, entry.tag);
            items.push_back({action, entry.handler});
        }
        return menu;
    };
    menuMedia = build("menuMedia", kMediaItems);
    menuMore = build("menuMore", kMoreItems);
    menuMouse = build("menuMouse", kMouseItems);
    menuLED = {build("menuLED1", kLed1Items), build("menuLED2", kLed2Items), build("menuLED3", kLed3Items)};
}

} // namespace keyloom
