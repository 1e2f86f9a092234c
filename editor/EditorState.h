#pragma once

#include <array>
#include <cstdint>

namespace keyloom {

// The editing state that every part of the main window shares.
struct EditorState {
    int32_t selectedKey = 0;   // key index 0..47
    int32_t selectedLevel = 0; // 0 = Level 1, 1 = Level 2
    bool modified = false;
    bool refreshing = false;   // set only while RefreshMacroView runs
    bool revealCodes = false;  // one flag for both levels and all keys; never saved
    // Recording's scratch state, in modifier bit order: L Ctrl, L Shift, L Alt, L Win, R Ctrl,
    // R Shift, R Alt, R Win.
    std::array<bool, 8> heldModifiers{};
};

} // namespace keyloom
