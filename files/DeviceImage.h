#pragma once

#include "files/IniFile.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace keyloom {

// The device image that the keypad reads, built from a key definition file's values with the
// builder's own defaults, for numberOfKeys keys (the layout on screen, not the file's).
std::vector<uint8_t> BuildDeviceImage(const IniFile& ini, int numberOfKeys);

// Builds the image of the .ckd at ckdPath and writes it to binPath. When the .ckd cannot be read
// or binPath cannot be written, the old file, if any, is left whole and FileError "Unable to write
// to <binPath> (<reason>)" is thrown.
void WriteDeviceImageFile(const std::filesystem::path& ckdPath, const std::filesystem::path& binPath,
                          int numberOfKeys);
// Writes the image of the already read values of a .ckd to binPath; FileError "Unable to write to
// <binPath> (<reason>)" when it cannot be written.
void WriteDeviceImageFile(const IniFile& ini, const std::filesystem::path& binPath, int numberOfKeys);
// The same for callers that only need to know: 0 when written; 2 when not.
int32_t WriteDeviceImage(const std::filesystem::path& ckdPath, const std::filesystem::path& binPath,
                         int numberOfKeys);

// ckdPath with its extension replaced by ".bin" (appended when it has none).
std::filesystem::path DeviceImagePath(const std::filesystem::path& ckdPath);

} // namespace keyloom
