#include "platform/win32/Win32Platform.h"

#include "files/WindowsCommandLine.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

// A known folder as SHGetFolderPathW gives it; empty when Windows does not know it.
fs::path FolderOf(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    return fs::path(buffer);
}

// The file with ".lnk" in place of its extension. A name that is only an extension (".lnk" itself,
// made from a target whose name is empty) is replaced whole rather than becoming ".lnk.lnk".
fs::path ShortcutFile(fs::path file) {
    if (!file.has_extension() && file.filename().wstring().starts_with(L'.'))
        file.replace_filename(L".lnk");
    else
        file.replace_extension(L".lnk");
    return file;
}

// Releases a COM interface when it goes out of scope.
template <typename Interface>
struct Released {
    Interface* pointer = nullptr;
    ~Released() {
        if (pointer)
            pointer->Release();
    }
};

} // namespace

Win32Platform::~Win32Platform() {
    for (const auto& [name, mutex] : m_mutexes) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

fs::path Win32Platform::programFolder() const {
    // The path may be longer than MAX_PATH; a full buffer means it was cut.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return fs::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

fs::path Win32Platform::userDocumentsFolder() const { return FolderOf(CSIDL_PERSONAL); }

fs::path Win32Platform::sharedDocumentsFolder() const { return FolderOf(CSIDL_COMMON_DOCUMENTS); }

fs::path Win32Platform::desktopFolder() const {
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_DESKTOP, FALSE))
        return {};
    return fs::path(buffer);
}

bool Win32Platform::acquireSingleInstance(const std::string& name) {
    if (m_mutexes.contains(name))
        return true;
    HANDLE mutex = CreateMutexW(nullptr, TRUE, Utf8ToWide(name).c_str());
    // Only a name already taken means another instance; without a mutex the program still runs.
    if (mutex == nullptr)
        return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mutexes.emplace(name, mutex);
    return true;
}

bool Win32Platform::shellExecute(const std::string& verb, const fs::path& file,
                                 const std::vector<std::string>& arguments) {
    const std::wstring parameters = Utf8ToWide(JoinWindowsArguments(arguments, Quoting::Always));
    const HINSTANCE result = ShellExecuteW(nullptr, Utf8ToWide(verb).c_str(), file.c_str(),
                                           parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                                           SW_SHOWNORMAL);
    // Values above 32 mean success; the rest are error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Platform::keyIsDown(int virtualKey) const {
    const bool followed = virtualKey == VK_SHIFT || virtualKey == VK_CONTROL || virtualKey == VK_MENU ||
                          (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9);
    return followed && (GetKeyState(virtualKey) & 0x8000) != 0;
}

ShortcutResult Win32Platform::createShortcut(const ShellLink& link, const fs::path& shortcutFile) {
    const fs::path file = ShortcutFile(shortcutFile);

    // A thread that already uses COM in another mode (the GUI thread) answers RPC_E_CHANGED_MODE
    // and may use it as it is; only a successful call is balanced by CoUninitialize.
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ShortcutResult result = ShortcutResult::Success;
    {
        Released<IShellLinkW> shellLink;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&shellLink.pointer)))) {
            result = ShortcutResult::CannotCreateLink;
        } else {
            shellLink.pointer->SetPath(link.target.c_str());
            shellLink.pointer->SetWorkingDirectory(link.workingFolder.c_str());
            shellLink.pointer->SetArguments(
                Utf8ToWide(JoinWindowsArguments(link.arguments, Quoting::WhenNeeded)).c_str());
            shellLink.pointer->SetDescription(Utf8ToWide(link.description).c_str());
            if (link.hotKey != 0)
                shellLink.pointer->SetHotkey(link.hotKey);

            Released<IPersistFile> persistFile;
            if (FAILED(shellLink.pointer->QueryInterface(IID_IPersistFile,
                                                         reinterpret_cast<void**>(&persistFile.pointer))))
                result = ShortcutResult::NoPersistFile;
            else if (FAILED(persistFile.pointer->Save(file.c_str(), TRUE)))
                result = ShortcutResult::SaveFailed;
        }
    }
    if (SUCCEEDED(initialized))
        CoUninitialize();
    return result;
}

} // namespace keyloom
