#pragma once

// Where the keys sit on the keypad, in the design units of the editor's keypad panel: panels of
// 4 x 6 keys, one for the 24-key layout, two side by side for the 48-key one, whose keys are
// numbered row by row across all 8 columns. The printed keymap draws the keypad from the same
// numbers.
namespace keyloom::keypad {

inline constexpr int kKeysPerPanel = 24;
inline constexpr int kPanelColumns = 4;
inline constexpr int kRows = 6;
inline constexpr int kKeySize = 30;
inline constexpr int kKeyPitch = 34;
inline constexpr int kKeyMargin = 4; // centres 4 x 6 keys at a 34-unit pitch in 140 x 209
inline constexpr int kPanelWidth = 140;
inline constexpr int kPanelHeight = 209;

constexpr int ColumnsOf(int numberOfKeys) { return numberOfKeys == 48 ? 2 * kPanelColumns : kPanelColumns; }
constexpr int KeyColumn(int keyIndex, int numberOfKeys) { return keyIndex % ColumnsOf(numberOfKeys); }
constexpr int KeyRow(int keyIndex, int numberOfKeys) { return keyIndex / ColumnsOf(numberOfKeys); }
// The left edge of a column from the first panel's left edge (columns 4-7 lie in the second
// panel), and the top edge of a row.
constexpr int ColumnLeft(int column) {
    return column / kPanelColumns * kPanelWidth + kKeyMargin + column % kPanelColumns * kKeyPitch;
}
constexpr int RowTop(int row) { return kKeyMargin + row * kKeyPitch; }

} // namespace keyloom::keypad
