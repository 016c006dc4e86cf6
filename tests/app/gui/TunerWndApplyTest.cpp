// What the window shows: a tone read from the scripted capture device,
// settings reaching the panes through ApplySettings, and the proportional
// layout after a resize.

#include <cmath>
#include <cstdlib>

#include <wx/menu.h>
#include <wx/statusbr.h>

#include "GuiTestSupport.h"
#include "app/logic/MainMenuModel.h"
#include "app/logic/WindowLayout.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "tuning/NoteTable.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndApply = WindowTest;

// Other notes, rates and the watchdog's restart are the pipeline's tests.
TEST_F(TunerWndApply, ToneShowsItsNoteAndCentsAndTheOverrunInTheStatusBar) {
    device = ToneDevice(440.0 * std::pow(2.0, 20.0 / 1200.0), 4321);  // A4 and 20 cents
    Start();
    auto* fine = w->FineIndicator();
    // Before any sound the seeded reading shows A4 with the needle faded.
    EXPECT_EQ(fine->GetNoteText(), "A4");
    EXPECT_FLOAT_EQ(fine->fade, 1.0f);
    EXPECT_TRUE(PumpUntil(
        [&] {
            w->UpdateStatusText();
            return w->GetStatusBar()->GetStatusText(0) == "input overrun: 4321 frames dropped";
        },
        2000ms));
    ASSERT_TRUE(PumpUntil([&] { return w->NoteControlText().StartsWith("NOTE:A4,"); }, 2000ms))
        << "control 200 shows '" << w->NoteControlText() << "'";
    EXPECT_EQ(w->LevelControlText(), "LEVEL:-30.0");  // the noise floor in dB
    PumpFor(700ms);
    EXPECT_EQ(fine->GetNoteText(), "A4");
    EXPECT_NEAR(std::strtod(fine->GetCentsText().utf8_str().data(), nullptr), 20.0, 1.0)
        << fine->GetCentsText();
    // The needle sits at cents / 50 of its swing and is bright.
    EXPECT_NEAR(fine->position, 20.0 / 50.0, 0.03);
    EXPECT_LT(fine->fade, 0.5f);
    EXPECT_TRUE(hooks->messages.empty());
}

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

// On a window system that reports only the result of a resize, the window
// corrects its size once the resize settled (which edge: WindowLayout's).
TEST_F(TunerWndApply, ResizingCorrectsTheOtherDimension) {
    Start();
    w->SetPosition(wxPoint(400, 300));
    PumpFor(300ms);
    const wxRect before = w->GetRect();
    // Up and left: the width follows the new height and the right edge stays.
    w->SetSize(before.x - 150, before.y - 100, before.width + 150, before.height + 100);
    const int width = ZelvoLayout::WidthForHeight(w->CurrentOverhead(), before.height + 100);
    const wxRect expected(before.GetRight() + 1 - width, before.y - 100, width, before.height + 100);
    PumpUntil([&] { return w->GetRect() == expected; }, 1000ms);
    PumpFor(50ms);
    EXPECT_EQ(w->GetRect(), expected);
    // The panes follow and the saved rectangle is the new one.
    EXPECT_EQ(w->FineIndicator()->GetSize().x, static_cast<int>(0.82 * w->GetClientSize().x));
    EXPECT_EQ(w->Settings().config.TunerPosBottom, w->GetRect().GetBottom() + 1);
    EXPECT_EQ(w->Settings().config.TunerPosRight, w->GetRect().GetRight() + 1);
}
