// Renders arbitrary Level 1 and Level 2 macros and checks that the cell list and its queries
// stay consistent with what RenderLevel returned.

#include "document/CellList.h"
#include "document/KeypadDocument.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using keyloom::CellList;
using keyloom::KeypadDocument;
using keyloom::Level;
using keyloom::MacroCell;
using keyloom::ModifierState;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Fills the level from the input (the rest stays 0) and keeps the array's last byte 0.
std::size_t FillLevel(KeypadDocument& document, Level level, const uint8_t* data,
                      std::size_t size) {
    const auto codes = document.keys[0].codes(level);
    const std::size_t taken = std::min(size, codes.size() - 1);
    std::copy_n(data, taken, codes.begin());
    return taken;
}

void CheckLevel(const KeypadDocument& document, Level level) {
    CellList cells;
    const int32_t length = cells.RenderLevel(document, 0, level);
    const auto codes = document.keys[0].codes(level);
    const auto macroLength = static_cast<int32_t>(keyloom::MacroLength(codes));
    const std::vector<MacroCell>& list = cells.cells();

    if (codes[0] == 0) {
        Require(list.empty() && length == 0 && cells.cellCount() == 0, "empty level has no cells");
    } else {
        Require(!list.empty(), "a macro has at least the end cell");
        Require(list.back() == MacroCell{}, "the end cell is empty");
        Require(cells.cellCount() == static_cast<int32_t>(list.size()) - 1,
                "cellCount counts the cells before the end cell");
    }

    int32_t sum = 0;
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        Require(list[i].byteCount >= 1 && list[i].byteCount <= 3, "a code spans 1 to 3 bytes");
        sum += list[i].byteCount;
    }
    Require(sum <= macroLength, "no cell takes bytes after the terminator");
    Require(length == 0 || length == sum, "the returned length is the bytes of the cells");
    Require(length == 0 || length == macroLength, "a complete rendering covers the macro");

    const int32_t limit = level == Level::One ? 220 : 111;
    const int32_t count = cells.CountCells(level);
    Require(count >= 0 && count <= limit && count <= cells.cellCount(), "CountCells is capped");

    const int lastCell = static_cast<int>(list.size()) + 2;
    int32_t previousOffset = 0;
    for (int n = -3; n <= lastCell; ++n) {
        const int32_t offset = cells.BytesBeforeCell(n);
        Require(offset >= previousOffset && offset <= sum, "offsets grow within the macro");
        previousOffset = offset;

        const ModifierState state = cells.ModifiersAtCell(n);
        ModifierState expected = 0;
        if (n >= 0 && cells.cellCount() > 0)
            expected = list[static_cast<std::size_t>(std::min(n, cells.cellCount() - 1))]
                           .modifierState;
        Require(state == expected, "ModifiersAtCell gives the state of the last cell reached");
    }
    Require(cells.BytesBeforeCell(INT_MAX) == sum, "BytesBeforeCell clamps large n");
    Require(cells.BytesBeforeCell(INT_MIN) == 0, "BytesBeforeCell of negative n is 0");
    Require(cells.ModifiersAtCell(INT_MIN) == 0, "ModifiersAtCell of negative n is empty");
    const ModifierState lastState = cells.cellCount() > 0 ? list[list.size() - 2].modifierState : 0;
    Require(cells.ModifiersAtCell(INT_MAX) == lastState, "ModifiersAtCell clamps large n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Static: the document is large and only the two arrays of key 0 change between runs.
    static KeypadDocument document;
    auto& key = document.keys[0];
    key.level1Codes.fill(0);
    key.level2Codes.fill(0);

    const std::size_t taken = FillLevel(document, Level::One, data, size);
    FillLevel(document, Level::Two, data + taken, size - taken);

    CheckLevel(document, Level::One);
    CheckLevel(document, Level::Two);
    return 0;
}
