#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string_view>

namespace keyloom {

// Replaces the file at path with bytes so that a crash or a power cut at any moment leaves either
// the old contents or the new ones, whole and on the disk. Usually a temporary file beside the
// target (".NAME.saving", readable only by those who could read the old file) is written, flushed
// and renamed over it; a target that a rename would change (another owner or group, more than one
// hard link, a folder in which we may not create files) is rewritten in place, a whole copy of its
// old contents kept beside it (".NAME.saved") until the new ones are on the disk, which
// RecoverInterruptedSave puts back if the rewrite is stopped. A link is followed to the file it
// names, which is created when missing, if the saving user or the owner of its folder made it. On
// failure the old file is left whole, nothing is left beside it, and UnableToWrite(path, reason)
// is thrown.
//
// Saves of one existing file are serialised: each holds an exclusive lock on the file from before
// its temporary file is made until the rename or the rewrite is done, and a save that finds the
// lock held waits up to kSaveLockWait, then fails with "another save of this file is under way".
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A save that rewrites a file in place and is stopped half-way (killed, or the system went down)
// leaves the file's earlier contents beside it; this puts them back before the file is read, so
// that no half-written file is ever taken for a whole one. Readers of files we save call it first.
// Throws FileError naming the kept copy when it cannot be put back (a file we may not write).
void RecoverInterruptedSave(const std::filesystem::path& path);

// How long a save waits for another save of the same file to end.
inline constexpr std::chrono::milliseconds kSaveLockWait{5000};

// The points of a save at which a test may pause it, to make races happen in a chosen order.
enum class SaveStep {
    WaitingForLock, // another save holds the file; this one starts waiting
    Locked,         // the file is this save's until it ends
    ReadyToReplace, // the new contents (or, in place, a copy of the old ones) are on the disk
};
using SaveStepHook = std::function<void(SaveStep, const std::filesystem::path& target)>;
// Tests only: hook runs at every step of every save in the process (on the saving thread), and
// the lock is waited for wait instead of kSaveLockWait. An empty hook restores the usual.
void SetSaveHooksForTests(SaveStepHook hook, std::chrono::milliseconds wait = kSaveLockWait);

// The fixed name of a file kept beside target while it is saved: a leading dot keeps it out of
// sight, and a name that would pass the system's limit is shortened with a hash of the whole.
std::filesystem::path SideFileFor(const std::filesystem::path& target, std::string_view suffix);

// Reads a whole file. Returns false when it does not exist; throws FileError when it exists but
// cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

} // namespace keyloom
