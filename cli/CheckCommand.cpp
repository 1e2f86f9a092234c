#include "cli/Commands.h"

#include "document/CellList.h"
#include "document/HexText.h"
#include "document/Protocol.h"
#include "files/CodesText.h"
#include "files/KeyDefinitionFile.h"
#include "files/KeyDefinitionSchema.h"

#include <algorithm>
#include <string>
#include <vector>

namespace keyloom::cli {

namespace {

class Checker {
public:
    Checker(const IniFile& ini, std::ostream& out) : m_ini(ini), m_out(out) {}

    int problems() const { return m_problems; }

    void Report(std::string_view section, std::string_view key, const std::string& problem) {
        m_out << "[" << section << "] " << key << ": " << problem << "\n";
        ++m_problems;
    }

    // The integer of a key that is present, reporting text that is not a number.
    std::optional<int32_t> Integer(std::string_view section, std::string_view key) {
        const std::string text = m_ini.ReadString(section, key, "");
        if (text.empty())
            return std::nullopt;
        const std::optional<int32_t> value = ParseIniInteger(text);
        if (!value)
            Report(section, key, "'" + text + "' is not a number; the default is used");
        return value;
    }

    void Range(std::string_view section, std::string_view key, int32_t low, int32_t high) {
        const std::optional<int32_t> value = Integer(section, key);
        if (value && (*value < low || *value > high))
            Report(section, key, std::to_string(*value) + " is out of range " + std::to_string(low)
                                     + ".." + std::to_string(high));
    }

    // Checks a codes text and stores the bytes that opening the file would store.
    void Codes(std::string_view section, std::string_view key, std::span<uint8_t> array) {
        const std::string text = m_ini.ReadString(section, key, "");
        const std::u32string characters = CodesTextCharacters(text);
        const std::size_t limit = array.size() - 1;
        // The reader's own parsing decides: a lone digit past the room is never read.
        const ParsedCodes parsed = ParseCodesText(characters, array, limit);
        if (parsed.incomplete)
            Report(section, key, "odd number of hex digits (" + std::to_string(characters.size())
                                     + "): opening the file stops here with a range check error");
        const auto notHex = std::find_if(characters.begin(), characters.end(), [](char32_t c) {
            return !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
        });
        if (notHex != characters.end())
            Report(section, key, "character " + std::to_string(notHex - characters.begin() + 1)
                                     + " is not a hex digit");
        if (characters.size() / 2 > limit)
            Report(section, key, std::to_string(characters.size() / 2) + " bytes; only the first "
                                     + std::to_string(limit) + " are read");
        const std::size_t stored = parsed.stored;
        const std::size_t length = MacroLength(array);
        if (length < stored)
            Report(section, key, "00 pair at byte " + std::to_string(length + 1)
                                     + " ends the macro there");
    }

private:
    const IniFile& m_ini;
    std::ostream& m_out;
    int m_problems = 0;
};

} // namespace

int CheckKeyDefinition(const IniFile& ini, std::ostream& out) {
    using namespace ckd;
    Checker checker(ini, out);
    if (const std::optional<int32_t> keys = checker.Integer(kGlobalSection, kNumberOfKeys);
        keys && *keys != 24 && *keys != 48)
        checker.Report(kGlobalSection, kNumberOfKeys,
                       std::to_string(*keys) + " is not 24 or 48; the 24-key layout is used");
    checker.Range(kGlobalSection, kKeyRollOver, 1, 16);
    checker.Range(kGlobalSection, kCharacterPacing, 0, 10);
    for (const std::string_view led : kLedFunction)
        checker.Range(kGlobalSection, led, 0, 6);
    if (const std::optional<int32_t> type = checker.Integer(kGlobalSection, kUsbDeviceType);
        type && *type != 3 && *type != kMultimediaKeyboard && *type != kMultimediaKeyboardMouse)
        checker.Report(kGlobalSection, kUsbDeviceType, std::to_string(*type) + " is not 3, 11 or 12");

    KeypadDocument document;
    document.numberOfKeys = LayoutOfFile(ini);
    std::array<std::vector<int>, 3> keysOfType;
    CellList cells;
    for (int i = 0; i < kKeyCount; ++i) {
        const std::string section = KeySection(i);
        KeyRecord& key = document.keys[static_cast<std::size_t>(i)];
        checker.Range(section, kKeyType, 0, 2);
        checker.Range(section, kAutoRepeat[0], 0, 1);
        checker.Range(section, kAutoRepeat[1], 0, 1);
        checker.Range(section, kMacroMode[0], 0, 3);
        checker.Range(section, kMacroMode[1], 0, 3);
        checker.Codes(section, kCodes[0], key.level1Codes);
        checker.Codes(section, kCodes[1], key.level2Codes);
        // A misspelt key ("Level_1_Code") silently loses what it holds.
        for (const std::string& name : ini.KeyNames(section)) {
            const bool known = std::any_of(kKeyNames.begin(), kKeyNames.end(),
                                           [&name](std::string_view known) { return IniNamesEqual(name, known); });
            if (!known)
                checker.Report(section, name, "unknown key; the editor does not read it");
        }

        const int32_t type = ini.ReadInteger(section, kKeyType, 0);
        if (i < document.numberOfKeys && (type == kLevelShiftKey || type == kLevelToggleKey)) {
            std::vector<int>& sameType = keysOfType[static_cast<std::size_t>(type)];
            sameType.push_back(i + 1);
            if (sameType.size() > static_cast<std::size_t>(kMaxLevelKeysOfAType))
                checker.Report(section, kKeyType,
                               std::string("more than two level ")
                                   + (type == kLevelShiftKey ? "shift" : "toggle") + " keys");
        }
    }

    for (int i = 0; i < kKeyCount; ++i) {
        const std::string section = KeySection(i);
        for (const Level level : {Level::One, Level::Two}) {
            const std::string_view key = kCodes[levelIndex(level)];
            const std::size_t length = document.Length(level, i);
            const int32_t room = document.LevelCapacity(level, i);
            if (length > static_cast<std::size_t>(room))
                checker.Report(section, key, std::to_string(length) + " bytes but the room is "
                                                 + std::to_string(room));
            if (length == 0)
                continue;
            if (cells.RenderLevel(document, i, level) == 0) {
                const int32_t offset = cells.BytesBeforeCell(cells.cellCount());
                const uint8_t byte = document.keys[static_cast<std::size_t>(i)]
                                         .codes(level)[static_cast<std::size_t>(offset)];
                checker.Report(section, key, "unassigned code " + BytesAsHex({&byte, 1}) + " at byte "
                                                 + std::to_string(offset + 1));
            }
            // A modifier pressed and never released stays down after the key is played.
            if (const ModifierState held = cells.HeldAtEnd(); held != 0) {
                const bool one = (held & (held - 1)) == 0;
                checker.Report(section, key, "ends with " + HeldModifierNames(held)
                                                 + " still held down: the keypad keeps " + (one ? "it" : "them")
                                                 + " pressed");
            }
        }
    }
    return checker.problems();
}

} // namespace keyloom::cli
