#pragma once
// The result windows the compute panel has opened and not yet seen closed. The panel
// owns the list; every window keeps a weak reference to it and leaves it when it is
// destroyed, so a window that outlives the panel (during shutdown) finds no list and
// touches nothing.

#include <wx/string.h>

#include <memory>
#include <vector>

class wxTopLevelWindow;

class ResultWindowList {
public:
    // Joins a window and makes it a result window (presentResultWindow): its title names
    // the project the list's windows are computed for.
    void add(wxTopLevelWindow* window);
    void setProjectName(const wxString& name) { m_projectName = name; }
    void remove(wxTopLevelWindow* window);
    // Closes every window; each leaves the list as it goes.
    void closeAll();

    bool empty() const { return m_windows.empty(); }
    std::size_t size() const { return m_windows.size(); }
    const std::vector<wxTopLevelWindow*>& windows() const { return m_windows; }

private:
    std::vector<wxTopLevelWindow*> m_windows;
    wxString m_projectName;
};

// A window's membership of a list: joins at construction, leaves at destruction or
// earlier on request; a list that is gone is left alone.
class ResultWindowMembership {
public:
    ResultWindowMembership(const std::shared_ptr<ResultWindowList>& list, wxTopLevelWindow* window);
    ~ResultWindowMembership();
    ResultWindowMembership(const ResultWindowMembership&) = delete;
    ResultWindowMembership& operator=(const ResultWindowMembership&) = delete;

    void leave();
    // The list, for windows that open further windows into it (may be null).
    std::shared_ptr<ResultWindowList> list() const { return m_list.lock(); }

private:
    std::weak_ptr<ResultWindowList> m_list;
    wxTopLevelWindow* m_window;
    bool m_member = true;
};
