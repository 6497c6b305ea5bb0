#include "app/undo_history.h"

#include <iterator>

void UndoHistory::start(const kvnProjectEvent& initial) {
    m_steps.clear();
    m_steps.push_back(initial);
    m_index = -1;
    m_lastEntryEdit = 0;
    m_setAsideRedo.clear();
}

void UndoHistory::endStep() {
    m_lastEntryEdit = 0;
    m_setAsideRedo.clear();
}

bool UndoHistory::record(const kvnProjectEvent& event, std::uint64_t edit) {
    if (korvane::sameValues(event.state(), current().state())) return false;
    const auto current = static_cast<std::size_t>(m_index + 1);

    const bool newestIsCurrent = current + 1 == m_steps.size();
    const auto afterCurrent = m_steps.begin() + static_cast<std::ptrdiff_t>(current) + 1;
    if (edit != 0 && edit == m_lastEntryEdit && newestIsCurrent && current > 0) {
        // The same edit of the same field goes on: its step now ends here.
        m_steps.back() = event;
        if (korvane::sameValues(event.state(), m_steps[current - 1].state())) {
            // Typed back to where the edit began (a valid "1" on the way to a red "1,5"):
            // no step at all, and the steps to redo that the edit set aside are back.
            m_steps.pop_back();
            --m_index;
            m_lastEntryEdit = 0;
            m_steps.insert(m_steps.end(), m_setAsideRedo.begin(), m_setAsideRedo.end());
            m_setAsideRedo.clear();
            while (m_steps.size() > m_limit) m_steps.pop_back();
        }
    } else {
        m_setAsideRedo.assign(afterCurrent, m_steps.end());
        if (!newestIsCurrent) m_steps.erase(afterCurrent, m_steps.end());
        if (m_steps.size() >= m_limit) m_steps.pop_front();
        m_steps.push_back(event);
        m_index = static_cast<int>(m_steps.size()) - 2;
        m_lastEntryEdit = edit;
    }
    return true;
}
