#pragma once

#include "EditorFixture.h"

#include "editor/OnScreenKeyboard.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"

#include <QAbstractButton>
#include <QAction>
#include <QTest>

#include <algorithm>
#include <vector>

namespace keyloom::test {

// The shown main window with key 1, Level 1 selected; controls are used by their objectNames.
class RecordingFixture : public EditorFixture {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        panel = window->KeyboardPanel;
    }

    template <typename Control = QWidget>
    Control* Find(const QString& name) {
        auto* control = window->findChild<Control*>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }

    // Clicks a button with the mouse, or chooses a menu item.
    void Use(const QString& name) {
        if (auto* item = window->findChild<QAction*>(name)) {
            item->trigger();
            return;
        }
        auto* button = Find<QAbstractButton>(name);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    MacroGrid* Grid() { return window->CurrentGrid(); }

    Bytes Codes(int key = 0, Level level = Level::One) {
        const std::span<const uint8_t> codes = document.keys[static_cast<std::size_t>(key)].codes(level);
        return Bytes(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(MacroLength(codes)));
    }

    // Puts bytes into key 1, Level 1 as a file read would and shows them with the end selected.
    void ShowCodes(const Bytes& bytes) {
        std::span<uint8_t> codes = document.keys[0].codes(Level::One);
        std::fill(codes.begin(), codes.end(), 0);
        std::copy(bytes.begin(), bytes.end(), codes.begin());
        Loaded();
        window->RefreshMacroView();
        window->SelectEndCell();
        window->ShowModifierState();
    }

    bool Shows(const QString& picture) { return Find<QWidget>(picture)->isVisible(); }

    OnScreenKeyboard* panel = nullptr;
};

} // namespace keyloom::test
