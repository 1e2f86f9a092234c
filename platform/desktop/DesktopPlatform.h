#pragma once

#include "platform/Platform.h"

#include <map>
#include <memory>

namespace keyloom {

// The platform on Linux and other freedesktop systems, over Qt Core and Gui. Construct it after
// the QGuiApplication so that it can follow the numeric keypad.
class DesktopPlatform final : public Platform {
public:
    // No Documents folder common to all users exists on Linux; this one sits beside the users'
    // home folders, as the Public Documents folder does on Windows and /Users/Shared on macOS, so
    // it shares their disk, quotas and backups. An administrator creates it once, writable by the
    // users of the keypads (for example by a group with the setgid bit).
    static constexpr const char* kSharedDocumentsFolder = "/home/Shared";

    DesktopPlatform();
    ~DesktopPlatform() override;
    DesktopPlatform(const DesktopPlatform&) = delete;
    DesktopPlatform& operator=(const DesktopPlatform&) = delete;

    std::filesystem::path programFolder() const override;
    std::filesystem::path userDocumentsFolder() const override;
    std::filesystem::path sharedDocumentsFolder() const override;
    std::filesystem::path desktopFolder() const override;
    bool acquireSingleInstance(const std::string& name) override;
    bool shellExecute(const std::string& verb, const std::filesystem::path& file,
                      const std::vector<std::string>& arguments) override;
    bool keyIsDown(int virtualKey) const override;
    ShortcutResult createShortcut(const ShellLink& link,
                                  const std::filesystem::path& shortcutFile) override;

private:
    class KeypadDigits;
    std::unique_ptr<KeypadDigits> m_keypadDigits;
    std::map<std::string, int> m_instanceLocks; // name -> descriptor of its locked file
};

} // namespace keyloom
