#pragma once

#include "FakePlatform.h"
#include "ScriptedPrompts.h"
#include "editor/TfrmMain.h"
#include "support/TemporaryFolder.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace keyloom::test {

// A main window over a temporary program folder and Documents folder, with scripted prompts.
class EditorFixture : public ::testing::Test {
protected:
    void TearDown() override { window.reset(); }

    // Creates the window as the program does, with these command-line arguments.
    TfrmMain& Start(const QStringList& arguments = {}) {
        window = std::make_unique<TfrmMain>(document, platform, prompts, arguments);
        return *window;
    }

    TemporaryFolder folder;
    FakePlatform platform{folder.path()};
    ScriptedPrompts prompts;
    KeypadDocument document;
    std::unique_ptr<TfrmMain> window;
};

} // namespace keyloom::test
