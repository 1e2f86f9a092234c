#include "document/DocumentHistory.h"

#include <utility>

namespace keyloom {

void DocumentHistory::Record(KeypadDocument before, const HistoryView& view) {
    if (m_capacity == 0)
        return;
    // A change made after an undo forgets the states it undid, the saved one among them.
    if (!m_redo.empty() && m_saved && *m_saved > m_position)
        m_saved.reset();
    m_redo.clear();
    if (m_undo.size() == m_capacity)
        m_undo.pop_front();
    m_undo.push_back({std::move(before), view});
    ++m_position;
}

std::optional<HistoryState> DocumentHistory::Step(std::deque<HistoryState>& from, std::deque<HistoryState>& to,
                                                  const KeypadDocument& current, const HistoryView& view) {
    if (from.empty())
        return std::nullopt;
    HistoryState state = std::move(from.back());
    from.pop_back();
    to.push_back({current, view});
    return state;
}

std::optional<HistoryState> DocumentHistory::Undo(const KeypadDocument& current, const HistoryView& view) {
    std::optional<HistoryState> state = Step(m_undo, m_redo, current, view);
    if (state)
        --m_position;
    return state;
}

std::optional<HistoryState> DocumentHistory::Redo(const KeypadDocument& current, const HistoryView& view) {
    std::optional<HistoryState> state = Step(m_redo, m_undo, current, view);
    if (state)
        ++m_position;
    return state;
}

void DocumentHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_position = 0;
    m_saved = 0;
}

} // namespace keyloom
