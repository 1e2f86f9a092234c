#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/SavingSystem.h"

#include <algorithm>
#include <string>

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

} // namespace

void SaveFile(const fs::path& path, const fs::path& target, std::string_view bytes) {
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND && ::GetLastError() != ERROR_PATH_NOT_FOUND)
        throw UnableToWrite(path, Reason(::GetLastError()));
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw UnableToWrite(path, "not a file");
    // Replacing would ignore the read-only mark the user set so as not to.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        throw UnableToWrite(path, "the file is read-only");

    const fs::path temporary = SideFileFor(target, kTemporarySuffix);
    // A file of that name is what a stopped save left behind.
    ::DeleteFileW(temporary.c_str());
    const HANDLE handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                        nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw UnableToWrite(path, "cannot create a file in the folder: " + Reason(::GetLastError()));
    if (const DWORD error = WriteNewFile(handle, bytes); error != ERROR_SUCCESS) {
        ::DeleteFileW(temporary.c_str());
        throw UnableToWrite(path, "cannot write the data: " + Reason(error));
    }
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

} // namespace keyloom
