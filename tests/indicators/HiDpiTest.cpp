// The panes on a display at scale 2 (this suite runs with GDK_SCALE=2): their
// back buffers and caches hold every screen pixel, so text and edges come out
// as sharp as the screen allows, at the same logical size as at scale 1.

#include <cmath>
#include <vector>

#include "PaneTestSupport.h"
#include "indicators/CompressedHarmonicsIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "indicators/math/GlobalIndicatorMath.h"
#include "tuning/NoteTable.h"

namespace {

// Edge pixels per ink pixel in a region of grey text on a plain face: pixels
// within 15 % of the region's range from its darkest count as ink, those more
// than 15 % from both ends as edge. Text rendered at the screen's resolution
// gives about 0.2; the same text rendered at half resolution and enlarged
// gives 0.4 (pixel doubling) to 0.9 (smoothing).
double EdgeToInk(const wxImage& image, const wxRect& region) {
    std::vector<int> grey;
    for (int y = region.GetTop(); y <= region.GetBottom(); ++y)
        for (int x = region.GetLeft(); x <= region.GetRight(); ++x)
            grey.push_back((image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y)) / 3);
    const auto [lowest, highest] = std::minmax_element(grey.begin(), grey.end());
    const double margin = 0.15 * (*highest - *lowest);
    int ink = 0;
    int edge = 0;
    for (int v : grey) {
        if (v <= *lowest + margin)
            ++ink;
        else if (v < *highest - margin)
            ++edge;
    }
    return ink > 0 ? static_cast<double>(edge) / ink : 1e9;
}

}  // namespace

using HiDpiPane = PaneTest;

TEST_F(HiDpiPane, TextAndEdgesAreDrawnAtTheScreensResolution) {
    ASSERT_EQ(host->GetContentScaleFactor(), 2.0) << "run with GDK_SCALE=2";
    // The fine pane of the main window at its smallest: the note text comes
    // from the glyph cache, the dial labels from the cached static face.
    auto* fine = new CFineIndicator(host, wxID_ANY, wxPoint(0, 0), wxSize(236, 235));
    fine->SetCaptions("Note", "Cents");
    fine->SetScaleLabels({"-50", "-25", "0", "+25", "+50"});
    fine->fade = 0.0f;
    fine->SetTexts("C#4", "+03.3");
    const wxImage image = RenderPane(*fine);
    ASSERT_EQ(image.GetSize(), wxSize(472, 470));
    const struct {
        const char* what;
        wxRect region;  // in screen pixels
    } cases[] = {
        {"note text", wxRect(20, 30, 120, 70)},
        {"dial label -25", wxRect(100, 110, 70, 50)},
    };
    for (const auto& c : cases) EXPECT_LT(EdgeToInk(image, c.region), 0.3) << c.what;
    // The one-pixel frame is one logical pixel: two screen pixels, with
    // nothing blended into the face beside it.
    EXPECT_EQ(PixelAt(image, 1, 200), PixelAt(image, 0, 200));
    EXPECT_EQ(PixelAt(image, 2, 200), colours.window);
}

TEST_F(HiDpiPane, LadderLabelsKeepTheirLogicalSize) {
    auto* global = new CGlobalIndicator(host, wxID_ANY, wxPoint(0, 0), wxSize(25, 235));
    global->SetNoteTable(DefaultNoteTable());
    const NoteSet guitar{40, 45, 50, 55, 59, 64};
    global->SetNotes(guitar);
    const wxImage image = RenderPane(*global);
    ASSERT_EQ(image.GetSize(), wxSize(50, 470));
    // The label font is sized in logical pixels: its em is this share of the
    // pane's height, and a line of text a little more.
    const double em = 235 * Indicators::LabelSizeFactor(std::vector<int>(guitar.begin(), guitar.end()));
    EXPECT_GT(global->GetLargestLabelHeight(), 0.9 * em);
    EXPECT_LT(global->GetLargestLabelHeight(), 1.6 * em);
    EXPECT_EQ(PixelAt(image, 2, 100), colours.window);  // beside the frame, unblended
}

TEST_F(HiDpiPane, HarmonicsGraphShiftsWholeScreenPixelsOnAPan) {
    ASSERT_EQ(host->GetContentScaleFactor(), 2.0) << "run with GDK_SCALE=2";
    HarmonicHistory history;
    AddFrames(history, {0, 0, 4}, 120, 0.02);
    auto* graph = new CCompressedHarmonicsIndicator();
    ASSERT_TRUE(graph->Create(host, wxID_ANY, wxPoint(0, 0), wxSize(481, 324)));
    Resize(*graph, wxSize(481, 324));
    graph->SetHistories(&history, nullptr);
    graph->SetSpans(4.0f, 20.0f);
    graph->SetStarts(0.0f, -1210.37f);
    RenderPane(*graph);
    const Indicators::PixelRect plot = graph->Layout().plot;
    ASSERT_EQ(plot.width, 400);
    graph->SetStarts(graph->TimeStart() + 2 * graph->TimeSpan() / plot.width,
                     graph->PitchStart() - graph->PitchSpan() / plot.height);
    const wxImage shifted = RenderPane(*graph);
    EXPECT_FALSE(graph->LastPaint().wholePlot);
    graph->RedrawAll();
    EXPECT_LT(DifferingPixels(shifted, RenderPane(*graph), plot, 2), plot.width / 5);
    graph->SetHistories(nullptr, nullptr);
    graph->Destroy();
}
