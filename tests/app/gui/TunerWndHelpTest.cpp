// The Help menu: F1 shows the manual at its start page, the About box opens
// from its item, and the web-address command opens the manual's start page
// the way the About box's link does.

#include <wx/frame.h>
#include <wx/uiaction.h>

#include "GuiTestSupport.h"
#include "app/logic/CommandIds.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/logic/ManualAddress.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndHelp = WindowTest;

namespace {

bool ShowsStartPage(const CTunerWnd& w) {
    return w.HelpViewer().Frame() && w.HelpViewer().Frame()->IsShown() &&
           w.HelpViewer().OpenedPage().EndsWith(ManualAddress::StartPage);
}

}  // namespace

TEST_F(TunerWndHelp, F1ShowsTheManualAtItsStartPage) {
    Start();
    w->Raise();
    wxUIActionSimulator sim;
    // Without a window manager the keyboard follows the pointer.
    sim.MouseMove(w->GetScreenRect().GetPosition() + wxPoint(40, 80));
    PumpFor(100ms);
    sim.Char(WXK_F1);
    ASSERT_TRUE(PumpUntil([&] { return ShowsStartPage(*w); }, 3000ms));
    EXPECT_EQ(w->HelpViewer().Frame()->GetTitle(), "Zelvo Tuner Help: Getting started");
    EXPECT_TRUE(hooks->messages.empty());

    // Asked again after the user moved on, it comes back to the start page
    // in the same window.
    wxFrame* first = w->HelpViewer().Frame();
    ASSERT_TRUE(w->HelpViewer().Frame());
    Command(CommandId::HelpContents);
    EXPECT_TRUE(PumpUntil([&] { return ShowsStartPage(*w); }, 1000ms));
    EXPECT_EQ(w->HelpViewer().Frame(), first);
}

TEST_F(TunerWndHelp, AMissingManualIsReported) {
    helpBook = dir / "nowhere.hhp";
    Start();
    Command(CommandId::HelpContents);
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_TRUE(hooks->messages[0].text.Contains("manual could not be opened"));
    EXPECT_EQ(w->HelpViewer().Frame(), nullptr);
}

TEST_F(TunerWndHelp, WebAddressCommandOpensTheManualsStartPage) {
    Start();
    for (const bool opens : {false, true}) {
        hooks->addressOpens = opens;
        Command(CommandId::OpenWebSite);
    }
    ASSERT_EQ(hooks->openedAddresses.size(), 2u);
    // The build tree's manual, since none is installed where the build
    // would put it.
    const std::filesystem::path page = ManualAddress::LocalPath(hooks->openedAddresses[0]);
    EXPECT_TRUE(std::filesystem::is_regular_file(page)) << hooks->openedAddresses[0];
    EXPECT_EQ(page.filename(), ManualAddress::StartPage);
    EXPECT_EQ(hooks->openedAddresses[1], hooks->openedAddresses[0]);
    EXPECT_TRUE(hooks->messages.empty());  // a failed open shows nothing
}

TEST_F(TunerWndHelp, AboutOpensFromItsItemAndItsLinkOpensTheManual) {
    Start();
    wxString title;
    std::string linkAddress;
    w->CallAfter([&] {
        auto* about = dynamic_cast<CAboutDialog*>(wxWindow::FindWindowById(CAboutDialog::DialogId));
        ASSERT_NE(about, nullptr);
        title = about->GetTitle();
        linkAddress = about->Link()->Address();
        about->Link()->Follow();
        about->EndModal(wxID_OK);
    });
    Command(CommandId::About);
    EXPECT_TRUE(title.StartsWith("About Zelvo Tuner "));
    EXPECT_EQ(linkAddress, w->ManualWebAddress());
    EXPECT_EQ(hooks->openedAddresses, std::vector<std::string>{linkAddress});
}
