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

// Folders under a temporary root, held keys set by the test, launches recorded. Shortcuts are
// written by the system's real platform unless the test sets the result to return instead.
class RecordingPlatform final : public Platform {
public:
    struct Launch {
        std::string verb;
        std::filesystem::path file;
        std::vector<std::string> arguments;
    };

    explicit RecordingPlatform(const std::filesystem::path& root)
        : program(root / "program"), desktop(root / "Desktop") {
        std::filesystem::create_directories(program);
        std::filesystem::create_directories(desktop);
    }

    std::filesystem::path program;
    std::filesystem::path desktop;
    std::vector<int> keysDown;
    std::vector<Launch> launches;
    std::optional<ShortcutResult> shortcutResult;
    std::vector<ShellLink> shortcuts;

    std::filesystem::path programFolder() const override { return program; }
    std::filesystem::path userDocumentsFolder() const override { return {}; }
    std::filesystem::path sharedDocumentsFolder() const override { return {}; }
    std::filesystem::path desktopFolder() const override { return desktop; }
    bool acquireSingleInstance(const std::string&) override { return true; }
    bool shellExecute(const std::string& verb, const std::filesystem::path& file,
                      const std::vector<std::string>& arguments) override {
        launches.push_back({verb, file, arguments});
        return true;
    }
    bool keyIsDown(int virtualKey) const override {
        return std::find(keysDown.begin(), keysDown.end(), virtualKey) != keysDown.end();
    }
    ShortcutResult createShortcut(const ShellLink& link, const std::filesystem::path& shortcutFile) override {
        shortcuts.push_back(link);
        return shortcutResult ? *shortcutResult : m_system.createShortcut(link, shortcutFile);
    }

private:
#ifdef _WIN32
    Win32Platform m_system;
#else
    DesktopPlatform m_system;
#endif
};

} // namespace keyloom::test
