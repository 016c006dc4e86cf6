#include "PaneTestSupport.h"
#include "indicators/FineIndicator.h"
#include "indicators/math/FineIndicatorMath.h"

#include <cmath>

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

}  // namespace

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
        if (c.angle != 0.0) {
            EXPECT_LE(DistanceAlong(image, -c.angle, 0.6, colours.window), 8);
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
    // The texts share the row from 0.08 W (32) down, one glyph (0.11 H) high.
    int leftmost = kWidth, rightmost = -1;
    for (int y = 32; y < 32 + 33; ++y) {
        for (int x = 2; x < kWidth - 2; ++x) {
            if (ColourDistance(PixelAt(image, x, y), colours.window) > 128) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    // Ink starts at 0.04 W (16) and ends at W - 0.04 W (384), within a
    // glyph's side bearing (a few pixels).
    EXPECT_TRUE(rightmost < 384 && rightmost >= 384 - 6) << rightmost;
    EXPECT_TRUE(leftmost >= 16 && leftmost <= 16 + 6) << leftmost;
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
