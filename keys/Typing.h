#pragma once

#include "keys/KeyAdapter.h"

#include <cstddef>
#include <optional>

namespace keyloom {

// What a key typed into a macro grid does. The editor acts on it, and KeyTest shows it, so the
// two cannot tell different stories.
enum class TypingEffect {
    NotRecorded,
    Records,         // the codes of the Tag (a held modifier's press only once per stroke)
    RecordsModifier, // a modifier's release or press, as the macro's state at the selection decides
    MovesSelection,
    ErasesBefore,    // erases the cell before the selection
};

struct TypingStep {
    TypingEffect effect = TypingEffect::NotRecorded;
    int tag = 0;

    bool operator==(const TypingStep&) const = default;
};

// A press on the grid, as the key adapter hands it over.
TypingStep GridKeyDownStep(TypedKey key);
// A release on the grid.
TypingStep GridKeyUpStep(int keyCode);
// A release anywhere in the window: Tab's press moves the focus on, so Tab is recorded here.
TypingStep WindowKeyUpStep(int keyCode);

// The held-modifier flag (in modifier bit order) of a modifier that typing records itself: the
// typed Shift and Ctrl stand for the left-hand keys. Nothing for any other Tag.
std::optional<std::size_t> TypingHeldFlag(int tag);

} // namespace keyloom
