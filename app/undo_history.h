#pragma once
// The undo and redo history of the main window: snapshots of the project, the first of
// which is where the history started and cannot be undone. Consecutive changes of one
// edit of one field make one step; typing a field back to where its edit began removes
// the step and brings back the steps to redo that it had set aside.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "app/kvp_project.h"

class UndoHistory {
public:
    explicit UndoHistory(std::size_t limit) : m_limit(limit) {}

    // The history starts again from this state.
    void start(const kvnProjectEvent& initial);
    // A change of the project to event's state by edit (0 for a change outside any
    // field edit). False when the state is the current step's: nothing changes.
    bool record(const kvnProjectEvent& event, std::uint64_t edit);

    bool canUndo() const { return m_index >= 0; }
    bool canRedo() const { return m_index < static_cast<int>(m_steps.size()) - 2; }
    // The state Undo restores (only when canUndo), and the state the history stands at.
    const kvnProjectEvent& undoTarget() const { return m_steps[static_cast<std::size_t>(m_index)]; }
    const kvnProjectEvent& current() const { return m_steps[static_cast<std::size_t>(m_index + 1)]; }
    // Before a state is restored: the edit that made the newest step is over, and the steps
    // it set aside are forgotten, so that restoring records nothing as part of that edit.
    void endStep();
    // Undo: after the undo target is restored. Redo: before current() is restored.
    void stepBack() { --m_index; }
    void stepForward() { ++m_index; }

    // The index of the step Undo takes back (-1 for none) and the number of snapshots.
    int index() const { return m_index; }
    std::size_t size() const { return m_steps.size(); }

private:
    std::size_t m_limit;
    std::deque<kvnProjectEvent> m_steps;
    int m_index = -1;
    std::uint64_t m_lastEntryEdit = 0;         // the edit that made the newest step
    std::deque<kvnProjectEvent> m_setAsideRedo;  // the steps to redo that step replaced
};
