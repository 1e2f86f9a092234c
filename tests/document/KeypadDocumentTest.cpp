#include "document/KeypadDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace keyloom {
namespace {

// Fills a level with count distinct non-zero bytes.
void Fill(KeypadDocument& document, Level level, int key, std::size_t count) {
    std::span<uint8_t> codes = document.keys[key].codes(level);
    std::fill(codes.begin(), codes.end(), 0);
    for (std::size_t i = 0; i < count; ++i)
        codes[i] = static_cast<uint8_t>(1 + i % 0x7F);
}

std::vector<uint8_t> Macro(const KeypadDocument& document, Level level, int key) {
    std::span<const uint8_t> codes = document.keys[key].codes(level);
    return {codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(MacroLength(codes))};
}

TEST(KeypadDocument, ResetKeepsTheLayoutAndRestoresNewValues) {
    KeypadDocument document;
    document.numberOfKeys = 48;
    document.settings.keyRollOver = 9;
    document.keys[30].autoRepeat = {0, 0};
    document.keys[30].KeyType = 2;
    document.keys[30].name[1] = "x";
    Fill(document, Level::One, 30, 5);

    document.ResetDocument();

    EXPECT_EQ(document.numberOfKeys, 48);
    EXPECT_EQ(document.settings, KeypadSettings{});
    EXPECT_EQ(document.settings.characterPacing, 1);
    for (const KeyRecord& key : document.keys) {
        EXPECT_EQ(key, KeyRecord{});
        EXPECT_EQ(key.autoRepeat, (std::array<uint8_t, 2>{1, 1}));
    }
}

TEST(KeypadDocument, LevelsShareTheRoomOfTheirKey) {
    struct Case {
        std::size_t level1;
        std::size_t level2;
        int32_t room1;
        int32_t room2;
    };
    const Case cases[] = {
        {0, 0, 220, 111},   {110, 0, 220, 111}, {111, 0, 220, 111}, {112, 0, 220, 0},
        {220, 0, 220, 0},   {0, 1, 111, 111},   {111, 5, 111, 111},  {150, 5, 111, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.level1 << " + " << c.level2);
        KeypadDocument document;
        Fill(document, Level::One, 3, c.level1);
        Fill(document, Level::Two, 3, c.level2);
        EXPECT_EQ(document.LevelCapacity(Level::One, 3), c.room1);
        EXPECT_EQ(document.LevelCapacity(Level::Two, 3), c.room2);
    }
}

TEST(KeypadDocument, InsertGoesBeforeTheOffsetAndKeepsTheRest) {
    KeypadDocument document;
    const uint8_t first[] = {0x1C, 0x32, 0};
    const uint8_t front[] = {0x12, 0};
    const uint8_t end[] = {0xF0, 0x12, 0};
    const uint8_t middle[] = {0xE2, 0x01, 0x32, 0};
    ASSERT_EQ(document.InsertCodes(Level::Two, 0, 0, first), 0);
    ASSERT_EQ(document.InsertCodes(Level::Two, 0, 0, front), 0);
    ASSERT_EQ(document.InsertCodes(Level::Two, 0, 3, end), 0);
    ASSERT_EQ(document.InsertCodes(Level::Two, 0, 2, middle), 0);
    EXPECT_EQ(Macro(document, Level::Two, 0),
              (std::vector<uint8_t>{0x12, 0x1C, 0xE2, 0x01, 0x32, 0x32, 0xF0, 0x12}));
}

TEST(KeypadDocument, InsertAcceptsExactlyTheRoomAndRefusesMore) {
    KeypadDocument document;
    const uint8_t delay[] = {0xE2, 0x01, 0x32, 0};
    const uint8_t key[] = {0x1C, 0};
    Fill(document, Level::One, 7, 217);
    EXPECT_EQ(document.InsertCodes(Level::One, 7, 217, delay), 0);
    EXPECT_EQ(document.Length(Level::One, 7), 220u);
    const auto before = document.keys[7];
    EXPECT_EQ(document.InsertCodes(Level::One, 7, 0, key), 1);
    EXPECT_EQ(document.keys[7], before);
    EXPECT_EQ(document.keys[7].level1Codes[220], 0);
}

TEST(KeypadDocument, Level1GrowingPast111BytesTakesTheRoomOfLevel2) {
    KeypadDocument document;
    const uint8_t delay[] = {0xE2, 0x01, 0x32, 0};
    const uint8_t key[] = {0x1C, 0};
    Fill(document, Level::One, 0, 110);
    ASSERT_EQ(document.InsertCodes(Level::One, 0, 110, delay), 0);
    EXPECT_EQ(document.Length(Level::One, 0), 113u);
    EXPECT_EQ(document.LevelCapacity(Level::Two, 0), 0);
    EXPECT_EQ(document.InsertCodes(Level::Two, 0, 0, key), 1);
}

TEST(KeypadDocument, NonEmptyLevel2Limits111ByteLevel1) {
    KeypadDocument document;
    const uint8_t key[] = {0x1C, 0};
    Fill(document, Level::One, 0, 111);
    ASSERT_EQ(document.InsertCodes(Level::Two, 0, 0, key), 0);
    EXPECT_EQ(document.LevelCapacity(Level::One, 0), 111);
    EXPECT_EQ(document.InsertCodes(Level::One, 0, 111, key), 1);
}

TEST(KeypadDocument, OverfullLevelFromAFileCanStillBeErasedBackIntoRoom) {
    KeypadDocument document;
    const uint8_t key[] = {0x1C, 0};
    Fill(document, Level::One, 2, 150);
    Fill(document, Level::Two, 2, 1);
    EXPECT_EQ(document.InsertCodes(Level::One, 2, 0, key), 1);
    EXPECT_EQ(document.LevelCapacity(Level::Two, 2), 0);

    EXPECT_EQ(document.EraseCodes(Level::One, 2, 0, 39), 111);
    EXPECT_EQ(document.LevelCapacity(Level::Two, 2), 111);
    EXPECT_EQ(document.InsertCodes(Level::One, 2, 0, key), 1);
    EXPECT_EQ(document.EraseCodes(Level::One, 2, 0, 1), 110);
    EXPECT_EQ(document.InsertCodes(Level::One, 2, 0, key), 0);
}

TEST(KeypadDocument, EraseRemovesOneCellAndClearsTheTail) {
    KeypadDocument document;
    const uint8_t codes[] = {0x12, 0xE2, 0x01, 0x32, 0x1C, 0};
    ASSERT_EQ(document.InsertCodes(Level::One, 4, 0, codes), 0);
    EXPECT_EQ(document.EraseCodes(Level::One, 4, 1, 3), 2);
    EXPECT_EQ(Macro(document, Level::One, 4), (std::vector<uint8_t>{0x12, 0x1C}));
    EXPECT_TRUE(std::all_of(document.keys[4].level1Codes.begin() + 2, document.keys[4].level1Codes.end(),
                            [](uint8_t b) { return b == 0; }));
}

TEST(KeypadDocument, ErasingTheOnlyLevel2CodeGivesLevel1ItsFullRoomBack) {
    KeypadDocument document;
    const uint8_t key[] = {0x1C, 0};
    ASSERT_EQ(document.InsertCodes(Level::Two, 5, 0, key), 0);
    ASSERT_EQ(document.LevelCapacity(Level::One, 5), 111);
    EXPECT_EQ(document.EraseCodes(Level::Two, 5, 0, 1), 0);
    EXPECT_EQ(document.keys[5].level2Codes, (std::array<uint8_t, kLevel2ArraySize>{}));
    EXPECT_EQ(document.LevelCapacity(Level::One, 5), 220);
}

TEST(KeypadDocument, BytesHiddenBehindAnEarlyTerminatorVanishWithTheNextEdit) {
    KeypadDocument document;
    document.keys[1].level1Codes[0] = 0x1C;
    document.keys[1].level1Codes[2] = 0x32; // stored behind a 00 pair by the file reader
    const uint8_t key[] = {0x21, 0};
    ASSERT_EQ(document.InsertCodes(Level::One, 1, 1, key), 0);
    EXPECT_EQ(document.keys[1].level1Codes[2], 0);
}

} // namespace
} // namespace keyloom
