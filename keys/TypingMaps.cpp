#include "keys/TypingMaps.h"

#include <string_view>

namespace keyloom {

namespace {

struct CharacterKey {
    std::string_view characters; // everything the key types, with and without Shift
    uint8_t tag;
};

constexpr CharacterKey kCharacterKeys[] = {
    {" ", 57},    {"1!", 2},  {"2@", 3},   {"3#", 4},  {"4$", 5},  {"5%", 6},  {"6^", 7},
    {"7&", 8},    {"8*", 9},  {"9(", 10},  {"0)", 11}, {"-_", 12}, {"=+", 13}, {"[{", 26},
    {"]}", 27},   {";:", 39}, {"'\"", 40}, {"`~", 41}, {"\\|", 43}, {",<", 51}, {".>", 52},
    {"/?", 53},   {"Aa", 30}, {"Bb", 48},  {"Cc", 46}, {"Dd", 32}, {"Ee", 18}, {"Ff", 33},
    {"Gg", 34},   {"Hh", 35}, {"Ii", 23},  {"Jj", 36}, {"Kk", 37}, {"Ll", 38}, {"Mm", 50},
    {"Nn", 49},   {"Oo", 24}, {"Pp", 25},  {"Qq", 16}, {"Rr", 19}, {"Ss", 31}, {"Tt", 20},
    {"Uu", 22},   {"Vv", 47}, {"Ww", 17},  {"Xx", 45}, {"Yy", 21}, {"Zz", 44},
};

struct KeyCodeEntry {
    uint8_t keyCode;
    uint8_t tag;
};

// Keys whose code is not a character's. Right Shift and right Ctrl arrive as the generic Shift
// and Ctrl codes, so typing records the left-hand keys.
constexpr KeyCodeEntry kNamedKeys[] = {
    {8, 14},    {9, 15},    {12, 129},  {13, 28},   {16, 42},   {17, 29},   {18, 56},   {19, 159},
    {20, 58},   {27, 1},    {32, 57},   {33, 93},   {34, 98},   {35, 96},   {36, 91},   {37, 94},
    {38, 92},   {39, 95},   {40, 97},   {44, 160},  {45, 99},   {46, 100},  {91, 101},  {92, 102},
    {93, 103},  {112, 59},  {113, 60},  {114, 61},  {115, 62},  {116, 63},  {117, 64},  {118, 65},
    {119, 66},  {120, 67},  {121, 68},  {122, 84},  {123, 85},  {124, 104}, {125, 105}, {126, 106},
    {127, 107}, {128, 108}, {129, 109}, {130, 110}, {131, 111}, {132, 112}, {133, 113}, {134, 114},
    {135, 115}, {144, 69},  {145, 70},
};

// Key codes that take the Tag of the character with the same code: the digit and letter keys,
// and with them whatever else falls in these ranges (the numeric keypad's codes 96 to 111 land
// on "`" and "a" to "o").
struct CodeRange {
    uint8_t first;
    uint8_t last;
};
constexpr CodeRange kCharacterCodeRanges[] = {{41, 43}, {47, 47}, {48, 64}, {65, 90}, {94, 111}};

constexpr std::array<uint8_t, kCharacterMapSize> BuildCharacterMap() {
    std::array<uint8_t, kCharacterMapSize> map{};
    for (const CharacterKey& key : kCharacterKeys)
        for (const char character : key.characters)
            map[static_cast<std::size_t>(character)] = key.tag;
    return map;
}

constexpr std::array<uint8_t, kKeyCodeMapSize>
BuildKeyCodeMap(const std::array<uint8_t, kCharacterMapSize>& characters) {
    std::array<uint8_t, kKeyCodeMapSize> map{};
    for (const CodeRange& range : kCharacterCodeRanges)
        for (int code = range.first; code <= range.last; ++code)
            map[static_cast<std::size_t>(code)] = characters[static_cast<std::size_t>(code)];
    for (const KeyCodeEntry& entry : kNamedKeys)
        map[entry.keyCode] = entry.tag;
    return map;
}

} // namespace

constexpr std::array<uint8_t, kCharacterMapSize> kCharacterMap = BuildCharacterMap();
constexpr std::array<uint8_t, kKeyCodeMapSize> kKeyCodeMap = BuildKeyCodeMap(kCharacterMap);

int KeyCodeTag(int keyCode) {
    if (keyCode < 0 || keyCode >= kKeyCodeMapSize)
        return 0;
    return kKeyCodeMap[static_cast<std::size_t>(keyCode)];
}

int CharacterTag(int character) {
    if (character < 0)
        return 0;
    return kCharacterMap[static_cast<std::size_t>(character % kCharacterMapSize)];
}

} // namespace keyloom
