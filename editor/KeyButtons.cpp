#include "editor/KeyButtons.h"

#include "document/KeypadGeometry.h"

namespace keyloom {

namespace {

constexpr int kButtonsPerPanel = keypad::kKeysPerPanel;
constexpr int kPanelColumns = keypad::kPanelColumns;
constexpr int kWideColumns = keypad::ColumnsOf(48);

} // namespace

int KeyIndexOfButtonTag(int tag, int numberOfKeys) {
    if (tag < 0 || tag >= numberOfKeys)
        return -1;
    if (numberOfKeys != 48)
        return tag;
    const int panel = tag / kButtonsPerPanel;
    const int row = (tag % kButtonsPerPanel) / kPanelColumns;
    const int column = tag % kPanelColumns;
    return row * kWideColumns + panel * kPanelColumns + column;
}

int ButtonTagOfKeyIndex(int keyIndex, int numberOfKeys) {
    if (keyIndex < 0 || keyIndex >= numberOfKeys)
        return -1;
    if (numberOfKeys != 48)
        return keyIndex;
    const int row = keyIndex / kWideColumns;
    const int panel = (keyIndex % kWideColumns) / kPanelColumns;
    const int column = keyIndex % kPanelColumns;
    return panel * kButtonsPerPanel + row * kPanelColumns + column;
}

} // namespace keyloom
