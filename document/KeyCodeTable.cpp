#include "document/KeyCodeTable.h"

#include "document/HexText.h"

#include <array>
#include <cstddef>

namespace keyloom {

namespace {

struct Row {
    uint8_t code;
    uint8_t width;
    uint8_t codeClass;
    std::string_view name;
    std::string_view shiftedName = {};
};

// One-byte codes. Every code not listed is unassigned (the terminator 00 among them).
constexpr Row kSingleByteRows[] = {
    // Letters: the shifted name applies under Shift exclusive-or Caps Lock.
    {0x15, 1, kLetterClass, "q", "Q"}, {0x1A, 1, kLetterClass, "z", "Z"},
    {0x1B, 1, kLetterClass, "s", "S"}, {0x1C, 1, kLetterClass, "a", "A"},
    {0x1D, 1, kLetterClass, "w", "W"}, {0x21, 1, kLetterClass, "c", "C"},
    {0x22, 1, kLetterClass, "x", "X"}, {0x23, 1, kLetterClass, "d", "D"},
    {0x24, 1, kLetterClass, "e", "E"}, {0x2A, 1, kLetterClass, "v", "V"},
    {0x2B, 1, kLetterClass, "f", "F"}, {0x2C, 1, kLetterClass, "t", "T"},
    {0x2D, 1, kLetterClass, "r", "R"}, {0x31, 1, kLetterClass, "n", "N"},
    {0x32, 1, kLetterClass, "b", "B"}, {0x33, 1, kLetterClass, "h", "H"},
    {0x34, 1, kLetterClass, "g", "G"}, {0x35, 1, kLetterClass, "y", "Y"},
    {0x3A, 1, kLetterClass, "m", "M"}, {0x3B, 1, kLetterClass, "j", "J"},
    {0x3C, 1, kLetterClass, "u", "U"}, {0x42, 1, kLetterClass, "k", "K"},
    {0x43, 1, kLetterClass, "i", "I"}, {0x44, 1, kLetterClass, "o", "O"},
    {0x4B, 1, kLetterClass, "l", "L"}, {0x4D, 1, kLetterClass, "p", "P"},

    // Symbols: the shifted name applies under Shift alone; Caps Lock does not touch them.
    {0x0E, 1, kShiftedSymbolClass, "`", "~"}, {0x16, 1, kShiftedSymbolClass, "1", "!"},
    {0x1E, 1, kShiftedSymbolClass, "2", "@"}, {0x25, 1, kShiftedSymbolClass, "4", "$"},
    {0x26, 1, kShiftedSymbolClass, "3", "#"}, {0x2E, 1, kShiftedSymbolClass, "5", "%"},
    {0x36, 1, kShiftedSymbolClass, "6", "^"}, {0x3D, 1, kShiftedSymbolClass, "7", "&"},
    {0x3E, 1, kShiftedSymbolClass, "8", "*"}, {0x41, 1, kShiftedSymbolClass, ",", "<"},
    {0x45, 1, kShiftedSymbolClass, "0", ")"}, {0x46, 1, kShiftedSymbolClass, "9", "("},
    {0x49, 1, kShiftedSymbolClass, ".", ">"}, {0x4A, 1, kShiftedSymbolClass, "/", "?"},
    {0x4C, 1, kShiftedSymbolClass, ";", ":"}, {0x4E, 1, kShiftedSymbolClass, "-", "_"},
    {0x52, 1, kShiftedSymbolClass, "'", "\""}, {0x54, 1, kShiftedSymbolClass, "[", "{"},
    {0x55, 1, kShiftedSymbolClass, "=", "+"}, {0x5B, 1, kShiftedSymbolClass, "]", "}"},
    {0x5D, 1, kShiftedSymbolClass, "\\", "|"},

    {0x01, 1, kPlainClass, "F9"},         {0x03, 1, kPlainClass, "F5"},
    {0x04, 1, kPlainClass, "F3"},         {0x05, 1, kPlainClass, "F1"},
    {0x06, 1, kPlainClass, "F2"},         {0x07, 1, kPlainClass, "F12"},
    {0x08, 1, kPlainClass, "F13"},        {0x09, 1, kPlainClass, "F10"},
    {0x0A, 1, kPlainClass, "F8"},         {0x0B, 1, kPlainClass, "F6"},
    {0x0C, 1, kPlainClass, "F4"},         {0x0D, 1, kPlainClass, "Tab"},
    {0x0F, 1, kPlainClass, "= (KP)"},     {0x10, 1, kPlainClass, "F14"},
    {0x11, 1, kPlainClass, "L Alt Dn"},   {0x12, 1, kPlainClass, "L Shift Dn"},
    {0x13, 1, kPlainClass, "Intl 2a"},    {0x14, 1, kPlainClass, "L Ctrl Dn"},
    {0x18, 1, kPlainClass, "F15"},        {0x20, 1, kPlainClass, "F16"},
    {0x27, 1, kPlainClass, "Intl 6"},     {0x28, 1, kPlainClass, "F17"},
    {0x29, 1, kPlainClass, "Space"},      {0x2F, 1, kPlainClass, "F13(old)"},
    {0x30, 1, kPlainClass, "F18"},        {0x37, 1, kPlainClass, "F14(old)"},
    {0x38, 1, kPlainClass, "F19"},        {0x3F, 1, kPlainClass, "F15(old)"},
    {0x40, 1, kPlainClass, "F20"},        {0x48, 1, kPlainClass, "F21"},
    // 4F is a real one-byte code that the keypad accepts but that has nothing to show.
    {0x4F, 1, kBlankClass, ""},
    {0x50, 1, kPlainClass, "F22"},        {0x51, 1, kPlainClass, "Intl 1"},
    {0x57, 1, kPlainClass, "F23"},        {0x58, 1, kPlainClass, "Caps Lock"},
    {0x59, 1, kPlainClass, "R Shift Dn"}, {0x5A, 1, kPlainClass, "Enter"},
    {0x5F, 1, kPlainClass, "F24"},        {0x61, 1, kPlainClass, "Europe2"},
    {0x62, 1, kPlainClass, "Lang 4"},     {0x63, 1, kPlainClass, "Lang 3"},
    {0x64, 1, kPlainClass, "Intl 4"},     {0x66, 1, kPlainClass, "Backsp"},
    {0x67, 1, kPlainClass, "Intl 5"},     {0x69, 1, kPlainClass, "1 (KP)"},
    {0x6A, 1, kPlainClass, "Intl 2b"},    {0x6B, 1, kPlainClass, "4 (KP)"},
    {0x6C, 1, kPlainClass, "7 (KP)"},     {0x6D, 1, kPlainClass, ", (KP)"},
    {0x70, 1, kPlainClass, "0 (KP)"},     {0x71, 1, kPlainClass, ". (KP)"},
    {0x72, 1, kPlainClass, "2 (KP)"},     {0x73, 1, kPlainClass, "5 (KP)"},
    {0x74, 1, kPlainClass, "6 (KP)"},     {0x75, 1, kPlainClass, "8 (KP)"},
    {0x76, 1, kPlainClass, "Esc"},        {0x77, 1, kPlainClass, "NumLock"},
    {0x78, 1, kPlainClass, "F11"},        {0x79, 1, kPlainClass, "+ (KP)"},
    {0x7A, 1, kPlainClass, "3 (KP)"},     {0x7B, 1, kPlainClass, "- (KP)"},
    {0x7C, 1, kPlainClass, "* (KP)"},     {0x7D, 1, kPlainClass, "9 (KP)"},
    {0x7E, 1, kPlainClass, "ScrollLk"},   {0x83, 1, kPlainClass, "F7"},
    {0x85, 1, kPlainClass, "Pause"},      {0x86, 1, kPlainClass, "PrtScrn"},

    // Mouse moves carry a distance byte after the direction.
    {0x90, 2, kPlainClass, "X+"},  {0x91, 2, kPlainClass, "X-"},
    {0x92, 2, kPlainClass, "Y+"},  {0x93, 2, kPlainClass, "Y-"},
    {0x94, 2, kPlainClass, "Wh+"}, {0x95, 2, kPlainClass, "Wh-"},
};

// Codes that follow E0. All of them are two-byte plain codes.
constexpr Row kExtendedRows[] = {
    {0x10, 2, kPlainClass, "Search"},    {0x11, 2, kPlainClass, "R Alt Dn"},
    {0x14, 2, kPlainClass, "R Ctrl Dn"}, {0x15, 2, kPlainClass, "Previous"},
    {0x18, 2, kPlainClass, "Faves"},     {0x1A, 2, kPlainClass, "Eject"},
    {0x1F, 2, kPlainClass, "L Win Dn"},  {0x20, 2, kPlainClass, "Refresh"},
    {0x21, 2, kPlainClass, "Vol -"},     {0x23, 2, kPlainClass, "Vol Mute"},
    {0x27, 2, kPlainClass, "R Win Dn"},  {0x28, 2, kPlainClass, "Web Stop"},
    {0x2B, 2, kPlainClass, "Calc"},      {0x2F, 2, kPlainClass, "Menu"},
    {0x30, 2, kPlainClass, "Web ->"},    {0x32, 2, kPlainClass, "Vol +"},
    {0x34, 2, kPlainClass, "Play"},      {0x37, 2, kPlainClass, "Kb Power"},
    {0x38, 2, kPlainClass, "Web <-"},    {0x3A, 2, kPlainClass, "WebHome"},
    {0x3B, 2, kPlainClass, "Stop"},      {0x40, 2, kPlainClass, "My PC"},
    {0x48, 2, kPlainClass, "eMail"},     {0x4A, 2, kPlainClass, "/ (KP)"},
    {0x4D, 2, kPlainClass, "Next"},      {0x50, 2, kPlainClass, "Media"},
    {0x5A, 2, kPlainClass, "Ent(KP)"},   {0x61, 2, kPlainClass, "L Click"},
    {0x62, 2, kPlainClass, "R Click"},   {0x63, 2, kPlainClass, "C Click"},
    {0x64, 2, kPlainClass, "Rev Cllck"}, {0x65, 2, kPlainClass, "Fwd Click"},
    {0x69, 2, kPlainClass, "End"},       {0x6B, 2, kPlainClass, "Left"},
    {0x6C, 2, kPlainClass, "Home"},      {0x70, 2, kPlainClass, "Insert"},
    {0x71, 2, kPlainClass, "Delete"},    {0x72, 2, kPlainClass, "Down"},
    {0x74, 2, kPlainClass, "Right"},     {0x75, 2, kPlainClass, "Up"},
    {0x7A, 2, kPlainClass, "Page Dn"},   {0x7D, 2, kPlainClass, "Page Up"},
};

// Storage for the code texts, so that the entries can point into constant data.
// "1c" for every byte value; "e0 1c" for every byte after E0.
constexpr auto kByteTexts = [] {
    std::array<char, 2 * 256> texts{};
    for (int code = 0; code < 256; ++code) {
        texts[2 * code] = HexDigit(code >> 4);
        texts[2 * code + 1] = HexDigit(code);
    }
    return texts;
}();

constexpr auto kExtendedTexts = [] {
    std::array<char, 5 * kExtendedTableSize> texts{};
    for (int code = 0; code < kExtendedTableSize; ++code) {
        char* text = texts.data() + 5 * code;
        text[0] = 'e';
        text[1] = '0';
        text[2] = ' ';
        text[3] = HexDigit(code >> 4);
        text[4] = HexDigit(code);
    }
    return texts;
}();

template <std::size_t Size, std::size_t RowCount>
constexpr std::array<KeyCodeEntry, Size> BuildTable(const Row (&rows)[RowCount], const char* texts,
                                                    std::size_t textLength) {
    std::array<KeyCodeEntry, Size> table{};
    for (const Row& row : rows) {
        // The code text shows the bytes, except for 4F, whose cell stays empty in both views.
        const std::string_view codeText =
            row.name.empty() ? std::string_view{}
                             : std::string_view(texts + textLength * row.code, textLength);
        table[row.code] = {row.width, row.codeClass, codeText, row.name, row.shiftedName};
    }
    return table;
}

template <std::size_t Size>
constexpr std::size_t AssignedCount(const std::array<KeyCodeEntry, Size>& table) {
    std::size_t count = 0;
    for (const KeyCodeEntry& entry : table)
        count += entry.width != 0 ? 1 : 0;
    return count;
}

constexpr auto kSingleByteTable =
    BuildTable<kSingleByteTableSize>(kSingleByteRows, kByteTexts.data(), 2);
constexpr auto kExtendedTable =
    BuildTable<kExtendedTableSize>(kExtendedRows, kExtendedTexts.data(), 5);

// A row listed twice would silently overwrite another; every row must land on a code of its own.
static_assert(AssignedCount(kSingleByteTable) == std::size(kSingleByteRows));
static_assert(AssignedCount(kExtendedTable) == std::size(kExtendedRows));

constexpr KeyCodeEntry kBlankEntry{};

} // namespace

const KeyCodeEntry& SingleByteEntry(uint8_t code) {
    return code < kSingleByteTableSize ? kSingleByteTable[code] : kBlankEntry;
}

const KeyCodeEntry& ExtendedEntry(uint8_t code) {
    return code < kExtendedTableSize ? kExtendedTable[code] : kBlankEntry;
}

} // namespace keyloom
