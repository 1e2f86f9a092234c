#pragma once

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#else
#include "platform/desktop/DesktopPlatform.h"
#endif

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace keyloom::test {

// The platform of the tests and benchmarks: folders under a root (or none), held keys and the
// single-instance claim as the test sets them, and what would have been started recorded. Shortcuts
// are recorded and answered as the test says; with no answer set, the system's own platform writes
// them.
class FakePlatform final : public Platform {
public:
    struct Launch {
        std::string verb;
        std::filesystem::path file;
        std::vector<std::string> arguments;
    };

    // Every folder empty: for look-ups of shipped files, where only the program folder is set.
    FakePlatform() = default;
    // Program, Documents and Desktop folders made under root; the shared Documents folder is named
    // but not made.
    explicit FakePlatform(const std::filesystem::path& root)
        : program(root / "program"), userDocuments(root / "Documents"), sharedDocuments(root / "Shared"),
          desktop(root / "Desktop") {
        std::filesystem::create_directories(program);
        std::filesystem::create_directories(userDocuments);
        std::filesystem::create_directories(desktop);
    }

    std::filesystem::path program;
    std::filesystem::path userDocuments;
    std::filesystem::path sharedDocuments;
    std::filesystem::path desktop;
    std::vector<Launch> launches;
    bool launchSucceeds = true; // what shellExecute answers
    bool singleInstanceFree = true;
    std::vector<int> keysDown;
    std::vector<ShellLink> shortcuts;
    std::optional<ShortcutResult> shortcutResult = ShortcutResult::Success;

    std::filesystem::path programFolder() const override { return program; }
    std::filesystem::path userDocumentsFolder() const override { return userDocuments; }
    std::filesystem::path sharedDocumentsFolder() const override { return sharedDocuments; }
    std::filesystem::path desktopFolder() const override { return desktop; }
    bool acquireSingleInstance(const std::string&) override { return singleInstanceFree; }
    bool shellExecute(const std::string& verb, const std::filesystem::path& file,
                      const std::vector<std::string>& arguments) override {
        launches.push_back({verb, file, arguments});
        return launchSucceeds;
    }
    bool keyIsDown(int virtualKey) const override {
        return std::find(keysDown.begin(), keysDown.end(), virtualKey) != keysDown.end();
    }
    ShortcutResult createShortcut(const ShellLink& link, const std::filesystem::path& shortcutFile) override {
        shortcuts.push_back(link);
        if (shortcutResult)
            return *shortcutResult;
#ifdef _WIN32
        return Win32Platform().createShortcut(link, shortcutFile);
#else
        return DesktopPlatform().createShortcut(link, shortcutFile);
#endif
    }
};

} // namespace keyloom::test
