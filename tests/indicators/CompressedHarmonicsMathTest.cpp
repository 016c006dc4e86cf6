#include <cmath>

#include <gtest/gtest.h>

#include "indicators/math/CompressedHarmonicsMath.h"

using namespace Indicators;

namespace {

const PitchLimits kLimits = PitchLimitsOf(DefaultNoteTable());
const PixelRect kPlot{80, 1, 400, 200};  // a plot 400 x 200 pixels at (80, 1)

HarmonicsView View(float t0, float tSpan, float p0, float pSpan) {
    return {t0, tSpan, p0, pSpan};
}

// A history whose harmonic k lies offsetCents[k] away from the fundamental's
// pitch, at amplitude levels[k] (linear), one frame per hop.
HarmonicHistory MakeHistory(double fundamental, const std::vector<double>& offsetCents,
                            const std::vector<double>& amplitudes, int frames, double hop) {
    HarmonicHistory history;
    for (int f = 0; f < frames; ++f) {
        NoteAnalyzer::AnalysisResult result;
        result.level = -10.0;
        result.frequency = fundamental;
        result.hopDuration = hop;
        for (size_t k = 1; k < offsetCents.size(); ++k)
            result.harmonics[static_cast<int>(k)] = {amplitudes[k],
                                                     fundamental * k * std::exp2(offsetCents[k] / 1200.0)};
        history.AddFrame(result);
    }
    return history;
}

}  // namespace

TEST(CompressedHarmonicsMath, LayoutAndPitchLimits) {
    EXPECT_EQ(HarmonicsGraphLayout(400, 300),
              (HarmonicsLayout{{1, 1, 79, 276}, {80, 277, 319, 22}, {1, 277, 398, 22}, {80, 1, 319, 276}}));
    // Too small for a plot: empty rectangles, never negative ones.
    const HarmonicsLayout tiny = HarmonicsGraphLayout(20, 10);
    EXPECT_TRUE(tiny.plot.width == 0 && tiny.plot.height == 0 && tiny.pitchAxis.height >= 0);
    // The outer band edges; equal temperament's for an empty table.
    EXPECT_FLOAT_EQ(kLimits.bottom, -5750.0f);
    EXPECT_FLOAT_EQ(kLimits.top, 3950.0f);
    EXPECT_FLOAT_EQ(PitchLimitsOf(NoteTable{}).bottom, -5750.0f);
}

TEST(CompressedHarmonicsMath, SpansAndStartsAreClamped) {
    const struct {
        const char* name;
        HarmonicsView from;
        float timeSpan, pitchSpan;
        HarmonicsView expected;
    } cases[] = {
        {"narrower keeps the centre", View(10, 5, -12.5f, 25), 1, 5, View(12, 1, -2.5f, 5)},
        {"time below 1 s", View(0, 5, 0, 25), 0.2f, 25, View(2, 1, 0, 25)},
        {"time beyond 60 s starts at 0", View(0, 5, 0, 25), 100, 25, View(0, 60, 0, 25)},
        {"pitch below 1 cent", View(0, 5, 0, 25), 5, 0.01f, View(0, 5, 12, 1)},
        {"pitch beyond the table", View(0, 5, 0, 25), 5, 1e6f, View(0, 5, -5750, 9700)},
        {"unchanged spans keep their starts", View(3, 5, 7, 25), 5, 25, View(3, 5, 7, 25)},
    };
    for (const auto& c : cases) {
        HarmonicsView view = c.from;
        SetViewSpans(view, c.timeSpan, c.pitchSpan, kLimits);
        EXPECT_EQ(view, c.expected) << c.name;
    }
    HarmonicsView view = View(0, 5, 0, 25);
    SetViewStarts(view, -1, -6000, kLimits);
    EXPECT_EQ(view, View(0, 5, -5750, 25));
    SetViewStarts(view, 58, 4000, kLimits);
    EXPECT_EQ(view, View(55, 5, 3925, 25));

    const ViewMapping map{View(2, 4, -10, 20), kPlot};
    EXPECT_TRUE(map.X(2) == 80 && map.X(6) == 480 && map.Y(-10) == 201 && map.Y(10) == 1);
    EXPECT_DOUBLE_EQ(map.TimeAt(map.X(3.3)), 3.3);
    EXPECT_NEAR(map.PitchAt(map.Y(-4.2)), -4.2, 1e-12);
}

TEST(CompressedHarmonicsMath, WheelAndArrowKeysZoomAndPan) {
    const struct {
        const char* name;
        HarmonicsView from;
        int x, y, delta;
        HarmonicsView expected;
    } wheels[] = {
        {"notch up halves time about t = 2", View(0, 4, 0, 20), 280, 210, 120, View(1, 2, 0, 20)},
        {"notch down doubles, never before 0", View(0, 8, 0, 20), 130, 210, -120, View(0, 16, 0, 20)},
        {"never beyond 60 s", View(0, 40, 0, 20), 280, 210, -120, View(0, 60, 0, 20)},
        {"never below 1 s", View(3, 1, 0, 20), 280, 210, 240, View(3, 1, 0, 20)},
        {"pitch strip zooms pitch only", View(0, 4, 0, 20), 40, 101, 120, View(0, 4, 5, 10)},
        {"two notches in the plot zoom both", View(0, 4, 0, 20), 280, 101, 240, View(1.5f, 1, 7.5f, 5)},
    };
    for (const auto& c : wheels) {
        HarmonicsView view = c.from;
        EXPECT_TRUE(WheelZoom(view, kPlot, kLimits, c.x, c.y, c.delta)) << c.name;
        EXPECT_EQ(view, c.expected) << c.name;
    }
    HarmonicsView view = View(0, 4, 0, 20);
    EXPECT_FALSE(WheelZoom(view, PixelRect{80, 1, 0, 200}, kLimits, 100, 100, 120));
    view.pitchSpan = 0.0f;
    EXPECT_FALSE(WheelZoom(view, kPlot, kLimits, 100, 100, 120));

    // Without shift a tenth of the span is panned, with shift 5 % zoomed.
    const struct {
        ArrowKey key;
        float timeStart, pitchStart;
    } pans[] = {{ArrowKey::Up, 10, 2.50001f},
                {ArrowKey::Down, 10, -2.50001f},
                {ArrowKey::Left, 9.5f, 0},
                {ArrowKey::Right, 10.5f, 0}};
    for (const auto& c : pans) {
        view = View(10, 5, 0, 25.0001f);
        ApplyArrowKey(view, c.key, false, kLimits);
        EXPECT_FLOAT_EQ(view.timeStart, c.timeStart);
        EXPECT_FLOAT_EQ(view.pitchStart, c.pitchStart);
        EXPECT_EQ(view.timeSpan, 5.0f);
    }
    ApplyArrowKey(view, ArrowKey::Up, true, kLimits);
    EXPECT_FLOAT_EQ(view.pitchSpan, 25.0001f / 0.95f);
    ApplyArrowKey(view, ArrowKey::Right, true, kLimits);
    EXPECT_FLOAT_EQ(view.timeSpan, 5.0f * 0.95f);
    view = View(0, 59, 0, 25);
    ApplyArrowKey(view, ArrowKey::Left, true, kLimits);
    EXPECT_EQ(view, View(0, 60, 0, 25));
}

TEST(CompressedHarmonicsMath, AxisStepIsTheSmallestOneTwoFiveThatFits) {
    const struct {
        double pixelsPerUnit, minPixels;
        double step;
        int decimals, minorParts;
    } cases[] = {
        {100, 30, 0.5, 1, 5}, {1, 33, 50, 1, 5},     {20, 20, 2, 0, 4},     {20, 19.9, 1, 0, 2},
        {3, 22, 10, 1, 2},    {1e6, 1, 0.001, 3, 2}, {400, 10, 0.05, 2, 5}, {0.5, 50, 200, 2, 4},
    };
    for (const auto& c : cases) {
        const AxisStep step = FindAxisStep(c.pixelsPerUnit, c.minPixels);
        EXPECT_NEAR(step.step, c.step, c.step * 1e-9) << c.pixelsPerUnit << " " << c.minPixels;
        EXPECT_EQ(step.Decimals(), c.decimals) << c.step;
        EXPECT_EQ(step.MinorParts(), c.minorParts) << c.step;
    }
    EXPECT_EQ(FormatAxisValue(2.5, 1), "2.5");
    EXPECT_EQ(FormatAxisValue(3.0, 0), "3");
    EXPECT_EQ(FormatCentsLabel(0.0, 1), "0");
    EXPECT_EQ(FormatCentsLabel(-2.5, 1), "-2.5");
    EXPECT_EQ(FormatCentsLabel(10.0, 0), "+10");
}

TEST(CompressedHarmonicsMath, TicksStayInsideTheirStripAndBand) {
    const PixelRect timeStrip{80, 201, 400, 22};
    const AxisStep second = FindAxisStep(100, 50);
    ASSERT_DOUBLE_EQ(second.step, 1.0);
    std::vector<int> majors, minors;
    for (const AxisTick& t : TimeAxisTicks(ViewMapping{View(0, 4, 0, 20), kPlot}, timeStrip, second))
        (t.major ? majors : minors).push_back(t.column);
    EXPECT_EQ(majors, (std::vector<int>{80, 180, 280, 380}));
    EXPECT_EQ(minors, (std::vector<int>{130, 230, 330, 430}));
    // Started at 0.3 s: the tick at 0 s lies left of the strip, its minor
    // tick at 0.5 s inside.
    const auto shifted = TimeAxisTicks(ViewMapping{View(0.3f, 4, 0, 20), kPlot}, timeStrip, second);
    ASSERT_FALSE(shifted.empty());
    EXPECT_TRUE(!shifted.front().major && shifted.front().column == 100);
    for (const AxisTick& t : shifted) EXPECT_TRUE(t.column >= 80 && t.column < 480) << t.column;

    const NoteTable table = DefaultNoteTable();
    const PixelRect pitchStrip{1, 1, 79, 200};
    const ViewMapping map{View(0, 4, -12.5f, 25), kPlot};  // 8 pixels a cent
    const auto notes = VisibleNotes(table, map.view);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].note, 69);
    const auto ticks = PitchTicksOfNote(notes[0].band, map, pitchStrip, FindAxisStep(8.0, 12.0), 10.0);
    std::vector<std::string> labels;
    for (const PitchTick& t : ticks) labels.push_back(t.label);
    EXPECT_EQ(labels,
              (std::vector<std::string>{"0", "+2", "+4", "+6", "+8", "+10", "-2", "-4", "-6", "-8", "-10"}));
    EXPECT_TRUE(ticks.front().target && ticks.front().row == 101);
    // Across a band edge: two notes, and no tick beyond the lower band's top.
    const ViewMapping edge{View(0, 4, 30, 40), kPlot};  // 5 pixels a cent
    const auto both = VisibleNotes(table, edge.view);
    ASSERT_EQ(both.size(), 2u);
    for (const PitchTick& t : PitchTicksOfNote(both[0].band, edge, pitchStrip, FindAxisStep(5.0, 12.0), 10.0))
        EXPECT_GE(t.row - 5, edge.Y(50.0) - 0.5) << t.label;
}

TEST(CompressedHarmonicsMath, HitTestPicksTheNearestAudiblePartial) {
    EXPECT_DOUBLE_EQ(SquaredDistanceToSegment(5, 3, 0, 0, 10, 0), 9.0);    // foot inside
    EXPECT_DOUBLE_EQ(SquaredDistanceToSegment(-3, 4, 0, 0, 10, 0), 25.0);  // nearer end
    EXPECT_DOUBLE_EQ(SquaredDistanceToSegment(13, 4, 0, 0, 10, 0), 25.0);
    EXPECT_DOUBLE_EQ(SquaredDistanceToSegment(1, 1, 0, 0, 0, 0), 2.0);  // a point

    // Harmonic 2 lies 5 cents sharp, harmonic 3 quiet (-55 dB) 5 cents flat.
    const HarmonicHistory current = MakeHistory(440.0, {0, 20, 5, -5}, {0, 1.0, 0.5, 0.0018}, 5, 0.5);
    const ViewMapping map{View(0, 4, -10, 20), kPlot};  // 10 pixels a cent, 100 a second
    const struct {
        double cy;
        int harmonic;  // -1: none
    } cases[] = {
        {map.Y(5) + 3, 2},    // close to harmonic 2
        {map.Y(-5), -1},      // on the quiet harmonic 3
        {map.Y(5) + 10, -1},  // exactly at the tolerance
        {map.Y(0), -1},       // the index-0 line is never picked
    };
    for (const auto& c : cases) {
        const HarmonicHit hit = HitTestHarmonics(&current, nullptr, map, 150, c.cy, 10.0);
        EXPECT_EQ(hit.found ? hit.harmonic : -1, c.harmonic) << c.cy;
        EXPECT_TRUE(!hit.found || hit.history == HistoryKind::Current);
    }
    // The same partial in both histories: the reference wins the tie.
    const HarmonicHit tie = HitTestHarmonics(&current, &current, map, 150, map.Y(5), 10.0);
    EXPECT_TRUE(tie.found && tie.history == HistoryKind::Reference);
    EXPECT_FALSE(HitTestHarmonics(nullptr, nullptr, map, 150, map.Y(5), 10.0).found);
}

TEST(CompressedHarmonicsMath, FollowKeepsTheNewestDataInView) {
    // Twelve half-second steps end at 6 s; the fundamental is one semitone up.
    const HarmonicHistory history = MakeHistory(440.0 * std::exp2(1.0 / 12.0), {0, 0}, {0, 1.0}, 13, 0.5);
    HarmonicsView view;
    EXPECT_TRUE(FollowNewest(view, kPlot, kLimits, &history, false, false));
    EXPECT_FLOAT_EQ(view.timeStart, 1.0f);  // 80 whole pixels
    const double centsPerPixel = view.pitchSpan / kPlot.height;
    const double high = view.pitchStart + 0.85 * view.pitchSpan;
    EXPECT_GE(high - 100.0, -1e-3);
    EXPECT_LT(high - 100.0, centsPerPixel);
    const double pixels = (view.pitchStart + 12.5) / centsPerPixel;
    EXPECT_NEAR(pixels, std::round(pixels), 1e-2);  // whole pixels

    HarmonicsView dragged;
    EXPECT_FALSE(FollowNewest(dragged, kPlot, kLimits, &history, true, true));
    EXPECT_EQ(dragged, HarmonicsView{});
    // Data before the view moves it back left by whole pixels.
    HarmonicsView late = View(20, 5, -12.5f, 25.0001f);
    FollowNewest(late, kPlot, kLimits, &history, false, true);
    EXPECT_FLOAT_EQ(late.timeStart, 6.0f);
}

TEST(CompressedHarmonicsMath, PlotUpdatePlan) {
    PlotSnapshot drawn;
    drawn.view = View(0, 4, 0, 20);  // 100 pixels a second, 10 a cent
    drawn.currentEnd = 1.0f;
    // Scrolls by whole pixels and new data redraw bands; anything else all.
    const struct {
        const char* name;
        float timeStart, pitchStart, currentEnd;
        bool full;
        std::vector<PixelRect> regions;
    } cases[] = {
        {"unchanged", 0, 0, 1, false, {}},
        {"one pixel left", 0.01f, 0, 1, false, {{478, 1, 2, 200}}},
        {"three pixels right", -0.03f, 0, 1, false, {{80, 1, 4, 200}}},
        {"two rows up", 0, 0.2f, 1, false, {{80, 1, 400, 3}}},
        {"two rows down", 0, -0.2f, 1, false, {{80, 198, 400, 3}}},
        {"half a pixel", 0.005f, 0, 1, true, {}},
        {"new data", 0, 0, 1.25f, false, {{175, 1, 35, 200}}},
        {"one large band", 3.5f, 0, 1, false, {{129, 1, 351, 200}}},
        {"two bands past three quarters", 1.0f, 10.0f, 1, true, {}},
    };
    for (const auto& c : cases) {
        PlotSnapshot now = drawn;
        now.view.timeStart = c.timeStart;
        now.view.pitchStart = c.pitchStart;
        now.currentEnd = c.currentEnd;
        const PlotUpdatePlan plan = PlanPlotUpdate(true, drawn, now, kPlot);
        EXPECT_EQ(plan.full, c.full) << c.name;
        EXPECT_EQ(plan.regions, c.regions) << c.name;
        EXPECT_TRUE(c.timeStart != 0.01f || (plan.dx == 1 && plan.dy == 0));
    }
    const auto fullAfter = [&](auto change) {
        PlotSnapshot now = drawn;
        change(now);
        return PlanPlotUpdate(true, drawn, now, kPlot).full;
    };
    EXPECT_TRUE(fullAfter([](PlotSnapshot& s) { s.view.timeSpan = 3; }));
    EXPECT_TRUE(fullAfter([](PlotSnapshot& s) { s.hoveredCurrent = 2; }));
    EXPECT_TRUE(fullAfter([](PlotSnapshot& s) { s.selectedReference = 1; }));
    EXPECT_TRUE(fullAfter([](PlotSnapshot& s) { s.currentGeneration = 7; }));
    EXPECT_TRUE(fullAfter([](PlotSnapshot& s) { s.referenceEnd = 2; }));
    EXPECT_TRUE(PlanPlotUpdate(false, drawn, drawn, kPlot).full);
}

TEST(CompressedHarmonicsMath, StatusDescribesTheHoveredOrSelectedHarmonic) {
    // Ordinals follow the last digit alone.
    const std::pair<int, const char*> ordinals[] = {{1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},
                                                    {10, "10th"}, {11, "11st"}, {12, "12nd"}, {13, "13rd"},
                                                    {20, "20th"}, {21, "21st"}, {64, "64th"}, {0, "0th"}};
    for (const auto& [n, text] : ordinals) EXPECT_EQ(HarmonicOrdinal(n), text);

    const HarmonicHistory current = MakeHistory(440.0, {0, 0, 5}, {0, 1.0, 0.1}, 3, 0.5);
    const ViewMapping map{View(0, 4, -10, 20), kPlot};
    const HarmonicHistory* cur = &current;
    const struct {
        HarmonicsStatusInput in;
        int x;
        std::array<std::string, 3> expected;
    } cases[] = {
        {{cur, nullptr, -1, -1, 2, -1}, 130, {"2nd harmonic of current note", "0.50s", ""}},
        {{cur, nullptr, -1, -1, 2, -1}, 105, {"2nd harmonic of current note", "0.25s", "-20.0dB, 882.5Hz"}},
        {{cur, cur, 2, -1, -1, 12}, 105, {"12nd harmonic of reference note", "0.25s", ""}},
        {{cur, cur, 2, 11, -1, -1}, 60, {"2nd harmonic of current note (selected)", "0.00s", ""}},
        {{nullptr, cur, 2, 11, -1, -1}, 60, {"11st harmonic of reference note (selected)", "0.00s", ""}},
        {{nullptr, nullptr, 2, 3, -1, -1}, 480, {"", "4.00s", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(HarmonicsStatus(c.in, map, c.x), c.expected) << c.x;
}
