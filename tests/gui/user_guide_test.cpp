// Help > User guide: the entry exists and the guide is found where the program looks.
#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/menu.h>

#include "WxTestApp.h"
#include "app/window_main.h"
#include "results/user_guide.h"

namespace {

TEST(UserGuide, HelpMenuOffersItAndTheBuiltProgramFindsIt) {
    KORVANE_REQUIRE_WX();
    auto* window = new MainWindow();
    wxMenuItem* item = window->GetMenuBar()->FindItem(wxID_HELP);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetItemLabelText(), "User guide");
    EXPECT_EQ(window->GetMenuBar()->GetMenu(window->GetMenuBar()->FindMenu("Help"))->FindItem(wxID_HELP), item);
    korvane::testing::destroyNow(window);

    // An installed program finds it under share/doc, a program from the build tree in the sources.
    const auto candidates = userGuideCandidates("/opt/korvane/bin/korvane");
    ASSERT_GE(candidates.size(), 2u);
    EXPECT_EQ(candidates[0], "/opt/korvane/share/doc/korvane/user-guide.md");
    EXPECT_EQ(candidates[1], "/opt/korvane/bin/docs/user-guide.md");
    const wxString found = findUserGuide("/nonexistent/bin/korvane");
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(wxFileName::FileExists(found));
    EXPECT_TRUE(found.EndsWith("docs/user-guide.md"));
}

}  // namespace
