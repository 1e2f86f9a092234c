#pragma once

#include "document/KeypadDocument.h"

#include <cstddef>
#include <deque>
#include <optional>

namespace keyloom {

// Where the user was when a state of the document was left: the key, the level and the
// selected cell, so that undo shows the change it takes back.
struct HistoryView {
    int key = 0;
    int level = 0;
    int cell = 0;
    bool operator==(const HistoryView&) const = default;
};

// A state of the document with the view it was seen in.
struct HistoryState {
    KeypadDocument document;
    HistoryView view;
};

// The states undo and redo walk through, kept whole: a document is about 16 KB, so a few hundred
// states cost a few MB and no command needs to know how to take itself back. A command that
// changed the document records the state before it; undo returns that state and keeps the
// current one for redo; a new change forgets what could be redone.
class DocumentHistory {
public:
    static constexpr std::size_t kDefaultCapacity = 300;

    explicit DocumentHistory(std::size_t capacity = kDefaultCapacity) : m_capacity(capacity) {}

    // One command changed the document from before. The oldest state goes past the capacity.
    void Record(KeypadDocument before, const HistoryView& view);
    // The state to show instead of current, which redo gives back; nullopt when there is none.
    std::optional<HistoryState> Undo(const KeypadDocument& current, const HistoryView& view);
    std::optional<HistoryState> Redo(const KeypadDocument& current, const HistoryView& view);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }

    // New and Open: a fresh history, at a saved (or new) state.
    void Clear();
    // The current state is the one in the file.
    void MarkSaved() { m_saved = m_position; }
    // Whether the current state is the one last saved or opened (a Modified flag to clear).
    bool atSavedState() const { return m_saved == m_position; }

private:
    // Takes the last state of from, and keeps current in to.
    static std::optional<HistoryState> Step(std::deque<HistoryState>& from, std::deque<HistoryState>& to,
                                            const KeypadDocument& current, const HistoryView& view);

    std::size_t m_capacity;
    std::deque<HistoryState> m_undo;
    std::deque<HistoryState> m_redo;
    // How many changes the current state is from the start, and the saved state's place: states
    // on one line of changes have one place each; a saved state that was redoable and was
    // forgotten has none.
    long m_position = 0;
    std::optional<long> m_saved = 0;
};

} // namespace keyloom
