#include "editor/KeyButtons.h"

#include <gtest/gtest.h>

namespace keyloom {
namespace {

// The 48-key keypad as the user sees it: the button number N of KeyN at each row and column.
// Columns 0-3 are KeyPanel1, columns 4-7 KeyPanel2.
constexpr int kWideKeypad[6][8] = {
    {1, 2, 3, 4, 25, 26, 27, 28},     {5, 6, 7, 8, 29, 30, 31, 32},     {9, 10, 11, 12, 33, 34, 35, 36},
    {13, 14, 15, 16, 37, 38, 39, 40}, {17, 18, 19, 20, 41, 42, 43, 44}, {21, 22, 23, 24, 45, 46, 47, 48},
};

TEST(KeyButtons, WideKeypadNumbersKeysRowByRowAcrossBothPanels) {
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 8; ++column) {
            const int tag = kWideKeypad[row][column] - 1;
            const int keyIndex = row * 8 + column;
            EXPECT_EQ(KeyIndexOfButtonTag(tag, 48), keyIndex) << "Key" << tag + 1;
            EXPECT_EQ(ButtonTagOfKeyIndex(keyIndex, 48), tag) << "key index " << keyIndex;
        }
    }
}

TEST(KeyButtons, NarrowKeypadIsTheButtonsInOrder) {
    for (int tag = 0; tag < 24; ++tag) {
        EXPECT_EQ(KeyIndexOfButtonTag(tag, 24), tag);
        EXPECT_EQ(ButtonTagOfKeyIndex(tag, 24), tag);
    }
}

TEST(KeyButtons, Key25IsKeyIndexFourOnlyInTheWideLayout) {
    EXPECT_EQ(KeyIndexOfButtonTag(24, 48), 4);
    EXPECT_EQ(KeyIndexOfButtonTag(4, 24), 4);
    EXPECT_EQ(KeyIndexOfButtonTag(4, 48), 8);
}

class KeyButtonsRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(KeyButtonsRoundTrip, EveryKeyHasExactlyOneButton) {
    const int numberOfKeys = GetParam();
    for (int keyIndex = 0; keyIndex < numberOfKeys; ++keyIndex)
        EXPECT_EQ(KeyIndexOfButtonTag(ButtonTagOfKeyIndex(keyIndex, numberOfKeys), numberOfKeys), keyIndex);
    for (int tag = 0; tag < numberOfKeys; ++tag)
        EXPECT_EQ(ButtonTagOfKeyIndex(KeyIndexOfButtonTag(tag, numberOfKeys), numberOfKeys), tag);
}

TEST_P(KeyButtonsRoundTrip, NothingOutsideTheLayoutHasAButtonOrKey) {
    const int numberOfKeys = GetParam();
    EXPECT_EQ(ButtonTagOfKeyIndex(numberOfKeys, numberOfKeys), -1);
    EXPECT_EQ(ButtonTagOfKeyIndex(-1, numberOfKeys), -1);
    EXPECT_EQ(KeyIndexOfButtonTag(numberOfKeys, numberOfKeys), -1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, KeyButtonsRoundTrip, ::testing::Values(24, 48));

} // namespace
} // namespace keyloom
