#pragma once
// Starts the wxWidgets toolkit once for a test executable that shows windows. The
// toolkit needs a display: the test command runs the suites on a virtual display
// with a window manager (scripts/with-display.sh). A toolkit
// assertion fails the running test instead of opening a dialog.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <chrono>
#include <functional>
#include <thread>

namespace korvane::testing {

inline void failOnWxAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                           const wxString& msg) {
    ADD_FAILURE() << "wxWidgets assertion " << cond << " in " << func << " (" << file << ":" << line << "): " << msg;
}

// True when the toolkit runs; tests that need it assert on this.
inline bool startWx() {
    static const bool started = [] {
        static int argc = 1;
        static char name[] = "korvane-tests";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp());
        const bool entered = wxEntryStart(argc, argv);
        if (!entered) return false;
        wxSetAssertHandler(failOnWxAssert);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
        return wxTheApp->CallOnInit();
    }();
    return started;
}

#define KORVANE_REQUIRE_WX() ASSERT_TRUE(::korvane::testing::startWx()) << "the toolkit needs a display (scripts/with-display.sh)"

// Destroys a top-level window now (Destroy() only schedules it), so that it goes
// before the objects it refers to.
inline void destroyNow(wxWindow* window) {
    if (!window || !wxTheApp) return;
    window->Destroy();
    wxTheApp->ProcessIdle();
}

// Runs the queued events, as the event loop would between user actions.
inline void processEvents() {
    if (!wxTheApp) return;  // the toolkit never started; the test has failed already
    for (int i = 0; i < 20 && wxTheApp->HasPendingEvents(); ++i) wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessPendingEvents();
}

// Runs the event loop's work until done() holds or the time is up, as the event loop
// would while worker threads finish.
inline bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(120)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        processEvents();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    processEvents();
    return done();
}

}  // namespace korvane::testing
