#include "document/KeyCodeTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace keyloom {
namespace {

struct ExpectedEntry {
    int code;
    int width;
    int codeClass;
    std::string_view name;
    std::string_view shiftedName = {};
};

// The vocabulary as the manual lists it, written out independently of the production table.
constexpr ExpectedEntry kSingleByteCodes[] = {
    {0x15, 1, 1, "q", "Q"}, {0x1A, 1, 1, "z", "Z"}, {0x1B, 1, 1, "s", "S"}, {0x1C, 1, 1, "a", "A"},
    {0x1D, 1, 1, "w", "W"}, {0x21, 1, 1, "c", "C"}, {0x22, 1, 1, "x", "X"}, {0x23, 1, 1, "d", "D"},
    {0x24, 1, 1, "e", "E"}, {0x2A, 1, 1, "v", "V"}, {0x2B, 1, 1, "f", "F"}, {0x2C, 1, 1, "t", "T"},
    {0x2D, 1, 1, "r", "R"}, {0x31, 1, 1, "n", "N"}, {0x32, 1, 1, "b", "B"}, {0x33, 1, 1, "h", "H"},
    {0x34, 1, 1, "g", "G"}, {0x35, 1, 1, "y", "Y"}, {0x3A, 1, 1, "m", "M"}, {0x3B, 1, 1, "j", "J"},
    {0x3C, 1, 1, "u", "U"}, {0x42, 1, 1, "k", "K"}, {0x43, 1, 1, "i", "I"}, {0x44, 1, 1, "o", "O"},
    {0x4B, 1, 1, "l", "L"}, {0x4D, 1, 1, "p", "P"},

    {0x0E, 1, 2, "`", "~"}, {0x16, 1, 2, "1", "!"}, {0x1E, 1, 2, "2", "@"}, {0x25, 1, 2, "4", "$"},
    {0x26, 1, 2, "3", "#"}, {0x2E, 1, 2, "5", "%"}, {0x36, 1, 2, "6", "^"}, {0x3D, 1, 2, "7", "&"},
    {0x3E, 1, 2, "8", "*"}, {0x41, 1, 2, ",", "<"}, {0x45, 1, 2, "0", ")"}, {0x46, 1, 2, "9", "("},
    {0x49, 1, 2, ".", ">"}, {0x4A, 1, 2, "/", "?"}, {0x4C, 1, 2, ";", ":"}, {0x4E, 1, 2, "-", "_"},
    {0x52, 1, 2, "'", "\""}, {0x54, 1, 2, "[", "{"}, {0x55, 1, 2, "=", "+"}, {0x5B, 1, 2, "]", "}"},
    {0x5D, 1, 2, "\\", "|"},

    {0x01, 1, 3, "F9"}, {0x03, 1, 3, "F5"}, {0x04, 1, 3, "F3"}, {0x05, 1, 3, "F1"},
    {0x06, 1, 3, "F2"}, {0x07, 1, 3, "F12"}, {0x08, 1, 3, "F13"}, {0x09, 1, 3, "F10"},
    {0x0A, 1, 3, "F8"}, {0x0B, 1, 3, "F6"}, {0x0C, 1, 3, "F4"}, {0x0D, 1, 3, "Tab"},
    {0x0F, 1, 3, "= (KP)"}, {0x10, 1, 3, "F14"}, {0x11, 1, 3, "L Alt Dn"},
    {0x12, 1, 3, "L Shift Dn"}, {0x13, 1, 3, "Intl 2a"}, {0x14, 1, 3, "L Ctrl Dn"},
    {0x18, 1, 3, "F15"}, {0x20, 1, 3, "F16"}, {0x27, 1, 3, "Intl 6"}, {0x28, 1, 3, "F17"},
    {0x29, 1, 3, "Space"}, {0x2F, 1, 3, "F13(old)"}, {0x30, 1, 3, "F18"},
    {0x37, 1, 3, "F14(old)"}, {0x38, 1, 3, "F19"}, {0x3F, 1, 3, "F15(old)"},
    {0x40, 1, 3, "F20"}, {0x48, 1, 3, "F21"}, {0x4F, 1, 0, ""}, {0x50, 1, 3, "F22"},
    {0x51, 1, 3, "Intl 1"}, {0x57, 1, 3, "F23"}, {0x58, 1, 3, "Caps Lock"},
    {0x59, 1, 3, "R Shift Dn"}, {0x5A, 1, 3, "Enter"}, {0x5F, 1, 3, "F24"},
    {0x61, 1, 3, "Europe2"}, {0x62, 1, 3, "Lang 4"}, {0x63, 1, 3, "Lang 3"},
    {0x64, 1, 3, "Intl 4"}, {0x66, 1, 3, "Backsp"}, {0x67, 1, 3, "Intl 5"},
    {0x69, 1, 3, "1 (KP)"}, {0x6A, 1, 3, "Intl 2b"}, {0x6B, 1, 3, "4 (KP)"},
    {0x6C, 1, 3, "7 (KP)"}, {0x6D, 1, 3, ", (KP)"}, {0x70, 1, 3, "0 (KP)"},
    {0x71, 1, 3, ". (KP)"}, {0x72, 1, 3, "2 (KP)"}, {0x73, 1, 3, "5 (KP)"},
    {0x74, 1, 3, "6 (KP)"}, {0x75, 1, 3, "8 (KP)"}, {0x76, 1, 3, "Esc"},
    {0x77, 1, 3, "NumLock"}, {0x78, 1, 3, "F11"}, {0x79, 1, 3, "+ (KP)"},
    {0x7A, 1, 3, "3 (KP)"}, {0x7B, 1, 3, "- (KP)"}, {0x7C, 1, 3, "* (KP)"},
    {0x7D, 1, 3, "9 (KP)"}, {0x7E, 1, 3, "ScrollLk"}, {0x83, 1, 3, "F7"},
    {0x85, 1, 3, "Pause"}, {0x86, 1, 3, "PrtScrn"},
    {0x90, 2, 3, "X+"}, {0x91, 2, 3, "X-"}, {0x92, 2, 3, "Y+"}, {0x93, 2, 3, "Y-"},
    {0x94, 2, 3, "Wh+"}, {0x95, 2, 3, "Wh-"},
};

constexpr ExpectedEntry kExtendedCodes[] = {
    {0x10, 2, 3, "Search"}, {0x11, 2, 3, "R Alt Dn"}, {0x14, 2, 3, "R Ctrl Dn"},
    {0x15, 2, 3, "Previous"}, {0x18, 2, 3, "Faves"}, {0x1A, 2, 3, "Eject"},
    {0x1F, 2, 3, "L Win Dn"}, {0x20, 2, 3, "Refresh"}, {0x21, 2, 3, "Vol -"},
    {0x23, 2, 3, "Vol Mute"}, {0x27, 2, 3, "R Win Dn"}, {0x28, 2, 3, "Web Stop"},
    {0x2B, 2, 3, "Calc"}, {0x2F, 2, 3, "Menu"}, {0x30, 2, 3, "Web ->"},
    {0x32, 2, 3, "Vol +"}, {0x34, 2, 3, "Play"}, {0x37, 2, 3, "Kb Power"},
    {0x38, 2, 3, "Web <-"}, {0x3A, 2, 3, "WebHome"}, {0x3B, 2, 3, "Stop"},
    {0x40, 2, 3, "My PC"}, {0x48, 2, 3, "eMail"}, {0x4A, 2, 3, "/ (KP)"},
    {0x4D, 2, 3, "Next"}, {0x50, 2, 3, "Media"}, {0x5A, 2, 3, "Ent(KP)"},
    {0x61, 2, 3, "L Click"}, {0x62, 2, 3, "R Click"}, {0x63, 2, 3, "C Click"},
    {0x64, 2, 3, "Rev Cllck"}, {0x65, 2, 3, "Fwd Click"}, {0x69, 2, 3, "End"},
    {0x6B, 2, 3, "Left"}, {0x6C, 2, 3, "Home"}, {0x70, 2, 3, "Insert"},
    {0x71, 2, 3, "Delete"}, {0x72, 2, 3, "Down"}, {0x74, 2, 3, "Right"},
    {0x75, 2, 3, "Up"}, {0x7A, 2, 3, "Page Dn"}, {0x7D, 2, 3, "Page Up"},
};

// The gaps of the one-byte table below 96, listed separately from the entries above.
constexpr int kUnassignedSingleBytes[] = {
    0x00, 0x02, 0x17, 0x19, 0x1F, 0x39, 0x47, 0x53, 0x56, 0x5C, 0x5E, 0x60, 0x65, 0x68, 0x6E,
    0x6F, 0x7F, 0x80, 0x81, 0x82, 0x84, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
};

template <std::size_t Count>
const ExpectedEntry* FindExpected(const ExpectedEntry (&entries)[Count], int code) {
    const auto found = std::find_if(std::begin(entries), std::end(entries),
                                    [code](const ExpectedEntry& entry) {
                                        return entry.code == code;
                                    });
    return found == std::end(entries) ? nullptr : found;
}

std::string Hex(const char* format, int code) {
    char text[8];
    std::snprintf(text, sizeof text, format, code);
    return text;
}

void ExpectBlank(const KeyCodeEntry& entry) {
    EXPECT_EQ(entry.width, 0);
    EXPECT_EQ(entry.codeClass, kBlankClass);
    EXPECT_EQ(entry.codeText, "");
    EXPECT_EQ(entry.name, "");
    EXPECT_EQ(entry.shiftedName, "");
}

// Runs over every byte value, so 96..FF (and the prefixes E0, E2, F0) must come back blank.
TEST(KeyCodeTableTest, EverySingleByteValueMatchesTheVocabulary) {
    int assigned = 0;
    for (int code = 0; code <= 0xFF; ++code) {
        SCOPED_TRACE(Hex("code %02x", code));
        const KeyCodeEntry& entry = SingleByteEntry(static_cast<uint8_t>(code));
        const ExpectedEntry* expected = FindExpected(kSingleByteCodes, code);
        if (!expected) {
            ExpectBlank(entry);
            continue;
        }
        ++assigned;
        EXPECT_EQ(entry.width, expected->width);
        EXPECT_EQ(entry.codeClass, expected->codeClass);
        EXPECT_EQ(entry.name, expected->name);
        EXPECT_EQ(entry.shiftedName, expected->shiftedName);
        EXPECT_EQ(entry.codeText, code == 0x4F ? "" : Hex("%02x", code));
    }
    EXPECT_EQ(assigned, 120);
}

TEST(KeyCodeTableTest, UnassignedSingleBytesAreExactlyTheGaps) {
    for (int code = 0; code < kSingleByteTableSize; ++code) {
        SCOPED_TRACE(Hex("code %02x", code));
        const bool listedAsGap = std::find(std::begin(kUnassignedSingleBytes),
                                           std::end(kUnassignedSingleBytes),
                                           code) != std::end(kUnassignedSingleBytes);
        EXPECT_EQ(SingleByteEntry(static_cast<uint8_t>(code)).width == 0, listedAsGap);
    }
}

// Likewise 7F..FF after E0 must come back blank.
TEST(KeyCodeTableTest, EveryByteAfterExtendedPrefixMatchesTheVocabulary) {
    int assigned = 0;
    for (int code = 0; code <= 0xFF; ++code) {
        SCOPED_TRACE(Hex("e0 %02x", code));
        const KeyCodeEntry& entry = ExtendedEntry(static_cast<uint8_t>(code));
        const ExpectedEntry* expected = FindExpected(kExtendedCodes, code);
        if (!expected) {
            ExpectBlank(entry);
            continue;
        }
        ++assigned;
        EXPECT_EQ(entry.width, 2);
        EXPECT_EQ(entry.codeClass, kPlainClass);
        EXPECT_EQ(entry.name, expected->name);
        EXPECT_EQ(entry.shiftedName, "");
        EXPECT_EQ(entry.codeText, Hex("e0 %02x", code));
    }
    EXPECT_EQ(assigned, 42);
}

TEST(KeyCodeTableTest, CodeFourFIsAssignedButShowsNothing) {
    const KeyCodeEntry& entry = SingleByteEntry(0x4F);
    EXPECT_EQ(entry.width, 1);
    EXPECT_EQ(entry.codeClass, kBlankClass);
    EXPECT_EQ(entry.codeText, "");
    EXPECT_EQ(entry.name, "");
}

} // namespace
} // namespace keyloom
