#include "files/WindowsCommandLine.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"

#include "support/TemporaryFolder.h"

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

fs::path ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

const fs::path kHelper = ThisProgram().parent_path() / L"win32_platform_helper.exe";

using test::ReadFile;
using test::TemporaryFolder;
using test::WriteFile;

// UTF-8 text beyond ASCII, as the interface takes it.
std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

// Processes started by the shell write their results in their own time.
bool WaitForFile(const fs::path& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The helper process, started with arguments; its handle, or none when it could not start.
std::optional<PROCESS_INFORMATION> StartHelper(const std::vector<std::string>& arguments) {
    std::vector<std::string> line = {WideToUtf8(kHelper.wstring())};
    line.insert(line.end(), arguments.begin(), arguments.end());
    std::wstring commandLine = Utf8ToWide(JoinWindowsArguments(line, Quoting::WhenNeeded));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(kHelper.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return std::nullopt;
    CloseHandle(process.hThread);
    return process;
}

int RunHelper(const std::vector<std::string>& arguments) {
    const std::optional<PROCESS_INFORMATION> process = StartHelper(arguments);
    if (!process)
        return -1;
    WaitForSingleObject(process->hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process->hProcess, &code);
    CloseHandle(process->hProcess);
    return static_cast<int>(code);
}

// A name no other test run uses at the same time.
std::string InstanceName() { return "KeyloomVKxx-test-" + std::to_string(GetCurrentProcessId()); }

TEST(Win32PlatformTest, ASecondProcessSeesTheClaimAndStops) {
    const std::string name = InstanceName();
    {
        Win32Platform platform;
        ASSERT_TRUE(platform.acquireSingleInstance(name));
        EXPECT_TRUE(platform.acquireSingleInstance(name)) << "the holder itself may ask again";
        EXPECT_EQ(RunHelper({"instance", name}), 1);
    }
    EXPECT_EQ(RunHelper({"instance", name}), 0) << "the claim ends with its owner";
}

TEST(Win32PlatformTest, TheClaimEndsWhenItsProcessIsKilled) {
    const std::string name = InstanceName() + "-held";
    TemporaryFolder folder;
    const fs::path signal = folder.path() / "held";
    const std::optional<PROCESS_INFORMATION> holder = StartHelper({"hold", name, WideToUtf8(signal.wstring())});
    ASSERT_TRUE(holder);
    ASSERT_TRUE(WaitForFile(signal));
    {
        Win32Platform platform;
        EXPECT_FALSE(platform.acquireSingleInstance(name));
    }
    TerminateProcess(holder->hProcess, 9);
    WaitForSingleObject(holder->hProcess, INFINITE);
    CloseHandle(holder->hProcess);
    Win32Platform platform;
    EXPECT_TRUE(platform.acquireSingleInstance(name));
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    fs::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        result = path;
    CoTaskMemFree(path);
    return result;
}

TEST(Win32PlatformTest, FoldersAreTheShellsKnownFolders) {
    Win32Platform platform;
    const struct {
        const char* name;
        fs::path folder;
        fs::path known;
    } cases[] = {
        {"user Documents", platform.userDocumentsFolder(), KnownFolder(FOLDERID_Documents)},
        {"shared Documents", platform.sharedDocumentsFolder(), KnownFolder(FOLDERID_PublicDocuments)},
        {"desktop", platform.desktopFolder(), KnownFolder(FOLDERID_Desktop)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.folder.empty());
        EXPECT_TRUE(c.folder.is_absolute());
        EXPECT_EQ(c.folder, c.known);
        EXPECT_TRUE(fs::is_directory(c.folder));
    }
    EXPECT_NE(platform.userDocumentsFolder(), platform.sharedDocumentsFolder());
}

TEST(Win32PlatformTest, ProgramFolderHoldsTheRunningProgram) {
    Win32Platform platform;
    EXPECT_EQ(platform.programFolder(), ThisProgram().parent_path());
    EXPECT_EQ(platform.helperProgram(kDownloadUtility), ThisProgram().parent_path() / L"VKxxLoad.exe");
}

TEST(Win32PlatformTest, CommandLinesSplitBackIntoTheSameArguments) {
    const std::vector<std::string> arguments = {
        R"(C:\Keys\Office.ckd)", R"(C:\Key files\Office 1.ckd)", "", R"(say "hi")", R"(C:\Key files\)",
        R"(a\\"b)", "tab\tin", Utf8(u8"Grüße ✓"),
    };
    for (const Quoting quoting : {Quoting::WhenNeeded, Quoting::Always}) {
        const std::wstring line = L"program.exe " + Utf8ToWide(JoinWindowsArguments(arguments, quoting));
        int count = 0;
        wchar_t** split = CommandLineToArgvW(line.c_str(), &count);
        ASSERT_NE(split, nullptr);
        std::vector<std::string> received;
        for (int i = 1; i < count; ++i)
            received.push_back(WideToUtf8(split[i]));
        LocalFree(split);
        EXPECT_EQ(received, arguments);
    }
}

// What the recording helper wrote: its working folder, then its arguments.
std::vector<std::string> ReadRecord(const fs::path& record) {
    std::vector<std::string> fields;
    const std::string text = ReadFile(record);
    for (std::size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        fields.push_back(text.substr(start, end - start));
    return fields;
}

TEST(Win32PlatformTest, OpenStartsAProgramWithItsArgumentsUnchanged) {
    TemporaryFolder folder;
    const fs::path record = folder.path() / "record";
    const std::vector<std::string> arguments = {
        R"(C:\Key files\Office 1.ckd)", R"(say "hi")", R"(C:\Keys\)", Utf8(u8"Grüße ✓"),
    };
    std::vector<std::string> all = {"record", WideToUtf8(record.wstring())};
    all.insert(all.end(), arguments.begin(), arguments.end());

    Win32Platform platform;
    ASSERT_TRUE(platform.shellExecute("open", kHelper, all));
    ASSERT_TRUE(WaitForFile(record));
    const std::vector<std::string> fields = ReadRecord(record);
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(std::vector<std::string>(fields.begin() + 1, fields.end()), arguments);
}

TEST(Win32PlatformTest, OpenReportsAProgramThatIsNotThere) {
    TemporaryFolder folder;
    Win32Platform platform;
    EXPECT_FALSE(platform.shellExecute("open", folder.path() / "VKxxLoad.exe", {"x.ckd"}));
}

TEST(Win32PlatformTest, KeysNotFollowedReadAsUp) {
    Win32Platform platform;
    // Nothing presses keys during the tests; other keys are not followed at all.
    for (const int key : std::initializer_list<int>{VK_SHIFT, VK_CONTROL, VK_MENU, VK_NUMPAD0, VK_NUMPAD9, 'A', VK_F5})
        EXPECT_FALSE(platform.keyIsDown(key)) << key;
}

// A shortcut's fields as the shell reads them back.
struct ReadLink {
    std::wstring target, arguments, workingFolder, description;
    WORD hotKey = 0;
};

std::optional<ReadLink> ReadShortcut(const fs::path& file) {
    std::optional<ReadLink> result;
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
        wchar_t buffer[INFOTIPSIZE] = {};
        ReadLink read;
        link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
        read.target = buffer;
        buffer[0] = 0;
        link->GetArguments(buffer, INFOTIPSIZE);
        read.arguments = buffer;
        buffer[0] = 0;
        link->GetWorkingDirectory(buffer, MAX_PATH);
        read.workingFolder = buffer;
        buffer[0] = 0;
        link->GetDescription(buffer, INFOTIPSIZE);
        read.description = buffer;
        link->GetHotkey(&read.hotKey);
        result = read;
    }
    if (persist)
        persist->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(initialized))
        CoUninitialize();
    return result;
}

TEST(Win32PlatformTest, ShortcutsReadBackWithTheirFields) {
    TemporaryFolder folder;
    const fs::path program = folder.path() / "Program";
    const fs::path keypads = folder.path() / "Key files";
    fs::create_directories(program);
    fs::create_directories(keypads);
    WriteFile(program / "VKxxLoad.exe", "");
    WriteFile(keypads / "Office.ckd", "");
    WriteFile(keypads / "report.xls", "");
    const std::wstring programFolder = program.wstring() + L"\\";
    const std::wstring keypadFolder = keypads.wstring() + L"\\";

    const struct {
        const char* name;
        ShellLink link;
        std::wstring arguments; // as stored
    } cases[] = {
        // Ctrl+Alt+A on a key definition file: the utility, the file as its argument.
        {"Office", {program / "VKxxLoad.exe", programFolder, {WideToUtf8(keypadFolder) + "Office.ckd"}, "Office keys", 0x0641},
         L"\"" + keypadFolder + L"Office.ckd\""},
        // Ctrl+Alt+Page Up on any other file: the file itself, started in its folder.
        {"report", {keypads / "report.xls", keypadFolder, {}, Utf8(u8"Monatsbericht ✓"), 0x0E21}, L""},
        // Shift+F5, and a path without blanks stays as entered.
        {"plain", {program / "VKxxLoad.exe", programFolder, {"C:\\Keys\\plain.ckd"}, "", 0x0174},
         L"C:\\Keys\\plain.ckd"},
        {"no hot key", {keypads / "report.xls", keypadFolder, {}, "", 0}, L""},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The extension is the shell's own, whatever the caller gave.
        const fs::path file = folder.path() / (std::string(c.name) + ".desktop");
        ASSERT_EQ(platform.createShortcut(c.link, file), ShortcutResult::Success);
        fs::path written = file;
        written.replace_extension(".lnk");
        ASSERT_TRUE(fs::exists(written));
        const std::optional<ReadLink> read = ReadShortcut(written);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->target, c.link.target.wstring());
        EXPECT_EQ(read->arguments, c.arguments);
        EXPECT_EQ(read->workingFolder, c.link.workingFolder.wstring());
        EXPECT_EQ(WideToUtf8(read->description), c.link.description);
        EXPECT_EQ(read->hotKey, c.link.hotKey);
    }
}

TEST(Win32PlatformTest, ShortcutNamesTakeTheLinkExtension) {
    TemporaryFolder folder;
    Win32Platform platform;
    const ShellLink link{folder.path() / "x.exe", folder.path(), {}, "", 0};
    // ".lnk" alone comes from a target with an empty name, which is allowed.
    const struct {
        const char* given;
        const char* written;
    } cases[] = {{"Office.ckd", "Office.lnk"}, {"report.lnk", "report.lnk"}, {"a.b.desktop", "a.b.lnk"},
                 {".lnk", ".lnk"}, {"noextension", "noextension.lnk"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        ASSERT_EQ(platform.createShortcut(link, folder.path() / c.given), ShortcutResult::Success);
        EXPECT_TRUE(fs::exists(folder.path() / c.written));
    }
    EXPECT_FALSE(fs::exists(folder.path() / ".lnk.lnk"));
}

TEST(Win32PlatformTest, ShortcutIntoAMissingFolderFailsOnSaving) {
    TemporaryFolder folder;
    Win32Platform platform;
    const ShellLink link{folder.path() / "x.exe", folder.path(), {}, "", 0};
    EXPECT_EQ(platform.createShortcut(link, folder.path() / "missing" / "x.lnk"), ShortcutResult::SaveFailed);
    EXPECT_FALSE(fs::exists(folder.path() / "missing"));
}

TEST(Win32PlatformTest, AnExistingShortcutIsReplaced) {
    TemporaryFolder folder;
    Win32Platform platform;
    const fs::path file = folder.path() / "x.lnk";
    WriteFile(file, "an older shortcut");
    const ShellLink link{folder.path() / "x.exe", folder.path(), {}, "new", 0x0641};
    ASSERT_EQ(platform.createShortcut(link, file), ShortcutResult::Success);
    const std::optional<ReadLink> read = ReadShortcut(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->description, L"new");
}

} // namespace
} // namespace keyloom
