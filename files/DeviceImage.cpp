#include "files/DeviceImage.h"

#include "document/KeypadDocument.h"
#include "files/AtomicFile.h"
#include "files/CodesText.h"
#include "files/FileError.h"
#include "files/KeyDefinitionFile.h"
#include "files/KeyDefinitionSchema.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace keyloom {

namespace {

constexpr uint8_t kRecordMarker = 0xE4;
constexpr uint8_t kImageEnd = 0xE5;
constexpr uint8_t kNoKey = 0x80;

// The header record: these five bytes, then the level keys and the settings at the offsets below.
constexpr std::array<uint8_t, 5> kHeaderStart{kRecordMarker, 0x01, 0x0C, 0xE0, 0x70};
constexpr std::size_t kLevelToggleKeysAt = 5; // two key indexes, kNoKey where there is none
constexpr std::size_t kLevelShiftKeysAt = 7;  // likewise
constexpr std::size_t kKeyRollOverAt = 9;
constexpr std::size_t kUsbDeviceTypeAt = 10;
constexpr std::size_t kCharacterPacingAt = 11;
constexpr std::size_t kLedFunctionsAt = 12;   // LED 1, 2 and 3
constexpr std::size_t kHeaderSize = 15;
// A key record: kRecordMarker, kKeyRecord, the key's index, the flags of Level 2 and of Level 1,
// the index again, then per level its length and its bytes.
constexpr uint8_t kKeyRecord = 0x02;
constexpr std::size_t kKeyRecordFixedSize = 8;

// The keypad reads E3 where a macro breaks a key; F0 itself is one of its own command bytes.
constexpr uint8_t kStoredBreak = 0xE3;
// The builder has always held a codes text in a buffer of 1024 characters.
constexpr std::size_t kMaxCodesTextLength = 1023;
constexpr std::size_t kLevel1Area = 224;
constexpr std::size_t kLevel2Area = 112;

enum LevelFlag : uint8_t {
    kHasCodes = 0x01,
    kAutoRepeat = 0x02,
    kLiteral = 0x04,
    kSeparateUpCodes = 0x08,
};

struct LoneModifier {
    std::string_view codesText;
    std::array<uint8_t, 2> bytes;
    std::size_t count;
};

// "Default (Auto Sense)" plays these as a modifier held while the key is held.
constexpr std::array<LoneModifier, 12> kLoneModifiers{{
    {"12f012", {0x12}, 1},
    {"14f014", {0x14}, 1},
    {"e01fe0f01f", {0xE0, 0x1F}, 2},
    {"11f011", {0x11}, 1},
    {"e011e0f011", {0xE0, 0x11}, 2},
    {"e027e0f027", {0xE0, 0x27}, 2},
    {"e014e0f014", {0xE0, 0x14}, 2},
    {"59f059", {0x59}, 1},
    {"e011", {0xE0, 0x11}, 2},
    {"e014", {0xE0, 0x14}, 2},
    {"e01f", {0xE0, 0x1F}, 2},
    {"e027", {0xE0, 0x27}, 2},
}};

// Upper-case digits have their values; for anything else beyond '9' the builder has always taken
// the character for a lower-case letter.
uint8_t ImageDigitValue(char32_t character) {
    if (character >= 'A' && character <= 'F')
        return static_cast<uint8_t>(character - 'A' + 10);
    if (character <= '9')
        return static_cast<uint8_t>(character - '0');
    return static_cast<uint8_t>(character - 0x57);
}

struct LevelArea {
    std::span<uint8_t> bytes; // zeroed before the build
    uint8_t length = 0;        // code bytes plus the terminating 0, or 0 for an empty level
    uint8_t flags = 0;
};

// Converts a codes text into area. An invalid byte, or as many bytes as the limit, leaves the
// level empty: the area always keeps room for the terminating 0.
void ConvertCodes(const std::u32string& text, LevelArea& area, std::size_t limit) {
    if (text.size() > kMaxCodesTextLength)
        return;
    std::size_t stored = 0;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        auto value = static_cast<uint8_t>(ImageDigitValue(text[i]) * 16 + ImageDigitValue(text[i + 1]));
        if (value == 0xF0)
            value = kStoredBreak;
        else if (value == 0x00 || value >= kImageEnd)
            return;
        area.bytes[stored++] = value;
        if (stored >= limit)
            return;
    }
    if (stored > 0)
        area.length = static_cast<uint8_t>(stored + 1);
}

uint8_t ModeFlags(int32_t mode) {
    if (mode == 1)
        return kSeparateUpCodes;
    if (mode == 3)
        return kLiteral;
    return 0;
}

void BuildLevel(const std::string& codesText, int32_t mode, LevelArea& area, std::size_t limit) {
    if (codesText.empty())
        return;
    area.flags |= kHasCodes;
    if (mode != 0) {
        ConvertCodes(CodesTextCharacters(codesText), area, limit);
        return;
    }
    bool lone = false;
    for (const LoneModifier& modifier : kLoneModifiers) {
        if (codesText == modifier.codesText) {
            std::copy_n(modifier.bytes.begin(), modifier.count, area.bytes.begin());
            area.length = static_cast<uint8_t>(modifier.count + 1);
            lone = true;
            break;
        }
    }
    if (lone)
        area.flags |= kSeparateUpCodes;
    else
        ConvertCodes(CodesTextCharacters(codesText), area, limit);
    // A single code byte is played as a held key too.
    if (area.bytes[0] != 0 && area.bytes[1] == 0)
        area.flags |= kSeparateUpCodes;
}

void RecordLevelKey(std::vector<uint8_t>& image, std::size_t first, uint8_t keyIndex) {
    if (image[first] == kNoKey)
        image[first] = keyIndex;
    else if (image[first + 1] == kNoKey)
        image[first + 1] = keyIndex;
}

} // namespace

std::vector<uint8_t> BuildDeviceImage(const IniFile& ini, int numberOfKeys) {
    const int keyCount = numberOfKeys == 48 ? 48 : 24;
    std::vector<uint8_t> image;
    image.reserve(kHeaderSize
                  + static_cast<std::size_t>(keyCount) * (kKeyRecordFixedSize + kLevel1Area + kLevel2Area) + 1);
    image.assign(kHeaderStart.begin(), kHeaderStart.end());
    image.resize(kHeaderSize, 0);
    std::fill_n(image.begin() + kLevelToggleKeysAt, 2, kNoKey);
    std::fill_n(image.begin() + kLevelShiftKeysAt, 2, kNoKey);
    const auto setting = [&ini](std::string_view key, int32_t defaultValue) {
        return static_cast<uint8_t>(ini.ReadInteger(ckd::kGlobalSection, key, defaultValue));
    };
    // The builder's pacing default is 4, not the reader's 2.
    image[kCharacterPacingAt] = setting(ckd::kCharacterPacing, 4);
    image[kKeyRollOverAt] = setting(ckd::kKeyRollOver, 2);
    image[kLedFunctionsAt] = setting(ckd::kLedFunction[0], 1);
    image[kLedFunctionsAt + 1] = setting(ckd::kLedFunction[1], 2);
    image[kLedFunctionsAt + 2] = setting(ckd::kLedFunction[2], 4);
    image[kUsbDeviceTypeAt] = setting(ckd::kUsbDeviceType, 11);

    std::array<uint8_t, kLevel1Area> level1Bytes{};
    std::array<uint8_t, kLevel2Area> level2Bytes{};
    for (int i = 0; i < keyCount; ++i) {
        const std::string section = ckd::KeySection(i);
        const auto keyIndex = static_cast<uint8_t>(i);
        level1Bytes.fill(0);
        level2Bytes.fill(0);
        LevelArea level1{level1Bytes};
        LevelArea level2{level2Bytes};

        const int32_t mode1 = ini.ReadInteger(section, ckd::kMacroMode[0], 0);
        const int32_t mode2 = ini.ReadInteger(section, ckd::kMacroMode[1], 0);
        level1.flags = ModeFlags(mode1);
        level2.flags = ModeFlags(mode2);
        if (ini.ReadInteger(section, ckd::kAutoRepeat[0], 0) != 0)
            level1.flags |= kAutoRepeat;
        if (ini.ReadInteger(section, ckd::kAutoRepeat[1], 0) != 0)
            level2.flags |= kAutoRepeat;

        const int32_t keyType = ini.ReadInteger(section, ckd::kKeyType, 0);
        if (keyType == kLevelToggleKey)
            RecordLevelKey(image, kLevelToggleKeysAt, keyIndex);
        else if (keyType == kLevelShiftKey)
            RecordLevelKey(image, kLevelShiftKeysAt, keyIndex);

        const std::string level2Text = ini.ReadString(section, ckd::kCodes[1], "");
        const std::string level1Text = ini.ReadString(section, ckd::kCodes[0], "");
        // Level 1 may spill into the room of an empty Level 2.
        BuildLevel(level1Text, mode1, level1, level2Text.empty() ? kLevel1Area : kLevel2Area);
        BuildLevel(level2Text, mode2, level2, kLevel2Area);

        image.insert(image.end(), {kRecordMarker, kKeyRecord, keyIndex, level2.flags, level1.flags, keyIndex,
                                   level1.length});
        image.insert(image.end(), level1Bytes.begin(), level1Bytes.begin() + level1.length);
        image.push_back(level2.length);
        image.insert(image.end(), level2Bytes.begin(), level2Bytes.begin() + level2.length);
    }
    image.push_back(kImageEnd);
    return image;
}

void WriteDeviceImageFile(const std::filesystem::path& ckdPath, const std::filesystem::path& binPath,
                          int numberOfKeys) {
    IniFile ini;
    try {
        ini = LoadKeyDefinitionIni(ckdPath);
    } catch (const FileError& error) {
        // An unreadable .ckd, or one that is no key definition file, must not turn an existing
        // image into one of defaults.
        throw UnableToWrite(binPath, error.what());
    }
    WriteDeviceImageFile(ini, binPath, numberOfKeys);
}

void WriteDeviceImageFile(const IniFile& ini, const std::filesystem::path& binPath, int numberOfKeys) {
    const std::vector<uint8_t> image = BuildDeviceImage(ini, numberOfKeys);
    WriteFileAtomically(binPath, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

int32_t WriteDeviceImage(const std::filesystem::path& ckdPath, const std::filesystem::path& binPath,
                         int numberOfKeys) {
    try {
        WriteDeviceImageFile(ckdPath, binPath, numberOfKeys);
    } catch (const FileError&) {
        return 2;
    }
    return 0;
}

std::filesystem::path DeviceImagePath(const std::filesystem::path& ckdPath) {
    std::filesystem::path binPath = ckdPath;
    binPath.replace_extension(".bin");
    return binPath;
}

} // namespace keyloom
