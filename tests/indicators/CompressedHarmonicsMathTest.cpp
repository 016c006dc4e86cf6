#include <cmath>

#include <gtest/gtest.h>

#include "indicators/math/CompressedHarmonicsMath.h"

using namespace Indicators;

namespace {

const PitchLimits kLimits = PitchLimitsOf(DefaultNoteTable());
// A plot 400 x 200 pixels at (80, 1).
const PixelRect kPlot{80, 1, 400, 200};

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

TEST(CompressedHarmonicsMath, LayoutSplitsTheClientIntoFourStrips) {
    const HarmonicsLayout layout = HarmonicsGraphLayout(400, 300);
    EXPECT_EQ(layout.pitchAxis, (PixelRect{1, 1, 79, 276}));
    EXPECT_EQ(layout.timeAxis, (PixelRect{80, 277, 319, 22}));
    EXPECT_EQ(layout.bottomStrip, (PixelRect{1, 277, 398, 22}));
    EXPECT_EQ(layout.plot, (PixelRect{80, 1, 319, 276}));
    // Too small for a plot: empty rectangles, never negative ones.
    const HarmonicsLayout tiny = HarmonicsGraphLayout(20, 10);
    EXPECT_EQ(tiny.plot.width, 0);
    EXPECT_EQ(tiny.plot.height, 0);
    EXPECT_GE(tiny.pitchAxis.height, 0);
}

TEST(CompressedHarmonicsMath, LimitsComeFromTheOuterBandEdges) {
    EXPECT_FLOAT_EQ(kLimits.bottom, -5750.0f);
    EXPECT_FLOAT_EQ(kLimits.top, 3950.0f);
    const PitchLimits empty = PitchLimitsOf(NoteTable{});
    EXPECT_FLOAT_EQ(empty.bottom, -5750.0f);
}

TEST(CompressedHarmonicsMath, SpansAndStartsAreClamped) {
    struct Case {
        const char* name;
        HarmonicsView from;
        float timeSpan, pitchSpan;
        HarmonicsView expected;
    };
    const Case cases[] = {
        {"narrower keeps the centre", View(10, 5, -12.5f, 25), 1, 5, View(12, 1, -2.5f, 5)},
        {"time below 1 s", View(0, 5, 0, 25), 0.2f, 25, View(2, 1, 0, 25)},
        {"time beyond 60 s starts at 0", View(0, 5, 0, 25), 100, 25, View(0, 60, 0, 25)},
        {"pitch below 1 cent", View(0, 5, 0, 25), 5, 0.01f, View(0, 5, 12, 1)},
        {"pitch beyond the table", View(0, 5, 0, 25), 5, 1e6f, View(0, 5, -5750, 9700)},
        {"unchanged spans keep their starts", View(3, 5, 7, 25), 5, 25, View(3, 5, 7, 25)},
    };
    for (const Case& c : cases) {
        HarmonicsView view = c.from;
        SetViewSpans(view, c.timeSpan, c.pitchSpan, kLimits);
        EXPECT_EQ(view, c.expected) << c.name;
    }
    HarmonicsView view = View(0, 5, 0, 25);
    SetViewStarts(view, -1, -6000, kLimits);
    EXPECT_EQ(view, View(0, 5, -5750, 25));
    SetViewStarts(view, 58, 4000, kLimits);
    EXPECT_EQ(view, View(55, 5, 3925, 25));
}

TEST(CompressedHarmonicsMath, MappingRoundTrips) {
    const ViewMapping map{View(2, 4, -10, 20), kPlot};
    EXPECT_DOUBLE_EQ(map.X(2), 80);
    EXPECT_DOUBLE_EQ(map.X(6), 480);
    EXPECT_DOUBLE_EQ(map.Y(-10), 201);
    EXPECT_DOUBLE_EQ(map.Y(10), 1);
    EXPECT_DOUBLE_EQ(map.TimeAt(map.X(3.3)), 3.3);
    EXPECT_NEAR(map.PitchAt(map.Y(-4.2)), -4.2, 1e-12);
}

TEST(CompressedHarmonicsMath, WheelZoomsAboutTheCursor) {
    struct Case {
        const char* name;
        HarmonicsView from;
        int x, y, delta;
        HarmonicsView expected;
    };
    const int timeStripY = 210, pitchStripX = 40;
    const Case cases[] = {
        {"notch up halves time about t = 2", View(0, 4, 0, 20), 280, timeStripY, 120, View(1, 2, 0, 20)},
        {"notch down doubles, never before 0", View(0, 8, 0, 20), 130, timeStripY, -120, View(0, 16, 0, 20)},
        {"never beyond 60 s", View(0, 40, 0, 20), 280, timeStripY, -120, View(0, 60, 0, 20)},
        {"never below 1 s", View(3, 1, 0, 20), 280, timeStripY, 240, View(3, 1, 0, 20)},
        {"pitch strip zooms pitch only", View(0, 4, 0, 20), pitchStripX, 101, 120, View(0, 4, 5, 10)},
        {"two notches in the plot zoom both", View(0, 4, 0, 20), 80 + 200, 101, 240, View(1.5f, 1, 7.5f, 5)},
    };
    for (const Case& c : cases) {
        HarmonicsView view = c.from;
        EXPECT_TRUE(WheelZoom(view, kPlot, kLimits, c.x, c.y, c.delta)) << c.name;
        EXPECT_EQ(view, c.expected) << c.name;
    }
    HarmonicsView view = View(0, 4, 0, 20);
    EXPECT_FALSE(WheelZoom(view, PixelRect{80, 1, 0, 200}, kLimits, 100, 100, 120));
    view.pitchSpan = 0.0f;
    EXPECT_FALSE(WheelZoom(view, kPlot, kLimits, 100, 100, 120));
}

TEST(CompressedHarmonicsMath, ArrowKeysPanAndZoom) {
    struct Case {
        ArrowKey key;
        bool shift;
        HarmonicsView expected;
    };
    const HarmonicsView from = View(10, 5, 0, 25.0001f);
    const Case cases[] = {
        {ArrowKey::Up, false, View(10, 5, 2.50001f, 25.0001f)},
        {ArrowKey::Down, false, View(10, 5, -2.50001f, 25.0001f)},
        {ArrowKey::Left, false, View(9.5f, 5, 0, 25.0001f)},
        {ArrowKey::Right, false, View(10.5f, 5, 0, 25.0001f)},
    };
    for (const Case& c : cases) {
        HarmonicsView view = from;
        ApplyArrowKey(view, c.key, c.shift, kLimits);
        EXPECT_FLOAT_EQ(view.timeStart, c.expected.timeStart);
        EXPECT_FLOAT_EQ(view.pitchStart, c.expected.pitchStart);
        EXPECT_EQ(view.timeSpan, c.expected.timeSpan);
    }
    HarmonicsView view = from;
    ApplyArrowKey(view, ArrowKey::Up, true, kLimits);
    EXPECT_FLOAT_EQ(view.pitchSpan, 25.0001f / 0.95f);
    ApplyArrowKey(view, ArrowKey::Right, true, kLimits);
    EXPECT_FLOAT_EQ(view.timeSpan, 5.0f * 0.95f);
    view = View(0, 59, 0, 25);
    ApplyArrowKey(view, ArrowKey::Left, true, kLimits);
    EXPECT_EQ(view.timeSpan, 60.0f);
    EXPECT_EQ(view.timeStart, 0.0f);
}

TEST(CompressedHarmonicsMath, AxisStepIsTheSmallestOneTwoFiveThatFits) {
    struct Case {
        double pixelsPerUnit, minPixels;
        double step;
        int decimals, minorParts;
    };
    const Case cases[] = {
        {100, 30, 0.5, 1, 5}, {1, 33, 50, 1, 5},     {20, 20, 2, 0, 4},     {20, 19.9, 1, 0, 2},
        {3, 22, 10, 1, 2},    {1e6, 1, 0.001, 3, 2}, {400, 10, 0.05, 2, 5}, {0.5, 50, 200, 2, 4},
    };
    for (const Case& c : cases) {
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

TEST(CompressedHarmonicsMath, TimeTicksFillTheStripOnly) {
    const PixelRect strip{80, 201, 400, 22};
    const AxisStep step = FindAxisStep(100, 50);  // 1 s
    ASSERT_DOUBLE_EQ(step.step, 1.0);
    const auto ticks = TimeAxisTicks(ViewMapping{View(0, 4, 0, 20), kPlot}, strip, step);
    std::vector<int> majors, minors;
    for (const AxisTick& t : ticks) (t.major ? majors : minors).push_back(t.column);
    EXPECT_EQ(majors, (std::vector<int>{80, 180, 280, 380}));
    EXPECT_EQ(minors, (std::vector<int>{130, 230, 330, 430}));

    // Started at 0.3 s: the tick at 0 s lies left of the strip, its minor
    // tick at 0.5 s inside.
    const auto shifted = TimeAxisTicks(ViewMapping{View(0.3f, 4, 0, 20), kPlot}, strip, step);
    ASSERT_FALSE(shifted.empty());
    EXPECT_FALSE(shifted.front().major);
    EXPECT_EQ(shifted.front().column, 100);
    for (const AxisTick& t : shifted) {
        EXPECT_GE(t.column, strip.x);
        EXPECT_LT(t.column, strip.x + strip.width);
    }
}

TEST(CompressedHarmonicsMath, PitchTicksStayInsideTheirBand) {
    const NoteTable table = DefaultNoteTable();
    const PixelRect strip{1, 1, 79, 200};
    const ViewMapping map{View(0, 4, -12.5f, 25), kPlot};  // 8 pixels a cent
    const auto notes = VisibleNotes(table, map.view);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].note, 69);
    const AxisStep step = FindAxisStep(8.0, 12.0);  // 2 cents
    const auto ticks = PitchTicksOfNote(notes[0].band, map, strip, step, 10.0);
    std::vector<std::string> labels;
    for (const PitchTick& t : ticks) labels.push_back(t.label);
    EXPECT_EQ(labels,
              (std::vector<std::string>{"0", "+2", "+4", "+6", "+8", "+10", "-2", "-4", "-6", "-8", "-10"}));
    EXPECT_TRUE(ticks.front().target);
    EXPECT_EQ(ticks.front().row, 101);

    // Across a band edge: two notes, and no tick beyond the lower band's top.
    const ViewMapping edge{View(0, 4, 30, 40), kPlot};  // 5 pixels a cent
    const auto both = VisibleNotes(table, edge.view);
    ASSERT_EQ(both.size(), 2u);
    for (const PitchTick& t : PitchTicksOfNote(both[0].band, edge, strip, FindAxisStep(5.0, 12.0), 10.0))
        EXPECT_GE(t.row - 5, edge.Y(50.0) - 0.5) << t.label;
}

TEST(CompressedHarmonicsMath, SegmentDistance) {
    EXPECT_DOUBLE_EQ(SquaredDistanceToSegment(5, 3, 0, 0, 10, 0), 9.0);    // foot inside
    EXPECT_DOUBLE_EQ(SquaredDistanceToSegment(-3, 4, 0, 0, 10, 0), 25.0);  // nearer end
    EXPECT_DOUBLE_EQ(SquaredDistanceToSegment(13, 4, 0, 0, 10, 0), 25.0);
    EXPECT_DOUBLE_EQ(SquaredDistanceToSegment(1, 1, 0, 0, 0, 0), 2.0);  // a point
}

TEST(CompressedHarmonicsMath, HitTestPicksTheNearestAudiblePartial) {
    // Harmonic 2 lies 5 cents sharp, harmonic 3 quiet (-55 dB) 5 cents flat.
    const HarmonicHistory current = MakeHistory(440.0, {0, 20, 5, -5}, {0, 1.0, 0.5, 0.0018}, 5, 0.5);
    const ViewMapping map{View(0, 4, -10, 20), kPlot};  // 10 pixels a cent, 100 a second
    struct Case {
        double cx, cy;
        bool found;
        int harmonic;
    };
    const Case cases[] = {
        {150, map.Y(5) + 3, true, 2},     // close to harmonic 2
        {150, map.Y(-5), false, -1},      // on the quiet harmonic 3
        {150, map.Y(5) + 10, false, -1},  // exactly at the tolerance
        {150, map.Y(0), false, -1},       // the index-0 line is never picked
    };
    for (const Case& c : cases) {
        const HarmonicHit hit = HitTestHarmonics(&current, nullptr, map, c.cx, c.cy, 10.0);
        EXPECT_EQ(hit.found, c.found) << c.cy;
        if (hit.found) {
            EXPECT_EQ(hit.harmonic, c.harmonic);
            EXPECT_EQ(hit.history, HistoryKind::Current);
        }
    }
    // The same partial in both histories: the reference wins the tie.
    const HarmonicHit tie = HitTestHarmonics(&current, &current, map, 150, map.Y(5), 10.0);
    ASSERT_TRUE(tie.found);
    EXPECT_EQ(tie.history, HistoryKind::Reference);
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
    auto with = [&](auto change) {
        PlotSnapshot s = drawn;
        change(s);
        return s;
    };
    struct Case {
        const char* name;
        PlotSnapshot now;
        bool full;
        std::vector<PixelRect> regions;
    };
    const Case cases[] = {
        {"unchanged", drawn, false, {}},
        {"one pixel left",
         with([](PlotSnapshot& s) { s.view.timeStart = 0.01f; }),
         false,
         {{478, 1, 2, 200}}},
        {"three pixels right",
         with([](PlotSnapshot& s) { s.view.timeStart = -0.03f; }),
         false,
         {{80, 1, 4, 200}}},
        {"two rows up", with([](PlotSnapshot& s) { s.view.pitchStart = 0.2f; }), false, {{80, 1, 400, 3}}},
        {"two rows down",
         with([](PlotSnapshot& s) { s.view.pitchStart = -0.2f; }),
         false,
         {{80, 198, 400, 3}}},
        {"half a pixel", with([](PlotSnapshot& s) { s.view.timeStart = 0.005f; }), true, {}},
        {"new data", with([](PlotSnapshot& s) { s.currentEnd = 1.25f; }), false, {{175, 1, 35, 200}}},
        {"span", with([](PlotSnapshot& s) { s.view.timeSpan = 3; }), true, {}},
        {"hover", with([](PlotSnapshot& s) { s.hoveredCurrent = 2; }), true, {}},
        {"selection", with([](PlotSnapshot& s) { s.selectedReference = 1; }), true, {}},
        {"generation", with([](PlotSnapshot& s) { s.currentGeneration = 7; }), true, {}},
        {"reference end", with([](PlotSnapshot& s) { s.referenceEnd = 2; }), true, {}},
        {"one large band",
         with([](PlotSnapshot& s) { s.view.timeStart = 3.5f; }),
         false,
         {{129, 1, 351, 200}}},
        {"two bands past three quarters",
         with([](PlotSnapshot& s) {
             s.view.timeStart = 2.0f;
             s.view.pitchStart = 15.0f;
         }),
         true,
         {}},
    };
    for (const Case& c : cases) {
        const PlotUpdatePlan plan = PlanPlotUpdate(true, drawn, c.now, kPlot);
        EXPECT_EQ(plan.full, c.full) << c.name;
        EXPECT_EQ(plan.regions, c.regions) << c.name;
    }
    EXPECT_TRUE(PlanPlotUpdate(false, drawn, drawn, kPlot).full);
    const PlotUpdatePlan scrolled = PlanPlotUpdate(true, drawn, cases[1].now, kPlot);
    EXPECT_EQ(scrolled.dx, 1);
    EXPECT_EQ(scrolled.dy, 0);
}

TEST(CompressedHarmonicsMath, OrdinalsFollowTheLastDigit) {
    const std::pair<int, const char*> cases[] = {{1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},
                                                 {10, "10th"}, {11, "11st"}, {12, "12nd"}, {13, "13rd"},
                                                 {20, "20th"}, {21, "21st"}, {64, "64th"}, {0, "0th"}};
    for (const auto& [n, text] : cases) EXPECT_EQ(HarmonicOrdinal(n), text);
}

TEST(CompressedHarmonicsMath, StatusDescribesTheHoveredOrSelectedHarmonic) {
    const HarmonicHistory current = MakeHistory(440.0, {0, 0, 5}, {0, 1.0, 0.1}, 3, 0.5);
    const ViewMapping map{View(0, 4, -10, 20), kPlot};
    struct Case {
        HarmonicsStatusInput in;
        int x;
        std::array<std::string, 3> expected;
    };
    const HarmonicHistory* cur = &current;
    const Case cases[] = {
        {{cur, nullptr, -1, -1, 2, -1}, 130, {"2nd harmonic of current note", "0.50s", ""}},
        {{cur, nullptr, -1, -1, 2, -1}, 105, {"2nd harmonic of current note", "0.25s", "-20.0dB, 880.0Hz"}},
        {{cur, cur, 2, -1, -1, 12}, 105, {"12nd harmonic of reference note", "0.25s", ""}},
        {{cur, cur, 2, 11, -1, -1}, 60, {"2nd harmonic of current note (selected)", "0.00s", ""}},
        {{nullptr, cur, 2, 11, -1, -1}, 60, {"11st harmonic of reference note (selected)", "0.00s", ""}},
        {{nullptr, nullptr, 2, 3, -1, -1}, 480, {"", "4.00s", ""}},
    };
    for (const Case& c : cases) {
        auto status = HarmonicsStatus(c.in, map, c.x);
        EXPECT_EQ(status[0], c.expected[0]);
        EXPECT_EQ(status[1], c.expected[1]);
        if (!c.expected[2].empty()) {
            EXPECT_NE(status[2].find("-20.0dB"), std::string::npos) << status[2];
            EXPECT_NE(status[2].find("Hz"), std::string::npos) << status[2];
        } else {
            EXPECT_EQ(status[2], "");
        }
    }
}
