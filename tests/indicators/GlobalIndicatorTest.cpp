#include "PaneTestSupport.h"
#include "indicators/GlobalIndicator.h"

using namespace Indicators;

namespace {

class GlobalIndicatorTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        pane = new CGlobalIndicator(host, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight));
        pane->SetClientSize(kWidth, kHeight);
        pane->SetNoteTable(DefaultNoteTable());
    }

    static constexpr int kWidth = 60, kHeight = 500;
    CGlobalIndicator* pane = nullptr;
};

}  // namespace

TEST_F(GlobalIndicatorTest, BarIsCentredOnTheValueAndBandsSitAtTheirTargets) {
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
    EXPECT_GT(labelHeight, kHeight * 0.05 * 0.9);
    EXPECT_LT(labelHeight, kHeight * 0.05 * 1.5);
    EXPECT_NEAR(last - first + 1, 1.2 * labelHeight, 2.0);
    // The fill is the highlight at quarter strength over the window colour.
    const RgbColour blend = MixColours(0x40 / 255.0, colours.highlight, 0xBF / 255.0, colours.window);
    EXPECT_LE(ColourDistance(PixelAt(image, 3, (first + last) / 2 - 3), blend), 3);
    EXPECT_FLOAT_EQ(pane->GetDrawnValue(), -1500.0f);

    // The C4 band is only 0.02 W thick and anti-aliased: take the most tinted
    // row near its target at the left end.
    const double target = scale.Row(-900.0, kHeight);
    int bandRow = -1, strongest = -1;
    for (int y = static_cast<int>(target) - 2; y <= static_cast<int>(target) + 2; ++y) {
        const int tint = ColourDistance(PixelAt(image, 1, y), colours.window);
        if (tint > strongest) {
            strongest = tint;
            bandRow = y;
        }
    }
    EXPECT_NEAR(bandRow + 0.5, target, 1.0);
    EXPECT_GT(strongest, 64);
    // Dark at the end, lighter towards the middle (left of the label).
    const int middleTint = ColourDistance(PixelAt(image, 7, bandRow), colours.window);
    EXPECT_GT(middleTint, 4);
    EXPECT_LT(middleTint, strongest);
    EXPECT_EQ(PixelAt(image, 3, bandRow + 30), colours.window);  // between the band and the bar
}

TEST_F(GlobalIndicatorTest, WithoutATableTheLadderStillPaints) {
    auto* bare = new CGlobalIndicator(host, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight));
    bare->SetClientSize(kWidth, kHeight);
    // Equal temperament stands in for the missing table.
    EXPECT_DOUBLE_EQ(bare->GetScale().bottom, pane->GetScale().bottom);
    EXPECT_DOUBLE_EQ(bare->GetScale().span, pane->GetScale().span);
    RenderPane(*bare);
}
