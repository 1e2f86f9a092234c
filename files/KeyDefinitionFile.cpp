#include "files/KeyDefinitionFile.h"

#include "files/AtomicFile.h"
#include "files/CodesText.h"
#include "files/FileError.h"

#include <string>

namespace keyloom {

namespace {

constexpr const char* kGlobal = "GLOBAL_PARAMETERS";

std::string KeySection(int keyIndex) { return "KEY" + std::to_string(keyIndex); }

// Parses hex pairs into array until limit bytes are stored. The reader has never checked the
// digits, only that each pair is complete.
void ParseCodes(const std::string& text, std::span<uint8_t> array, std::size_t limit,
                const std::filesystem::path& path, const std::string& section, const char* key) {
    const std::u32string characters = CodesTextCharacters(text);
    std::size_t stored = 0;
    for (std::size_t i = 0; i < characters.size() && stored < limit; i += 2) {
        if (i + 1 >= characters.size())
            throw FileError("Range check error", path, section, key);
        array[stored++] = static_cast<uint8_t>(HexDigitValue(characters[i]) * 16
                                               + HexDigitValue(characters[i + 1]));
    }
}

} // namespace

uint8_t HexDigitValue(char32_t character) {
    const auto d = static_cast<uint8_t>((character & 0xFF) - 0x30);
    if (d <= 9)
        return d;
    return static_cast<uint8_t>((d & 0xDF) - 7);
}

int LayoutOfFile(const IniFile& ini) {
    // Files of the older 24-key product always load in the 24-key layout; the comparison is exact.
    if (ini.ReadString(kGlobal, "Model_Number", "") == "Keyloom307")
        return 24;
    return ini.ReadInteger(kGlobal, "Number_Of_Keys", 48) == 48 ? 48 : 24;
}

void WriteKeyDefinition(const KeypadDocument& document, IniFile& ini) {
    const bool fortyEight = document.numberOfKeys == 48;
    ini.WriteString(kGlobal, "Model_Number", fortyEight ? "VK48" : "VK24");
    ini.WriteInteger(kGlobal, "Number_Of_Keys", fortyEight ? 48 : 24);
    const KeypadSettings& settings = document.settings;
    ini.WriteInteger(kGlobal, "Key_Roll_Over", settings.keyRollOver);
    ini.WriteInteger(kGlobal, "LED_Function", settings.ledFunction[0]);
    ini.WriteInteger(kGlobal, "LED2_Function", settings.ledFunction[1]);
    ini.WriteInteger(kGlobal, "LED3_Function", settings.ledFunction[2]);
    ini.WriteInteger(kGlobal, "Character_Pacing", settings.characterPacing);
    ini.WriteInteger(kGlobal, "USB_Device_Type", settings.usbDeviceType);

    const int keyCount = fortyEight ? 48 : 24;
    for (int i = 0; i < keyCount; ++i) {
        const KeyRecord& key = document.keys[static_cast<std::size_t>(i)];
        const std::string section = KeySection(i);
        ini.WriteInteger(section, "KeyType", key.KeyType);
        ini.WriteInteger(section, "L1_AutoRepeat", key.autoRepeat[0]);
        ini.WriteInteger(section, "L2_AutoRepeat", key.autoRepeat[1]);
        ini.WriteInteger(section, "L1_MacroMode", key.macroMode[0]);
        ini.WriteInteger(section, "L2_MacroMode", key.macroMode[1]);
        ini.WriteString(section, "Level_1_Codes", CodesText(key.level1Codes));
        ini.WriteString(section, "Level_2_Codes", CodesText(key.level2Codes));
        ini.WriteString(section, "Level_1_Name", key.name[0]);
        ini.WriteString(section, "Level_2_Name", key.name[1]);
    }
}

int32_t WriteKeyDefinitionFile(const KeypadDocument& document, const std::filesystem::path& path) {
    IniFile ini;
    try {
        ini = IniFile::Load(path);
    } catch (const FileError& error) {
        // What cannot be read cannot be written on top of.
        throw UnableToWrite(path, error.what());
    }
    WriteKeyDefinition(document, ini);
    ini.Save(path);
    return 0;
}

void ReadKeyDefinition(KeypadDocument& document, const IniFile& ini,
                       const std::filesystem::path& path, const LayoutOperation& layout) {
    document.numberOfKeys = LayoutOfFile(ini);
    if (layout)
        layout(document.numberOfKeys);

    KeypadSettings& settings = document.settings;
    settings.keyRollOver = ini.ReadInteger(kGlobal, "Key_Roll_Over", 2);
    settings.ledFunction[0] = ini.ReadInteger(kGlobal, "LED_Function", 1);
    settings.ledFunction[1] = ini.ReadInteger(kGlobal, "LED2_Function", 2);
    settings.ledFunction[2] = ini.ReadInteger(kGlobal, "LED3_Function", 4);
    // The reader's pacing default is 2, not the New document's 1.
    settings.characterPacing = ini.ReadInteger(kGlobal, "Character_Pacing", 2);
    settings.usbDeviceType = ini.ReadInteger(kGlobal, "USB_Device_Type", 11);

    for (int i = 0; i < kKeyCount; ++i) {
        KeyRecord& key = document.keys[static_cast<std::size_t>(i)];
        const std::string section = KeySection(i);
        key.KeyType = ini.ReadInteger(section, "KeyType", 0);
        key.macroMode[0] = ini.ReadInteger(section, "L1_MacroMode", 0);
        key.macroMode[1] = ini.ReadInteger(section, "L2_MacroMode", 0);
        // A section without these keys loads with auto-repeat off, unlike a New document.
        key.autoRepeat[0] = ini.ReadInteger(section, "L1_AutoRepeat", 0) != 0 ? 1 : 0;
        key.autoRepeat[1] = ini.ReadInteger(section, "L2_AutoRepeat", 0) != 0 ? 1 : 0;
        const std::string level1 = ini.ReadString(section, "Level_1_Codes", "");
        const std::string level2 = ini.ReadString(section, "Level_2_Codes", "");
        ParseCodes(level1, key.level1Codes, kLevel1ArraySize - 1, path, section, "Level_1_Codes");
        ParseCodes(level2, key.level2Codes, kLevel2ArraySize - 1, path, section, "Level_2_Codes");
        key.name[0] = ini.ReadString(section, "Level_1_Name", "");
        key.name[1] = ini.ReadString(section, "Level_2_Name", "");
    }
}

int32_t ReadKeyDefinitionFile(KeypadDocument& document, const std::filesystem::path& path,
                              const LayoutOperation& layout) {
    ReadKeyDefinition(document, IniFile::Load(path), path, layout);
    return 0;
}

} // namespace keyloom
