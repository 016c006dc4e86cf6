// Start-up and shutdown of the main window: the refusal without a recording
// device, the window's first appearance, and the files written on close.

#include <gtest/gtest.h>

#include <wx/dialog.h>
#include <wx/statusbr.h>
#include <wx/timer.h>

#include "GuiTestSupport.h"
#include "app/TunerWnd.h"
#include "app/logic/WindowLayout.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"

using namespace GuiTest;
using namespace std::chrono_literals;

TEST(TunerWndLifecycle, NoDeviceShowsTheMessageAndNoWindow) {
    TempDirectory dir;
    Recorder::TestCaptureDevice::Settings settings;
    settings.deviceNames.clear();
    WindowUnderTest ui(std::make_shared<Recorder::TestCaptureDevice>(settings), dir.Path());
    EXPECT_FALSE(ui.Create());
    ASSERT_EQ(ui.hooks->messages.size(), 1u);
    EXPECT_EQ(ui.hooks->messages[0].text,
              "Zelvo Tuner was unable to find any usable recording device on this computer.  "
              "To use this program a 16-bit sound card must be installed");
    EXPECT_EQ(ui.hooks->messages[0].caption, "Error: No sound card found");
    EXPECT_TRUE(ui.hooks->messages[0].style & wxICON_EXCLAMATION);
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));  // nothing written
}

TEST(TunerWndLifecycle, FirstStartOpensSmallAtTheTopLeftCorner) {
    TempDirectory dir;
    auto device = ToneDevice(440.0);
    WindowUnderTest ui(device, dir.Path());
    ASSERT_TRUE(ui.Create());
    CTunerWnd* w = ui.Window();
    PumpFor(100ms);

    EXPECT_EQ(w->GetTitle(), "Zelvo Tuner 1");
    EXPECT_EQ(w->GetStatusBar()->GetFieldsCount(), 1);
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 440.000");
    // Placed at (1, 1), 285 high, with the proportional width, which is also
    // the smallest size; the largest keeps the proportion.
    const int w285 = ZelvoLayout::WidthForHeight(w->CurrentOverhead(), 285);
    EXPECT_EQ(w->GetRect(), wxRect(1, 1, w285, 285));
    EXPECT_EQ(w->GetMinSize(), wxSize(w285, 285));
    const wxSize maximum = w->GetMaxSize();
    EXPECT_GT(maximum.y, 285);
    EXPECT_LE(std::abs(maximum.x - ZelvoLayout::WidthForHeight(w->CurrentOverhead(), maximum.y)), 2);

    // Panes by their fractions of the pane area, with their ids.
    const wxSize area = w->GetClientSize();
    const auto layout = ZelvoLayout::ComputePaneLayout(area.x, area.y);
    const struct {
        wxWindow* pane;
        ZelvoLayout::PaneRect rect;
        int id;
    } panes[] = {{w->EnergyIndicator(), layout.energy, 0},
                 {w->FineIndicator(), layout.fine, 1},
                 {w->GlobalIndicator(), layout.global, 3}};
    for (const auto& p : panes) {
        EXPECT_EQ(p.pane->GetRect(), wxRect(p.rect.x, p.rect.y, p.rect.width, p.rect.height)) << p.id;
        EXPECT_EQ(p.pane->GetId(), p.id);
    }
    EXPECT_FLOAT_EQ(w->EnergyIndicator()->floorPosition, 0.5f);
    EXPECT_TRUE(w->FineIndicator()->smoothing);
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), (NoteSet{24, 36, 48, 60, 72, 84, 96, 108}));
    // The hidden note and level controls.
    for (int id : {200, 201}) {
        ASSERT_NE(w->FindWindow(id), nullptr) << id;
        EXPECT_FALSE(w->FindWindow(id)->IsShown()) << id;
    }
    // Display Rate Fast, recording from the preferred device.
    EXPECT_EQ(w->Settings().config.Rate, 2);
    ASSERT_TRUE(PumpUntil([&] { return w->Pipeline().RecorderStatus() == 1; }, 2000ms));
    EXPECT_EQ(device->LastDeviceId(), Recorder::WaveMapperDeviceId);
    EXPECT_EQ(device->LastFormat().sampleRate, 11025);
}

TEST(TunerWndLifecycle, ClosingWritesTheFourFiles) {
    TempDirectory dir;
    wxRect rect;
    {
        WindowUnderTest ui(ToneDevice(440.0), dir.Path());
        ASSERT_TRUE(ui.Create());
        PumpFor(300ms);
        rect = ui.Window()->GetRect();
        ui.Close();
    }
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());

    // The configuration is the default record with the window's rectangle,
    // byte for byte as SaveConfig writes it.
    ConfigRecord expected;
    expected.TunerPosLeft = rect.x;
    expected.TunerPosTop = rect.y;
    expected.TunerPosRight = rect.x + rect.width;
    expected.TunerPosBottom = rect.y + rect.height;
    TempDirectory reference;
    ASSERT_TRUE(SaveConfig(expected, reference.Path() / "tuner_config.xml"));
    EXPECT_EQ(ReadFile(dir.Path() / "tuner_config.xml"),
              ReadFile(reference.Path() / "tuner_config.xml"));
    EXPECT_EQ(ReadFile(dir.Path() / "tuner_config.xml"), ConfigDocumentText(expected));
    EXPECT_EQ(ReadFile(dir.Path() / "tuner_presets.xml"), PresetDocumentText(PresetList{}));
    EXPECT_EQ(ReadFile(dir.Path() / "tuner_temperament.xml"),
              TemperamentDocumentText(TemperamentList{}));
    EXPECT_EQ(ReadFile(dir.Path() / "tuner_stretch.xml"), StretchDocumentText(StretchList{}));
}

TEST(TunerWndLifecycle, SettingsAreReadAtStartAndTheSavedPlaceIsRestored) {
    TempDirectory dir;
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

    WindowUnderTest ui(ToneDevice(440.0), dir.Path());
    ASSERT_TRUE(ui.Create());
    CTunerWnd* w = ui.Window();
    PumpFor(100ms);
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 442.000, TRANS: +2");
    EXPECT_FLOAT_EQ(w->EnergyIndicator()->floorPosition, 0.25f);
    EXPECT_FALSE(w->FineIndicator()->smoothing);
    // The width follows the proportion, not the saved right edge.
    EXPECT_EQ(w->GetRect(),
              wxRect(200, 150, ZelvoLayout::WidthForHeight(w->CurrentOverhead(), 500), 500));
}

TEST(TunerWndLifecycle, AFileThatCannotBeSavedIsReported) {
    TempDirectory dir;
    // A directory where the configuration file should be: it cannot be
    // replaced, the other three files can.
    std::filesystem::create_directory(dir.Path() / "tuner_config.xml");
    WindowUnderTest ui(ToneDevice(440.0), dir.Path());
    ASSERT_TRUE(ui.Create());
    PumpFor(100ms);
    ui.Close();
    ASSERT_EQ(ui.hooks->messages.size(), 1u);
    const ShownMessage& m = ui.hooks->messages[0];
    EXPECT_TRUE(m.text.Contains("tuner_config.xml"));
    EXPECT_TRUE(m.text.Contains(wxString::FromUTF8(dir.Path().string())));
    EXPECT_TRUE(m.style & wxICON_EXCLAMATION);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "tuner_config.xml"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "tuner_presets.xml"));
}

TEST(TunerWndLifecycle, ACloseRequestEndsAnOpenMessageAndStillSaves) {
    TempDirectory dir;
    Recorder::TestCaptureDevice::Settings settings;
    settings.fault = Recorder::TestCaptureDevice::Fault::FailOpen;
    TunerWndOptions options;
    options.settingsDirectory = dir.Path();
    options.captureDevice = std::make_shared<Recorder::TestCaptureDevice>(settings);
    // No message hook: the window shows its own modal message when the
    // recording cannot start.
    auto* window = new CTunerWnd;
    ASSERT_TRUE(window->Create(options));
    window->Show();
    // A close request arrives while that message is up, as SIGTERM does.
    wxTimer closer;
    bool closeSent = false;
    bool messageWasOpen = false;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* top : wxTopLevelWindows)
            messageWasOpen = messageWasOpen || top->IsKindOf(wxCLASSINFO(wxDialog));
        closeSent = true;
        window->Close();
    });
    closer.StartOnce(800);
    EXPECT_TRUE(PumpUntil([&] { return closeSent && wxTopLevelWindows.IsEmpty(); }, 8000ms));
    EXPECT_TRUE(messageWasOpen);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "tuner_config.xml"));
}
