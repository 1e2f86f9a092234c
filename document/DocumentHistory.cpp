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

std::optional<HistoryState> DocumentHistory::Undo(const KeypadDocument& current, const HistoryView& view) {
    if (m_undo.empty())
        return std::nullopt;
    HistoryState state = std::move(m_undo.back());
    m_undo.pop_back();
    m_redo.push_back({current, view});
    --m_position;
    return state;
}

std::optional<HistoryState> DocumentHistory::Redo(const KeypadDocument& current, const HistoryView& view) {
    if (m_redo.empty())
        return std::nullopt;
    HistoryState state = std::move(m_redo.back());
    m_redo.pop_back();
    m_undo.push_back({current, view});
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
