#pragma once

#include "document/CellList.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QKeyEvent;

namespace keyloom {

// One key press or release as the key test lists it: what typing it into the editor's macro grid
// does, decided by the editor's own typing code.
struct KeyStroke {
    bool press = true;
    int tag = 0;                    // the key's Tag; 0 for a key the editor does not map
    std::vector<uint8_t> codes;     // the bytes the editor records; empty when it records none
    std::vector<std::string> names; // one per macro cell
    // When nothing is recorded: what the editor does instead ("moves the selection", "runs Save As").
    std::string action;
    ModifierState modifiersAfter = 0; // the modifier and Caps Lock state the next stroke starts from

    bool recorded() const { return !codes.empty(); }
};

// The stroke of a key event typed into the grid while the modifiers in held are down (they also
// name the cells: a letter or symbol shows its shifted name under Shift or Caps Lock); nothing
// for an auto-repeat release, which a keyboard held down does not send.
std::optional<KeyStroke> KeyStrokeOf(const QKeyEvent& event, ModifierState held);

// Every text a stroke's action may read.
std::vector<std::string> KeyStrokeActions();

// Codes as lowercase hex bytes separated by blanks ("e0 f0 75").
std::string HexText(const std::vector<uint8_t>& codes);

} // namespace keyloom
