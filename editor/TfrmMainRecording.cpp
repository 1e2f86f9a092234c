#include "editor/TfrmMain.h"

#include "editor/OnScreenKeyboard.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"
#include "editor/RecordingMenus.h"
#include "gui/Controls.h"
#include "gui/Prompts.h"
#include "keys/TagCodeTable.h"
#include "keys/TypedText.h"

#include <QAbstractButton>
#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <array>
#include <vector>

namespace keyloom {

namespace {

constexpr int kDoubleClickTags = 1000; // a double click is its button's Tag + 1000

// The keyboard lies at the bottom of the window: its menus open above the pointer, by about
// their own height, so that they do not run off the bottom of the screen.
constexpr int kMediaMenuRise = 300;
constexpr int kMoreMenuRise = 150;
constexpr int kMouseMenuRise = 150;
constexpr int kLedMenuRise = 50;

} // namespace

void TfrmMain::ConnectRecording() {
    OnScreenKeyboard* panel = KeyboardPanel;
    for (const OnScreenKeyboard::Key& key : panel->keys) {
        QPushButton* button = key.button;
        std::function<void()> handler;
        switch (key.handler) {
        case KeyHandler::Keyboard: handler = [this, button] { KeyboardClick(button); }; break;
        case KeyHandler::Modifier: handler = [this, button] { ModifierClick(button); }; break;
        case KeyHandler::Delay: handler = [this] { keyDelayClick(); }; break;
        case KeyHandler::Media: handler = [this] { keyMediaClick(); }; break;
        case KeyHandler::Mouse: handler = [this] { keyMouseClick(); }; break;
        case KeyHandler::More: handler = [this] { keyMoreClick(); }; break;
        case KeyHandler::Led1:
        case KeyHandler::Led2:
        case KeyHandler::Led3: {
            const int led = static_cast<int>(key.handler) - static_cast<int>(KeyHandler::Led1);
            handler = [this, led] { keyLEDClick(led); };
            break;
        }
        }
        connect(button, &QPushButton::clicked, this, Command(handler));
    }
    QAbstractButton* lamp = panel->ledCapsLock;
    connect(lamp, &QAbstractButton::clicked, this, Command([this, lamp] { KeyboardClick(lamp); }));

    for (const RecordingMenus::Item& item : panel->menus.items) {
        QAction* action = item.action;
        std::function<void()> handler;
        switch (item.handler) {
        case MenuHandler::Keyboard: handler = [this, action] { KeyboardClick(action); }; break;
        case MenuHandler::MouseButton: handler = [this, action] { MouseClick(action); }; break;
        case MenuHandler::MouseMove: handler = [this, action] { MouseMoveClick(action); }; break;
        }
        connect(action, &QAction::triggered, this, Command(handler));
    }

    connect(panel->TrackBar1, &QSlider::valueChanged, this,
            [this](int value) { RunCommand([this, value] { TrackBar1Change(value); }); });
}

void TfrmMain::RecordTag(int tag) { Render(m_session.RecordTag(tag)); }

void TfrmMain::KeyboardClick(const QObject* sender) { RecordTag(TagOf(sender)); }

void TfrmMain::ModifierClick(const QObject* sender) { Render(m_session.RecordModifier(TagOf(sender))); }

bool TfrmMain::RecordText(const TypedText& text) {
    if (text.codes.empty())
        return false;
    std::vector<uint8_t> codes = text.codes;
    codes.push_back(0);
    return RecordCodes(codes, static_cast<int>(text.codeEnds.size()));
}

void TfrmMain::keyDelayClick() { Render(m_session.RecordDelay(KeyboardPanel->TrackBar1->value())); }

void TfrmMain::MouseClick(const QObject* sender) {
    const int tag = TagOf(sender);
    if (tag < kDoubleClickTags) {
        RecordTag(tag);
        return;
    }
    // Three recordings in one command, each with its own room check: what fits is kept.
    RecordTag(tag - kDoubleClickTags);
    keyDelayClick();
    RecordTag(tag - kDoubleClickTags);
}

void TfrmMain::MouseMoveClick(const QObject* sender) {
    // A move's Tag is its own first byte, 90h..95h.
    Render(m_session.RecordMouseMove(static_cast<uint8_t>(TagOf(sender)), KeyboardPanel->TrackBar1->value()));
}

void TfrmMain::TrackBar1Change(int value) {
    KeyboardPanel->lblDelay->setText(QStringLiteral("Delay = %1 ms").arg(4 * value));
    KeyboardPanel->lblMouseDelta->setText(QStringLiteral("Mouse Delta = %1").arg(value));
    FocusCurrentGrid();
}

namespace {

void PopUpAbovePointer(QMenu* menu, int rise) {
    const QPoint pointer = QCursor::pos();
    menu->popup(QPoint(pointer.x(), pointer.y() - rise));
}

} // namespace

void TfrmMain::keyMediaClick() {
    PopUpAbovePointer(KeyboardPanel->menus.menuMedia, kMediaMenuRise);
    FocusCurrentGrid();
}

void TfrmMain::keyMouseClick() {
    PopUpAbovePointer(KeyboardPanel->menus.menuMouse, kMouseMenuRise);
    FocusCurrentGrid();
}

void TfrmMain::keyMoreClick() {
    PopUpAbovePointer(KeyboardPanel->menus.menuMore, kMoreMenuRise);
    FocusCurrentGrid();
}

void TfrmMain::keyLEDClick(int led) {
    PopUpAbovePointer(KeyboardPanel->menus.menuLED[static_cast<std::size_t>(led)], kLedMenuRise);
    FocusCurrentGrid();
}

} // namespace keyloom
