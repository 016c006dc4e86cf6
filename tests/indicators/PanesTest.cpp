// The back-buffered window and the energy, fine and global panes, painted
// into bitmaps and driven with synthetic events.
#include <cmath>
#include <vector>

#include <wx/panel.h>

#include "PaneTestSupport.h"
#include "indicators/BackBufferWnd.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "indicators/math/EnergyIndicatorMath.h"
#include "indicators/math/FineIndicatorMath.h"

using namespace Indicators;

namespace {

// Counts the two virtual operations and paints its face green.
class CountingPane : public CBackBufferWnd {
public:
    CountingPane(wxWindow* parent, wxSize size) { Create(parent, wxID_ANY, wxPoint(0, 0), size); }
    void BufferRecreated() override { ++recreated; }
    void Draw(wxDC& dc, const wxRect& client) override {
        ++draws;
        lastClient = client;
        dc.SetBrush(*wxGREEN_BRUSH);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(client);
    }
    int recreated = 0, draws = 0;
    wxRect lastClient;
};

// Counts invalidations, to check that unchanged values cause no repaint.
class CountingFine : public CFineIndicator {
public:
    CountingFine(wxWindow* parent, wxSize size) : CFineIndicator(parent, wxID_ANY, wxPoint(0, 0), size) {}
    void Refresh(bool eraseBackground = true, const wxRect* rect = nullptr) override {
        ++refreshes;
        CFineIndicator::Refresh(eraseBackground, rect);
    }
    int refreshes = 0;
};

}  // namespace

using BackBufferWndTest = PaneTest;

TEST_F(BackBufferWndTest, EachResizeAndColourChangeRebuildsOnce) {
    auto* pane = new CountingPane(host, wxSize(120, 80));
    EXPECT_EQ(pane->recreated, 1);
    PumpEvents();
    int expected = pane->recreated;
    // A real resize through the window system, then the same size delivered
    // twice directly.
    pane->SetClientSize(200, 90);
    PumpEvents();
    EXPECT_EQ(pane->recreated, ++expected);
    Resize(*pane, wxSize(200, 90));
    Resize(*pane, wxSize(200, 90));
    EXPECT_EQ(pane->recreated, expected += 2);
    wxSysColourChangedEvent coloursChanged;
    coloursChanged.SetEventObject(pane);
    pane->ProcessWindowEvent(coloursChanged);
    EXPECT_EQ(pane->recreated, ++expected);
}

TEST_F(BackBufferWndTest, PaintCopiesTheWholeBufferedFaceOrDrawsDirectlyWithoutOne) {
    auto* pane = new CountingPane(host, wxSize(50, 40));
    const wxImage image = RenderPane(*pane);
    EXPECT_EQ(pane->draws, 1);
    EXPECT_EQ(pane->lastClient, wxRect(0, 0, 50, 40));
    for (const wxPoint p : {wxPoint(0, 0), wxPoint(49, 39), wxPoint(25, 20)})
        EXPECT_EQ(PixelAt(image, p.x, p.y), (RgbColour{0, 255, 0})) << p.x << "," << p.y;
    // And the paint handler puts it on screen.
    pane->Refresh();
    EXPECT_TRUE(PumpUntil([&] { return pane->draws > 1; }, std::chrono::seconds(1)));

    // A zero-sized pane has no buffer; painting reports it like a (failed)
    // rebuild and draws directly.
    Resize(*pane, wxSize(0, 0));
    EXPECT_FALSE(pane->HasBackBuffer());
    const int draws = pane->draws, recreated = pane->recreated;
    RenderPane(*pane);
    EXPECT_EQ(pane->draws, draws + 1);
    EXPECT_EQ(pane->lastClient.GetSize(), wxSize(0, 0));
    EXPECT_EQ(pane->recreated, recreated + 1);
}

class EnergyIndicatorTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        parent = new wxPanel(host, wxID_ANY, wxPoint(0, 0), wxSize(200, 200));
        parent->Bind(EVT_NOISE_FLOOR_CHANGED,
                     [this](NoiseFloorEvent& event) { received.push_back(event.GetFloorPosition()); });
        pane = new CEnergyIndicator(parent, wxID_ANY, wxPoint(10, 10), wxSize(kWidth, kHeight));
        pane->SetClientSize(kWidth, kHeight);
        PumpEvents();
    }
    void TearDown() override {
        if (pane->HasCapture()) pane->ReleaseMouse();
        PaneTest::TearDown();
    }
    void Mouse(wxEventType type, int y) { SendMouse(*pane, type, wxPoint(kWidth / 2, y)); }

    static constexpr int kWidth = 20, kHeight = 104;
    wxPanel* parent = nullptr;
    CEnergyIndicator* pane = nullptr;
    std::vector<float> received;
};

// The bar runs from its level row down to row H-2, through the floor line
// when it is above it; the line is drawn over the bar's top when they meet,
// and silence still shows one gradient row.
TEST_F(EnergyIndicatorTest, FloorLineAndBarLandOnTheirRows) {
    pane->floorPosition = 0.5f;
    const int floorRow = FloorRow(0.5f, kHeight), x = kWidth / 2;
    EXPECT_EQ(floorRow, 52);
    for (const float level : {0.0f, 0.25f, 0.5f, 0.75f}) {
        SCOPED_TRACE(level);
        pane->level = level;
        const wxImage image = RenderPane(*pane);
        const int levelRow = LevelRow(level, kHeight);
        auto gradient = [&](int row) { return EnergyGradientColour(colours, row, kHeight); };
        EXPECT_EQ(PixelAt(image, x, floorRow), colours.windowText);
        EXPECT_EQ(PixelAt(image, x, levelRow - 1),
                  levelRow - 1 == floorRow ? colours.windowText : colours.window);
        EXPECT_TRUE(levelRow == floorRow || PixelAt(image, x, levelRow) == gradient(levelRow));
        EXPECT_EQ(PixelAt(image, x, floorRow + 1), level >= 0.5f ? gradient(floorRow + 1) : colours.window);
        EXPECT_EQ(PixelAt(image, x, floorRow - 1), level > 0.5f ? gradient(floorRow - 1) : colours.window);
        EXPECT_EQ(PixelAt(image, x, kHeight - 2), gradient(kHeight - 2));
        EXPECT_EQ(PixelAt(image, x, kHeight - 3), level > 0.0f ? gradient(kHeight - 3) : colours.window);
        EXPECT_EQ(PixelAt(image, kWidth - 1, floorRow), FrameColour(colours));
        EXPECT_FLOAT_EQ(pane->GetDrawnLevel(), level);
    }
}

TEST_F(EnergyIndicatorTest, DragReportsEveryMoveToTheParentAtOnce) {
    Mouse(wxEVT_LEFT_DOWN, 2);
    EXPECT_EQ(received, std::vector<float>{1.0f});  // before the click handler returned
    EXPECT_TRUE(pane->IsDragging() && pane->HasCapture());
    Mouse(wxEVT_MOTION, 27);            // a quarter down the range
    Mouse(wxEVT_MOTION, kHeight + 40);  // below the pane: pinned at -60 dB
    EXPECT_EQ(received, (std::vector<float>{1.0f, 0.75f, 0.0f}));
    Mouse(wxEVT_LEFT_UP, kHeight + 40);
    EXPECT_FALSE(pane->IsDragging() || pane->HasCapture());
    Mouse(wxEVT_MOTION, 2);
    EXPECT_EQ(received.size(), 3u);  // moves without the button do nothing
    EXPECT_FLOAT_EQ(pane->floorPosition, 0.0f);
}

TEST_F(EnergyIndicatorTest, LosingOrHandingOverTheCaptureEndsTheDrag) {
    auto* other = new wxWindow(parent, wxID_ANY, wxPoint(100, 10), wxSize(20, 20));
    PumpEvents();
    wxMouseCaptureLostEvent lost(pane->GetId());
    // What the window system reports when another window takes the mouse.
    wxMouseCaptureChangedEvent changed(pane->GetId(), other);
    for (wxEvent* event : std::initializer_list<wxEvent*>{&lost, &changed}) {
        Mouse(wxEVT_LEFT_DOWN, 30);
        ASSERT_TRUE(pane->IsDragging());
        event->SetEventObject(pane);
        pane->ProcessWindowEvent(*event);
        EXPECT_FALSE(pane->IsDragging());
        // If the capture comes back to the meter it lets it go at the next
        // move, without moving the floor.
        const std::size_t count = received.size();
        Mouse(wxEVT_MOTION, 60);
        EXPECT_EQ(received.size(), count);
        EXPECT_FALSE(pane->HasCapture());
    }
}

class FineIndicatorTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        pane = new CountingFine(host, wxSize(kWidth, kHeight));
        pane->SetClientSize(kWidth, kHeight);
        pane->SetCaptions("Note", "Cents");
        pane->SetScaleLabels({"-50", "-25", "0", "+25", "+50"});
    }
    // Distance from `expected` of the pixel `fraction` x R from the pivot
    // (200, 300) along `angle` (clockwise from up); the dial radius R is 0.7 H.
    static int DistanceAlong(const wxImage& image, double angleDegrees, double fraction, RgbColour expected) {
        const double a = angleDegrees * 3.14159265358979 / 180.0, r = fraction * 0.7 * kHeight;
        return ColourDistance(PixelAt(image, static_cast<int>(200.0 + r * std::sin(a)),
                                      static_cast<int>(300.0 - r * std::cos(a))),
                              expected);
    }

    static constexpr int kWidth = 400, kHeight = 300;
    CountingFine* pane = nullptr;
};

TEST_F(FineIndicatorTest, NeedleLiesAlongItsTickInTheFadedColour) {
    // +1 points along the +50 tick (the fifth, at 35 degrees), -1 along the
    // -50 tick (the first); a stale reading turns the needle to the shadow
    // colour. The needle stops at 0.95 R, short of the tick's outer end.
    const struct {
        float position, fade;
        double angle;
        RgbColour needle;
    } cases[] = {
        {1.0f, 0.0f, 35.0, colours.highlight},
        {-1.0f, 0.0f, -35.0, colours.highlight},
        {0.0f, 1.0f, 0.0, colours.btnShadow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        pane->position = c.position;
        pane->fade = c.fade;
        const wxImage image = RenderPane(*pane);
        for (double f : {0.3, 0.5, 0.7, 0.9}) EXPECT_LE(DistanceAlong(image, c.angle, f, c.needle), 8) << f;
        // The tick beyond the needle's tip is in the dial colour; nothing on
        // the opposite side.
        EXPECT_LE(DistanceAlong(image, c.angle, 0.99, DialColour(colours)), 8);
        EXPECT_TRUE(c.angle == 0.0 || DistanceAlong(image, -c.angle, 0.6, colours.window) <= 8);
        // Hub just above the pivot, frame on the left edge, corner touch.
        EXPECT_LE(ColourDistance(PixelAt(image, kWidth / 2, kHeight - 5), DialColour(colours)), 8);
        EXPECT_EQ(PixelAt(image, 0, kHeight / 3), FrameColour(colours));
        EXPECT_EQ(PixelAt(image, 0, 0), FrameCornerColour(colours));
        EXPECT_FLOAT_EQ(pane->GetDrawnFade(), c.fade);
    }
}

TEST_F(FineIndicatorTest, TextsAreAlignedAndGlyphsRenderedOncePerCharacterAndSize) {
    pane->SetTexts("A4", "+03.3");
    const wxImage image = RenderPane(*pane);
    // The texts share the row from 0.08 W (32) down, one glyph (0.11 H) high;
    // ink starts at 0.04 W (16) and ends at W - 0.04 W (384), within a
    // glyph's side bearing (a few pixels).
    int leftmost = kWidth, rightmost = -1;
    for (int y = 32; y < 32 + 33; ++y) {
        for (int x = 2; x < kWidth - 2; ++x) {
            if (ColourDistance(PixelAt(image, x, y), colours.window) > 128) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    EXPECT_TRUE(rightmost < 384 && rightmost >= 384 - 6) << rightmost;
    EXPECT_TRUE(leftmost >= 16 && leftmost <= 16 + 6) << leftmost;

    RenderPane(*pane);
    EXPECT_EQ(pane->GetGlyphCache().Count(), 6u);  // A 4 + 0 3 .
    EXPECT_EQ(pane->GetGlyphCache().Size(), GlyphSize(kHeight));
    Resize(*pane, wxSize(kWidth, 200));
    EXPECT_EQ(pane->GetGlyphCache().Size(), GlyphSize(200));
    EXPECT_EQ(pane->GetGlyphCache().Count(), 0u);
    RenderPane(*pane);
    EXPECT_EQ(pane->GetGlyphCache().Count(), 6u);
    // Tiny and zero-sized panes paint without error.
    for (const wxSize size : {wxSize(12, 8), wxSize(0, 0)}) {
        Resize(*pane, size);
        RenderPane(*pane);
    }
    EXPECT_FALSE(pane->HasBackBuffer());
}

TEST_F(FineIndicatorTest, InvalidatesOnlyWhenAShownValueChanges) {
    pane->SetTexts("A4", "+00.0");
    RenderPane(*pane);
    int refreshes = pane->refreshes;
    pane->SetTexts("A4", "+00.0");
    pane->RefreshIfChanged();
    EXPECT_EQ(pane->refreshes, refreshes);
    pane->SetTexts("A4", "+00.1");
    EXPECT_EQ(pane->refreshes, ++refreshes);
    pane->SetTexts("A4", "+00.0");  // back to what is on screen before a paint
    EXPECT_EQ(pane->GetCentsText(), "+00.0");
    RenderPane(*pane);
    refreshes = pane->refreshes;
    pane->position = 0.25f;
    pane->RefreshIfChanged();
    EXPECT_EQ(pane->refreshes, ++refreshes);
    RenderPane(*pane);
    pane->smoothing = false;
    pane->RefreshIfChanged();
    EXPECT_EQ(pane->refreshes, ++refreshes);
}

using GlobalIndicatorTest = PaneTest;

TEST_F(GlobalIndicatorTest, BarIsCentredOnTheValueAndBandsSitAtTheirTargets) {
    constexpr int kWidth = 60, kHeight = 500;
    auto* pane = new CGlobalIndicator(host, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight));
    pane->SetClientSize(kWidth, kHeight);
    // Without a table equal temperament stands in.
    const LadderScale bare = pane->GetScale();
    pane->SetNoteTable(DefaultNoteTable());
    EXPECT_TRUE(bare.bottom == pane->GetScale().bottom && bare.span == pane->GetScale().span);
    pane->SetNotes(NoteSet{});  // widened to C3, C4, C5
    EXPECT_EQ(pane->GetNotes(), (NoteSet{48, 60, 72}));
    pane->value = -1500.0f;  // halfway between C3 and C4
    const wxImage image = RenderPane(*pane);
    const LadderScale scale = pane->GetScale();

    // Tinted rows at x = 3 between the C4 and C3 bands, away from their labels.
    int first = -1, last = -1;
    for (int y = static_cast<int>(scale.Row(-900.0, kHeight)) + 20;
         y < static_cast<int>(scale.Row(-2100.0, kHeight)) - 20; ++y) {
        if (ColourDistance(PixelAt(image, 3, y), colours.window) > 4) {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    ASSERT_GE(first, 0);
    EXPECT_NEAR((first + last + 1) / 2.0, scale.Row(-1500.0, kHeight), 1.5);
    // Label em size is 0.05 H; the measured cell is a little taller, and the
    // bar is 1.2 times that (thicker than 50 cents here).
    const double labelHeight = pane->GetLargestLabelHeight();
    EXPECT_TRUE(labelHeight > kHeight * 0.05 * 0.9 && labelHeight < kHeight * 0.05 * 1.5) << labelHeight;
    EXPECT_NEAR(last - first + 1, 1.2 * labelHeight, 2.0);
    // The fill is the highlight at quarter strength over the window colour.
    const RgbColour blend = MixColours(0x40 / 255.0, colours.highlight, 0xBF / 255.0, colours.window);
    EXPECT_LE(ColourDistance(PixelAt(image, 3, (first + last) / 2 - 3), blend), 3);
    EXPECT_FLOAT_EQ(pane->GetDrawnValue(), -1500.0f);

    // The C4 band is only 0.02 W thick and anti-aliased: the most tinted row
    // near its target at the left end, lighter towards the middle.
    const double target = scale.Row(-900.0, kHeight);
    int bandRow = -1, strongest = -1;
    for (int y = static_cast<int>(target) - 2; y <= static_cast<int>(target) + 2; ++y) {
        const int tint = ColourDistance(PixelAt(image, 1, y), colours.window);
        if (tint > strongest) std::tie(strongest, bandRow) = std::pair(tint, y);
    }
    EXPECT_NEAR(bandRow + 0.5, target, 1.0);
    EXPECT_GT(strongest, 64);
    const int middleTint = ColourDistance(PixelAt(image, 7, bandRow), colours.window);
    EXPECT_TRUE(middleTint > 4 && middleTint < strongest) << middleTint;
    EXPECT_EQ(PixelAt(image, 3, bandRow + 30), colours.window);  // between the band and the bar
}
