#include "keys/TagCodeTable.h"

#include "support/HexBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keyloom {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const std::string& text) { return test::HexBytes(text); }

// The recorded bytes of every Tag, in Tag order, prefix first ("" = no code).
const char* const kRecordedBytes[] = {
    "",      "76",    "16",    "1E",    "26",    "25",    "2E",    "36",    "3D",    "3E",    // 0
    "46",    "45",    "4E",    "55",    "66",    "0D",    "15",    "1D",    "24",    "2D",    // 10
    "2C",    "35",    "3C",    "43",    "44",    "4D",    "54",    "5B",    "5A",    "14",    // 20
    "1C",    "1B",    "23",    "2B",    "34",    "33",    "3B",    "42",    "4B",    "4C",    // 30
    "52",    "0E",    "12",    "5D",    "1A",    "22",    "21",    "2A",    "32",    "31",    // 40
    "3A",    "41",    "49",    "4A",    "59",    "7C",    "11",    "29",    "58",    "05",    // 50
    "06",    "04",    "0C",    "03",    "0B",    "83",    "0A",    "01",    "09",    "77",    // 60
    "7E",    "6C",    "75",    "7D",    "7B",    "6B",    "73",    "74",    "79",    "69",    // 70
    "72",    "7A",    "70",    "71",    "78",    "07",    "E0 5A", "E0 14", "E0 4A", "",      // 80
    "E0 11", "E0 6C", "E0 75", "E0 7D", "E0 6B", "E0 74", "E0 69", "E0 72", "E0 7A", "E0 70", // 90
    "E0 71", "E0 1F", "E0 27", "E0 2F", "08",    "10",    "18",    "20",    "28",    "30",    // 100
    "38",    "40",    "48",    "50",    "57",    "5F",    "2F",    "37",    "3F",    "51",    // 110
    "13",    "6A",    "64",    "67",    "27",    "61",    "63",    "62",    "6D",    "0F",    // 120
    "E0 4D", "E0 15", "E0 3B", "E0 34", "E0 23", "E0 32", "E0 21", "E0 50", "E0 48", "E0 2B", // 130
    "E0 40", "E0 10", "E0 3A", "E0 38", "E0 30", "E0 28", "E0 20", "E0 18", "E0 1A", "E0 37", // 140
    "E2 04", "E2 05", "E2 06", "E2 14", "E2 15", "E2 16", "E2 24", "E2 25", "E2 26", "85",    // 150
    "86",    "F0",    "E0",    "E0 61", "E0 62", "E0 63", "E0 64", "E0 65",                   // 160
};
static_assert(std::size(kRecordedBytes) == kTagCount);

TEST(TagCodeTable, EveryTagRecordsItsBytesPrefixFirst) {
    for (int tag = 0; tag < kTagCount; ++tag) {
        const Bytes expected = Hex(kRecordedBytes[tag]);
        const std::span<const uint8_t> codes = TagCodes(tag);
        EXPECT_EQ(Bytes(codes.begin(), codes.end()), expected) << "Tag " << tag;
        const TagCode entry = TagCodeOf(tag);
        EXPECT_EQ(entry.prefix, expected.size() == 2 ? expected[0] : 0) << "Tag " << tag;
        EXPECT_EQ(entry.code, expected.empty() ? 0 : expected.back()) << "Tag " << tag;
    }
}

TEST(TagCodeTable, TagsOutsideTheTableRecordNothing) {
    for (int tag : {-1, kTagCount, 1163})
        EXPECT_TRUE(TagCodes(tag).empty()) << tag;
}

struct ModifierRow {
    int tag;
    int bit; // the ModifierState bit, 01h..80h
    const char* press;
    const char* release;
};

const ModifierRow kModifiers[] = {
    {29, 0x01, "14", "F0 14"},       {42, 0x02, "12", "F0 12"},       {56, 0x04, "11", "F0 11"},
    {101, 0x08, "E0 1F", "E0 F0 1F"}, {87, 0x10, "E0 14", "E0 F0 14"}, {54, 0x20, "59", "F0 59"},
    {90, 0x40, "E0 11", "E0 F0 11"}, {102, 0x80, "E0 27", "E0 F0 27"},
};

TEST(TagCodeTable, ModifierKeysPressWithTheirTagAndReleaseWithABreakCode) {
    for (const ModifierRow& row : kModifiers) {
        const int index = ModifierIndexOfTag(row.tag);
        EXPECT_EQ(1 << index, row.bit) << row.tag;
        const std::span<const uint8_t> press = TagCodes(row.tag);
        EXPECT_EQ(Bytes(press.begin(), press.end()), Hex(row.press)) << row.tag;
        const std::array<uint8_t, 4> release = ModifierReleaseCodes(row.tag);
        Bytes expected = Hex(row.release);
        expected.resize(release.size(), 0); // ended by a 0
        EXPECT_EQ(Bytes(release.begin(), release.end()), expected) << row.tag;
    }
    EXPECT_EQ(ModifierIndexOfTag(58), -1) << "Caps Lock is no held modifier";
    EXPECT_EQ(ModifierReleaseCodes(58), (std::array<uint8_t, 4>{}));
}

} // namespace
} // namespace keyloom
