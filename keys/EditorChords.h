#pragma once

#include <span>

namespace keyloom {

// A key chord of the editor's main window and what it does there, in words that finish
// "the editor ..." ("runs Save As").
struct EditorChord {
    const char* keys; // as Qt's portable key sequence text: "Alt+A"
    const char* action;
};

// Every chord of the main window. A chord runs its command instead of recording its key, so the
// key test tells from here what the editor does with a key typed with Alt.
std::span<const EditorChord> EditorChords();

} // namespace keyloom
