#include "cli/Commands.h"

#include "document/CellList.h"
#include "document/HexText.h"
#include "files/CodesText.h"
#include "files/KeyDefinitionSchema.h"

#include <array>
#include <string>
#include <string_view>

namespace keyloom::cli {

namespace {

constexpr std::array<std::string_view, 4> kMacroModes{
    "Default (Auto Sense)", "Separate Up Codes", "Macro (Advanced)", "Literal (Advanced)"};
constexpr std::array<std::string_view, 7> kLedFunctions{
    "Not Used", "Caps Lock", "Num Lock", "Level Indicator", "Host/Macro Control", "Power Indicator",
    "Scroll Lock"};
constexpr std::array<std::string_view, 3> kKeyTypes{"normal key", "level shift key",
                                                    "level toggle key"};

template <std::size_t N>
std::string NameOf(const std::array<std::string_view, N>& names, int32_t value) {
    if (value >= 0 && static_cast<std::size_t>(value) < N)
        return std::string(names[static_cast<std::size_t>(value)]);
    return "unknown";
}

std::string DeviceTypeName(int32_t type) {
    switch (type) {
    case 3: return "basic keyboard";
    case 11: return "multimedia keyboard";
    case 12: return "multimedia keyboard and mouse";
    default: return "unknown";
    }
}

void JsonString(std::ostream& out, std::string_view text) {
    out << '"';
    for (const char c : text) {
        switch (c) {
        case '"': out << "\\\""; break;
        case '\\': out << "\\\\"; break;
        case '\n': out << "\\n"; break;
        case '\r': out << "\\r"; break;
        case '\t': out << "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                std::string escaped = "\\u00";
                AppendHexByte(escaped, static_cast<uint8_t>(c));
                out << escaped;
            } else {
                out << c;
            }
        }
    }
    out << '"';
}

// text as the terminal should show it: a description may hold control characters (ESC, BEL,
// or C1 controls such as U+009B), which a terminal would act on; they are shown as \xhh or
// \u00hh instead, and a backslash as two.
std::string PrintableText(std::string_view text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<uint8_t>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            shown += "\\x";
            AppendHexByte(shown, byte);
        } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<uint8_t>(text[i + 1]) < 0xA0 &&
                   static_cast<uint8_t>(text[i + 1]) >= 0x80) {
            shown += "\\u00";
            AppendHexByte(shown, static_cast<uint8_t>(text[++i]));
        } else if (byte == '\\') {
            shown += "\\\\";
        } else {
            shown += text[i];
        }
    }
    return shown;
}

} // namespace

void PrintDocument(const KeypadDocument& document, std::ostream& out) {
    const KeypadSettings& settings = document.settings;
    out << "Layout: " << document.numberOfKeys << " keys (VK" << document.numberOfKeys << ")\n"
        << "Key rollover: " << settings.keyRollOver << "\n"
        << "Character pacing: " << settings.characterPacing << " (" << settings.characterPacing * 2
        << " ms)\n";
    for (std::size_t led = 0; led < settings.ledFunction.size(); ++led)
        out << "LED " << led + 1 << ": " << settings.ledFunction[led] << " ("
            << NameOf(kLedFunctions, settings.ledFunction[led]) << ")\n";
    out << "USB device type: " << settings.usbDeviceType << " (" << DeviceTypeName(settings.usbDeviceType)
        << ")\n";

    CellList cells;
    for (int i = 0; i < document.numberOfKeys; ++i) {
        const KeyRecord& key = document.keys[static_cast<std::size_t>(i)];
        out << "\nKey " << i + 1 << " [" << ckd::KeySection(i) << "]: " << NameOf(kKeyTypes, key.KeyType);
        if (key.KeyType < 0 || key.KeyType > 2)
            out << " (" << key.KeyType << ")";
        out << "\n";
        for (const Level level : {Level::One, Level::Two}) {
            const std::size_t l = levelIndex(level);
            cells.RenderLevel(document, i, level);
            out << "  Level " << levelNumber(level) << ": " << document.Length(level, i) << "/"
                << document.LevelCapacity(level, i) << " bytes, mode " << key.macroMode[l] << " ("
                << NameOf(kMacroModes, key.macroMode[l]) << "), auto-repeat "
                << (key.autoRepeat[l] ? "on" : "off") << "\n";
            if (!key.name[l].empty())
                out << "    Description: " << PrintableText(key.name[l]) << "\n";
            if (cells.cellCount() == 0)
                continue;
            out << "    Cells:";
            for (int c = 0; c < cells.cellCount(); ++c)
                out << " [" << cells.cells()[static_cast<std::size_t>(c)].name << "]";
            out << "\n";
        }
    }
}

void PrintDocumentJson(const KeypadDocument& document, std::ostream& out) {
    const KeypadSettings& settings = document.settings;
    out << "{\"numberOfKeys\": " << document.numberOfKeys << ", \"settings\": {\"keyRollOver\": "
        << settings.keyRollOver << ", \"characterPacing\": " << settings.characterPacing
        << ", \"ledFunction\": [" << settings.ledFunction[0] << ", " << settings.ledFunction[1] << ", "
        << settings.ledFunction[2] << "], \"usbDeviceType\": " << settings.usbDeviceType
        << "}, \"keys\": [";
    CellList cells;
    for (int i = 0; i < kKeyCount; ++i) {
        const KeyRecord& key = document.keys[static_cast<std::size_t>(i)];
        out << (i ? ", " : "") << "{\"index\": " << i << ", \"keyType\": " << key.KeyType
            << ", \"levels\": [";
        for (const Level level : {Level::One, Level::Two}) {
            const std::size_t l = levelIndex(level);
            const int32_t rendered = cells.RenderLevel(document, i, level);
            out << (l ? ", " : "") << "{\"autoRepeat\": " << int(key.autoRepeat[l])
                << ", \"macroMode\": " << key.macroMode[l] << ", \"name\": ";
            JsonString(out, key.name[l]);
            out << ", \"codes\": \"" << CodesText(key.codes(level)) << "\", \"room\": "
                << document.LevelCapacity(level, i) << ", \"length\": " << document.Length(level, i)
                << ", \"rendered\": " << rendered << ", \"cells\": [";
            for (int c = 0; c < cells.cellCount(); ++c) {
                const MacroCell& cell = cells.cells()[static_cast<std::size_t>(c)];
                out << (c ? ", " : "") << "{\"name\": ";
                JsonString(out, cell.name);
                out << ", \"code\": ";
                JsonString(out, cell.codeText);
                out << ", \"bytes\": " << cell.byteCount << ", \"state\": " << cell.modifierState << "}";
            }
            out << "]}";
        }
        out << "]}";
    }
    out << "]}\n";
}

} // namespace keyloom::cli
