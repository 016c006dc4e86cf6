// Settings reaching the window through ApplySettings, and the Ctrl+S shortcut.

#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/uiaction.h>

#include "GuiTestSupport.h"
#include "app/logic/MainMenuModel.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "tuning/NoteTable.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndApply = WindowTest;

TEST_F(TunerWndApply, EachKindOfChangeDoesItsWorkAndOnlyCaptureRestarts) {
    Start(true);
    auto status = [&] { return w->GetStatusBar()->GetStatusText(0); };
    const ConfigRecord& piped = w->Pipeline().Config();
    const struct {
        const char* kind;
        std::function<void(SettingsFiles&)> edit;
        std::function<bool()> applied;  // holds as soon as ApplySettings returns
        int restarts;
    } cases[] = {
        {"tuning reference", [](SettingsFiles& s) { s.config.MiddleA = 442.0f, s.config.Pitch = 2; },
         [&] {
             return status() == "A4: 442.000, TRANS: +2" && w->GlobalIndicator()->GetTranspose() == 2 &&
                    w->Pipeline().GetNoteTable() == BuildNoteTable(StretchList{}, TemperamentList{}, 442.0f);
         },
         0},
        {"presets",
         [](SettingsFiles& s) {
             s.presets.entries = {{"Violin", ParseNoteList("G3,D4,A4,E5")}};
         },
         [&] {
             // Replaced in place: still the fourth entry of the Note menu.
             return w->GetMenuBar()->GetMenu(MainMenu::NoteMenuIndex)->GetMenuItemCount() == 4 &&
                    Item(3000) && Item(3000)->GetItemLabelText() == "Violin" &&
                    w->GlobalIndicator()->GetNotes() == ParseNoteList("G3,D4,A4,E5");
         },
         0},
        {"capture", [](SettingsFiles& s) { s.config.Format = 0x40; },  // 22050 Hz, 16 bits, mono
         [&] { return device->LastFormat().sampleRate == 22050 && w->Pipeline().RecorderStatus() == 1; }, 1},
        {"noise floor", [](SettingsFiles& s) { s.config.NoiseFloor = -45.0f; },
         [&] { return w->EnergyIndicator()->floorPosition == 0.25f && piped.NoiseFloor == -45.0f; }, 0},
        {"display", [](SettingsFiles& s) { s.config.Smooth = false, s.config.CentAccuracy = 1; },
         [&] { return !w->FineIndicator()->smoothing && w->FineIndicator()->GetCentsText().length() == 3; },
         0},
        {"harmonics and calibration",
         [](SettingsFiles& s) { s.config.AlwaysStore = false, s.config.ExpectedFreq = 441.0f; },
         [&] { return !piped.AlwaysStore && piped.ExpectedFreq == 441.0f; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        SettingsFiles next = w->Settings();
        c.edit(next);
        const int opens = device->OpenCalls();
        w->ApplySettings(next);
        EXPECT_TRUE(w->Settings() == next);
        EXPECT_TRUE(c.applied());
        EXPECT_EQ(device->OpenCalls(), opens + c.restarts);
        w->ApplySettings(next);  // the same settings again: nothing to do
        EXPECT_EQ(device->OpenCalls(), opens + c.restarts);
    }
    // A copy taken before the window moved does not move the saved rectangle back.
    SettingsFiles stale = w->Settings();
    stale.config.TunerPosTop += 50;
    w->ApplySettings(stale);
    EXPECT_EQ(w->Settings().config.TunerPosTop, stale.config.TunerPosTop - 50);
    EXPECT_TRUE(hooks->messages.empty());
}

TEST_F(TunerWndApply, TheRestartMessageComesAfterThePanesAndBeforeTheStatusText) {
    Start(true);
    int transposeAtMessage = -1;
    wxString statusAtMessage;
    hooks->onMessage = [&] {
        transposeAtMessage = w->GlobalIndicator()->GetTranspose();
        statusAtMessage = w->GetStatusBar()->GetStatusText(0);
    };
    SettingsFiles next = w->Settings();
    next.config.Pitch = 3;
    next.config.Format = 3;  // two format bits name no format: the start fails with a message
    w->ApplySettings(next);
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_EQ(transposeAtMessage, 3);
    EXPECT_EQ(statusAtMessage, "A4: 440.000");
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 440.000, TRANS: +3");
}

TEST_F(TunerWndApply, CtrlSTogglesSmoothing) {
    Start(true);
    w->Raise();
    wxUIActionSimulator sim;
    // Without a window manager the keyboard follows the pointer.
    sim.MouseMove(w->GetScreenRect().GetPosition() + wxPoint(40, 80));
    PumpFor(100ms);
    sim.Char('s', wxMOD_CONTROL);
    EXPECT_TRUE(
        PumpUntil([&] { return !w->Settings().config.Smooth && !w->FineIndicator()->smoothing; }, 1000ms));
    PumpFor(100ms);  // a second toggle (the menu's own shortcut as well) would show by now
    EXPECT_FALSE(w->Settings().config.Smooth);
}
