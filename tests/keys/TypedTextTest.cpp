#include "keys/TypedText.h"

#include "support/HexBytes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace keyloom {

void PrintTo(const UntypableCharacter& entry, std::ostream* out) {
    *out << "U+" << std::hex << static_cast<uint32_t>(entry.character) << std::dec << " at " << entry.position;
}

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const std::string& text) { return test::HexBytes(text); }

struct TextCase {
    const char32_t* text;
    const char* codes;
    std::size_t cells;
};

// What typing the text on a US keyboard records: make codes only, Shift held over each run of
// shifted characters.
constexpr TextCase kTexts[] = {
    {U"", "", 0},
    {U"abc", "1C 32 21", 3},
    {U"Hi!", "12 33 F0 12 43 12 16 F0 12", 7},
    {U"ABC", "12 1C 32 21 F0 12", 5},
    {U"a@b.c", "1C 12 1E F0 12 32 49 21", 7},
    {U"1 ~", "16 29 12 0E F0 12", 5},
    {U"x\ty\n", "22 0D 35 5A", 4},
};

TEST(TypedText, GivesTheCodesTypingRecords) {
    for (const TextCase& entry : kTexts) {
        const std::u32string text(entry.text);
        const TypedText typed = TypeText(text);
        EXPECT_EQ(typed.codes, Hex(entry.codes)) << "case " << (&entry - kTexts);
        EXPECT_EQ(typed.codeEnds.size(), entry.cells);
        EXPECT_TRUE(typed.untypable.empty());
    }
}

TEST(TypedText, EachCodeEndsWhereTheNextBegins) {
    const TypedText typed = TypeText(U"Hi!");
    EXPECT_EQ(typed.codeEnds, (std::vector<std::size_t>{1, 2, 4, 5, 6, 7, 9}));
}

TEST(TypedText, NamesWhatNoUsKeyTypesAndLeavesItOut) {
    // "é" and "€" would land on ASCII keys if taken modulo 128, as typed keys are.
    const TypedText typed = TypeText(U"caf\u00E9 5\u20AC\r");
    EXPECT_EQ(typed.untypable,
              (std::vector<UntypableCharacter>{{3, U'\u00E9'}, {6, U'\u20AC'}, {7, U'\r'}}));
    EXPECT_EQ(typed.codes, Hex("21 1C 2B 29 2E"));
}

} // namespace
} // namespace keyloom
