#include "keys/EditorChords.h"

namespace keyloom {

namespace {

constexpr EditorChord kChords[] = {
    {"Alt+N", "runs New"},
    {"Alt+O", "runs Open"},
    {"Alt+S", "runs Save"},
    {"Alt+A", "runs Save As"},
    {"Alt+P", "runs Properties"},
    {"Alt+D", "runs Download"},
    {"Alt+T", "runs Test"},
    {"Alt+H", "runs Help"},
    {"Alt+L", "runs Key Labels"},
    {"Alt+W", "runs Shortcut"},
    {"Alt+Backspace", "runs Undo"},
    {"Alt+Y", "runs Redo"},
    {"Alt+I", "runs Type Text"},
    {"Alt+X", "runs Print"},
    {"Alt+1", "shows Level 1"},
    {"Alt+2", "shows Level 2"},
    {"Alt+Left", "selects the key to the left"},
    {"Alt+Right", "selects the key to the right"},
    {"Alt+Up", "selects the key above"},
    {"Alt+Down", "selects the key below"},
    {"Alt+E", "goes to the Description box"},
    {"Alt+R", "turns auto-repeat on or off"},
    {"Alt+M", "opens the Mode list"},
    {"Alt+K", "opens the key options menu"},
    {"Alt+F", "goes to Find a code"},
    {"Alt+V", "shows or hides descriptions on keys"},
};

} // namespace

std::span<const EditorChord> EditorChords() { return kChords; }

} // namespace keyloom
