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
// changed the document records the state before it with the view it was made in; undo returns
// that state and keeps the current one for redo under the same view, so that redo too shows
// where the change was made; a new change forgets what could be redone.
class DocumentHistory {
public:
    static constexpr std::size_t kDefaultCapacity = 300;

    explicit DocumentHistory(std::size_t capacity = kDefaultCapacity) : m_capacity(capacity) {}

    // One command changed the document from before. The oldest state goes past the capacity.
    void Record(KeypadDocument before, const HistoryView& view);
    // The state to show instead of current, which redo gives back; nullopt when there is none.
    std::optional<HistoryState> Undo(const KeypadDocument& current);
    std::optional<HistoryState> Redo(const KeypadDocument& current);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }

    // New and Open: a fresh history.
    void Clear();

private:
    // Takes the last state of from, and keeps current in to.
    static std::optional<HistoryState> Step(std::deque<HistoryState>& from, std::deque<HistoryState>& to,
                                            const KeypadDocument& current);

    std::size_t m_capacity;
    std::deque<HistoryState> m_undo;
    std::deque<HistoryState> m_redo;
};

} // namespace keyloom
