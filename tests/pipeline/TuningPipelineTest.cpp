// The whole pipeline, from a scripted capture device through the recorder and
// the analyzer to the display values, without a window.
#include "pipeline/TuningPipeline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "TestCaptureDevice.h"
#include "WaitUntil.h"

using Recorder::TestCaptureDevice;
using namespace std::chrono_literals;

namespace {

// A looped 16-bit mono sine at half full scale (-6 dB); two seconds hold
// whole cycles of every tone used here, so the loop joins without a click.
std::vector<std::uint8_t> Tone(double hz, int rate = 11025) {
    return Recorder::SinePcm16(hz, 2.0, rate, 0.5);
}

std::shared_ptr<TestCaptureDevice> Device(std::vector<std::uint8_t> signal,
                                          TestCaptureDevice::Fault fault = TestCaptureDevice::Fault::None) {
    TestCaptureDevice::Settings s;
    s.signal = std::move(signal);
    s.fault = fault;
    return std::make_shared<TestCaptureDevice>(std::move(s));
}

// Keeps what the pipeline tells the harmonics window.
class RecordingView : public IHarmonicsView {
public:
    void Notify(const HarmonicsState& state, int, bool) override { notified.push_back(state); }
    void SetState(const HarmonicsState& state) override { answers.push_back(state); }
    void FramesAdded() override {}

    std::vector<HarmonicsState> notified, answers;
};

class TuningPipelineTest : public ::testing::Test {
protected:
    // Records until the held note has 20 results, draining the queue like
    // the display timer does; returns what the last new note reported.
    ReadingUpdate Record(TuningPipeline& pipeline) {
        ReadingUpdate started;
        WaitUntil([&] {
            tick += 10;
            const ReadingUpdate u = pipeline.UpdateReading();
            if (u.noteStarted) started = u;
            const NoteTrack& track = pipeline.Tracker().Track();
            return !track.ended && track.results.Size() >= 20;
        });
        return started;
    }
    TuningPipeline Make(std::shared_ptr<Recorder::ICaptureDevice> device) {
        return TuningPipeline(config, std::move(device), [this] { return tick; });
    }

    ConfigRecord config;
    std::uint32_t tick = 5000;
};

}  // namespace

TEST_F(TuningPipelineTest, TonesReadTheirNoteAndCents) {
    // The needle's cents, within what each analysis resolves; 445 Hz lies
    // 19.56 cents above A4.
    const struct {
        double hz;
        int rate, format, quality;
        float known, expected;
        const char* label;
        double cents, tolerance;
    } cases[] = {
        {440.0, 11025, 4, 0, 0.0f, 0.0f, "+00.0", 0.0, 0.05},
        {445.0, 11025, 4, 0, 0.0f, 0.0f, "+19.6", 1200.0 * std::log2(445.0 / 440.0), 0.1},
        {445.0, 11025, 4, 0, 440.0f, 445.0f, "+00.0", 0.0, 0.1},  // a card that reads 445 Hz for 440 Hz
        {440.0, 44100, 0x400, 1, 0.0f, 0.0f, "+00.0", 0.0, 0.2},  // 44100 Hz at fast quality
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.hz << " Hz at " << c.rate << ", " << c.label);
        config.Format = c.format;
        config.AnalysisQuality = c.quality;
        config.KnownFreq = c.known;
        config.ExpectedFreq = c.expected;
        auto device = Device(Tone(c.hz, c.rate));
        TuningPipeline pipeline = Make(device);
        pipeline.SeedNoteTrack();
        const StartOutcome started = pipeline.StartRecording(false);
        ASSERT_EQ(started.status, StartStatus::Started);
        EXPECT_EQ(started.message, "");
        EXPECT_EQ(device->LastFormat(), (Recorder::WaveFormatDesc{1, 16, c.rate}));
        EXPECT_EQ(device->LastDeviceId(), Recorder::WaveMapperDeviceId);

        const ReadingUpdate update = Record(pipeline);
        pipeline.OnWatchdogTick();  // leaves a running capture alone
        EXPECT_EQ(device->OpenCalls(), 1);
        EXPECT_EQ(update.noteText.rfind("NOTE:A4,", 0), 0u) << update.noteText;
        EXPECT_EQ(update.levelText, "LEVEL:-30.0");
        const DisplayValues v = pipeline.UpdateIndicators();
        ASSERT_TRUE(v.hasReading && v.hasLevel);
        EXPECT_EQ(v.noteLabel, "A4");
        EXPECT_EQ(v.centsLabel, c.label);
        EXPECT_NEAR(v.deviation * 50.0f, c.cents, c.tolerance);
        EXPECT_FLOAT_EQ(v.fade, 0.0f);
        EXPECT_GT(v.energy, 0.8f);
        // One buffer is one hop: 256 frames at 11025 Hz, 256 * 4 at 44100 Hz.
        EXPECT_NEAR(pipeline.Tracker().Track().results.Newest().hopDuration,
                    (c.rate == 44100 ? 1024.0 : 256.0) / c.rate, 1e-12);

        pipeline.StopRecording();
        EXPECT_FALSE(pipeline.IsRecordingSetUp());
        EXPECT_EQ(pipeline.QueuedResults(), 0u);
    }
}

TEST_F(TuningPipelineTest, StartFailuresAreReportedUnlessQuiet) {
    config.Format = 3;  // two bits: no format
    TuningPipeline badFormat = Make(Device(Tone(440.0)));
    EXPECT_EQ(badFormat.StartRecording(false).message, InvalidFormatMessage);
    EXPECT_EQ(badFormat.StartRecording(true).message, "");
    config.Format = 4;
    TuningPipeline noCapture = Make(nullptr);
    EXPECT_EQ(noCapture.StartRecording(false).message, StartFailedMessage);
    EXPECT_EQ(noCapture.StartRecording(true).message, "");
    noCapture.OnWatchdogTick();  // retries quietly, still nothing to record from
    EXPECT_FALSE(badFormat.IsRecordingSetUp() || noCapture.IsRecordingSetUp());

    auto device = Device({}, TestCaptureDevice::Fault::FailOpen);
    TuningPipeline pipeline = Make(device);
    const StartOutcome loud = pipeline.StartRecording(false);
    EXPECT_EQ(loud.status, StartStatus::DeviceFailed);
    EXPECT_EQ(loud.message, StartFailedMessage);
    EXPECT_EQ(device->StreamsOpen(), 0);
    // Quiet: returns at once; the failure shows only in the recorder status,
    // and the watchdog stops it and tries again.
    EXPECT_EQ(pipeline.StartRecording(true).message, "");
    ASSERT_TRUE(WaitUntil([&] { return pipeline.RecorderStatus() == Recorder::StatusFailed; }));
    const int opens = device->OpenCalls();
    pipeline.OnWatchdogTick();
    EXPECT_TRUE(device->WaitForOpenCalls(opens + 1, 5s));
}

TEST_F(TuningPipelineTest, AnOverrunIsReportedOncePerRecording) {
    TestCaptureDevice::Settings s;
    s.signal = Tone(440.0);
    s.pace = TestCaptureDevice::Pace::RealTime;
    s.droppedFrames = 1234;
    TuningPipeline pipeline = Make(std::make_shared<TestCaptureDevice>(s));
    EXPECT_EQ(pipeline.TakeOverrunMessage(), "");  // not recording
    for (int recording = 0; recording < 2; ++recording) {
        ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);
        std::string said;
        ASSERT_TRUE(WaitUntil([&] {
            said += pipeline.TakeOverrunMessage();
            return !said.empty();
        }));
        EXPECT_EQ(said, "input overrun: 1234 frames dropped");
        std::this_thread::sleep_for(50ms);  // more buffers, the same recording
        EXPECT_EQ(pipeline.TakeOverrunMessage(), "");
    }
    pipeline.StopRecording();
    EXPECT_EQ(pipeline.TakeOverrunMessage(), "");
}

TEST_F(TuningPipelineTest, NoiseFloorChangeGatesTheRunningAnalyzer) {
    TuningPipeline pipeline = Make(Device(Tone(440.0)));
    ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);
    Record(pipeline);
    ConfigRecord raised = config;
    raised.NoiseFloor = 0.0f;  // above the -6 dB tone
    pipeline.ApplyConfig(raised);
    ReadingUpdate u;
    EXPECT_TRUE(WaitUntil([&] {
        u = pipeline.UpdateReading();
        return pipeline.Tracker().Track().ended;
    }));
    EXPECT_EQ(u.levelText, "LEVEL:0.0");
}

// The harmonics window's selections reach the pipeline as settings: the
// window is answered when, and only when, they move its reference note.
TEST_F(TuningPipelineTest, TheHarmonicsWindowIsAnsweredOnlyWhenItsReferenceNoteMoves) {
    TuningPipeline pipeline = Make(nullptr);  // reference: the previous note, of which there is none yet
    pipeline.SeedNoteTrack();
    RecordingView view;
    pipeline.SetHarmonicsView(&view);
    pipeline.NotifyHarmonics(false);
    ASSERT_EQ(view.notified.size(), 1u);
    EXPECT_EQ(view.notified[0].referenceNote, NoteIndexInvalid);
    HarmonicsState chosen = view.notified[0];
    // The window narrows its cents span, then picks A4 by hand: only the
    // second rebuilds the reference history, and it is sent back once.
    for (const int option : {ReferenceOptionPrevious, 57}) {
        chosen.pitchSpan = 50.0f;
        chosen.referenceOption = option;
        TakeHarmonicsSelections(config, chosen);
        pipeline.ApplyConfig(config);
        pipeline.HarmonicsSettingsApplied();
        pipeline.HarmonicsSettingsApplied();
    }
    ASSERT_EQ(view.answers.size(), 1u);
    EXPECT_EQ(view.answers[0].referenceNote, 69);
    EXPECT_NE(view.answers[0].referenceHistory, nullptr);
    EXPECT_EQ(view.answers[0].pitchSpan, 50.0f);
}
