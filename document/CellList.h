#pragma once

#include "document/KeypadDocument.h"

#include <cstdint>
#include <string>
#include <vector>

namespace keyloom {

// Modifier state bits after a cell.
enum ModifierBit : uint32_t {
    kLeftCtrl = 0x01,
    kLeftShift = 0x02,
    kLeftAlt = 0x04,
    kLeftWin = 0x08,
    kRightCtrl = 0x10,
    kRightShift = 0x20,
    kRightAlt = 0x40,
    kRightWin = 0x80,
    kCapsLock = 0x100,
};
using ModifierState = uint32_t;

struct MacroCell {
    int32_t byteCount = 0;        // 1..3; 0 only in the end cell
    ModifierState modifierState = 0; // after this cell's code
    std::string name;
    std::string codeText;

    bool operator==(const MacroCell&) const = default;
};

// Whether a one-byte code of codeClass shows its shifted name under state.
bool UseShiftedName(uint8_t codeClass, ModifierState state);

// Every name and code text a cell can show (a delay or mouse move with its widest value), so a
// view can make room for the longest.
std::vector<std::string> EveryCellText();

// The names of the modifier keys held down in state, "Left Shift, Right Ctrl", in the order of
// the bits; Caps Lock, a lock rather than a key held, is left out. "" for none.
std::string HeldModifierNames(ModifierState state);

// One level of one key rendered as cells: one cell per code, then an end cell with byte count 0.
// An empty level has no cells at all.
class CellList {
public:
    // Renders afresh (the previous cells are released first). Returns the number of macro bytes
    // rendered, or 0 when the rendering stopped at an unassigned code.
    int32_t RenderLevel(const KeypadDocument& document, int keyIndex, Level level);
    void FreeCells();

    int32_t BytesBeforeCell(int n) const;
    ModifierState ModifiersAtCell(int n) const;
    // The modifier keys the rendered macro leaves held down after its last cell (Caps Lock, a
    // lock, aside). A keypad that plays it keeps them pressed.
    ModifierState HeldAtEnd() const { return ModifiersAtCell(m_cellCount - 1) & ~ModifierState{kCapsLock}; }
    int32_t CountCells(Level level) const;
    // Cells made by the last rendering, the end cell not counted.
    int32_t cellCount() const { return m_cellCount; }

    // Every cell including the end cell.
    const std::vector<MacroCell>& cells() const { return m_cells; }
    bool empty() const { return m_cells.empty(); }

private:
    std::vector<MacroCell> m_cells;
    int32_t m_cellCount = 0;
};

} // namespace keyloom
