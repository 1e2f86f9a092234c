#pragma once

#include "document/KeypadDocument.h"
#include "files/IniFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace keyloom {

// Selects the 24- or 48-key layout while a file is read. In the editor it switches the keypad
// panel; without a window it only sets numberOfKeys.
using LayoutOperation = std::function<void(int numberOfKeys)>;

// The layout that reading the file selects: 48 only for Number_Of_Keys = 48, and never for a file
// of the older 24-key product.
int LayoutOfFile(const IniFile& ini);

// Writes document onto ini with the key definition file's sections and keys.
void WriteKeyDefinition(const KeypadDocument& document, IniFile& ini);
// Writes document to the file at path on top of whatever it holds, in one atomic step.
// Throws FileError "Unable to write to <path>".
int32_t WriteKeyDefinitionFile(const KeypadDocument& document, const std::filesystem::path& path);
// The same, giving back the file's values as written: its image is built from them without
// reading the file again.
IniFile SaveKeyDefinitionFile(const KeypadDocument& document, const std::filesystem::path& path);

// The values of the key definition file at path, read once; an empty IniFile for a missing or
// empty file (a new document). Throws FileError naming why anything else is not a key definition
// file: a folder or other non-regular file, more than kMaxKeyDefinitionSize bytes, a device image,
// binary data (NUL bytes, as in UTF-16 without a byte order mark; UTF-16 with one is text), or text without a
// [GLOBAL_PARAMETERS] or [KEYn] section.
inline constexpr std::uintmax_t kMaxKeyDefinitionSize = 16u << 20; // a full 48-key file is about 25 KB
IniFile LoadKeyDefinitionIni(const std::filesystem::path& path);

// Fills document from ini. The caller resets document first: only parsed code bytes are written.
// An odd-length codes text throws FileError "Range check error" naming the section and key, after
// everything before it was stored. layout defaults to setting document.numberOfKeys.
void ReadKeyDefinition(KeypadDocument& document, const IniFile& ini, const std::filesystem::path& path,
                       const LayoutOperation& layout = {});
int32_t ReadKeyDefinitionFile(KeypadDocument& document, const std::filesystem::path& path,
                              const LayoutOperation& layout = {});

} // namespace keyloom
