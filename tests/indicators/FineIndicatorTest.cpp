#include "PaneTestSupport.h"
#include "indicators/FineIndicator.h"
#include "indicators/math/FineIndicatorMath.h"

using namespace Indicators;

namespace {

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

class FineIndicatorTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        pane = new CountingFine(host, wxSize(kWidth, kHeight));
        pane->SetClientSize(kWidth, kHeight);
        pane->SetCaptions("Note", "Cents");
        pane->SetScaleLabels({"-50", "-25", "0", "+25", "+50"});
    }

    // Distance from `expected` of the pixel `fraction` x R from the pivot along `angle`.
    int DistanceAlong(const wxImage& image, double angleDegrees, double fraction, RgbColour expected) const {
        const PointD p = RotateAboutPivot({0.0, -fraction * DialRadius(kHeight)}, angleDegrees,
                                          DialPivot(kWidth, kHeight));
        return ColourDistance(PixelAt(image, static_cast<int>(p.x), static_cast<int>(p.y)), expected);
    }

    static constexpr int kWidth = 400, kHeight = 300;
    CountingFine* pane = nullptr;
};

}  // namespace

TEST_F(FineIndicatorTest, NeedleLiesAlongItsTickInTheFadedColour) {
    // +1 points along the +50 tick (the fifth), -1 along the -50 tick (the
    // first); a stale reading turns the needle to the shadow colour.
    const struct {
        float position, fade;
        int tick;
        RgbColour needle;
    } cases[] = {{1.0f, 0.0f, 4, colours.highlight},
                 {-1.0f, 0.0f, 0, colours.highlight},
                 {0.0f, 1.0f, 2, colours.btnShadow}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        pane->position = c.position;
        pane->fade = c.fade;
        const wxImage image = RenderPane(*pane);
        const double angle = TickAngleDegrees(c.tick);
        for (double f : {0.3, 0.5, 0.7, 0.9}) EXPECT_LE(DistanceAlong(image, angle, f, c.needle), 8) << f;
        // The tick beyond the needle's tip is in the dial colour; nothing on
        // the opposite side.
        EXPECT_LE(DistanceAlong(image, angle, 0.99, DialColour(colours)), 8);
        if (c.tick != 2) {
            EXPECT_LE(DistanceAlong(image, -angle, 0.6, colours.window), 8);
        }
        // Hub just above the pivot, frame on the left edge, corner touch.
        EXPECT_LE(ColourDistance(PixelAt(image, kWidth / 2, kHeight - 5), DialColour(colours)), 8);
        EXPECT_EQ(PixelAt(image, 0, kHeight / 3), FrameColour(colours));
        EXPECT_EQ(PixelAt(image, 0, 0), FrameCornerColour(colours));
        EXPECT_FLOAT_EQ(pane->GetDrawnFade(), c.fade);
    }
}

TEST_F(FineIndicatorTest, CentsTextIsRightAlignedAndNoteTextLeftAligned) {
    pane->SetTexts("A4", "+00.0");
    const wxImage image = RenderPane(*pane);
    const int top = TextTop(kWidth);
    int leftmost = kWidth, rightmost = -1;
    for (int y = top; y < top + GlyphSize(kHeight); ++y) {
        for (int x = 2; x < kWidth - 2; ++x) {
            if (ColourDistance(PixelAt(image, x, y), colours.window) > 128) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    // Ink starts and ends within a glyph's side bearing (a few pixels) of the edges.
    EXPECT_LT(rightmost, TextRightEdge(kWidth));
    EXPECT_GE(rightmost, TextRightEdge(kWidth) - 6);
    EXPECT_GE(leftmost, TextLeft(kWidth));
    EXPECT_LE(leftmost, TextLeft(kWidth) + 6);
}

TEST_F(FineIndicatorTest, GlyphsAreRenderedOncePerCharacterAndSizeDownToAnEmptyPane) {
    pane->SetTexts("A4", "+03.3");
    RenderPane(*pane);
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
