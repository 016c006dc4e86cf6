// Start-up and shutdown of the main window: the refusal without a recording
// device, the window's first appearance, the saved settings read back, saves
// that fail, and close requests while modal dialogs or messages are up.

#include <algorithm>

#include <wx/dialog.h>
#include <wx/statusbr.h>
#include <wx/timer.h>

#include "GuiTestSupport.h"
#include "app/logic/MainWindowRules.h"
#include "app/logic/WindowLayout.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndLifecycle = WindowTest;

TEST_F(TunerWndLifecycle, NoDeviceShowsTheMessageAndNoWindow) {
    Recorder::TestCaptureDevice::Settings settings;
    settings.deviceNames.clear();
    device = std::make_shared<Recorder::TestCaptureDevice>(settings);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Create());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string(MainWindowRules::NoDeviceConsoleLine()) + "\n");
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_EQ(hooks->messages[0].text, MainWindowRules::NoDeviceMessage);
    EXPECT_EQ(hooks->messages[0].caption, MainWindowRules::NoDeviceCaption);
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));  // nothing written
}

// What the saved file holds after the first start: RealBinary.
TEST_F(TunerWndLifecycle, FirstStartOpensSmallAtTheTopLeftCorner) {
    Start();
    PumpFor(100ms);
    EXPECT_EQ(w->GetTitle(), "Zelvo Tuner 1");
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 440.000");
    // 285 high with the proportional width, which is also the smallest size.
    const int w285 = ZelvoLayout::WidthForHeight(w->CurrentOverhead(), 285);
    EXPECT_EQ(w->GetRect(), wxRect(1, 1, w285, 285));
    EXPECT_EQ(w->GetMinSize(), wxSize(w285, 285));
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), (NoteSet{24, 36, 48, 60, 72, 84, 96, 108}));
    for (int id : {200, 201}) {  // the hidden note and level controls
        ASSERT_NE(w->FindWindow(id), nullptr) << id;
        EXPECT_FALSE(w->FindWindow(id)->IsShown()) << id;
    }
}

TEST_F(TunerWndLifecycle, SettingsAreReadAtStartAndTheSavedPlaceIsRestored) {
    WriteWholeFile(dir.Path() / "tuner_stretch.xml.tmp-Ab12Cd", "<StretchList");  // a killed save's
    WriteWholeFile(dir.Path() / "notes.xml.tmp-Ab12Cd", "kept");
    ConfigRecord config;
    config.MiddleA = 442.0f;
    config.Pitch = 2;
    config.NoiseFloor = -45.0f;
    config.Smooth = false;
    config.TunerPosLeft = 200;
    config.TunerPosTop = 150;
    config.TunerPosRight = 900;
    config.TunerPosBottom = 650;
    SaveSettings(config);
    Start();
    PumpFor(100ms);
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 442.000, TRANS: +2");
    EXPECT_FLOAT_EQ(w->EnergyIndicator()->floorPosition, 0.25f);
    EXPECT_FALSE(w->FineIndicator()->smoothing);
    // The width follows the proportion, not the saved right edge.
    EXPECT_EQ(w->GetRect(), wxRect(200, 150, ZelvoLayout::WidthForHeight(w->CurrentOverhead(), 500), 500));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "tuner_stretch.xml.tmp-Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "notes.xml.tmp-Ab12Cd"));
}

// A directory where the configuration file should be cannot be replaced; the
// message names the file and its folder, even one whose name is not UTF-8.
TEST_F(TunerWndLifecycle, AFileThatCannotBeSavedIsReported) {
    for (const char* folder : {"", "Stimmung-\xE9t\xE9"}) {
        settingsDirectory = dir.Path() / folder;
        std::filesystem::create_directories(settingsDirectory / "tuner_config.xml");
        hooks->messages.clear();
        Start();
        CloseWindow();
        ASSERT_EQ(hooks->messages.size(), 1u);
        const wxString& text = hooks->messages[0].text;
        EXPECT_TRUE(text.Contains("tuner_config.xml")) << text;
        EXPECT_TRUE(text.Contains("Folder: " + wxString::FromUTF8(dir.Path().string()))) << text;
        EXPECT_TRUE(text.Contains(*folder ? "/Stimmung-" : "")) << text;
        EXPECT_TRUE(hooks->messages[0].style & wxICON_EXCLAMATION);
    }
}

// A close by a shutdown signal cannot wait for a click: a failed save goes to
// stderr and the exit status, whether the signal started the close or came
// while the close box's failure message was up.
TEST_F(TunerWndLifecycle, ASignalCloseReportsAFailedSaveOnStderrWithStatusOne) {
    std::filesystem::create_directory(dir.Path() / "tuner_config.xml");
    for (const bool messageFirst : {false, true}) {
        SCOPED_TRACE(messageFirst ? "signal during the message" : "close by the signal");
        ownMessages = messageFirst;  // the window shows its own modal message
        hooks->messages.clear();
        hooks->exitStatus = 0;
        Start();
        PumpFor(100ms);
        testing::internal::CaptureStderr();
        bool messageWasOpen = false;
        wxTimer signal;
        signal.Bind(wxEVT_TIMER, [&, window = w](wxTimerEvent&) {
            for (wxWindow* top : wxTopLevelWindows)
                messageWasOpen = messageWasOpen || top->IsKindOf(wxCLASSINFO(wxDialog));
            window->CloseForSignal();
        });
        if (messageFirst) {
            signal.StartOnce(500);
            w->Close();  // returns once the signal has ended the message
        } else {
            w->CloseForSignal();
        }
        EXPECT_TRUE(PumpUntil([&] { return wxTopLevelWindows.IsEmpty(); }, 8000ms));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(hooks->messages.empty());
        EXPECT_EQ(messageWasOpen, messageFirst);
        EXPECT_EQ(hooks->exitStatus, 1);
        EXPECT_NE(err.find("zelvo-tuner: Unable to save"), std::string::npos) << err;
        EXPECT_NE(err.find("tuner_config.xml"), std::string::npos) << err;
    }
}

// A close request (what SIGTERM turns into) while modal dialogs are open:
// they end, innermost first, as their Cancel would; then the window closes
// and saves. Depth 0: the window's own message that the recording cannot
// start; otherwise that many nested dialogs.
TEST_F(TunerWndLifecycle, ACloseRequestEndsEveryOpenDialogThenClosesAndSaves) {
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
        // Opens `remaining` nested dialogs; the innermost one sends the close request.
        std::function<void(wxWindow*, int)> open = [&](wxWindow* parent, int remaining) {
            wxDialog dialog(parent, wxID_ANY, "A dialog");
            wxTimer rescue;  // should the close request not end it
            rescue.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { dialog.EndModal(wxID_ABORT); });
            rescue.StartOnce(4000);
            dialog.CallAfter([&, remaining] {
                if (remaining > 1) return open(&dialog, remaining - 1);
                closeSent = true;
                window->Close();
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
