#pragma once

#include "document/CellList.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QKeyEvent;

namespace keyloom {

// One key press or release as the key test lists it: the codes the editor's typing gives the key
// and their names as the macro grid shows them.
struct KeyStroke {
    bool press = true;
    int tag = 0;                    // the key's Tag; 0 for a key the editor does not map
    std::vector<uint8_t> codes;     // empty when nothing is recorded for this event
    std::vector<std::string> names; // one per macro cell
    ModifierState modifiersAfter = 0; // the modifier and Caps Lock state the next stroke starts from

    bool recorded() const { return !codes.empty(); }
};

// Whether the editor records a key on its release rather than its press: Menu and Print Screen,
// whose press Windows does not always deliver.
bool RecordedOnRelease(int tag);

// The bytes of a Tag's press: its make code, E0 first for an extended key; none for a key
// recorded on release.
std::vector<uint8_t> PressCodes(int tag);

// The bytes of a Tag's release: F0 before the make code, E0 F0 for an extended key. A key
// recorded on release gives its make code. Pause is the keypad's own code for a whole stroke and
// has no break code.
std::vector<uint8_t> ReleaseCodes(int tag);

// The stroke of a Tag pressed or released while the modifiers in held are down. The names are
// those of the macro grid, so a letter or symbol shows its shifted name under Shift or Caps Lock.
KeyStroke StrokeOfTag(int tag, bool press, ModifierState held);

// The stroke of a key event, mapped through the editor's key adapter and typing maps; nothing for
// an auto-repeat release, which a keyboard held down does not send.
std::optional<KeyStroke> KeyStrokeOf(const QKeyEvent& event, ModifierState held);

// Codes as lowercase hex bytes separated by blanks ("e0 f0 75").
std::string HexText(const std::vector<uint8_t>& codes);

} // namespace keyloom
