#include "document/CellList.h"
#include "document/KeyCodeTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <ostream>
#include <vector>

namespace keyloom {

void PrintTo(const MacroCell& cell, std::ostream* out) {
    *out << "{" << cell.byteCount << ", 0x" << std::hex << cell.modifierState << std::dec << ", \""
         << cell.name << "\", \"" << cell.codeText << "\"}";
}

namespace {

using Bytes = std::vector<uint8_t>;

class CellListTest : public ::testing::Test {
protected:
    static constexpr int kKey = 7;

    CellListTest() {
        // Macros around the one under test, so that rendering the wrong key or level shows.
        for (int key : {kKey - 1, kKey, kKey + 1}) {
            document.keys[key].level1Codes[0] = 0x29;
            document.keys[key].level2Codes[0] = 0x29;
        }
    }

    // Replaces the whole array of the level; bytes past its end are dropped.
    void SetLevel(Level level, const Bytes& bytes) {
        const std::span<uint8_t> codes = document.keys[kKey].codes(level);
        std::fill(codes.begin(), codes.end(), uint8_t{0});
        std::copy_n(bytes.begin(), std::min(bytes.size(), codes.size()), codes.begin());
    }

    int32_t Render(Level level, const Bytes& bytes) {
        SetLevel(level, bytes);
        return cells.RenderLevel(document, kKey, level);
    }

    KeypadDocument document;
    CellList cells;
};

struct RenderCase {
    const char* title;
    Bytes bytes;
    int32_t length; // what RenderLevel returns
    std::vector<MacroCell> cells; // without the end cell
    Level level = Level::One;
};

// {byte count, state after, name, code text}
const RenderCase kRenderCases[] = {
    {"empty level", {}, 0, {}},
    {"shift gives a capital until released",
     {0x12, 0x1C, 0xF0, 0x12, 0x1C},
     5,
     {{1, 0x02, "L Shift Dn", "12"}, {1, 0x02, "A", "1c"}, {2, 0, "L Shift Up", "f0 12"},
      {1, 0, "a", "1c"}}},
    {"left modifiers", {0x14, 0x11, 0x59, 0xF0, 0x14, 0xF0, 0x11, 0xF0, 0x59}, 9,
     {{1, 0x01, "L Ctrl Dn", "14"}, {1, 0x05, "L Alt Dn", "11"}, {1, 0x25, "R Shift Dn", "59"},
      {2, 0x24, "L Ctrl Up", "f0 14"}, {2, 0x20, "L Alt Up", "f0 11"},
      {2, 0, "R Shift Up", "f0 59"}}},
    {"right-hand modifiers and Windows keys",
     {0xE0, 0x14, 0xE0, 0x11, 0xE0, 0x1F, 0xE0, 0x27, 0xE0, 0xF0, 0x14, 0xE0, 0xF0, 0x11, 0xE0,
      0xF0, 0x1F, 0xE0, 0xF0, 0x27},
     20,
     {{2, 0x10, "R Ctrl Dn", "e0 14"}, {2, 0x50, "R Alt Dn", "e0 11"},
      {2, 0x58, "L Win Dn", "e0 1f"}, {2, 0xD8, "R Win Dn", "e0 27"},
      {3, 0xC8, "R Ctrl Up", "e0 f0 14"}, {3, 0x88, "R Alt Up", "e0 f0 11"},
      {3, 0x80, "L Win Up", "e0 f0 1f"}, {3, 0, "R Win Up", "e0 f0 27"}}},
    {"caps lock and shift on letters and symbols", {0x58, 0x1C, 0x16, 0x12, 0x1C, 0x16}, 6,
     {{1, 0x100, "Caps Lock", "58"}, {1, 0x100, "A", "1c"}, {1, 0x100, "1", "16"},
      {1, 0x102, "L Shift Dn", "12"}, {1, 0x102, "a", "1c"}, {1, 0x102, "!", "16"}}},
    {"right shift shifts symbols", {0x59, 0x16}, 2,
     {{1, 0x20, "R Shift Dn", "59"}, {1, 0x20, "!", "16"}}},
    {"caps lock toggles at every 58", {0x58, 0xF0, 0x58}, 3,
     {{1, 0x100, "Caps Lock", "58"}, {1, 0x100, "Break", "f0"}, {1, 0, "Caps Lock", "58"}}},
    {"break of an ordinary key", {0xF0, 0x1C}, 2, {{1, 0, "Break", "f0"}, {1, 0, "a", "1c"}}},
    {"extended break of an ordinary key", {0xE0, 0xF0, 0x75}, 3,
     {{1, 0, "Ext", "e0"}, {1, 0, "Break", "f0"}, {1, 0, "8 (KP)", "75"}}},
    {"prefix before a code that is no extended key", {0xE0, 0x12}, 2,
     {{1, 0, "Ext", "e0"}, {1, 0x02, "L Shift Dn", "12"}}},
    {"delay", {0xE2, 0x01, 0x32}, 3, {{3, 0, "Dly 200ms", "e2 01 32"}}},
    {"delay byte is unsigned", {0xE2, 0x01, 0xFF}, 3, {{3, 0, "Dly 1020ms", "e2 01 ff"}}},
    {"LED commands", {0xE2, 0x04, 0xE2, 0x15, 0xE2, 0x26}, 6,
     {{2, 0, "LED1 Off", "e2 04"}, {2, 0, "LED2 On", "e2 15"}, {2, 0, "LED3 Flash", "e2 26"}}},
    {"unnamed device command", {0xE2, 0x09}, 2, {{2, 0, "", ""}}},
    {"mouse moves and a click", {0x90, 0x32, 0x95, 0x7D, 0x93, 0xFF, 0xE0, 0x61}, 8,
     {{2, 0, "X+ 50", "90 32"}, {2, 0, "Wh- 125", "95 7d"}, {2, 0, "Y- 255", "93 ff"},
      {2, 0, "L Click", "e0 61"}}},
    {"4F shows nothing", {0x4F}, 1, {{1, 0, "", ""}}},
    {"unassigned code stops the rendering", {0x1C, 0x02, 0x1C}, 0, {{1, 0, "a", "1c"}}},
    {"unassigned first code", {0x96, 0x1C}, 0, {}},
    {"unassigned byte after the extended prefix", {0xE0, 0x7F}, 0, {{1, 0, "Ext", "e0"}}},
    {"prefixes alone at the end", {0xE0, 0xF0}, 2, {{1, 0, "Ext", "e0"}, {1, 0, "Break", "f0"}}},
    {"LED command at the end", {0xE2, 0x05}, 2, {{2, 0, "LED1 On", "e2 05"}}},
    // Codes cut short by the terminator keep the bytes they have and nothing after the 0.
    {"lone device prefix", {0xE2, 0x00, 0x01, 0x32}, 1, {{1, 0, "", "e2"}}},
    {"delay without its byte", {0xE2, 0x01, 0x00, 0x32}, 2, {{2, 0, "", "e2 01"}}},
    {"mouse move without its distance keeps the state", {0x12, 0x93, 0x00, 0x32}, 2,
     {{1, 0x02, "L Shift Dn", "12"}, {1, 0x02, "", "93"}}},
    {"Level 2", {0x12, 0x1C}, 2, {{1, 0x02, "L Shift Dn", "12"}, {1, 0x02, "A", "1c"}}, Level::Two},
};

TEST_F(CellListTest, RendersCodesIntoCells) {
    for (const RenderCase& test : kRenderCases) {
        SCOPED_TRACE(test.title);
        EXPECT_EQ(Render(test.level, test.bytes), test.length);
        EXPECT_EQ(cells.cellCount(), static_cast<int32_t>(test.cells.size()));
        if (test.bytes.empty()) {
            EXPECT_TRUE(cells.empty());
            continue;
        }
        std::vector<MacroCell> expected = test.cells;
        expected.push_back(MacroCell{});
        EXPECT_EQ(cells.cells(), expected);
    }
}

struct HeldCase {
    const char* title;
    Bytes bytes;
    const char* held; // the names of the modifiers left pressed
};

const HeldCase kHeldCases[] = {
    {"empty level", {}, ""},
    {"Shift never released", {0x12, 0x1C}, "Left Shift"},
    {"Shift released", {0x12, 0x1C, 0xF0, 0x12}, ""},
    {"right-hand and Windows keys", {0xE0, 0x14, 0xE0, 0x1F, 0x59}, "Left Win, Right Ctrl, Right Shift"},
    {"one of two released", {0x14, 0x11, 0xF0, 0x14}, "Left Alt"},
    {"Caps Lock is a lock, not a held key", {0x58, 0xF0, 0x58, 0x1C}, ""},
    {"held before an unassigned code", {0x11, 0x96}, "Left Alt"},
};

TEST_F(CellListTest, HeldAtEndNamesTheModifiersLeftPressed) {
    for (const HeldCase& test : kHeldCases) {
        SCOPED_TRACE(test.title);
        Render(Level::One, test.bytes);
        EXPECT_EQ(HeldModifierNames(cells.HeldAtEnd()), test.held);
    }
}

TEST(UseShiftedNameTest, FollowsShiftAndCapsLockByClass) {
    struct Case {
        uint8_t codeClass;
        ModifierState state;
        bool shifted;
    };
    const Case cases[] = {
        {kLetterClass, 0, false},
        {kLetterClass, kLeftShift, true},
        {kLetterClass, kRightShift, true},
        {kLetterClass, kLeftShift | kRightShift, true},
        {kLetterClass, kCapsLock, true},
        {kLetterClass, kCapsLock | kRightShift, false},
        {kLetterClass, kLeftCtrl | kLeftAlt | kLeftWin | kRightCtrl | kRightAlt | kRightWin, false},
        {kShiftedSymbolClass, 0, false},
        {kShiftedSymbolClass, kRightShift, true},
        {kShiftedSymbolClass, kCapsLock, false},
        {kShiftedSymbolClass, kCapsLock | kLeftShift, true},
        {kPlainClass, kLeftShift | kCapsLock, false},
        {kBlankClass, kLeftShift, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << "class " << int{test.codeClass} << ", state 0x"
                                        << std::hex << test.state);
        EXPECT_EQ(UseShiftedName(test.codeClass, test.state), test.shifted);
    }
}

TEST_F(CellListTest, QueriesClampTheCellIndex) {
    ASSERT_EQ(Render(Level::One, {0x12, 0x1C, 0x59}), 3); // states 02, 02, 22, then the end cell

    struct Case {
        int n;
        int32_t bytesBefore;
        ModifierState modifiers;
    };
    const Case cases[] = {
        {INT_MIN, 0, 0}, {-1, 0, 0}, {0, 0, 0x02}, {1, 1, 0x02}, {2, 2, 0x22},
        {3, 3, 0x22}, // the end cell: its own state is not taken
        {4, 3, 0x22}, {INT_MAX, 3, 0x22},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.n);
        EXPECT_EQ(cells.BytesBeforeCell(test.n), test.bytesBefore);
        EXPECT_EQ(cells.ModifiersAtCell(test.n), test.modifiers);
    }
    EXPECT_EQ(cells.CountCells(Level::One), 3);
}

TEST_F(CellListTest, QueriesOnAListWithoutCells) {
    const auto expectNoCells = [this] {
        EXPECT_EQ(cells.cellCount(), 0);
        for (int n : {INT_MIN, -1, 0, 1, INT_MAX}) {
            EXPECT_EQ(cells.BytesBeforeCell(n), 0);
            EXPECT_EQ(cells.ModifiersAtCell(n), 0u);
        }
        EXPECT_EQ(cells.CountCells(Level::One), 0);
        EXPECT_EQ(cells.CountCells(Level::Two), 0);
    };
    {
        SCOPED_TRACE("never rendered");
        expectNoCells();
    }
    {
        SCOPED_TRACE("empty level");
        EXPECT_EQ(Render(Level::One, {}), 0);
        expectNoCells();
    }
    {
        SCOPED_TRACE("stopped at the first code, leaving the end cell alone");
        EXPECT_EQ(Render(Level::One, {0x02, 0x1C}), 0);
        EXPECT_EQ(cells.cells().size(), 1u);
        expectNoCells();
    }
}

TEST_F(CellListTest, FullLevelOneRendersAll220Bytes) {
    Bytes bytes(kLevel1ArraySize - 1, 0x1C);
    bytes.insert(bytes.begin(), {0xE2, 0x01, 0x7D, 0xE0, 0x75});
    bytes.resize(kLevel1ArraySize - 1);
    EXPECT_EQ(Render(Level::One, bytes), 220);
    EXPECT_EQ(cells.cellCount(), 217);
    EXPECT_EQ(cells.CountCells(Level::One), 217);
    EXPECT_EQ(cells.BytesBeforeCell(INT_MAX), 220);
}

TEST_F(CellListTest, LevelTwoOfOneByteCodesPutsTheCursorOnCell111) {
    EXPECT_EQ(Render(Level::Two, Bytes(kLevel2ArraySize - 1, 0x1C)), 111);
    EXPECT_EQ(cells.cellCount(), 111);
    EXPECT_EQ(cells.CountCells(Level::Two), 111);
    EXPECT_EQ(cells.BytesBeforeCell(111), 111);
}

// A damaged document whose arrays lack the final 0: rendering must stop at the array's end.
TEST_F(CellListTest, ArrayWithoutTerminatorEndsAtItsLastByte) {
    EXPECT_EQ(Render(Level::Two, Bytes(kLevel2ArraySize, 0x1C)), 112);
    EXPECT_EQ(cells.cellCount(), 112);
    EXPECT_EQ(cells.CountCells(Level::Two), 111);

    Bytes cutDelay(kLevel2ArraySize - 2, 0x1C);
    cutDelay.insert(cutDelay.end(), {0xE2, 0x01});
    EXPECT_EQ(Render(Level::Two, cutDelay), 112);
    ASSERT_EQ(cells.cells().size(), 112u);
    EXPECT_EQ(cells.cells()[110], (MacroCell{2, 0, "", "e2 01"}));

    Bytes cutMove(kLevel1ArraySize - 1, 0x1C);
    cutMove.push_back(0x90);
    EXPECT_EQ(Render(Level::One, cutMove), 221);
    EXPECT_EQ(cells.cells()[220], (MacroCell{1, 0, "", "90"}));
    EXPECT_EQ(cells.CountCells(Level::One), 220);
}

TEST_F(CellListTest, RenderingReplacesThePreviousCells) {
    Render(Level::One, {0x12, 0x1C, 0x1C, 0x1C});
    EXPECT_EQ(Render(Level::One, {0x1C}), 1);
    EXPECT_EQ(cells.cells(), (std::vector<MacroCell>{{1, 0, "a", "1c"}, {}}));

    cells.FreeCells();
    EXPECT_TRUE(cells.empty());
    EXPECT_EQ(cells.cellCount(), 0);
}

} // namespace
} // namespace keyloom
