#pragma once

#include <filesystem>
#include <string_view>

namespace keyloom {

// Replaces the file at path with bytes so that a crash or a power cut at any moment leaves either
// the old contents or the new ones, whole and on the disk. Usually a temporary file beside the
// target (".NAME.saving", private from its first byte) is written, flushed and renamed over it;
// a target that a rename would change (another owner or group, more than one hard link, a folder
// in which we may not create files) is rewritten in place, its old contents kept beside it
// (".NAME.saved") until the new ones are on the disk. A link is followed to the file it names,
// which is created when missing. On failure the old file is left whole, nothing is left beside
// it, and UnableToWrite(path, reason) is thrown.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The fixed name of a file kept beside target while it is saved: a leading dot keeps it out of
// sight, and a name that would pass the system's limit is shortened with a hash of the whole.
std::filesystem::path SideFileFor(const std::filesystem::path& target, std::string_view suffix);

// Reads a whole file. Returns false when it does not exist; throws FileError when it exists but
// cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

} // namespace keyloom
