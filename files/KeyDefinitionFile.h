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

// Fills document from ini. The caller resets document first: only parsed code bytes are written.
// An odd-length codes text throws FileError "Range check error" naming the section and key, after
// everything before it was stored. layout defaults to setting document.numberOfKeys.
void ReadKeyDefinition(KeypadDocument& document, const IniFile& ini, const std::filesystem::path& path,
                       const LayoutOperation& layout = {});
int32_t ReadKeyDefinitionFile(KeypadDocument& document, const std::filesystem::path& path,
                              const LayoutOperation& layout = {});

} // namespace keyloom
