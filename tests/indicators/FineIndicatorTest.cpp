#include <cmath>

#include "PaneTestSupport.h"
#include "indicators/FineIndicator.h"
#include "indicators/FineIndicatorMath.h"
#include "indicators/IndicatorDrawing.h"

using namespace Indicators;

namespace {

// Counts invalidations, to check that unchanged values cause no repaint.
class CountingFine : public CFineIndicator {
public:
    CountingFine(wxWindow* parent, wxSize size) : CFineIndicator(parent, wxID_ANY, wxPoint(0, 0), size) {}
    void Refresh(bool eraseBackground = true, const wxRect* rect = nullptr) override
    {
        ++refreshes;
        CFineIndicator::Refresh(eraseBackground, rect);
    }
    int refreshes = 0;
};

class FineIndicatorTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        pane = new CountingFine(host, wxSize(kWidth, kHeight));
        pane->SetClientSize(kWidth, kHeight);
        pane->SetCaptions("Note", "Cents");
        pane->SetScaleLabels({"-50", "-25", "0", "+25", "+50"});
        colours = ReadSystemColours();
    }

    // Pixel at distance `fraction` x R from the pivot along `angle`.
    RgbColour AlongAngle(const wxImage& image, double angleDegrees, double fraction) const
    {
        const PointD p = RotateAboutPivot({0.0, -fraction * DialRadius(kHeight)}, angleDegrees,
                                          DialPivot(kWidth, kHeight));
        return PixelAt(image, static_cast<int>(p.x), static_cast<int>(p.y));
    }

    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;
    CountingFine* pane = nullptr;
    SystemColours colours;
};

}  // namespace

TEST_F(FineIndicatorTest, NeedleAtPlusOneLiesAlongThePlus50Tick)
{
    pane->position = 1.0f;
    pane->fade = 0.0f;
    const wxImage image = RenderPane(*pane);
    const double tickAngle = TickAngleDegrees(4);
    for (double f : {0.3, 0.5, 0.7, 0.9})
        EXPECT_LE(ColourDistance(AlongAngle(image, tickAngle, f), colours.highlight), 8) << f;
    // The tick itself, beyond the needle's tip, is in the dial colour.
    EXPECT_LE(ColourDistance(AlongAngle(image, tickAngle, 0.99), DialColour(colours)), 8);
    // Nothing on the opposite side.
    EXPECT_LE(ColourDistance(AlongAngle(image, -tickAngle, 0.6), colours.window), 8);
}

TEST_F(FineIndicatorTest, NeedleAtMinusOneLiesAlongTheMinus50Tick)
{
    pane->position = -1.0f;
    pane->fade = 0.0f;
    const wxImage image = RenderPane(*pane);
    for (double f : {0.3, 0.6, 0.9})
        EXPECT_LE(ColourDistance(AlongAngle(image, TickAngleDegrees(0), f), colours.highlight), 8);
}

TEST_F(FineIndicatorTest, FadedNeedleTakesTheShadowColour)
{
    pane->position = 0.0f;
    pane->fade = 0.0f;
    wxImage image = RenderPane(*pane);
    EXPECT_LE(ColourDistance(AlongAngle(image, 0.0, 0.6), colours.highlight), 8);
    pane->fade = 1.0f;
    image = RenderPane(*pane);
    EXPECT_LE(ColourDistance(AlongAngle(image, 0.0, 0.6), colours.btnShadow), 8);
    EXPECT_FLOAT_EQ(pane->GetDrawnFade(), 1.0f);
    // Hub just above the pivot, frame on the left edge, corner touch.
    EXPECT_LE(ColourDistance(PixelAt(image, kWidth / 2, kHeight - 5), DialColour(colours)), 8);
    EXPECT_EQ(ColourDistance(PixelAt(image, 0, kHeight / 3), FrameColour(colours)), 0);
    EXPECT_EQ(ColourDistance(PixelAt(image, 0, 0), FrameCornerColour(colours)), 0);
}

TEST_F(FineIndicatorTest, CentsTextIsRightAlignedAndNoteTextLeftAligned)
{
    pane->SetTexts("A4", "+00.0");
    const wxImage image = RenderPane(*pane);
    const int top = TextTop(kWidth);
    const int rows = GlyphSize(kHeight);
    int leftmost = kWidth;
    int rightmost = -1;
    for (int y = top; y < top + rows; ++y) {
        for (int x = 2; x < kWidth - 2; ++x) {
            if (ColourDistance(PixelAt(image, x, y), colours.window) > 128) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    // Ink ends at the right edge less the glyph's side bearing (a few pixels).
    EXPECT_LT(rightmost, TextRightEdge(kWidth));
    EXPECT_GE(rightmost, TextRightEdge(kWidth) - 6);
    EXPECT_GE(leftmost, TextLeft(kWidth));
    EXPECT_LE(leftmost, TextLeft(kWidth) + 6);
}

TEST_F(FineIndicatorTest, GlyphsAreRenderedOncePerCharacterAndSize)
{
    pane->SetTexts("A4", "+03.3");
    RenderPane(*pane);
    EXPECT_EQ(pane->GetGlyphCache().Count(), 6u);  // A 4 + 0 3 .
    RenderPane(*pane);
    EXPECT_EQ(pane->GetGlyphCache().Count(), 6u);
    EXPECT_EQ(pane->GetGlyphCache().Size(), GlyphSize(kHeight));

    pane->SetClientSize(kWidth, 200);
    wxSizeEvent size(pane->GetSize());
    pane->ProcessWindowEvent(size);
    EXPECT_EQ(pane->GetGlyphCache().Size(), GlyphSize(200));
    EXPECT_EQ(pane->GetGlyphCache().Count(), 0u);
    RenderPane(*pane);
    EXPECT_EQ(pane->GetGlyphCache().Count(), 6u);
}

TEST_F(FineIndicatorTest, InvalidatesOnlyWhenAShownValueChanges)
{
    pane->SetTexts("A4", "+00.0");
    RenderPane(*pane);
    int refreshes = pane->refreshes;
    pane->SetTexts("A4", "+00.0");
    EXPECT_EQ(pane->refreshes, refreshes);
    pane->RefreshIfChanged();
    EXPECT_EQ(pane->refreshes, refreshes);

    pane->SetTexts("A4", "+00.1");
    EXPECT_EQ(pane->refreshes, ++refreshes);
    RenderPane(*pane);
    pane->position = 0.25f;
    pane->RefreshIfChanged();
    EXPECT_EQ(pane->refreshes, ++refreshes);
    RenderPane(*pane);
    pane->smoothing = false;
    pane->RefreshIfChanged();
    EXPECT_EQ(pane->refreshes, ++refreshes);
}

TEST_F(FineIndicatorTest, TextsSetBackBeforeAPaintAreTheOnesShown)
{
    pane->SetTexts("A4", "+00.0");
    RenderPane(*pane);
    pane->SetTexts("B4", "+01.0");
    pane->SetTexts("A4", "+00.0");  // back to what is on screen
    EXPECT_EQ(pane->GetNoteText(), "A4");
    EXPECT_EQ(pane->GetCentsText(), "+00.0");
}

TEST_F(FineIndicatorTest, TinyAndEmptyPanesPaint)
{
    pane->SetTexts("A4", "+03.3");
    pane->SetClientSize(12, 8);
    RenderPane(*pane);
    pane->SetClientSize(0, 0);
    wxSizeEvent size(pane->GetSize());
    pane->ProcessWindowEvent(size);
    RenderPane(*pane);
    EXPECT_FALSE(pane->HasBackBuffer());
}

TEST_F(FineIndicatorTest, PaintsOnScreenThroughThePaintHandler)
{
    PumpEvents();
    pane->position = 0.5f;
    pane->fade = 0.25f;
    pane->RefreshIfChanged();
    EXPECT_TRUE(PumpEventsUntil([&] { return pane->GetDrawnPosition() == 0.5f; }));
    EXPECT_FLOAT_EQ(pane->GetDrawnPosition(), 0.5f);
    EXPECT_FLOAT_EQ(pane->GetDrawnFade(), 0.25f);
}
