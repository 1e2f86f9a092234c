#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/SavingSystem.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

std::string Reason(DWORD error) {
    return ReasonText(std::error_code(static_cast<int>(error), std::system_category()));
}

// Writes all of bytes into a file created by handle and flushes it to the disk; ERROR_SUCCESS or
// the error.
DWORD WriteNewFile(HANDLE handle, std::string_view bytes) {
    DWORD error = ERROR_SUCCESS;
    while (!bytes.empty() && error == ERROR_SUCCESS) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr))
            error = ::GetLastError();
        bytes.remove_prefix(written);
    }
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(handle))
        error = ::GetLastError();
    if (!::CloseHandle(handle) && error == ERROR_SUCCESS)
        error = ::GetLastError();
    return error;
}

// Closes a handle on every way out.
class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid())
            ::CloseHandle(m_handle);
    }
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

// Saves of a file lock ".NAME.lock" beside it rather than the file itself: Windows will not
// rename a file over one that is open, so a handle held on the target across the replace would
// make the replace fail. Every save opens the lock file to be deleted when the last handle to it
// closes; while it is being deleted it cannot be opened, so all the saves waiting at one moment
// hold the same file, and a later one creates it anew. Invalid when it cannot be opened (a folder
// we may not add to, where the replace fails anyway).
HANDLE OpenLockFile(const fs::path& target) {
    const fs::path lockFile = SideFileFor(target, kLockSuffix);
    for (int tries = 0; tries < 500; ++tries) {
        const HANDLE handle = ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        // "Access denied" is also what a lock file being deleted answers: soon gone.
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_ACCESS_DENIED)
            return handle;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return INVALID_HANDLE_VALUE;
}

// What taking the lock came to.
enum class Locking { Held, Busy, Unsupported };

// Takes the exclusive lock, waiting up to SaveLockWait for another save to let go of it.
Locking LockFile(HANDLE handle, const fs::path& target) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + SaveLockWait();
    bool waiting = false;
    for (;;) {
        OVERLAPPED range{};
        if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range))
            return Locking::Held;
        const DWORD error = ::GetLastError();
        // A file system without locks saves as before, unserialised.
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
            return Locking::Unsupported;
        if (!waiting) {
            ReportSaveStep(SaveStep::WaitingForLock, target);
            waiting = true;
        }
        if (Clock::now() >= deadline)
            return Locking::Busy;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// A new file beside target for the new contents: under the fixed name when that is free, else
// under a name of this process's own, so that what stands under the fixed name blocks nothing.
// locked: only a save holding the lock may remove what an earlier save left.
HANDLE CreateTemporary(const fs::path& target, bool locked, fs::path& file) {
    file = SideFileFor(target, kTemporarySuffix);
    if (locked)
        ::DeleteFileW(file.c_str());
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    for (int n = 1; handle == INVALID_HANDLE_VALUE && n <= 100; ++n) {
        const DWORD error = ::GetLastError();
        // A folder under the name answers "access denied".
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
            break;
        file = SideFileFor(target, std::string(kTemporarySuffix) + "-" + std::to_string(::GetCurrentProcessId()) +
                                       "-" + std::to_string(n));
        handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return handle;
}

// Replaces (or creates) target with bytes through a temporary file.
void SaveByReplace(const fs::path& path, const fs::path& target, std::string_view bytes, DWORD attributes,
                   bool exists) {
    fs::path temporary;
    const HANDLE handle = CreateTemporary(target, exists, temporary);
    if (handle == INVALID_HANDLE_VALUE)
        throw UnableToWrite(path, "cannot create a file in the folder: " + Reason(::GetLastError()));
    if (const DWORD error = WriteNewFile(handle, bytes); error != ERROR_SUCCESS) {
        ::DeleteFileW(temporary.c_str());
        throw UnableToWrite(path, "cannot write the data: " + Reason(error));
    }
    ReportSaveStep(SaveStep::ReadyToReplace, target);
    // ReplaceFileW keeps the target's attributes, security and streams: the file stays what it
    // was. Write-through makes the move itself durable.
    bool replaced = exists && ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                             REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                                             nullptr, nullptr);
    DWORD error = ERROR_SUCCESS;
    if (exists && !replaced) {
        error = ::GetLastError();
        // The target could not be opened for replacing (another program holds it open, or a file
        // system without it): a plain move is the remaining way.
        if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            replaced = ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    } else if (!exists) {
        // Another save may have created the file meanwhile: the later one is kept, as a rename
        // would do.
        replaced = ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!replaced) {
        if (error == ERROR_SUCCESS)
            error = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        throw UnableToWrite(path, Reason(error));
    }
    // Where the replace fell back to a move, or the system's replace does not carry them (Wine),
    // the file still keeps the attributes the user gave it.
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (exists && (attributes & kKept) != 0)
        ::SetFileAttributesW(target.c_str(), (::GetFileAttributesW(target.c_str()) & ~FILE_ATTRIBUTE_NORMAL) |
                                                 (attributes & kKept));
}

} // namespace

// Only privileged accounts make links on Windows.
bool MayFollowLink(const fs::path&) { return true; }

// Saves on Windows always replace the file whole, never rewrite it in place: nothing to undo.
void RecoverInterruptedSave(const fs::path&, const fs::path&) {}

void SaveFile(const fs::path& path, const fs::path& target, std::string_view bytes) {
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND && ::GetLastError() != ERROR_PATH_NOT_FOUND)
        throw UnableToWrite(path, Reason(::GetLastError()));
    // Nothing to lock, as on other systems: two saves creating one file each move a whole file
    // into place.
    if (!exists)
        return SaveByReplace(path, target, bytes, attributes, false);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw UnableToWrite(path, "not a file");
    const Handle lock(OpenLockFile(target));
    if (lock.valid() && LockFile(lock.get(), target) == Locking::Busy)
        throw UnableToWrite(path, kLockBusyReason);
    ReportSaveStep(SaveStep::Locked, target);
    // Read again under the lock: the save before this one may have changed them.
    const DWORD current = ::GetFileAttributesW(target.c_str());
    // Replacing would ignore the read-only mark the user set so as not to.
    if (current != INVALID_FILE_ATTRIBUTES && (current & FILE_ATTRIBUTE_READONLY))
        throw UnableToWrite(path, "the file is read-only");
    SaveByReplace(path, target, bytes, current, current != INVALID_FILE_ATTRIBUTES);
}

} // namespace keyloom
