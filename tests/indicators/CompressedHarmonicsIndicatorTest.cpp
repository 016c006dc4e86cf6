#include <cmath>
#include <map>

#include "PaneTestSupport.h"
#include "indicators/CompressedHarmonicsIndicator.h"

using namespace Indicators;

namespace {

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

    void Mouse(wxEventType type, wxPoint p, int wheel = 0) { SendMouse(*graph, type, p, wheel); }
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

// The zoom and pan arithmetic has its own tests; here the events reach it.
TEST_F(CompressedHarmonicsTest, WheelAndArrowKeysZoomAndPan) {
    ASSERT_EQ(graph->Layout().plot, (PixelRect{80, 1, 400, 300}));
    Mouse(wxEVT_MOUSEWHEEL, {380, TimeStripY()}, 120);  // at t = 3 s
    EXPECT_FLOAT_EQ(graph->TimeSpan(), 2.0f);
    EXPECT_FLOAT_EQ(graph->TimeStart(), 1.5f);
    EXPECT_FLOAT_EQ(graph->PitchSpan(), 20.0f);  // the pitch axis stays
    // Queued, not handled inside the graph's handler.
    EXPECT_EQ(Received(EVT_COMPRESSED_RANGE), 0);
    PumpEvents();
    EXPECT_EQ(Received(EVT_COMPRESSED_RANGE), 1);

    graph->SetSpans(4.0f, 20.0f);
    graph->SetStarts(0.0f, kA3 - 10.0f);
    Key(WXK_UP, true);
    EXPECT_FLOAT_EQ(graph->PitchSpan(), 20.0f / 0.95f);
    Key(WXK_DOWN, true);
    EXPECT_NEAR(graph->PitchSpan(), 20.0f, 1e-4);
    Key(WXK_UP, false);
    EXPECT_NEAR(graph->PitchStart(), kA3 - 8.0f, 1e-3);
    Key(WXK_RIGHT, false);
    EXPECT_FLOAT_EQ(graph->TimeStart(), 0.4f);
    Key(WXK_LEFT, true);
    EXPECT_FLOAT_EQ(graph->TimeSpan(), 4.0f / 0.95f);
}

TEST_F(CompressedHarmonicsTest, ClickSelectsHoverFollowsAndRightClickClears) {
    const HarmonicHistory current = MakeHistory({0, 0, 6}, 100);
    const HarmonicHistory reference = MakeHistory({0, 0, 0, -6}, 100);
    graph->SetHistories(&current, &reference);
    Mouse(wxEVT_MOTION, PointOf(1.0, kA3 - 6));
    EXPECT_EQ(graph->HoveredReference(), 3);
    EXPECT_EQ(graph->HoveredCurrent(), -1);
    EXPECT_EQ(graph->GetStatus()[0], "3rd harmonic of reference note");
    EXPECT_EQ(graph->GetStatus()[1], "1.00s");
    Mouse(wxEVT_MOTION, {PointOf(1.0, 0).x, TimeStripY()});  // nothing is hovered over the strip
    EXPECT_EQ(graph->HoveredReference(), -1);

    Mouse(wxEVT_MOTION, PointOf(1.0, kA3 + 6));
    EXPECT_EQ(graph->HoveredCurrent(), 2);
    Mouse(wxEVT_LEFT_DOWN, PointOf(1.0, kA3 + 6) + wxPoint(0, 4));
    Mouse(wxEVT_LEFT_UP, PointOf(1.0, kA3 + 6));
    EXPECT_EQ(graph->SelectedCurrent(), 2);
    EXPECT_EQ(graph->SelectedReference(), -1);
    EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), 0);  // queued
    PumpEvents();
    EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), 1);
    // Clicking the selected partial again changes nothing and posts nothing.
    Mouse(wxEVT_LEFT_DOWN, PointOf(1.0, kA3 + 6));
    Mouse(wxEVT_LEFT_UP, PointOf(1.0, kA3 + 6));
    PumpEvents();
    EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), 1);

    received.clear();
    Mouse(wxEVT_LEAVE_WINDOW, {-5, -5});
    PumpEvents();
    EXPECT_EQ(graph->HoveredCurrent(), -1);
    EXPECT_EQ(Received(EVT_COMPRESSED_STATUS), 1);
    EXPECT_EQ(graph->GetStatus()[0], "2nd harmonic of current note (selected)");

    // A right click clears the selection once; a second one posts nothing.
    for (int expected : {1, 0}) {
        received.clear();
        Mouse(wxEVT_RIGHT_UP, PointOf(2.0, kA3 - 8));
        PumpEvents();
        EXPECT_EQ(graph->SelectedCurrent(), -1);
        EXPECT_EQ(Received(EVT_COMPRESSED_SELECTION), expected);
        EXPECT_EQ(Received(EVT_COMPRESSED_STATUS), expected);
    }
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
    Mouse(wxEVT_MOTION, {150, 150});
    EXPECT_FLOAT_EQ(graph->TimeStart(), 1.0f);
    EXPECT_FLOAT_EQ(graph->PitchStart(), kA3 - 10.0f);
}

// Which bands a paint redraws is planned by tested arithmetic; here the
// shifted back buffer must match a face drawn from scratch.
TEST_F(CompressedHarmonicsTest, NewFramesAndWholePixelPansRedrawOnlyWhatChanged) {
    HarmonicHistory current = MakeHistory({0, 0, 6, -4}, 20);
    graph->SetHistories(&current, nullptr);
    RenderPane(*graph);
    AddFrames(current, {0, 0, 6, -4}, 1);
    graph->Follow();  // still inside the view: no scroll
    RenderPane(*graph);
    ASSERT_EQ(graph->LastPaint().plotRegions.size(), 1u);
    EXPECT_LT(graph->LastPaint().plotRegions[0].width, 20);
    EXPECT_EQ(graph->LastPaint().plotRegions[0].height, 300);

    AddFrames(current, {0, 0, 6, -4}, 180);
    // Rows and columns of the ticks away from half pixels, so rounding
    // cannot differ between the shifted and the fresh face.
    graph->SetStarts(0.0f, kA3 - 10.37f);
    graph->RedrawAll();
    RenderPane(*graph);
    ASSERT_TRUE(graph->LastPaint().wholePlot);
    EXPECT_TRUE(graph->LastPaint().pitchAxis);
    const PixelRect plot = graph->Layout().plot;
    // Three pixels to the right in time and two rows in pitch.
    graph->SetStarts(graph->TimeStart() + 3 * graph->TimeSpan() / plot.width,
                     graph->PitchStart() + 2 * graph->PitchSpan() / plot.height);
    const wxImage scrolled = RenderPane(*graph);
    EXPECT_FALSE(graph->LastPaint().wholePlot || graph->LastPaint().frame);
    EXPECT_TRUE(graph->LastPaint().dx == 3 && graph->LastPaint().dy == 2);
    EXPECT_EQ(graph->LastPaint().plotRegions.size(), 2u);
    graph->RedrawAll();
    EXPECT_LT(DifferingPixels(scrolled, RenderPane(*graph), plot, 1), plot.width / 10);

    // Nothing changed: nothing of the plot is drawn.
    RenderPane(*graph);
    EXPECT_TRUE(graph->LastPaint().plotRegions.empty());
    EXPECT_FALSE(graph->LastPaint().timeAxis);
}

TEST_F(CompressedHarmonicsTest, SelectedPartialIsDrawnWithAHaloAndAnySizePaints) {
    const HarmonicHistory current = MakeHistory({0, 0, 6}, 100);
    graph->SetHistories(&current, &current);
    const wxPoint p = PointOf(2.0, kA3 + 6);
    const int plain = ColourDistance(PixelAt(RenderPane(*graph), p.x, p.y + 2), colours.window);
    graph->SetSelection(2, -1);
    const wxImage selected = RenderPane(*graph);
    EXPECT_GT(ColourDistance(PixelAt(selected, p.x, p.y + 2), colours.window), plain + 40);
    const RgbColour line = PixelAt(selected, p.x, p.y);
    EXPECT_GT(line.blue, 150);
    EXPECT_LT(line.red, 120);

    for (const wxSize size : {wxSize(0, 0), wxSize(30, 10), wxSize(90, 30)}) {
        Resize(*graph, size);
        RenderPane(*graph);
        Mouse(wxEVT_MOUSEWHEEL, {5, 5}, 120);
        graph->Follow();
    }
}
