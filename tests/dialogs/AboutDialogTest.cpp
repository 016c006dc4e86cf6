// The About box through its real controls: its texts, and its link's colour
// and underline as the pointer comes and goes and after opens that succeed
// or fail.

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/stattext.h>
#include <wx/tooltip.h>
#include <wx/uiaction.h>

#include "GuiPump.h"
#include "dialogs/AboutDialog.h"

using namespace std::chrono_literals;

namespace {

const std::string Address = "file:///usr/share/zelvo-tuner/manual/Intro.html";

wxColour Colour(LinkRgb rgb) {
    return {rgb.r, rgb.g, rgb.b};
}

void Send(wxWindow& link, wxEventType type, wxPoint at = {3, 3}) {
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(&link);
    link.GetEventHandler()->ProcessEvent(event);
}

}  // namespace

TEST(AboutDialog, TextsAndALinkThatFollowsThePointerAndTheOpens) {
    std::vector<std::string> opened;
    bool opens = false;
    CAboutDialog dialog(
        nullptr, Address,
        [&](const std::string& address) {
            opened.push_back(address);
            return opens;
        },
        ProgramVersion{2, 5, ""}, "Dec 6 2026");
    dialog.Show();
    PumpFor(100ms);
    EXPECT_EQ(dialog.GetId(), 144);
    EXPECT_EQ(dialog.GetTitle(), "About Zelvo Tuner 2.05");
    EXPECT_EQ(dynamic_cast<wxStaticText&>(*dialog.FindWindow(CAboutDialog::VersionTextId)).GetLabel(),
              "Version: 2.05\nBuild: Dec 6 2026");
    CHyperLink& link = *dialog.Link();
    ASSERT_NE(link.GetToolTip(), nullptr);
    EXPECT_EQ(link.GetToolTip()->GetTip(), Address);
    EXPECT_EQ(link.GetSize(), link.GetBestSize());  // sized to its text, within the dialog
    EXPECT_TRUE(dialog.GetClientRect().Contains(link.GetRect()));
    EXPECT_EQ(link.GetForegroundColour(), Colour(HyperLinkModel::LinkColour));

    // The real pointer over the link.
    wxUIActionSimulator sim;
    sim.MouseMove(link.GetScreenRect().GetPosition() + wxPoint(3, 3));
    ASSERT_TRUE(PumpUntil([&] { return link.Model().Hovered(); }, 2000ms));
    EXPECT_EQ(link.GetForegroundColour(), Colour(HyperLinkModel::HoverColour));
    EXPECT_TRUE(link.GetFont().GetUnderlined());

    Send(link, wxEVT_LEFT_UP, {-5, -5});  // released outside: nothing opens
    EXPECT_TRUE(opened.empty());
    Send(link, wxEVT_LEFT_UP);  // a failed open leaves the link unvisited
    EXPECT_EQ(opened, std::vector<std::string>{Address});
    EXPECT_EQ(link.GetForegroundColour(), Colour(HyperLinkModel::LinkColour));
    EXPECT_FALSE(link.GetFont().GetUnderlined());
    opens = true;
    Send(link, wxEVT_ENTER_WINDOW);
    Send(link, wxEVT_LEFT_UP);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(link.GetForegroundColour(), Colour(HyperLinkModel::VisitedColour));
}

TEST(AboutDialog, EscapeEndsItLikeOk) {
    CAboutDialog dialog(nullptr, Address, [](const std::string&) { return true; });
    dialog.CallAfter([&] {
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        escape.SetEventObject(&dialog);
        dialog.GetEventHandler()->ProcessEvent(escape);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
}
