#include "results/result_window_list.h"

#include <wx/toplevel.h>

#include "results/result_window_frame.h"

#include <algorithm>

void ResultWindowList::add(wxTopLevelWindow* window) {
    if (!window || std::find(m_windows.begin(), m_windows.end(), window) != m_windows.end()) return;
    m_windows.push_back(window);
    presentResultWindow(window, m_projectName);
}

void ResultWindowList::remove(wxTopLevelWindow* window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
}

void ResultWindowList::closeAll() {
    while (!m_windows.empty()) {
        wxTopLevelWindow* window = m_windows.front();
        // Leaves the list first, so a window that refuses to close cannot loop forever.
        remove(window);
        window->Close(true);
    }
}

ResultWindowMembership::ResultWindowMembership(const std::shared_ptr<ResultWindowList>& list,
                                               wxTopLevelWindow* window)
    : m_list(list), m_window(window) {
    if (list) list->add(window);
}

ResultWindowMembership::~ResultWindowMembership() { leave(); }

void ResultWindowMembership::leave() {
    if (!m_member) return;
    m_member = false;
    if (auto list = m_list.lock()) list->remove(m_window);
}
