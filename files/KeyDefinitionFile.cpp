#include "files/KeyDefinitionFile.h"

#include "files/AtomicFile.h"
#include "files/CodesText.h"
#include "files/FileError.h"
#include "files/KeyDefinitionSchema.h"
#include "files/PathText.h"
#include "files/TextEncoding.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <utility>

namespace keyloom {

namespace {

// Stores the codes of a level. A lone last digit ends the reading with the error the reader has
// always given, after the pairs before it were stored.
void ReadCodes(const std::string& text, std::span<uint8_t> array, std::size_t limit,
               const std::filesystem::path& path, const std::string& section, std::string_view key) {
    if (ParseCodesText(CodesTextCharacters(text), array, limit).incomplete)
        throw FileError("Range check error", path, section, std::string(key));
}

// The first bytes of every device image: its header starts with them.
constexpr char kDeviceImageStart[] = {'\xE4', '\x01', '\x0C'};

// A key definition file has the keypad's settings or a key's section.
bool IsKeyDefinition(const IniFile& ini) {
    for (const std::string& name : ini.SectionNames()) {
        if (IniNamesEqual(name, ckd::kGlobalSection))
            return true;
        for (int i = 0; i < kKeyCount; ++i) {
            if (IniNamesEqual(name, ckd::KeySection(i)))
                return true;
        }
    }
    return false;
}

} // namespace

int LayoutOfFile(const IniFile& ini) {
    // Files of the older 24-key product always load in the 24-key layout; the comparison is exact.
    if (ini.ReadString(ckd::kGlobalSection, ckd::kModelNumber, "") == ckd::kOlderModel)
        return 24;
    return ini.ReadInteger(ckd::kGlobalSection, ckd::kNumberOfKeys, 48) == 48 ? 48 : 24;
}

void WriteKeyDefinition(const KeypadDocument& document, IniFile& ini) {
    using namespace ckd;
    const bool fortyEight = document.numberOfKeys == 48;
    ini.WriteString(kGlobalSection, kModelNumber, fortyEight ? kModel48 : kModel24);
    ini.WriteInteger(kGlobalSection, kNumberOfKeys, fortyEight ? 48 : 24);
    const KeypadSettings& settings = document.settings;
    ini.WriteInteger(kGlobalSection, kKeyRollOver, settings.keyRollOver);
    for (std::size_t led = 0; led < kLedFunction.size(); ++led)
        ini.WriteInteger(kGlobalSection, kLedFunction[led], settings.ledFunction[led]);
    ini.WriteInteger(kGlobalSection, kCharacterPacing, settings.characterPacing);
    ini.WriteInteger(kGlobalSection, kUsbDeviceType, settings.usbDeviceType);

    const int keyCount = fortyEight ? 48 : 24;
    for (int i = 0; i < keyCount; ++i) {
        const KeyRecord& key = document.keys[static_cast<std::size_t>(i)];
        const std::string section = KeySection(i);
        ini.WriteInteger(section, kKeyType, key.KeyType);
        ini.WriteInteger(section, kAutoRepeat[0], key.autoRepeat[0]);
        ini.WriteInteger(section, kAutoRepeat[1], key.autoRepeat[1]);
        ini.WriteInteger(section, kMacroMode[0], key.macroMode[0]);
        ini.WriteInteger(section, kMacroMode[1], key.macroMode[1]);
        ini.WriteString(section, kCodes[0], CodesText(key.level1Codes));
        ini.WriteString(section, kCodes[1], CodesText(key.level2Codes));
        ini.WriteString(section, kName[0], key.name[0]);
        ini.WriteString(section, kName[1], key.name[1]);
    }
}

int32_t WriteKeyDefinitionFile(const KeypadDocument& document, const std::filesystem::path& path) {
    SaveKeyDefinitionFile(document, path);
    return 0;
}

IniFile SaveKeyDefinitionFile(const KeypadDocument& document, const std::filesystem::path& path) {
    IniFile ini;
    try {
        ini = IniFile::Load(path);
    } catch (const FileError& error) {
        // What cannot be read cannot be written on top of.
        throw UnableToWrite(path, error.what());
    }
    WriteKeyDefinition(document, ini);
    ini.Save(path);
    return ini;
}

void ReadKeyDefinition(KeypadDocument& document, const IniFile& ini,
                       const std::filesystem::path& path, const LayoutOperation& layout) {
    document.numberOfKeys = LayoutOfFile(ini);
    if (layout)
        layout(document.numberOfKeys);

    using namespace ckd;
    KeypadSettings& settings = document.settings;
    settings.keyRollOver = ini.ReadInteger(kGlobalSection, kKeyRollOver, 2);
    settings.ledFunction[0] = ini.ReadInteger(kGlobalSection, kLedFunction[0], 1);
    settings.ledFunction[1] = ini.ReadInteger(kGlobalSection, kLedFunction[1], 2);
    settings.ledFunction[2] = ini.ReadInteger(kGlobalSection, kLedFunction[2], 4);
    // The reader's pacing default is 2, not the New document's 1.
    settings.characterPacing = ini.ReadInteger(kGlobalSection, kCharacterPacing, 2);
    settings.usbDeviceType = ini.ReadInteger(kGlobalSection, kUsbDeviceType, 11);

    for (int i = 0; i < kKeyCount; ++i) {
        KeyRecord& key = document.keys[static_cast<std::size_t>(i)];
        const std::string section = KeySection(i);
        key.KeyType = ini.ReadInteger(section, kKeyType, 0);
        key.macroMode[0] = ini.ReadInteger(section, kMacroMode[0], 0);
        key.macroMode[1] = ini.ReadInteger(section, kMacroMode[1], 0);
        // A section without these keys loads with auto-repeat off, unlike a New document.
        key.autoRepeat[0] = ini.ReadInteger(section, kAutoRepeat[0], 0) != 0 ? 1 : 0;
        key.autoRepeat[1] = ini.ReadInteger(section, kAutoRepeat[1], 0) != 0 ? 1 : 0;
        const std::string level1 = ini.ReadString(section, kCodes[0], "");
        const std::string level2 = ini.ReadString(section, kCodes[1], "");
        ReadCodes(level1, key.level1Codes, kLevel1ArraySize - 1, path, section, kCodes[0]);
        ReadCodes(level2, key.level2Codes, kLevel2ArraySize - 1, path, section, kCodes[1]);
        key.name[0] = ini.ReadString(section, kName[0], "");
        key.name[1] = ini.ReadString(section, kName[1], "");
    }
}

IniFile LoadKeyDefinitionIni(const std::filesystem::path& path) {
    RecoverInterruptedSave(path);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxKeyDefinitionSize)
        throw FileError(PathText(path) + " is too large for a key definition file (" + std::to_string(size)
                            + " bytes; at most 16 MB)",
                        path);
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return IniFile{};
    const auto notKeyDefinition = [&path](const std::string& why) {
        return FileError(PathText(path) + " is not a key definition file (" + why + ")", path);
    };
    if (bytes.starts_with(std::string_view(kDeviceImageStart, sizeof kDeviceImageStart)))
        throw FileError(PathText(path) + " is a device image, not a key definition file", path);
    // UTF-16 with its byte order mark is text, which a save writes back in the same form; NUL
    // bytes in anything else (UTF-16 without the mark included) are binary data.
    const bool utf16 = DetectEncoding(bytes) == TextEncoding::Utf16LeBom;
    const std::string text = utf16 ? DecodeText(bytes, TextEncoding::Utf16LeBom) : std::string();
    if ((utf16 ? text : bytes).find('\0') != std::string::npos)
        throw notKeyDefinition("it holds NUL bytes: binary data");
    const std::string& shown = utf16 ? text : bytes;
    const bool blank = std::all_of(shown.begin(), shown.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\xEF' || c == '\xBB' || c == '\xBF';
    });
    IniFile ini = IniFile::FromBytes(std::move(bytes));
    if (!blank && !IsKeyDefinition(ini))
        throw notKeyDefinition("no [GLOBAL_PARAMETERS] or [KEYn] section");
    return ini;
}

int32_t ReadKeyDefinitionFile(KeypadDocument& document, const std::filesystem::path& path,
                              const LayoutOperation& layout) {
    ReadKeyDefinition(document, LoadKeyDefinitionIni(path), path, layout);
    return 0;
}

} // namespace keyloom
