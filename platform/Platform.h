#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace keyloom {

// Hot key word of a shortcut: the virtual-key code in the low byte, these flags in the high byte.
inline constexpr uint16_t kHotKeyShift = 0x0100;
inline constexpr uint16_t kHotKeyControl = 0x0200;
inline constexpr uint16_t kHotKeyAlt = 0x0400;
inline constexpr uint16_t kHotKeyExtended = 0x0800;

// The fields of a desktop shortcut, as a shell link holds them. Texts are UTF-8.
struct ShellLink {
    std::filesystem::path target;
    std::filesystem::path workingFolder;
    std::vector<std::string> arguments;
    std::string description;
    uint16_t hotKey = 0; // 0: no hot key
};

// Where creating a shortcut stopped; the wizard tells the three failures apart.
enum class ShortcutResult {
    Success,
    CannotCreateLink, // the shortcut could not be composed from the fields
    NoPersistFile,    // there is no place to store it
    SaveFailed,       // storing it failed
};

// The programs the editor starts, shipped beside it.
inline constexpr std::string_view kDownloadUtility = "VKxxLoad";
inline constexpr std::string_view kKeyTestProgram = "KeyTest";

// The operating system services the editor uses. Tests of the editor replace it with a recorder.
// Paths are std::filesystem paths, texts UTF-8.
class Platform {
public:
    virtual ~Platform() = default;

    // A program shipped beside this one, named without extension ("VKxxLoad"): on Windows its file
    // is "VKxxLoad.exe", elsewhere it has no extension.
    std::filesystem::path helperProgram(std::string_view name) const {
        std::filesystem::path file = programFolder() / std::filesystem::path(std::string(name));
#ifdef _WIN32
        file += ".exe";
#endif
        return file;
    }

    // Where the files shipped with the program (Examples/, Location.ini) lie: beside the program
    // in a build folder or a copied program folder; <prefix>/share/keyloomvkxx when installed
    // with the program in <prefix>/bin. The program folder when neither holds them.
    std::filesystem::path dataFolder() const {
        const std::filesystem::path program = programFolder();
        if (Exists(program / "Examples"))
            return program;
        const std::filesystem::path installed = InstalledFolder(program, "share/keyloomvkxx");
        return Exists(installed) ? installed : program;
    }

    // A document shipped with the program ("KeyloomVKxx.pdf"): beside the program, else in the
    // installed data or documentation folder. The path beside the program when none holds it, so
    // the caller's check for the file fails there.
    std::filesystem::path shippedDocument(std::string_view name) const {
        const std::filesystem::path program = programFolder();
        const std::filesystem::path beside = program / std::filesystem::path(std::string(name));
        if (Exists(beside))
            return beside;
        for (const char* folder : {"share/keyloomvkxx", "share/doc/keyloomvkxx"}) {
            const std::filesystem::path installed =
                InstalledFolder(program, folder) / std::filesystem::path(std::string(name));
            if (Exists(installed))
                return installed;
        }
        return beside;
    }

    // The folder of the running program file.
    virtual std::filesystem::path programFolder() const = 0;
    // The user's own Documents folder and the one shared by all users; empty when unknown.
    virtual std::filesystem::path userDocumentsFolder() const = 0;
    virtual std::filesystem::path sharedDocumentsFolder() const = 0;
    virtual std::filesystem::path desktopFolder() const = 0;

    // Claims the system-wide name for this process; false while another process holds it. The
    // claim lasts until this object is destroyed or the process ends, however it ends.
    virtual bool acquireSingleInstance(const std::string& name) = 0;

    // Starts the program, or the desktop's application for the file, and does not wait for it.
    // verb: "open" (run a program with arguments, or open a document), "edit" (open a document
    // for editing), "explore" (show a folder in the file manager). The arguments are passed one by
    // one, never through a shell. False when nothing could be started.
    virtual bool shellExecute(const std::string& verb, const std::filesystem::path& file,
                              const std::vector<std::string>& arguments) = 0;

    // Whether a key is held down, by Windows virtual-key code: 16 Shift, 17 Ctrl, 18 Alt, and
    // 0x60..0x69 for the digits of the numeric keypad. Other codes read as up.
    virtual bool keyIsDown(int virtualKey) const = 0;

    // Writes a shortcut to link at shortcutFile, replacing any file there. The extension of
    // shortcutFile is replaced by the platform's own one for shortcuts.
    virtual ShortcutResult createShortcut(const ShellLink& link,
                                          const std::filesystem::path& shortcutFile) = 0;

private:
    static bool Exists(const std::filesystem::path& path) {
        std::error_code error;
        return std::filesystem::exists(path, error);
    }
    // <program>/../<relative>: the installed layout keeps programs in <prefix>/bin.
    static std::filesystem::path InstalledFolder(const std::filesystem::path& program,
                                                 const char* relative) {
        return (program / ".." / relative).lexically_normal();
    }
};

} // namespace keyloom
