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

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = new CAboutDialog(
            nullptr, Address,
            [this](const std::string& address) {
                opened.push_back(address);
                return opens;
            },
            ProgramVersion{2, 5, ""}, "Dec 6 2026");
        dialog->Show();
        PumpFor(100ms);
    }
    void TearDown() override {
        dialog->Destroy();
        PumpFor(20ms);
    }

    void Send(wxEventType type) {
        wxMouseEvent event(type);
        const wxSize size = dialog->Link()->GetClientSize();
        event.SetPosition(wxPoint(size.x / 2, size.y / 2));
        event.SetEventObject(dialog->Link());
        dialog->Link()->GetEventHandler()->ProcessEvent(event);
    }

    CAboutDialog* dialog = nullptr;
    std::vector<std::string> opened;
    bool opens = true;
};

}  // namespace

TEST_F(AboutDialogTest, TitleVersionAndLink) {
    EXPECT_EQ(dialog->GetId(), 144);
    EXPECT_EQ(dialog->GetTitle(), "About Zelvo Tuner 2.05");
    auto* version = dynamic_cast<wxStaticText*>(dialog->FindWindow(CAboutDialog::VersionTextId));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->GetLabel(), "Version: 2.05\nBuild: Dec 6 2026");
    CHyperLink* link = dialog->Link();
    EXPECT_EQ(link->GetId(), CAboutDialog::LinkId);
    EXPECT_EQ(link->Address(), Address);
    ASSERT_NE(link->GetToolTip(), nullptr);
    EXPECT_EQ(link->GetToolTip()->GetTip(), Address);
    // Sized to its text, and within the dialog.
    EXPECT_EQ(link->GetSize(), link->GetBestSize());
    EXPECT_TRUE(dialog->GetClientRect().Contains(link->GetRect()));
}

TEST_F(AboutDialogTest, LinkFollowsThePointerAndTheOpens) {
    CHyperLink* link = dialog->Link();
    EXPECT_EQ(link->GetForegroundColour(), Colour(HyperLinkModel::LinkColour));
    EXPECT_FALSE(link->GetFont().GetUnderlined());

    // The real pointer over the link.
    wxUIActionSimulator sim;
    sim.MouseMove(link->GetScreenRect().GetPosition() + wxPoint(3, 3));
    ASSERT_TRUE(PumpUntil([&] { return link->Model().Hovered(); }, 2000ms));
    EXPECT_EQ(link->GetForegroundColour(), Colour(HyperLinkModel::HoverColour));
    EXPECT_TRUE(link->GetFont().GetUnderlined());

    // A failed open leaves the link unvisited; the click takes the hover.
    opens = false;
    Send(wxEVT_LEFT_UP);
    EXPECT_EQ(opened, std::vector<std::string>{Address});
    EXPECT_EQ(link->GetForegroundColour(), Colour(HyperLinkModel::LinkColour));
    EXPECT_FALSE(link->GetFont().GetUnderlined());

    // Hovered again and opened: visited.
    Send(wxEVT_ENTER_WINDOW);
    EXPECT_EQ(link->GetForegroundColour(), Colour(HyperLinkModel::HoverColour));
    opens = true;
    Send(wxEVT_LEFT_UP);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(link->GetForegroundColour(), Colour(HyperLinkModel::VisitedColour));
    EXPECT_FALSE(link->GetFont().GetUnderlined());

    // Visited stays under a later hover and leave.
    Send(wxEVT_ENTER_WINDOW);
    EXPECT_EQ(link->GetForegroundColour(), Colour(HyperLinkModel::HoverColour));
    Send(wxEVT_LEAVE_WINDOW);
    EXPECT_EQ(link->GetForegroundColour(), Colour(HyperLinkModel::VisitedColour));
}

TEST_F(AboutDialogTest, AReleaseOutsideTheLinkOpensNothing) {
    wxMouseEvent release(wxEVT_LEFT_UP);
    release.SetPosition(wxPoint(-5, -5));
    dialog->Link()->GetEventHandler()->ProcessEvent(release);
    EXPECT_TRUE(opened.empty());
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
