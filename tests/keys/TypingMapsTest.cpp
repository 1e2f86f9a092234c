#include "keys/TypingMaps.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace keyloom {
namespace {

// A US keyboard row by row: the Tags run along each row, and each key types the character above
// it in `plain`, with Shift the one in `shifted`.
struct KeyRow {
    int firstTag;
    std::string_view plain;
    std::string_view shifted;
};

constexpr KeyRow kUsRows[] = {
    {2, "1234567890-=", "!@#$%^&*()_+"},
    {16, "qwertyuiop[]", "QWERTYUIOP{}"},
    {30, "asdfghjkl;'`", "ASDFGHJKL:\"~"},
    {43, "\\", "|"},
    {44, "zxcvbnm,./", "ZXCVBNM<>?"},
    {57, " ", " "},
};

std::array<int, 128> ExpectedCharacterTags() {
    std::array<int, 128> tags{};
    for (const KeyRow& row : kUsRows) {
        for (std::size_t i = 0; i < row.plain.size(); ++i) {
            tags[static_cast<std::size_t>(row.plain[i])] = row.firstTag + static_cast<int>(i);
            tags[static_cast<std::size_t>(row.shifted[i])] = row.firstTag + static_cast<int>(i);
        }
    }
    return tags;
}

TEST(TypingMaps, EveryCharacterGivesTheTagOfTheUsKeyThatTypesIt) {
    const std::array<int, 128> expected = ExpectedCharacterTags();
    for (int character = 0; character < kCharacterMapSize; ++character)
        EXPECT_EQ(kCharacterMap[static_cast<std::size_t>(character)], expected[static_cast<std::size_t>(character)])
            << "character " << character;
}

TEST(TypingMaps, CharacterIsTakenModulo128) {
    EXPECT_EQ(CharacterTag(0xE1), CharacterTag('a')); // "á" lands on "a"
    EXPECT_EQ(CharacterTag(0x80 + ' '), 57);
    EXPECT_EQ(CharacterTag(127), 0);
}

struct NamedKeyCodes {
    const char* keys;
    int firstCode;
    int lastCode;
    int firstTag; // Tags run on with the codes
};

constexpr NamedKeyCodes kNamedKeyCodes[] = {
    {"Backspace", 8, 8, 14},   {"Tab", 9, 9, 15},         {"Clear", 12, 12, 129},   {"Enter", 13, 13, 28},
    {"Shift", 16, 16, 42},     {"Ctrl", 17, 17, 29},      {"Alt", 18, 18, 56},      {"Pause", 19, 19, 159},
    {"Caps Lock", 20, 20, 58}, {"Esc", 27, 27, 1},        {"Space", 32, 32, 57},    {"Page Up", 33, 33, 93},
    {"Page Down", 34, 34, 98}, {"End", 35, 35, 96},       {"Home", 36, 36, 91},     {"Left", 37, 37, 94},
    {"Up", 38, 38, 92},        {"Right", 39, 39, 95},     {"Down", 40, 40, 97},     {"Print Screen", 44, 44, 160},
    {"Insert", 45, 45, 99},    {"Delete", 46, 46, 100},   {"Left Win", 91, 91, 101}, {"Right Win", 92, 92, 102},
    {"Menu", 93, 93, 103},     {"F1-F10", 112, 121, 59},  {"F11-F12", 122, 123, 84}, {"F13-F24", 124, 135, 104},
    {"Num Lock", 144, 144, 69}, {"Scroll Lock", 145, 145, 70},
};

// Key codes that share their number with a character take that character's Tag.
constexpr std::array<std::array<int, 2>, 5> kCharacterCodeRanges = {
    {{41, 43}, {47, 47}, {48, 64}, {65, 90}, {94, 111}}};

TEST(TypingMaps, EveryKeyCodeGivesItsKeysTagOrTheTagOfTheCharacterWithItsCode) {
    std::array<int, 160> expected{};
    const std::array<int, 128> characters = ExpectedCharacterTags();
    for (const auto& [first, last] : kCharacterCodeRanges)
        for (int code = first; code <= last; ++code)
            expected[static_cast<std::size_t>(code)] = characters[static_cast<std::size_t>(code)];
    for (const NamedKeyCodes& keys : kNamedKeyCodes)
        for (int code = keys.firstCode; code <= keys.lastCode; ++code)
            expected[static_cast<std::size_t>(code)] = keys.firstTag + (code - keys.firstCode);

    for (int code = 0; code < kKeyCodeMapSize; ++code)
        EXPECT_EQ(kKeyCodeMap[static_cast<std::size_t>(code)], expected[static_cast<std::size_t>(code)])
            << "key code " << code;
}

TEST(TypingMaps, SampleKeyCodesAsTheHandlersSeeThem) {
    EXPECT_EQ(KeyCodeTag('C'), 46);
    EXPECT_EQ(KeyCodeTag(97), 30) << "keypad 1 with Ctrl held is the code of \"a\"";
    EXPECT_EQ(KeyCodeTag(160), 0) << "left Shift's own code is past the map";
    EXPECT_EQ(KeyCodeTag(-1), 0);
    EXPECT_EQ(KeyCodeTag(0), 0);
}

} // namespace
} // namespace keyloom
