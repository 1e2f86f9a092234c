#pragma once

#include <filesystem>
#include <string_view>

namespace keyloom {

// Replaces the file at path with bytes in one step: a temporary file in the same folder is
// written, flushed and renamed over the target, keeping the target's permissions. On failure
// the old file is left whole, no temporary file remains, and UnableToWrite(path) is thrown.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole file. Returns false when it does not exist; throws FileError when it exists but
// cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

} // namespace keyloom
