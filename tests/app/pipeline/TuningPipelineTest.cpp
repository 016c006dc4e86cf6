// The whole pipeline, from a scripted capture device through the recorder and
// the analyzer to the display values, without a window.
#include "app/pipeline/TuningPipeline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "capture/TestCaptureDevice.h"

using Recorder::TestCaptureDevice;
using namespace std::chrono_literals;

namespace {

constexpr double Pi = 3.14159265358979323846;

// A looped 16-bit mono tone, by default at 11025 Hz; `seconds` is chosen so the loop holds
// whole cycles and joins without a click.
std::vector<std::uint8_t> Tone(double hz, double seconds, double amplitude = 0.5,
                               double rate = 11025.0)
{
    const int n = static_cast<int>(std::lround(rate * seconds));
    std::vector<std::int16_t> samples(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(amplitude * 32767.0 * std::sin(2.0 * Pi * hz * i / rate)));
    }
    return Recorder::Pcm16Bytes(samples);
}

std::shared_ptr<TestCaptureDevice> DeviceWith(TestCaptureDevice::Settings settings)
{
    return std::make_shared<TestCaptureDevice>(std::move(settings));
}

std::shared_ptr<TestCaptureDevice> ToneDevice(double hz, double seconds)
{
    TestCaptureDevice::Settings s;
    s.signal = Tone(hz, seconds);
    return DeviceWith(std::move(s));
}

// Records what the pipeline tells the harmonics window.
class FakeHarmonicsView : public IHarmonicsView {
public:
    void Notify(const HarmonicsState& state, int transpose, bool redraw) override
    {
        notified.push_back(state);
        lastTranspose = transpose;
        lastRedraw = redraw;
    }
    void SetState(const HarmonicsState& state) override { states.push_back(state); }
    void FramesAdded() override { ++framesAdded; }

    std::vector<HarmonicsState> notified;
    std::vector<HarmonicsState> states;
    int lastTranspose = -1;
    bool lastRedraw = false;
    int framesAdded = 0;
};

class TuningPipelineTest : public ::testing::Test {
protected:
    // Records until the held note has `count` results or the time is up,
    // draining the queue like the display timer does.
    ReadingUpdate RecordUntil(TuningPipeline& pipeline, std::size_t count)
    {
        ReadingUpdate seen;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
            tick += 10;
            const ReadingUpdate u = pipeline.UpdateReading();
            if (u.noteStarted) {
                seen.noteStarted = true;
                seen.noteText = u.noteText;
            }
            seen.changed = seen.changed || u.changed;
            seen.levelText = u.levelText;
            const NoteTrack& track = pipeline.Tracker().Track();
            if (!track.ended && track.results.Size() >= count) {
                break;
            }
        }
        return seen;
    }

    TuningPipeline Make(std::shared_ptr<Recorder::ICaptureDevice> device)
    {
        return TuningPipeline(config, std::move(device), [this] { return tick; });
    }

    ConfigRecord config;
    std::uint32_t tick = 5000;
};

}  // namespace

TEST_F(TuningPipelineTest, A440ToneReadsA4WithNoDeviation)
{
    auto device = ToneDevice(440.0, 2.0);
    TuningPipeline pipeline(config, device, [this] { return tick; });
    pipeline.SeedNoteTrack();
    const StartOutcome started = pipeline.StartRecording(false);
    ASSERT_EQ(started.status, StartStatus::Started);
    EXPECT_TRUE(started.message.empty());
    EXPECT_TRUE(pipeline.IsRecordingSetUp());
    EXPECT_EQ(pipeline.RecorderStatus(), Recorder::StatusCapturing);
    // Default Format 4 and Device -1: 11025 Hz 16-bit mono on the preferred device.
    EXPECT_EQ(device->LastFormat(), (Recorder::WaveFormatDesc{1, 16, 11025}));
    EXPECT_EQ(device->LastDeviceId(), Recorder::WaveMapperDeviceId);

    const ReadingUpdate update = RecordUntil(pipeline, 20);
    // The watchdog leaves a running capture alone.
    pipeline.OnWatchdogTick();
    EXPECT_EQ(device->OpenCalls(), 1);
    EXPECT_TRUE(update.noteStarted);
    EXPECT_EQ(update.noteText.rfind("NOTE:A4,", 0), 0u) << update.noteText;
    EXPECT_EQ(update.levelText, "LEVEL:-30.0");

    const DisplayValues v = pipeline.UpdateIndicators();
    ASSERT_TRUE(v.hasReading);
    EXPECT_EQ(v.noteLabel, "A4");
    EXPECT_EQ(v.centsLabel, "+00.0");
    EXPECT_NEAR(v.globalValue, 0.0f, 0.05f);
    ASSERT_TRUE(v.hasLevel);
    EXPECT_FLOAT_EQ(v.fade, 0.0f);
    EXPECT_GT(v.energy, 0.8f);  // a -6 dB tone
    EXPECT_GE(pipeline.Tracker().CurrentHistory().Segments().size(), 19u);

    pipeline.StopRecording();
    EXPECT_FALSE(pipeline.IsRecordingSetUp());
    EXPECT_EQ(pipeline.QueuedResults(), 0u);
    pipeline.StopRecording();  // idempotent
}

TEST_F(TuningPipelineTest, DetunedToneReadsItsCentsAndCalibrationCorrectsIt)
{
    // 445 Hz: 19.56 cents above A4.
    const double expected = 1200.0 * std::log2(445.0 / 440.0);
    {
        TuningPipeline pipeline = Make(ToneDevice(445.0, 2.0));
        ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);
        RecordUntil(pipeline, 20);
        const DisplayValues v = pipeline.UpdateIndicators();
        ASSERT_TRUE(v.hasReading);
        EXPECT_EQ(v.noteLabel, "A4");
        EXPECT_NEAR(v.deviation * 50.0f, expected, 0.1);
        EXPECT_EQ(v.centsLabel, "+19.6");
    }
    {
        // A sound card that reads 445 Hz for a true 440 Hz.
        config.KnownFreq = 440.0f;
        config.ExpectedFreq = 445.0f;
        TuningPipeline pipeline = Make(ToneDevice(445.0, 2.0));
        ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);
        RecordUntil(pipeline, 20);
        const DisplayValues v = pipeline.UpdateIndicators();
        ASSERT_TRUE(v.hasReading);
        EXPECT_EQ(v.centsLabel, "+00.0");
    }
}

TEST_F(TuningPipelineTest, FastQualityAt44100HzReadsA4Too)
{
    config.Format = 0x400;  // 44100 Hz, 16 bits, mono
    config.AnalysisQuality = 1;
    TestCaptureDevice::Settings s;
    s.signal = Tone(440.0, 2.0, 0.5, 44100.0);
    auto device = DeviceWith(std::move(s));
    TuningPipeline pipeline = Make(device);
    ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);
    EXPECT_EQ(device->LastFormat(), (Recorder::WaveFormatDesc{1, 16, 44100}));
    RecordUntil(pipeline, 10);
    const DisplayValues v = pipeline.UpdateIndicators();
    ASSERT_TRUE(v.hasReading);
    EXPECT_EQ(v.noteLabel, "A4");
    EXPECT_NEAR(v.deviation * 50.0f, 0.0f, 0.2f);
    // One buffer is one hop of 256 * 4 frames.
    EXPECT_NEAR(pipeline.Tracker().Track().results.Newest().hopDuration, 1024.0 / 44100.0,
                1e-12);
}

TEST_F(TuningPipelineTest, InvalidFormatIsReportedUnlessQuiet)
{
    config.Format = 3;  // two bits: no format
    TuningPipeline pipeline = Make(ToneDevice(440.0, 2.0));
    const StartOutcome loud = pipeline.StartRecording(false);
    EXPECT_EQ(loud.status, StartStatus::InvalidFormat);
    EXPECT_EQ(loud.message, "Invalid recording device format");
    const StartOutcome quiet = pipeline.StartRecording(true);
    EXPECT_EQ(quiet.status, StartStatus::InvalidFormat);
    EXPECT_TRUE(quiet.message.empty());
    EXPECT_FALSE(pipeline.IsRecordingSetUp());
}

TEST_F(TuningPipelineTest, FailingDeviceReleasesEverythingAndReportsUnlessQuiet)
{
    TestCaptureDevice::Settings s;
    s.fault = TestCaptureDevice::Fault::FailOpen;
    auto device = DeviceWith(s);
    TuningPipeline pipeline = Make(device);

    const StartOutcome loud = pipeline.StartRecording(false);
    EXPECT_EQ(loud.status, StartStatus::DeviceFailed);
    EXPECT_EQ(loud.message, "Unable to start recording with the currently selected device.");
    EXPECT_FALSE(pipeline.IsRecordingSetUp());
    EXPECT_EQ(device->StreamsOpen(), 0);

    // Quiet: returns at once; the failure shows only in the recorder status,
    // and the watchdog stops it and tries again.
    const StartOutcome quiet = pipeline.StartRecording(true);
    EXPECT_EQ(quiet.status, StartStatus::Started);
    EXPECT_TRUE(quiet.message.empty());
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (pipeline.RecorderStatus() != Recorder::StatusFailed &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(pipeline.RecorderStatus(), Recorder::StatusFailed);
    const int opens = device->OpenCalls();
    pipeline.OnWatchdogTick();
    EXPECT_TRUE(device->WaitForOpenCalls(opens + 1, 5s));
}

TEST_F(TuningPipelineTest, MissingCaptureLayerFailsLikeADevice)
{
    TuningPipeline pipeline = Make(nullptr);
    EXPECT_EQ(pipeline.StartRecording(false).message, StartFailedMessage);
    EXPECT_TRUE(pipeline.StartRecording(true).message.empty());
    EXPECT_FALSE(pipeline.IsRecordingSetUp());
    pipeline.OnWatchdogTick();  // retries quietly, still nothing to record from
    EXPECT_FALSE(pipeline.IsRecordingSetUp());
}

TEST_F(TuningPipelineTest, WatchdogRestartsACaptureThatFailedWhileRunning)
{
    TestCaptureDevice::Settings s;
    s.signal = Tone(440.0, 2.0);
    s.fault = TestCaptureDevice::Fault::FailAfterBuffers;
    s.faultAfterBuffers = 20;
    // At a real device's pace (twice as fast), so the failure comes after
    // the start handshake has seen the capture run.
    s.pace = TestCaptureDevice::Pace::RealTime;
    s.speed = 2.0;
    auto device = DeviceWith(s);
    TuningPipeline pipeline = Make(device);
    ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);

    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (pipeline.RecorderStatus() == Recorder::StatusCapturing &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(pipeline.RecorderStatus(), Recorder::StatusFailed);
    pipeline.OnWatchdogTick();
    EXPECT_TRUE(device->WaitForOpenCalls(2, 5s));
    EXPECT_TRUE(pipeline.IsRecordingSetUp());
}

TEST_F(TuningPipelineTest, NoiseFloorChangeGatesTheRunningAnalyzer)
{
    TuningPipeline pipeline = Make(ToneDevice(440.0, 2.0));
    ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);
    RecordUntil(pipeline, 10);
    ASSERT_FALSE(pipeline.Tracker().Track().ended);

    pipeline.SetNoiseFloorPosition(1.0f);  // 0 dB: above the -6 dB tone
    EXPECT_FLOAT_EQ(config.NoiseFloor, 0.0f);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    ReadingUpdate u;
    while (!pipeline.Tracker().Track().ended && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
        u = pipeline.UpdateReading();
    }
    EXPECT_TRUE(pipeline.Tracker().Track().ended);
    EXPECT_EQ(u.levelText, "LEVEL:0.0");
}

TEST_F(TuningPipelineTest, HarmonicsViewIsNotifiedAtANewNoteAndFollowsFrames)
{
    TuningPipeline pipeline = Make(ToneDevice(440.0, 2.0));
    config.Pitch = 3;
    pipeline.SeedNoteTrack();
    FakeHarmonicsView view;
    pipeline.SetHarmonicsView(&view);
    pipeline.NotifyHarmonics(true);  // opened by command
    ASSERT_EQ(view.notified.size(), 1u);
    EXPECT_TRUE(view.lastRedraw);
    EXPECT_EQ(view.lastTranspose, 3);
    EXPECT_EQ(view.notified[0].currentNote, 69);
    EXPECT_EQ(view.notified[0].referenceOption, 1002);
    EXPECT_EQ(view.notified[0].referenceHistory, nullptr);  // no previous note yet

    ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);
    RecordUntil(pipeline, 10);
    pipeline.StopRecording();

    // The seeded A4 ended; the tone started a new A4, stored the seed and
    // made it the previous note.
    ASSERT_EQ(view.notified.size(), 2u);
    const HarmonicsState& state = view.notified[1];
    EXPECT_FALSE(view.lastRedraw);
    EXPECT_EQ(state.currentNote, 69);
    EXPECT_EQ(state.referenceNote, 69);
    EXPECT_EQ(state.currentHistory, &pipeline.Tracker().CurrentHistory());
    EXPECT_EQ(state.referenceHistory, &pipeline.Tracker().ReferenceHistory());
    EXPECT_FLOAT_EQ(state.pitchSpan, 100.0f);
    EXPECT_FLOAT_EQ(state.timeSpan, 5.0f);
    EXPECT_GT(view.framesAdded, 0);

    // The window picks "Octave above": the reference moves to A5, the
    // settings take over the window's selections and the state comes back.
    HarmonicsState changed = state;
    changed.referenceOption = ReferenceOptionOctaveAbove;
    changed.currentHarmonic = 2;
    changed.timeSpan = 12.0f;
    changed.alwaysStore = false;
    pipeline.OnHarmonicsStateChange(changed);
    EXPECT_EQ(config.ReferenceOption, ReferenceOptionOctaveAbove);
    EXPECT_EQ(config.CurrentHarmonicSelected, 2);
    EXPECT_FLOAT_EQ(config.TimeRange, 12.0f);
    EXPECT_FALSE(config.AlwaysStore);
    ASSERT_EQ(view.states.size(), 1u);
    EXPECT_EQ(view.states[0].referenceNote, 81);
    EXPECT_TRUE(pipeline.Tracker().ReferenceHistory().Segments().empty());

    // Nothing moves the reference: no answer.
    pipeline.OnHarmonicsStateChange(view.states[0]);
    EXPECT_EQ(view.states.size(), 1u);

    // Closed: no more notifications.
    pipeline.SetHarmonicsView(nullptr);
    pipeline.NotifyHarmonics(true);
    EXPECT_EQ(view.notified.size(), 2u);
}
