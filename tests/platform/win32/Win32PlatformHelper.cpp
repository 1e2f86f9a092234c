// A second process for the platform tests:
//   instance NAME          exit 0 when it could claim NAME, 1 when another process holds it
//   hold NAME SIGNAL       claims NAME, then creates the file SIGNAL and waits to be killed
//   record FILE            writes its working folder and its arguments, each ended by NUL, as UTF-8
//                          to FILE, which appears at once when complete
//   shortcuts FOLDER       writes the shortcuts that the shortcut check reads with lnkinfo
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

int Record(const fs::path& file) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string text = keyloom::WideToUtf8(fs::current_path().wstring());
    text += '\0';
    for (int i = 3; i < count; ++i) {
        text += keyloom::WideToUtf8(arguments[i]);
        text += '\0';
    }
    LocalFree(arguments);
    fs::path part = file;
    part += ".part";
    std::ofstream(part, std::ios::binary) << text;
    return MoveFileExW(part.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}

int WriteShortcuts(const fs::path& folder) {
    keyloom::Win32Platform platform;
    const keyloom::ShellLink forKeypad{
        .target = L"C:\\Program Files\\KeyloomVKxx\\VKxxLoad.exe",
        .workingFolder = L"C:\\Program Files\\KeyloomVKxx\\",
        .arguments = {"C:\\Keypads\\Office.ckd"},
        .description = "Office keys",
        .hotKey = 0x0641,
    };
    const keyloom::ShellLink forReport{
        .target = L"C:\\Reports\\report.xls",
        .workingFolder = L"C:\\Reports\\",
        .arguments = {},
        .description = "Monthly report",
        .hotKey = 0x0174,
    };
    const bool written =
        platform.createShortcut(forKeypad, folder / "Office.lnk") == keyloom::ShortcutResult::Success &&
        platform.createShortcut(forReport, folder / "report.lnk") == keyloom::ShortcutResult::Success;
    return written ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    const std::wstring mode = argv[1];
    if (mode == L"record")
        return Record(argv[2]);
    if (mode == L"shortcuts")
        return WriteShortcuts(argv[2]);

    keyloom::Win32Platform platform;
    if (!platform.acquireSingleInstance(keyloom::WideToUtf8(argv[2])))
        return 1;
    if (mode == L"hold" && argc > 3) {
        std::ofstream(fs::path(argv[3])) << "held";
        Sleep(INFINITE);
    }
    return 0;
}
