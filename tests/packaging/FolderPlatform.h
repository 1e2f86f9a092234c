#pragma once

#include "platform/Platform.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace keyloom {

// A platform that is only a program folder: the look-ups of shipped files need nothing else, and
// the services are never called.
class FolderPlatform : public Platform {
public:
    explicit FolderPlatform(std::filesystem::path program) : m_program(std::move(program)) {}
    std::filesystem::path programFolder() const override { return m_program; }
    std::filesystem::path userDocumentsFolder() const override { return {}; }
    std::filesystem::path sharedDocumentsFolder() const override { return {}; }
    std::filesystem::path desktopFolder() const override { return {}; }
    bool acquireSingleInstance(const std::string&) override { return false; }
    bool shellExecute(const std::string&, const std::filesystem::path&, const std::vector<std::string>&) override {
        return false;
    }
    bool keyIsDown(int) const override { return false; }
    ShortcutResult createShortcut(const ShellLink&, const std::filesystem::path&) override {
        return ShortcutResult::CannotCreateLink;
    }

private:
    std::filesystem::path m_program;
};

} // namespace keyloom
