#include <cmath>
#include <map>

#include "PaneTestSupport.h"
#include "indicators/CompressedHarmonicsIndicator.h"

using namespace Indicators;

namespace {

// Partial k of a 220 Hz note lies offsets[k] cents from the fundamental's
// pitch; every partial is loud enough to be picked.
HarmonicHistory MakeHistory(const std::vector<double>& offsets, int frames, double hop) {
    HarmonicHistory history;
    for (int f = 0; f < frames; ++f) {
        NoteAnalyzer::AnalysisResult result;
        result.level = -10.0;
        result.frequency = 220.0;
        result.hopDuration = hop;
        for (size_t k = 1; k < offsets.size(); ++k)
            result.harmonics[static_cast<int>(k)] = {0.5, 220.0 * k * std::exp2(offsets[k] / 1200.0)};
        history.AddFrame(result);
    }
    return history;
}

constexpr float kA3 = -1200.0f;

class CompressedHarmonicsTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        graph = new CCompressedHarmonicsIndicator();
        ASSERT_TRUE(graph->Create(host, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight)));
        Resize(*graph, wxSize(kWidth, kHeight));
        graph->SetNoteTable(DefaultNoteTable());
        auto count = [this](wxCommandEvent& event) { ++received[event.GetEventType()]; };
        host->Bind(EVT_COMPRESSED_STATUS, count);
        host->Bind(EVT_COMPRESSED_SELECTION, count);
        host->Bind(EVT_COMPRESSED_RANGE, count);
        graph->SetSpans(4.0f, 20.0f);
        graph->SetStarts(0.0f, kA3 - 10.0f);
    }
    void TearDown() override {
        if (graph->HasCapture()) graph->ReleaseMouse();
        // The histories are the test's locals; the host paints once more.
        graph->SetHistories(nullptr, nullptr);
        PaneTest::TearDown();
    }

    void Mouse(wxEventType type, wxPoint p, int wheel = 0) {
        wxMouseEvent event(type);
        event.SetPosition(p);
        event.SetEventObject(graph);
        event.m_wheelRotation = wheel;
        event.m_wheelDelta = 120;
        graph->ProcessWindowEvent(event);
    }
    void Key(int code, bool shift) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        event.m_shiftDown = shift;
        event.SetEventObject(graph);
        graph->ProcessWindowEvent(event);
    }
    // The point of the plot at time t and pitch cents.
    wxPoint PointOf(double t, double cents) const {
        const ViewMapping map{
            {graph->TimeStart(), graph->TimeSpan(), graph->PitchStart(), graph->PitchSpan()},
            graph->Layout().plot};
        return {static_cast<int>(std::lround(map.X(t))), static_cast<int>(std::lround(map.Y(cents)))};
    }
    int Received(wxEventType type) { return received[type]; }
    int TimeStripY() const { return graph->Layout().timeAxis.y + 5; }

    static constexpr int kWidth = 481, kHeight = 324;  // a 400 x 300 plot
    CCompressedHarmonicsIndicator* graph = nullptr;
    std::map<wxEventType, int> received;
};

}  // namespace

TEST_F(CompressedHarmonicsTest, WheelOverTheTimeStripHalvesTheSpanAboutTheCursor) {
    ASSERT_EQ(graph->Layout().plot, (PixelRect{80, 1, 400, 300}));
    const int x = graph->Layout().plot.x + 3 * graph->Layout().plot.width / 4;  // t = 3 s
    Mouse(wxEVT_MOUSEWHEEL, {x, TimeStripY()}, 120);
    EXPECT_FLOAT_EQ(graph->TimeSpan(), 2.0f);
    EXPECT_FLOAT_EQ(graph->TimeStart(), 1.5f);
    EXPECT_FLOAT_EQ(graph->PitchSpan(), 20.0f);  // the pitch axis stays
    // Queued, not handled inside the graph's handler.
    EXPECT_EQ(Received(EVT_COMPRESSED_RANGE), 0);
    PumpEvents();
    EXPECT_EQ(Received(EVT_COMPRESSED_RANGE), 1);

    for (int i = 0; i < 4; ++i) Mouse(wxEVT_MOUSEWHEEL, {x, TimeStripY()}, 120);
    EXPECT_FLOAT_EQ(graph->TimeSpan(), 1.0f);
    for (int i = 0; i < 8; ++i) Mouse(wxEVT_MOUSEWHEEL, {x, TimeStripY()}, -120);
    EXPECT_FLOAT_EQ(graph->TimeSpan(), 60.0f);
    EXPECT_FLOAT_EQ(graph->TimeStart(), 0.0f);
}

TEST_F(CompressedHarmonicsTest, ArrowKeysZoomWithShiftAndPanWithout) {
    const float span = graph->PitchSpan(), start = graph->PitchStart();
    Key(WXK_UP, true);
    EXPECT_FLOAT_EQ(graph->PitchSpan(), span / 0.95f);
    Key(WXK_DOWN, true);
    EXPECT_NEAR(graph->PitchSpan(), span, 1e-4);
    Key(WXK_UP, false);
    EXPECT_NEAR(graph->PitchStart(), start + 0.1f * graph->PitchSpan(), 1e-3);
    Key(WXK_RIGHT, false);
    EXPECT_FLOAT_EQ(graph->TimeStart(), 0.4f);
    Key(WXK_LEFT, true);
    EXPECT_FLOAT_EQ(graph->TimeSpan(), 4.0f / 0.95f);
}

TEST_F(CompressedHarmonicsTest, ClickSelectsAPartialAndRightClickClearsIt) {
    const HarmonicHistory current = MakeHistory({0, 0, 6}, 100, 0.04);
    graph->SetHistories(&current, nullptr);
    Mouse(wxEVT_LEFT_DOWN, PointOf(1.0, kA3 + 6) + wxPoint(0, 4));
    Mouse(wxEVT_LEFT_UP, PointOf(1.0, kA3 + 6));
    EXPECT_EQ(graph->SelectedCurrent(), 2);
    EXPECT_EQ(graph->SelectedReference(), -1);
    EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), 0);
    PumpEvents();
    EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), 1);
    EXPECT_EQ(graph->GetStatus()[0], "2nd harmonic of current note (selected)");

    // Clicking the selected partial again changes nothing and posts nothing.
    Mouse(wxEVT_LEFT_DOWN, PointOf(1.0, kA3 + 6));
    Mouse(wxEVT_LEFT_UP, PointOf(1.0, kA3 + 6));
    PumpEvents();
    EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), 1);

    received.clear();
    Mouse(wxEVT_RIGHT_UP, PointOf(2.0, kA3 - 8));
    PumpEvents();
    EXPECT_EQ(graph->SelectedCurrent(), -1);
    EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), 1);
    EXPECT_EQ(Received(EVT_COMPRESSED_STATUS), 1);

    received.clear();
    Mouse(wxEVT_RIGHT_UP, PointOf(2.0, kA3 - 8));
    PumpEvents();
    EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), 0);
    EXPECT_EQ(Received(EVT_COMPRESSED_STATUS), 0);
}

TEST_F(CompressedHarmonicsTest, HoverFollowsTheMouseAndLeavingClearsIt) {
    const HarmonicHistory current = MakeHistory({0, 0, 6}, 100, 0.04);
    const HarmonicHistory reference = MakeHistory({0, 0, 0, -6}, 100, 0.04);
    graph->SetHistories(&current, &reference);
    Mouse(wxEVT_MOTION, PointOf(1.0, kA3 - 6));
    EXPECT_EQ(graph->HoveredReference(), 3);
    EXPECT_EQ(graph->HoveredCurrent(), -1);
    EXPECT_EQ(graph->GetStatus()[0], "3rd harmonic of reference note");
    EXPECT_EQ(graph->GetStatus()[1], "1.00s");
    Mouse(wxEVT_MOTION, PointOf(1.0, kA3 + 6));
    EXPECT_EQ(graph->HoveredCurrent(), 2);
    EXPECT_EQ(graph->HoveredReference(), -1);
    // Over the time strip nothing is hovered.
    Mouse(wxEVT_MOTION, {PointOf(1.0, 0).x, TimeStripY()});
    EXPECT_EQ(graph->HoveredCurrent(), -1);
    Mouse(wxEVT_MOTION, PointOf(1.0, kA3 + 6));
    PumpEvents();
    received.clear();
    Mouse(wxEVT_LEAVE_WINDOW, {-5, -5});
    PumpEvents();
    EXPECT_EQ(graph->HoveredCurrent(), -1);
    EXPECT_EQ(Received(EVT_COMPRESSED_STATUS), 1);
}

TEST_F(CompressedHarmonicsTest, DraggingPansWithTheMouseCaptured) {
    const wxPoint start{300, TimeStripY()};
    Mouse(wxEVT_LEFT_DOWN, start);
    EXPECT_TRUE(graph->HasCapture());
    Mouse(wxEVT_MOTION, start - wxPoint(100, 0));  // a quarter of the plot
    EXPECT_FLOAT_EQ(graph->TimeStart(), 1.0f);
    EXPECT_FLOAT_EQ(graph->PitchStart(), kA3 - 10.0f);  // the time strip pans time only
    Mouse(wxEVT_LEFT_UP, start);
    EXPECT_FALSE(graph->HasCapture());

    // Losing the capture ends the drag: later moves do not pan.
    Mouse(wxEVT_LEFT_DOWN, {200, 100});
    wxMouseCaptureLostEvent lost(graph->GetId());
    lost.SetEventObject(graph);
    graph->ProcessWindowEvent(lost);
    const float timeStart = graph->TimeStart(), pitchStart = graph->PitchStart();
    Mouse(wxEVT_MOTION, {150, 150});
    EXPECT_EQ(graph->TimeStart(), timeStart);
    EXPECT_EQ(graph->PitchStart(), pitchStart);
}

TEST_F(CompressedHarmonicsTest, WholePixelPanRedrawsOnlyTheUncoveredBand) {
    const HarmonicHistory current = MakeHistory({0, 0, 6, -4}, 200, 0.04);
    graph->SetHistories(&current, nullptr);
    // Rows and columns of the ticks away from half pixels, so rounding
    // cannot differ between the shifted and the fresh face.
    graph->SetStarts(0.0f, kA3 - 10.37f);
    RenderPane(*graph);
    ASSERT_TRUE(graph->LastPaint().wholePlot);
    EXPECT_TRUE(graph->LastPaint().pitchAxis);

    const PixelRect plot = graph->Layout().plot;
    // Three pixels to the right in time and two rows in pitch.
    graph->SetStarts(graph->TimeStart() + 3 * graph->TimeSpan() / plot.width,
                     graph->PitchStart() + 2 * graph->PitchSpan() / plot.height);
    const wxImage scrolled = RenderPane(*graph);
    const auto& paint = graph->LastPaint();
    EXPECT_FALSE(paint.wholePlot);
    EXPECT_EQ(paint.dx, 3);
    EXPECT_EQ(paint.dy, 2);
    EXPECT_EQ(paint.plotRegions, (std::vector<PixelRect>{{plot.x + plot.width - 4, plot.y, 4, plot.height},
                                                         {plot.x, plot.y, plot.width, 3}}));
    EXPECT_FALSE(paint.frame);

    // The shifted face matches one drawn from scratch.
    graph->RedrawAll();
    const wxImage fresh = RenderPane(*graph);
    ASSERT_TRUE(graph->LastPaint().wholePlot);
    int differing = 0;
    for (int y = plot.y; y < plot.y + plot.height; ++y)
        for (int x = plot.x; x < plot.x + plot.width; ++x)
            if (ColourDistance(PixelAt(scrolled, x, y), PixelAt(fresh, x, y)) > 40) ++differing;
    EXPECT_LT(differing, plot.width / 10);

    // Nothing changed: nothing of the plot is drawn.
    RenderPane(*graph);
    EXPECT_TRUE(graph->LastPaint().plotRegions.empty());
    EXPECT_FALSE(graph->LastPaint().timeAxis);
}

TEST_F(CompressedHarmonicsTest, NewFramesRedrawOnlyTheirColumns) {
    HarmonicHistory current = MakeHistory({0, 0, 6}, 20, 0.04);
    graph->SetHistories(&current, nullptr);
    RenderPane(*graph);
    NoteAnalyzer::AnalysisResult result;
    result.frequency = 220.0;
    result.level = -10.0;
    result.hopDuration = 0.04;
    result.harmonics[1] = {0.5, 220.0};
    current.AddFrame(result);
    graph->Follow();  // still inside the view: no scroll
    RenderPane(*graph);
    const auto& regions = graph->LastPaint().plotRegions;
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_LT(regions[0].width, 20);
    EXPECT_EQ(regions[0].height, graph->Layout().plot.height);
}

TEST_F(CompressedHarmonicsTest, SelectedPartialIsDrawnWithAHalo) {
    const HarmonicHistory current = MakeHistory({0, 0, 6}, 100, 0.04);
    graph->SetHistories(&current, nullptr);
    const wxPoint p = PointOf(2.0, kA3 + 6);
    const wxImage plainImage = RenderPane(*graph);
    plainImage.SaveFile("/tmp/x/plain.bmp", wxBITMAP_TYPE_BMP);
    const int plain = ColourDistance(PixelAt(plainImage, p.x, p.y + 2), colours.window);
    graph->SetSelection(2, -1);
    const wxImage selected = RenderPane(*graph);
    EXPECT_GT(ColourDistance(PixelAt(selected, p.x, p.y + 2), colours.window), plain + 40);
    const RgbColour line = PixelAt(selected, p.x, p.y);
    EXPECT_GT(line.blue, 150);
    EXPECT_LT(line.red, 120);
}

TEST_F(CompressedHarmonicsTest, PaintsAtAnySize) {
    const HarmonicHistory current = MakeHistory({0, 0, 6}, 50, 0.04);
    graph->SetHistories(&current, &current);
    for (const wxSize size : {wxSize(0, 0), wxSize(30, 10), wxSize(90, 30)}) {
        Resize(*graph, size);
        RenderPane(*graph);
        Mouse(wxEVT_MOUSEWHEEL, {5, 5}, 120);
        graph->Follow();
    }
}
