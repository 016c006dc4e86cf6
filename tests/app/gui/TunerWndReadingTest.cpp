// The window reading sound from a scripted capture device: the note and
// cents it shows, and the device's overrun in the status bar. Other notes,
// rates and the watchdog's restart are the pipeline's own tests.

#include <cmath>
#include <cstdlib>

#include <wx/statusbr.h>

#include "GuiTestSupport.h"
#include "indicators/FineIndicator.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndReading = WindowTest;

TEST_F(TunerWndReading, ToneShowsItsNoteWithinTwoSecondsAndItsCents) {
    device = ToneDevice(440.0 * std::pow(2.0, 20.0 / 1200.0), 4321);  // A4 and 20 cents
    Start();
    auto* fine = w->FineIndicator();
    // Before any sound the seeded reading shows A4 with the needle faded.
    EXPECT_EQ(fine->GetNoteText(), "A4");
    EXPECT_FLOAT_EQ(fine->fade, 1.0f);

    // The status bar says that the input overran (when and for how long is
    // StatusNotice's).
    wxStatusBar* bar = w->GetStatusBar();
    EXPECT_TRUE(PumpUntil(
        [&] {
            w->UpdateStatusText();
            return bar->GetStatusText(0) == "input overrun: 4321 frames dropped";
        },
        2000ms))
        << bar->GetStatusText(0);
    ASSERT_TRUE(PumpUntil([&] { return w->NoteControlText().StartsWith("NOTE:A4,"); }, 2000ms))
        << "control 200 shows '" << w->NoteControlText() << "'";
    EXPECT_TRUE(w->IsStartupHandled());
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
