// Start-up and shutdown of the main window: the refusal without a recording
// device, the window's first appearance, the saved settings read back, and a
// save that fails. (A close request during a message: TunerWndModalClose.)

#include <wx/dialog.h>
#include <wx/statusbr.h>

#include "GuiTestSupport.h"
#include "app/logic/MainWindowRules.h"
#include "app/logic/WindowLayout.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "persistence/ConfigFile.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndLifecycle = WindowTest;

TEST_F(TunerWndLifecycle, NoDeviceShowsTheMessageAndNoWindow) {
    Recorder::TestCaptureDevice::Settings settings;
    settings.deviceNames.clear();
    device = std::make_shared<Recorder::TestCaptureDevice>(settings);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Create());
    // The console line says where to look on Linux.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string(MainWindowRules::NoDeviceConsoleLine()) + "\n");
    EXPECT_NE(std::string(MainWindowRules::NoDeviceConsoleLine()).find("arecord -l"), std::string::npos);
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_EQ(hooks->messages[0].text,
              "Zelvo Tuner was unable to find any usable recording device on this computer.  "
              "To use this program a 16-bit sound card must be installed");
    EXPECT_EQ(hooks->messages[0].caption, "Error: No sound card found");
    EXPECT_TRUE(hooks->messages[0].style & wxICON_EXCLAMATION);
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));  // nothing written
}

// What the saved file holds after the first start is checked on the real
// program (RealBinary).
TEST_F(TunerWndLifecycle, FirstStartOpensSmallAtTheTopLeftCorner) {
    Start();
    PumpFor(100ms);
    EXPECT_EQ(w->GetTitle(), "Zelvo Tuner 1");
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 440.000");
    // Placed at (1, 1), 285 high, with the proportional width, which is also
    // the smallest size.
    const int w285 = ZelvoLayout::WidthForHeight(w->CurrentOverhead(), 285);
    EXPECT_EQ(w->GetRect(), wxRect(1, 1, w285, 285));
    EXPECT_EQ(w->GetMinSize(), wxSize(w285, 285));
    EXPECT_EQ((std::vector<int>{w->EnergyIndicator()->GetId(), w->FineIndicator()->GetId(),
                                w->GlobalIndicator()->GetId()}),
              (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), (NoteSet{24, 36, 48, 60, 72, 84, 96, 108}));
    for (int id : {200, 201}) {  // the hidden note and level controls
        ASSERT_NE(w->FindWindow(id), nullptr) << id;
        EXPECT_FALSE(w->FindWindow(id)->IsShown()) << id;
    }
    EXPECT_TRUE(PumpUntil([&] { return w->Pipeline().RecorderStatus() == 1; }, 2000ms));
}

TEST_F(TunerWndLifecycle, SettingsAreReadAtStartAndTheSavedPlaceIsRestored) {
    ConfigRecord config;
    config.MiddleA = 442.0f;
    config.Pitch = 2;
    config.NoiseFloor = -45.0f;
    config.Smooth = false;
    config.TunerPosLeft = 200;
    config.TunerPosTop = 150;
    config.TunerPosRight = 900;
    config.TunerPosBottom = 650;
    ASSERT_TRUE(SaveConfig(config, dir.Path() / "tuner_config.xml"));
    Start();
    PumpFor(100ms);
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 442.000, TRANS: +2");
    EXPECT_FLOAT_EQ(w->EnergyIndicator()->floorPosition, 0.25f);
    EXPECT_FALSE(w->FineIndicator()->smoothing);
    // The width follows the proportion, not the saved right edge.
    EXPECT_EQ(w->GetRect(), wxRect(200, 150, ZelvoLayout::WidthForHeight(w->CurrentOverhead(), 500), 500));
}

TEST_F(TunerWndLifecycle, AFileThatCannotBeSavedIsReported) {
    // A directory where the configuration file should be: it cannot be
    // replaced (the other files still are, see SettingsFiles).
    std::filesystem::create_directory(dir.Path() / "tuner_config.xml");
    Start();
    CloseWindow();
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_TRUE(hooks->messages[0].text.Contains("tuner_config.xml"));
    EXPECT_TRUE(hooks->messages[0].text.Contains(wxString::FromUTF8(dir.Path().string())));
    EXPECT_TRUE(hooks->messages[0].style & wxICON_EXCLAMATION);
}

TEST_F(TunerWndLifecycle, AFolderNameThatIsNotUtf8IsShownInTheSaveFailure) {
    settingsDirectory = dir.Path() / "Stimmung-\xE9t\xE9";  // Latin-1 bytes
    std::filesystem::create_directories(settingsDirectory / "tuner_config.xml");
    Start();
    CloseWindow();
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_TRUE(hooks->messages[0].text.Contains("tuner_config.xml"));
    EXPECT_TRUE(hooks->messages[0].text.Contains("Folder: " + wxString::FromUTF8(dir.Path().string())))
        << hooks->messages[0].text;
    EXPECT_TRUE(hooks->messages[0].text.Contains("/Stimmung-")) << hooks->messages[0].text;
}

TEST_F(TunerWndLifecycle, StartUpRemovesTheLeftoversOfAKilledSave) {
    WriteWholeFile(dir.Path() / "tuner_stretch.xml.tmp-Ab12Cd", "<StretchList");
    WriteWholeFile(dir.Path() / "notes.xml.tmp-Ab12Cd", "kept");
    Start();
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "tuner_stretch.xml.tmp-Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "notes.xml.tmp-Ab12Cd"));
}

// A close by a shutdown signal cannot wait for a click: a failed save goes to
// stderr and the exit status, whether the signal started the close or came
// while the close box's failure message was up.
TEST_F(TunerWndLifecycle, ASignalCloseReportsAFailedSaveOnStderrWithStatusOne) {
    for (const bool messageFirst : {false, true}) {
        SCOPED_TRACE(messageFirst ? "signal during the message" : "close by the signal");
        TempDirectory settingsDir;
        std::filesystem::create_directory(settingsDir.Path() / "tuner_config.xml");
        TunerWndOptions options;
        options.settingsDirectory = settingsDir.Path();
        options.captureDevice = ToneDevice(440.0);
        int messages = 0;
        // Without the hook the window shows its own modal message.
        if (!messageFirst) options.showMessage = [&](const wxString&, const wxString&, long) { ++messages; };
        int status = 0;
        options.setExitStatus = [&](int s) { status = s; };
        auto* window = new CTunerWnd;
        ASSERT_TRUE(window->Create(options));
        window->Show();
        PumpFor(100ms);

        testing::internal::CaptureStderr();
        bool messageWasOpen = false;
        wxTimer signal;
        signal.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            for (wxWindow* top : wxTopLevelWindows)
                messageWasOpen = messageWasOpen || top->IsKindOf(wxCLASSINFO(wxDialog));
            window->CloseForSignal();
        });
        if (messageFirst) {
            signal.StartOnce(500);
            window->Close();  // returns once the signal has ended the message
        } else {
            window->CloseForSignal();
        }
        EXPECT_TRUE(PumpUntil([&] { return wxTopLevelWindows.IsEmpty(); }, 8000ms));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(messages, 0);
        EXPECT_EQ(messageWasOpen, messageFirst);
        EXPECT_EQ(status, 1);
        EXPECT_NE(err.find("zelvo-tuner: Unable to save"), std::string::npos) << err;
        EXPECT_NE(err.find("tuner_config.xml"), std::string::npos) << err;
    }
}
