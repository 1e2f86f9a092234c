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

// Opens the file to lock it; every sharing is allowed, so that readers, the replace and the move
// still work while the lock is held.
HANDLE OpenToLock(const fs::path& target) {
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE handle = ::CreateFileW(target.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
        handle = ::CreateFileW(target.c_str(), GENERIC_WRITE, kShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
    return handle;
}

// Windows' locks keep others from reading what they cover, so the lock covers one byte far past
// the end of any keypad file: it serialises saves and stops nobody else.
OVERLAPPED LockedRange() {
    OVERLAPPED range{};
    range.Offset = 0xFFFFFFFE;
    range.OffsetHigh = 0x7FFFFFFF;
    return range;
}

// What taking the lock came to.
enum class Locking { Held, Busy, Unsupported };

// Takes the exclusive lock, waiting up to SaveLockWait for another save to let go of it.
Locking LockFile(HANDLE handle, const fs::path& target) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + SaveLockWait();
    bool waiting = false;
    for (;;) {
        OVERLAPPED range = LockedRange();
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

// Whether handle is open on the file that target names now, not on one a rename took away.
bool StillNamedBy(HANDLE handle, const fs::path& target) {
    const Handle now(OpenToLock(target));
    BY_HANDLE_FILE_INFORMATION locked{}, named{};
    return now.valid() && ::GetFileInformationByHandle(handle, &locked) &&
           ::GetFileInformationByHandle(now.get(), &named) &&
           locked.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           locked.nFileIndexHigh == named.nFileIndexHigh && locked.nFileIndexLow == named.nFileIndexLow;
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
        replaced = ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
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
    // Each try locks the file the name stands for; a save that waited may find the name given to
    // a new file by the save before it, and locks that one in turn.
    for (int tries = 0; tries < 100; ++tries) {
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
        if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND && ::GetLastError() != ERROR_PATH_NOT_FOUND)
            throw UnableToWrite(path, Reason(::GetLastError()));
        // Nothing to lock: two saves creating one file each move a whole file into place.
        if (!exists)
            return SaveByReplace(path, target, bytes, attributes, false);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            throw UnableToWrite(path, "not a file");
        const Handle lock(OpenToLock(target));
        if (!lock.valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND)
                continue;
            throw UnableToWrite(path, Reason(error));
        }
        if (LockFile(lock.get(), target) == Locking::Busy)
            throw UnableToWrite(path, kLockBusyReason);
        if (!StillNamedBy(lock.get(), target))
            continue;
        ReportSaveStep(SaveStep::Locked, target);
        // Read again under the lock: the save before this one may have changed them.
        const DWORD current = ::GetFileAttributesW(target.c_str());
        // Replacing would ignore the read-only mark the user set so as not to.
        if (current != INVALID_FILE_ATTRIBUTES && (current & FILE_ATTRIBUTE_READONLY))
            throw UnableToWrite(path, "the file is read-only");
        return SaveByReplace(path, target, bytes, current, true);
    }
    throw UnableToWrite(path, kLockBusyReason);
}

} // namespace keyloom
