#pragma once

#include "platform/Platform.h"

#include <filesystem>
#include <string>
#include <vector>

namespace keyloom::test {

// A platform over temporary folders that records what would have been started.
class FakePlatform final : public Platform {
public:
    struct Launch {
        std::string verb;
        std::filesystem::path file;
        std::vector<std::string> arguments;
    };

    explicit FakePlatform(const std::filesystem::path& root)
        : program(root / "program"), userDocuments(root / "Documents"), sharedDocuments(root / "Shared"),
          desktop(root / "Desktop") {
        std::filesystem::create_directories(program);
        std::filesystem::create_directories(userDocuments);
    }

    std::filesystem::path program;
    std::filesystem::path userDocuments;
    std::filesystem::path sharedDocuments;
    std::filesystem::path desktop;
    std::vector<Launch> launches;
    bool launchSucceeds = true; // what shellExecute answers
    bool singleInstanceFree = true;
    std::vector<int> keysDown;

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
        for (const int key : keysDown)
            if (key == virtualKey)
                return true;
        return false;
    }
    ShortcutResult createShortcut(const ShellLink&, const std::filesystem::path&) override {
        return ShortcutResult::Success;
    }
};

} // namespace keyloom::test
