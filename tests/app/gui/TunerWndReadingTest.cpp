// The window reading sound from a scripted capture device: the note and
// cents it shows, and the watchdog's quiet restart of a failed device.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "GuiTestSupport.h"
#include "app/TunerWnd.h"
#include "indicators/FineIndicator.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

// The cents value of the fine indicator's label ("+03.3", "-12.0").
double CentsOf(const wxString& label) {
    return std::strtod(label.utf8_str().data(), nullptr);
}

}  // namespace

TEST(TunerWndReading, A440ToneShowsA4WithinTwoSeconds) {
    TempDirectory dir;
    WindowUnderTest ui(ToneDevice(440.0), dir.Path());
    ASSERT_TRUE(ui.Create());
    CTunerWnd* w = ui.Window();
    // Before any sound the seeded reading shows A4 with the needle faded,
    // and the note control is still empty.
    EXPECT_EQ(w->FineIndicator()->GetNoteText(), "A4");
    EXPECT_FLOAT_EQ(w->FineIndicator()->fade, 1.0f);

    const bool shown = PumpUntil([&] { return w->NoteControlText().StartsWith("NOTE:A4,"); }, 2000ms);
    ASSERT_TRUE(shown) << "control 200 shows '" << w->NoteControlText() << "'";
    EXPECT_TRUE(w->IsStartupHandled());
    EXPECT_TRUE(ui.Messages().empty());
    // Level control: the noise floor in dB.
    EXPECT_EQ(w->LevelControlText(), "LEVEL:-30.0");

    PumpFor(500ms);
    EXPECT_EQ(w->FineIndicator()->GetNoteText(), "A4");
    EXPECT_NEAR(CentsOf(w->FineIndicator()->GetCentsText()), 0.0, 1.0);
    // A fresh reading: the needle is bright.
    EXPECT_LT(w->FineIndicator()->fade, 0.5f);
}

TEST(TunerWndReading, DetunedToneGivesItsCents) {
    TempDirectory dir;
    // 20 cents above E4 (329.63 Hz).
    const double frequency = 440.0 * std::pow(2.0, (-5.0 * 100.0 + 20.0) / 1200.0);
    WindowUnderTest ui(ToneDevice(frequency), dir.Path());
    ASSERT_TRUE(ui.Create());
    CTunerWnd* w = ui.Window();
    ASSERT_TRUE(PumpUntil([&] { return w->FineIndicator()->GetNoteText() == "E4"; }, 2000ms));
    PumpFor(700ms);
    EXPECT_EQ(w->FineIndicator()->GetNoteText(), "E4");
    EXPECT_NEAR(CentsOf(w->FineIndicator()->GetCentsText()), 20.0, 1.0)
        << w->FineIndicator()->GetCentsText();
    // The needle sits at 20 / 50 of its swing.
    EXPECT_NEAR(w->FineIndicator()->position, 0.4f, 0.03f);
    EXPECT_TRUE(w->NoteControlText().StartsWith("NOTE:E4,"));
}

TEST(TunerWndReading, WatchdogRestartsAFailedDeviceQuietly) {
    TempDirectory dir;
    Recorder::TestCaptureDevice::Settings settings;
    settings.signal = SineBytes(440.0, 10.0);
    settings.pace = Recorder::TestCaptureDevice::Pace::RealTime;
    settings.fault = Recorder::TestCaptureDevice::Fault::FailAfterBuffers;
    settings.faultAfterBuffers = 20;
    auto device = std::make_shared<Recorder::TestCaptureDevice>(settings);
    WindowUnderTest ui(device, dir.Path());
    ASSERT_TRUE(ui.Create());
    ASSERT_TRUE(PumpUntil([&] { return device->OpenCalls() >= 1; }, 2000ms));
    // The device fails after about half a second; within the next watchdog
    // period (5 s) the capture is opened again, without a message.
    EXPECT_TRUE(PumpUntil([&] { return device->OpenCalls() >= 2; }, 7000ms));
    EXPECT_TRUE(ui.Messages().empty());
}
