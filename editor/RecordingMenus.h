#pragma once

#include <array>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace keyloom {

// How a popup menu item records: its Tag's bytes, a mouse button click (a Tag of 1000 and more
// is a double click), or a mouse move by the slider's value.
enum class MenuHandler { Keyboard, MouseButton, MouseMove };

// The six popup menus of the on-screen keyboard: media keys, further keys, mouse actions and
// the commands of the three LEDs. Each item carries its Tag.
class RecordingMenus {
public:
    // The menus become children of parent.
    explicit RecordingMenus(QWidget* parent);

    struct Item {
        QAction* action;
        MenuHandler handler;
    };

    QMenu* menuMedia = nullptr;
    QMenu* menuMore = nullptr;
    QMenu* menuMouse = nullptr;
    std::array<QMenu*, 3> menuLED{}; // menuLED1 .. menuLED3
    // Every item of every menu, separators left out.
    std::vector<Item> items;
};

} // namespace keyloom
