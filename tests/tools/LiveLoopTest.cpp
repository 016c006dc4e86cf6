// The terminal tuner's display loop on the tuner's pipeline, recording from
// the scriptable capture device, without a sound system or a process.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <regex>
#include <sstream>

#include "LiveSession.h"
#include "TestCaptureDevice.h"

using namespace ZelvoAnalyze;

namespace {

// Two seconds of a 16-bit sine at half full scale: whole cycles of 440 Hz,
// so the looped signal joins without a click.
std::vector<std::uint8_t> Sine440() {
    std::vector<std::int16_t> samples(2 * 11025);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(
            std::lround(16383.0 * std::sin(2.0 * M_PI * 440.0 * static_cast<double>(i) / 11025.0)));
    return Recorder::Pcm16Bytes(samples);
}

}  // namespace

TEST(LiveLoop, ReadsTheToneAtEveryTickAndStopsWhenAskedHoweverFastTheDeviceIs) {
    // A device that hands over a buffer as soon as one is queued delivers
    // many times faster than the display takes results: each tick must still
    // end, and the loop must return once asked. The calibration pair of the
    // settings files reaches the reading: a card that reads 445 Hz for 440 Hz
    // shows a true 440 Hz as 19.6 cents flat.
    using Pace = Recorder::TestCaptureDevice::Pace;
    const struct {
        Pace pace;
        float known, expected;
        double cents;
    } cases[] = {
        {Pace::AsFastAsRequeued, 440.0f, 440.0f, 0.0},
        {Pace::RealTime, 440.0f, 440.0f, 0.0},
        {Pace::AsFastAsRequeued, 440.0f, 445.0f, -19.56},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.cents << (c.pace == Pace::RealTime ? " real time" : " flood"));
        Recorder::TestCaptureDevice::Settings device;
        device.signal = Sine440();
        device.pace = c.pace;
        EffectiveSettings settings;
        settings.format = 4;  // 11025 Hz, 16-bit, mono
        settings.knownFreq = c.known;
        settings.expectedFreq = c.expected;
        ConfigRecord config = LiveConfig(settings);
        TuningPipeline pipeline(config, std::make_shared<Recorder::TestCaptureDevice>(device));
        ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);

        std::ostringstream out, err;
        int ticks = 0;
        RunDisplayLoop(
            pipeline, std::nullopt, [&ticks] { return ++ticks > 6; }, out, err);
        pipeline.StopRecording();

        // Note, cents label within the few cents the analysis drifts while
        // its frame fills, level of a sine at half full scale. The first
        // tick's frame may still hold the start of the signal.
        std::istringstream lines(out.str());
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            ASSERT_TRUE(std::regex_match(line, std::regex(R"(([A-G][#b]?\d\t[+-]\d\d\.\d|-\t-)\t-?\d+\.\d)")))
                << line;
            if (count == 0) continue;
            EXPECT_EQ(line.substr(0, 3), "A4\t") << line;
            EXPECT_NEAR(std::stod(line.substr(3, 5)), c.cents, 3.0) << line;
            EXPECT_EQ(line.substr(9), "-6.0") << line;
        }
        EXPECT_GE(count, 3);
        EXPECT_LE(count, 6);
    }
}
