// What the pipeline loses: the bounded result queue on its own and in the
// pipeline when a device floods it while the display takes nothing, and the
// report of the loss.
#include "pipeline/ResultQueue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "TestCaptureDevice.h"
#include "WaitUntil.h"
#include "pipeline/OverrunReport.h"
#include "pipeline/TuningPipeline.h"

namespace {

// A result numbered by its level, so tests can tell which ones were kept.
NoteAnalyzer::AnalysisResult Numbered(int number, double hopDuration) {
    NoteAnalyzer::AnalysisResult result;
    result.level = number;
    result.hopDuration = hopDuration;
    return result;
}

}  // namespace

TEST(ResultQueue, KeepsTheNewestTenSecondsOfHopsAndCountsTheDropped) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* what;
        double hop;
        int pushed;
        std::size_t kept;
    } cases[] = {
        {"hops of 256 frames at 11025 Hz", 256.0 / 11025.0, 1000, 430},
        {"exactly ten seconds of 10 ms hops", 0.01, 1500, 1000},
        {"less than the bound", 0.01, 999, 999},
        {"no usable duration: the count bound", 0.0, 5000, ResultQueue::MaxResults},
        {"no duration at all", nan, 5000, ResultQueue::MaxResults},
        {"a hop longer than the bound: the newest stays", 20.0, 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResultQueue queue;
        for (int i = 0; i < c.pushed; ++i) queue.Push(Numbered(i, c.hop));
        EXPECT_EQ(queue.Size(), c.kept);
        EXPECT_EQ(queue.Dropped(), static_cast<std::uint64_t>(c.pushed) - c.kept);
        if (c.kept > 1) {
            EXPECT_LE(queue.Duration(), ResultQueue::MaxSeconds + 1e-6);
        }

        // What is left is the newest, in order.
        NoteAnalyzer::AnalysisResult result;
        for (int expected = c.pushed - static_cast<int>(c.kept); expected < c.pushed; ++expected) {
            ASSERT_TRUE(queue.TakeBefore(queue.EndMark(), result));
            ASSERT_EQ(result.level, expected);
        }
        EXPECT_FALSE(queue.TakeBefore(queue.EndMark(), result));
        EXPECT_EQ(queue.Duration(), 0.0);
    }
}

TEST(ResultQueue, TakesOnlyWhatWasPushedBeforeTheMarkEvenAfterDrops) {
    ResultQueue queue;
    NoteAnalyzer::AnalysisResult result;
    for (int i = 0; i < 3; ++i) queue.Push(Numbered(i, 1.0));
    const std::uint64_t tick = queue.EndMark();
    queue.Push(Numbered(3, 1.0));
    ASSERT_TRUE(queue.TakeBefore(tick, result));
    EXPECT_EQ(result.level, 0);

    // Longer hops push out 1 and 2, which the tick has not taken yet: what
    // remains arrived after the mark and waits for the next tick.
    queue.Push(Numbered(4, 4.5));
    queue.Push(Numbered(5, 4.5));
    EXPECT_EQ(queue.Size(), 3u);
    EXPECT_EQ(queue.Dropped(), 2u);
    EXPECT_FALSE(queue.TakeBefore(tick, result));

    const std::deque<NoteAnalyzer::AnalysisResult> all = queue.TakeAll();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all.front().level, 3);
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_EQ(queue.Duration(), 0.0);
    EXPECT_EQ(queue.Dropped(), 2u);
}

TEST(ResultQueue, PipelineWithAStalledDisplayHoldsTenSecondsWhileADeviceFloods) {
    // A device that hands over a buffer as soon as one is queued delivers
    // many times faster than real time; the display takes nothing meanwhile.
    ConfigRecord config;  // 11025 Hz: 256-frame hops
    auto device = std::make_shared<Recorder::TestCaptureDevice>();
    TuningPipeline pipeline(config, device);
    ASSERT_EQ(pipeline.StartRecording(false).status, StartStatus::Started);
    const std::size_t bound = static_cast<std::size_t>(ResultQueue::MaxSeconds * 11025.0 / 256.0);
    ASSERT_TRUE(WaitUntil([&] { return pipeline.DroppedResults() > 2 * bound; }, std::chrono::seconds(30)));
    EXPECT_LE(pipeline.QueuedResults(), bound);

    // The display comes back: a tick takes at most what was queued when it
    // began, never more than the bound, while the device keeps flooding.
    for (int tick = 0; tick < 3; ++tick) EXPECT_LE(pipeline.UpdateReading().results, bound);
    pipeline.StopRecording();
    EXPECT_EQ(pipeline.QueuedResults(), 0u);
    EXPECT_GT(pipeline.DroppedResults(), 2 * bound);
}

TEST(OverrunReport, SaysTheFirstLossOfARecordingOnce) {
    // Each step: frames the device dropped, the queue's drop total, the text.
    const struct {
        const char* name;
        std::uint64_t resultsAtBegin;
        std::vector<std::tuple<std::uint64_t, std::uint64_t, std::string>> steps;
    } cases[] = {
        {"device drops", 0, {{0, 0, ""}, {300, 0, "input overrun: 300 frames dropped"}, {900, 0, ""}}},
        // Results dropped before this recording began are not its loss; the
        // ones after it count one hop of 256 frames each.
        {"queue drops", 7, {{0, 7, ""}, {0, 9, "input overrun: 512 frames dropped"}}},
        {"both", 0, {{100, 1, "input overrun: 356 frames dropped"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OverrunReport report;
        EXPECT_EQ(report.Take(100, c.resultsAtBegin + 1), "");  // no recording yet
        report.Begin(c.resultsAtBegin, 256);
        for (const auto& [frames, results, text] : c.steps) EXPECT_EQ(report.Take(frames, results), text);
        report.End();
        EXPECT_EQ(report.Take(5000, 5000), "");
        report.Begin(5000, 256);  // the next recording may say it again
        EXPECT_EQ(report.Take(1, 5000), "input overrun: 1 frames dropped");
    }
}
