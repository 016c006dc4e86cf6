// The chart's arithmetic and the progress line, without drawing or running.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "IntonationChart.h"
#include "ProgressReport.h"

using namespace ZelvoAnalyze;

namespace {

constexpr double kHop = 0.1;

// count hops naming note at cents, appended after the ones in hops.
void AddHops(std::vector<HopReading>& hops, int count, NoteIndex note, float cents) {
    for (int i = 0; i < count; ++i) {
        HopReading r;
        r.endTime = (static_cast<double>(hops.size()) + 1.0) * kHop;
        r.note = note;
        r.cents = cents;
        r.frequency = note == NoteIndexInvalid ? -1.0 : 440.0;
        hops.push_back(r);
    }
}

std::vector<NoteSpan> Spans(const std::vector<HopReading>& hops) {
    NoteSummarizer summary(kHop);
    for (const HopReading& hop : hops) summary.Add(hop);
    return summary.Finish();
}

}  // namespace

TEST(IntonationChart, CentsRangeFollowsNearlyAllReadings) {
    const std::pair<std::vector<float>, double> cases[] = {
        {{}, 20.0},
        {{0.0f, -3.0f, 4.0f}, 20.0},
        {{20.0f, -20.0f}, 20.0},
        {{21.0f, 3.0f, 3.0f}, 30.0},
        {{-29.5f}, 30.0},
        {{31.0f}, 50.0},
        {{std::numeric_limits<float>::quiet_NaN()}, 50.0},
    };
    for (const auto& [cents, range] : cases) EXPECT_EQ(ChooseCentsRange(cents), range) << cents.size();
    // A few wild readings (under 5 %) do not widen the chart.
    std::vector<float> mostlyClose(100, 2.0f);
    for (int i = 0; i < 4; ++i) mostlyClose[static_cast<std::size_t>(i)] = 45.0f;
    EXPECT_EQ(ChooseCentsRange(mostlyClose), 20.0);
    for (int i = 0; i < 10; ++i) mostlyClose[static_cast<std::size_t>(i)] = 45.0f;
    EXPECT_EQ(ChooseCentsRange(mostlyClose), 50.0);
}

TEST(IntonationChart, TimeStepsAndTheirLabels) {
    const std::tuple<double, int, double> steps[] = {
        {3.0, 12, 0.5},   {10.0, 12, 1.0},   {60.0, 12, 5.0},
        {61.0, 12, 10.0}, {600.0, 12, 60.0}, {1e6, 12, 86400.0},
    };
    for (const auto& [duration, ticks, step] : steps)
        EXPECT_DOUBLE_EQ(ChooseTimeStep(duration, ticks), step) << duration;
    const std::tuple<double, double, double, const char*> labels[] = {
        {2.5, 0.5, 3.0, "2.5"},     {0.0, 0.5, 3.0, "0.0"},       {30.0, 5.0, 60.0, "30"},
        {0.0, 60.0, 300.0, "0:00"}, {125.0, 60.0, 300.0, "2:05"}, {3600.0, 600.0, 7200.0, "60:00"},
    };
    for (const auto& [seconds, step, duration, text] : labels)
        EXPECT_EQ(FormatTimeTick(seconds, step, duration), text) << seconds;
}

TEST(IntonationChart, LaysOutTracesBandTicksAndNames) {
    std::vector<HopReading> hops;
    AddHops(hops, 30, 69, 3.0f);               // A4, 3 s held, +3 cents
    AddHops(hops, 2, NoteIndexInvalid, 0.0f);  // silence
    AddHops(hops, 1, 71, 12.0f);               // a passing B4
    AddHops(hops, 20, 72, -8.0f);              // C5, 2 s held, -8 cents
    AddHops(hops, 2, 74, 90.0f);               // D5 beyond the chart's range
    const ChartLayout layout = LayoutIntonationChart(hops, Spans(hops), kHop, 5.8, 1200.0, 480.0);

    const ChartRect& plot = layout.plot;
    EXPECT_TRUE(plot.x > 0.0 && plot.Right() < 1200.0 && plot.y > 0.0 && plot.Bottom() < 480.0);
    EXPECT_EQ(layout.centsRange, 20.0);
    const double perCent = plot.height / 40.0;
    EXPECT_NEAR(layout.zeroY, plot.y + plot.height / 2, 1e-9);
    EXPECT_NEAR(layout.band.y, layout.zeroY - 5 * perCent, 1e-9);
    EXPECT_NEAR(layout.band.height, 10 * perCent, 1e-9);

    // Ticks every 10 cents from +20 at the top to -20 at the bottom.
    const char* centsLabels[] = {"-20", "-10", "0", "+10", "+20"};
    ASSERT_EQ(layout.centsTicks.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(layout.centsTicks[i].label, centsLabels[i]);
        EXPECT_NEAR(layout.centsTicks[i].position, plot.Bottom() - plot.height * static_cast<double>(i) / 4,
                    1e-9);
    }
    ASSERT_GE(layout.timeTicks.size(), 2u);
    EXPECT_EQ(layout.timeTicks.front().label, "0.0");
    EXPECT_NEAR(layout.timeTicks.front().position, plot.x, 1e-9);
    EXPECT_LE(layout.timeTicks.back().position, plot.Right() + 1e-9);

    // One trace per note, the passing B4 grey; every hop drawn once.
    ASSERT_EQ(layout.traces.size(), 4u);
    const std::pair<int, std::size_t> colourAndPoints[] = {{0, 30}, {kChartShortNote, 1}, {1, 20}, {2, 2}};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(std::pair(layout.traces[i].colour, layout.traces[i].points.size()), colourAndPoints[i])
            << i;
    const ChartTrace& a4 = layout.traces[0];
    EXPECT_NEAR(a4.points.front().y, layout.zeroY - 3 * perCent, 1e-9);
    EXPECT_NEAR(a4.medianY, layout.zeroY - 3 * perCent, 1e-9);
    EXPECT_NEAR(a4.points.front().x, plot.x + plot.width * (0.05 / 5.8), 1e-9);
    EXPECT_NEAR(a4.startX, plot.x, 1e-9);
    EXPECT_NEAR(a4.endX, plot.x + plot.width * (3.0 / 5.8), 1e-9);
    EXPECT_NEAR(layout.traces[2].points.back().y, layout.zeroY + 8 * perCent, 1e-9);
    // Beyond the range: pinned to the top edge.
    EXPECT_NEAR(layout.traces[3].points.front().y, plot.y, 1e-9);

    // Names over the held notes only, centred on them.
    ASSERT_EQ(layout.noteLabels.size(), 3u);
    EXPECT_NEAR(layout.noteLabels[0].x, (a4.startX + a4.endX) / 2, 1e-9);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(layout.noteLabels[i].text, std::vector<std::string>({"A4", "C5", "D5"})[i]);
        EXPECT_EQ(layout.noteLabels[i].colour, static_cast<int>(i));
    }
}

TEST(IntonationChart, CrowdedNamesAreThinnedAndNothingHeldGivesNoName) {
    // Twenty held notes in two seconds on a narrow chart: names would overlap.
    std::vector<HopReading> hops;
    for (int i = 0; i < 20; ++i) AddHops(hops, 2, static_cast<NoteIndex>(i % 2 == 0 ? 60 : 62), 0.0f);
    const ChartLayout layout = LayoutIntonationChart(hops, Spans(hops), kHop, 4.0, 300.0, 200.0);
    EXPECT_EQ(layout.traces.size(), 20u);
    ASSERT_FALSE(layout.noteLabels.empty());
    EXPECT_LT(layout.noteLabels.size(), 20u);
    for (std::size_t i = 1; i < layout.noteLabels.size(); ++i)
        EXPECT_GT(layout.noteLabels[i].x - layout.noteLabels[i - 1].x, 16.0);

    std::vector<HopReading> silence;
    AddHops(silence, 10, NoteIndexInvalid, 0.0f);
    const ChartLayout empty = LayoutIntonationChart(silence, Spans(silence), kHop, 1.0, 1200.0, 480.0);
    EXPECT_TRUE(empty.traces.empty());
    EXPECT_TRUE(empty.noteLabels.empty());
    EXPECT_EQ(empty.centsRange, 20.0);
}

TEST(ProgressReport, QuietAtFirstThenPercentAndTimeLeft) {
    ProgressReport report(100.0);
    EXPECT_EQ(report.Update(5.0, 0.5), "");  // short runs never show anything
    EXPECT_EQ(report.Update(10.0, 2.0), "\r10%, 0:18 left");
    EXPECT_EQ(report.Update(11.0, 2.1), "");  // too soon to redraw
    EXPECT_EQ(report.Update(50.0, 10.0), "\r50%, 0:10 left");
    EXPECT_EQ(report.Update(100.0, 20.0), "\r100%, 0:00 left");
    EXPECT_EQ(report.Finish(), "\r" + std::string(15, ' ') + "\r");

    // A shorter line covers the rest of the longer one before it.
    ProgressReport slow(10000.0);
    EXPECT_EQ(slow.Update(1000.0, 4000.0), "\r10%, 10:00:00 left");
    EXPECT_EQ(slow.Update(9950.0, 4400.0), "\r99%, 0:22 left    ");

    ProgressReport unknown(0.0);
    EXPECT_EQ(unknown.Update(5.0, 10.0), "");
    EXPECT_EQ(unknown.Finish(), "");
    ProgressReport stalled(100.0);
    EXPECT_EQ(stalled.Update(0.0, 3.0), "\r0%");
}

TEST(ProgressReport, DurationsReadAsClockTimes) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0:00"},       {7.4, "0:07"},  {59.6, "1:00"},         {754.0, "12:34"},
        {3723.0, "1:02:03"}, {-5.0, "0:00"}, {std::nan(""), "0:00"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatDuration(seconds), text) << seconds;
}
