// A close request (what SIGTERM turns into) while modal dialogs are open over
// the main window: they end, innermost first, as their Cancel would; then the
// window closes and saves its files.

#include <algorithm>
#include <functional>

#include <wx/dialog.h>
#include <wx/timer.h>

#include "GuiTestSupport.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndModalClose = WindowTest;

TEST_F(TunerWndModalClose, ACloseRequestEndsEveryOpenDialogThenClosesAndSaves) {
    // Depth 0: the window's own message that the recording cannot start;
    // otherwise that many nested dialogs.
    for (int depth : {0, 2}) {
        SCOPED_TRACE(depth);
        std::filesystem::remove(dir.Path() / "tuner_config.xml");
        Recorder::TestCaptureDevice::Settings failing;
        failing.fault = Recorder::TestCaptureDevice::Fault::FailOpen;
        device = depth == 0 ? std::make_shared<Recorder::TestCaptureDevice>(failing) : ToneDevice(440.0);
        ownMessages = depth == 0;
        Start();
        CTunerWnd* window = w;
        std::vector<int> results;
        bool closeSent = false;
        // Opens `remaining` nested dialogs; the innermost one, once shown,
        // sends the close request.
        std::function<void(wxWindow*, int)> open = [&](wxWindow* parent, int remaining) {
            wxDialog dialog(parent, wxID_ANY, "A dialog");
            // Should the close request not end it, the test ends it itself.
            wxTimer rescue;
            rescue.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { dialog.EndModal(wxID_ABORT); });
            rescue.StartOnce(4000);
            dialog.CallAfter([&, remaining] {
                if (remaining > 1) {
                    open(&dialog, remaining - 1);
                } else {
                    closeSent = true;
                    window->Close();
                }
            });
            results.push_back(dialog.ShowModal());
        };
        // The message is up by the time this fires; it counts as cancelled.
        wxTimer closer;
        closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            for (wxWindow* top : wxTopLevelWindows)
                if (top->IsKindOf(wxCLASSINFO(wxDialog))) results.push_back(wxID_CANCEL);
            closeSent = true;
            window->Close();
        });
        if (depth == 0)
            closer.StartOnce(800);
        else
            window->CallAfter([&] { open(window, depth); });
        EXPECT_TRUE(PumpUntil([&] { return closeSent && wxTopLevelWindows.IsEmpty(); }, 8000ms));
        EXPECT_EQ(results, std::vector<int>(std::max(depth, 1), wxID_CANCEL));
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / "tuner_config.xml"));
    }
}
