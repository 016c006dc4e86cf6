// The window reading sound from a scripted capture device: the note and
// cents it shows, and the watchdog's quiet restart of a failed device.

#include <cmath>
#include <cstdlib>

#include "GuiTestSupport.h"
#include "indicators/FineIndicator.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndReading = WindowTest;

TEST_F(TunerWndReading, ToneShowsItsNoteWithinTwoSecondsAndItsCents) {
    const struct {
        double frequency;
        const char* note;
        double cents;
    } cases[] = {
        {440.0, "A4", 0.0},
        {440.0 * std::pow(2.0, (-500.0 + 20.0) / 1200.0), "E4", 20.0},  // 20 cents above E4
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        CloseWindow();
        device = ToneDevice(c.frequency);
        Start();
        auto* fine = w->FineIndicator();
        // Before any sound the seeded reading shows A4 with the needle faded.
        EXPECT_EQ(fine->GetNoteText(), "A4");
        EXPECT_FLOAT_EQ(fine->fade, 1.0f);

        const wxString prefix = wxString("NOTE:") + c.note + ",";
        ASSERT_TRUE(PumpUntil([&] { return w->NoteControlText().StartsWith(prefix); }, 2000ms))
            << "control 200 shows '" << w->NoteControlText() << "'";
        EXPECT_TRUE(w->IsStartupHandled());
        EXPECT_EQ(w->LevelControlText(), "LEVEL:-30.0");  // the noise floor in dB

        PumpFor(700ms);
        EXPECT_EQ(fine->GetNoteText(), c.note);
        EXPECT_NEAR(std::strtod(fine->GetCentsText().utf8_str().data(), nullptr), c.cents, 1.0)
            << fine->GetCentsText();
        // The needle sits at cents / 50 of its swing and is bright.
        EXPECT_NEAR(fine->position, c.cents / 50.0, 0.03);
        EXPECT_LT(fine->fade, 0.5f);
        EXPECT_TRUE(hooks->messages.empty());
    }
}

TEST_F(TunerWndReading, WatchdogRestartsAFailedDeviceQuietly) {
    device = ToneDevice(440.0, Recorder::TestCaptureDevice::Fault::FailAfterBuffers, 20);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return device->OpenCalls() >= 1; }, 2000ms));
    // The device fails after about half a second; within the next watchdog
    // period (5 s) the capture is opened again, without a message.
    EXPECT_TRUE(PumpUntil([&] { return device->OpenCalls() >= 2; }, 7000ms));
    EXPECT_TRUE(hooks->messages.empty());
}
