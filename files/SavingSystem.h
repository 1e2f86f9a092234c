#pragma once

// The system's half of WriteFileAtomically: one definition for POSIX systems, one for Windows.

#include "files/AtomicFile.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace keyloom {

inline constexpr std::string_view kTemporarySuffix = ".saving";
inline constexpr std::string_view kKeptSuffix = ".saved";
// Windows only: the file that saves of a file lock.
inline constexpr std::string_view kLockSuffix = ".lock";

// Saves bytes into target, a path that is not a link; path is the name the user gave, for the
// messages.
void SaveFile(const std::filesystem::path& path, const std::filesystem::path& target, std::string_view bytes);

// Whether a save may follow the symbolic link at link: only when the saving user or the owner of
// the folder holding it made it, since anyone who may add files to a shared folder could
// otherwise point a name there at any file of ours.
bool MayFollowLink(const std::filesystem::path& link);

// Undoes a save of target that stopped half-way through rewriting it in place, if one did.
void RecoverInterruptedSave(const std::filesystem::path& path, const std::filesystem::path& target);

// Lets a test pause the save at step.
void ReportSaveStep(SaveStep step, const std::filesystem::path& target);
// How long a save waits for the lock.
std::chrono::milliseconds SaveLockWait();

// The reason given when the lock stayed held.
inline constexpr const char* kLockBusyReason = "another save of this file is under way";

// A system error as the reason in "Unable to write to X (reason)": "permission denied".
std::string ReasonText(const std::error_code& error);

} // namespace keyloom
