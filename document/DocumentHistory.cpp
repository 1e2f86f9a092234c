#include "document/DocumentHistory.h"

#include <utility>

namespace keyloom {

void DocumentHistory::Record(KeypadDocument before, const HistoryView& view) {
    if (m_capacity == 0)
        return;
    // A change made after an undo forgets the states it undid.
    m_redo.clear();
    if (m_undo.size() == m_capacity)
        m_undo.pop_front();
    m_undo.push_back({std::move(before), view});
}

std::optional<HistoryState> DocumentHistory::Step(std::deque<HistoryState>& from, std::deque<HistoryState>& to,
                                                  const KeypadDocument& current) {
    if (from.empty())
        return std::nullopt;
    HistoryState state = std::move(from.back());
    from.pop_back();
    // Both sides of one change share the view it was made in.
    to.push_back({current, state.view});
    return state;
}

std::optional<HistoryState> DocumentHistory::Undo(const KeypadDocument& current) { return Step(m_undo, m_redo, current); }

std::optional<HistoryState> DocumentHistory::Redo(const KeypadDocument& current) { return Step(m_redo, m_undo, current); }

void DocumentHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
}

} // namespace keyloom
