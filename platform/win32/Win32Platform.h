#pragma once

#include "platform/Platform.h"

#include <map>

namespace keyloom {

// The platform on Windows, over the Win32 API and the shell. Paths go to Windows as UTF-16.
class Win32Platform final : public Platform {
public:
    Win32Platform() = default;
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    std::filesystem::path programFolder() const override;
    std::filesystem::path userDocumentsFolder() const override;
    std::filesystem::path sharedDocumentsFolder() const override;
    std::filesystem::path desktopFolder() const override;
    // A named mutex, owned from creation; Windows frees it when the process ends.
    bool acquireSingleInstance(const std::string& name) override;
    // The arguments reach the program each in quotes.
    bool shellExecute(const std::string& verb, const std::filesystem::path& file,
                      const std::vector<std::string>& arguments) override;
    bool keyIsDown(int virtualKey) const override;
    // A shell link (.lnk). Arguments stay as given unless they need quotes to arrive whole.
    ShortcutResult createShortcut(const ShellLink& link,
                                  const std::filesystem::path& shortcutFile) override;

private:
    std::map<std::string, void*> m_mutexes; // name -> handle of the mutex held
};

} // namespace keyloom
