// Help > User guide: the guide the build puts beside the program opens in a window of
// the program through F1, with its first heading and its pictures, offline.
#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/html/htmlcell.h>
#include <wx/html/htmlwin.h>
#include <wx/menu.h>

#include "UserSimulation.h"
#include "app/window_main.h"
#include "results/user_guide.h"

namespace {

using namespace korvane::testing;

UserGuideWindow* openGuide() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* guide = dynamic_cast<UserGuideWindow*>(window); guide && !guide->IsBeingDeleted()) return guide;
    return nullptr;
}

// The largest cell without children on the page: a picture read from its file is
// hundreds of pixels wide, a missing one a small placeholder.
wxSize largestLeafCell(wxHtmlWindow* page) {
    wxSize largest;
    const wxHtmlContainerCell* root = page->GetInternalRepresentation();
    if (!root) return largest;
    for (wxHtmlTerminalCellsInterator it(root->GetFirstTerminal(), root->GetLastTerminal()); it; ++it)
        largest.IncTo(wxSize(it->GetWidth(), it->GetHeight()));
    return largest;
}

TEST(UserGuide, F1OpensTheGuideWithItsHeadingAndPictures) {
    KORVANE_REQUIRE_WX();
    // An installed program finds it under share/doc, a program from the build tree in the
    // docs folder the build copies beside it.
    const auto candidates = userGuideCandidates("/opt/korvane/bin/korvane");
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0], "/opt/korvane/share/doc/korvane/user-guide.md");
    EXPECT_EQ(candidates[1], "/opt/korvane/bin/docs/user-guide.md");

    auto* window = new MainWindow();
    window->Show();
    window->Raise();
    SimulatedUser user;
    user.settle();
    EXPECT_EQ(window->GetMenuBar()->FindItem(wxID_HELP)->GetItemLabelText(), "User guide");
    user.moveTo(window);
    user.key(WXK_F1);
    ASSERT_TRUE(runEventLoopUntil([] { return openGuide() != nullptr; }));
    UserGuideWindow* guide = openGuide();
    user.settle();
    EXPECT_TRUE(guide->IsShown());
    EXPECT_TRUE(guide->page()->ToText().Trim(false).StartsWith("Korvane user guide\n")) << guide->page()->ToText().Left(80);
    const wxSize picture = largestLeafCell(guide->page());
    EXPECT_GE(picture.x, 300);
    EXPECT_GE(picture.y, 150);
    EXPECT_LE(picture.x, guide->page()->GetClientSize().x);  // scaled to the page, not cut

    // F1 again brings the same window forward; Esc closes it.
    user.moveTo(window);
    user.key(WXK_F1);
    EXPECT_EQ(openGuide(), guide);
    user.moveTo(guide);
    user.key(WXK_ESCAPE);
    EXPECT_TRUE(runEventLoopUntil([] { return openGuide() == nullptr; }));
    destroyNow(window);
}

}  // namespace
