#pragma once

#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "editor/TfrmMain.h"
#include "support/FakePlatform.h"
#include "support/ScriptedPrompts.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace keyloom::test {

using Bytes = std::vector<uint8_t>;

// A main window over a temporary program folder and Documents folder, with scripted prompts.
class EditorFixture : public ::testing::Test {
protected:
    void TearDown() override { window.reset(); }

    // Creates the window as the program does, with these command-line arguments.
    TfrmMain& Start(const QStringList& arguments = {}) {
        window = std::make_unique<TfrmMain>(document, platform, prompts, arguments);
        return *window;
    }

    // Puts bytes into a level as a file read would, without the window showing them yet.
    void SetCodes(int key, Level level, const Bytes& bytes) {
        std::span<uint8_t> codes = document.keys[static_cast<std::size_t>(key)].codes(level);
        std::fill(codes.begin(), codes.end(), 0);
        std::copy(bytes.begin(), bytes.end(), codes.begin());
        Loaded();
    }
    // What the test wrote into the document is what its file holds: not a change to save or undo.
    void Loaded() {
        if (window)
            window->session().TakeAsSaved();
    }
    Bytes CodesOf(int key, Level level) const {
        const std::span<const uint8_t> codes = document.keys[static_cast<std::size_t>(key)].codes(level);
        return Bytes(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(MacroLength(codes)));
    }

    // Shows a key's level the way the user does: the level's tab, then the key button. The
    // selection is then after the last code and the level's grid has the focus.
    void ShowKey(int key, int level) {
        QTabBar* tabs = window->TabControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(level).center());
        QTest::mouseClick(window->ButtonOfKeyIndex(key), Qt::LeftButton);
        ASSERT_EQ(window->session().selectedKey(), key);
        ASSERT_EQ(window->session().selectedLevel(), level);
        ASSERT_EQ(QApplication::focusWidget(), window->CurrentGrid());
    }

    TemporaryFolder folder;
    FakePlatform platform{folder.path()};
    ScriptedPrompts prompts;
    KeypadDocument document;
    std::unique_ptr<TfrmMain> window;
};

} // namespace keyloom::test
