#include "PaneTestSupport.h"
#include "indicators/GlobalIndicator.h"
#include "indicators/IndicatorDrawing.h"

using namespace Indicators;

namespace {

class GlobalIndicatorTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        pane = new CGlobalIndicator(host, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight));
        pane->SetClientSize(kWidth, kHeight);
        pane->SetNoteTable(DefaultNoteTable());
        colours = ReadSystemColours();
    }

    // First and last row at column x that differ from the window colour.
    std::pair<int, int> TintedRows(const wxImage& image, int x, int from, int to) const
    {
        int first = -1;
        int last = -1;
        for (int y = from; y < to; ++y) {
            if (ColourDistance(PixelAt(image, x, y), colours.window) > 4) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        return {first, last};
    }

    static constexpr int kWidth = 60;
    static constexpr int kHeight = 500;
    CGlobalIndicator* pane = nullptr;
    SystemColours colours;
};

}  // namespace

TEST_F(GlobalIndicatorTest, SetNotesWidensSmallSets)
{
    pane->SetNotes(NoteSet{});
    EXPECT_EQ(pane->GetNotes(), (NoteSet{48, 60, 72}));
    pane->SetNotes(NoteSet{69});
    EXPECT_EQ(pane->GetNotes(), (NoteSet{68, 69, 70}));
    pane->SetNotes(NoteSet{12});
    EXPECT_EQ(pane->GetNotes(), (NoteSet{12, 13}));
    pane->SetNotes(NoteSet{40, 45, 50});
    EXPECT_EQ(pane->GetNotes(), (NoteSet{40, 45, 50}));
}

TEST_F(GlobalIndicatorTest, HighlightBarIsCentredOnTheValue)
{
    pane->SetNotes(NoteSet{});  // C3, C4, C5
    pane->value = -1500.0f;     // halfway between C3 and C4
    const wxImage image = RenderPane(*pane);
    const LadderScale scale = pane->GetScale();
    const double expectedRow = scale.Row(-1500.0, kHeight);
    const double expectedHeight = HighlightBarHeight(pane->GetLargestLabelHeight(), kHeight, scale);

    // Search between the C4 and C3 bands, away from their labels.
    const int from = static_cast<int>(scale.Row(-900.0, kHeight)) + 20;
    const int to = static_cast<int>(scale.Row(-2100.0, kHeight)) - 20;
    const auto [first, last] = TintedRows(image, 3, from, to);
    ASSERT_GE(first, 0);
    EXPECT_NEAR((first + last + 1) / 2.0, expectedRow, 1.5);
    EXPECT_NEAR(last - first + 1, expectedHeight, 2.0);
    // The fill is the highlight at quarter strength over the window colour.
    const int mid = (first + last) / 2 - 3;
    EXPECT_LE(ColourDistance(PixelAt(image, 3, mid), Blend(colours.highlight, 0x40, colours.window)), 3);
    EXPECT_FLOAT_EQ(pane->GetDrawnValue(), -1500.0f);
}

TEST_F(GlobalIndicatorTest, BarIsNeverThinnerThanTheTallestLabel)
{
    NoteSet chromatic;
    for (int n = 48; n <= 72; ++n)
        chromatic.insert(n);
    pane->SetNotes(chromatic);
    pane->value = -350.0f;
    RenderPane(*pane);
    const double labelHeight = pane->GetLargestLabelHeight();
    // Label em size is H / 24; the measured cell is a little taller.
    EXPECT_GT(labelHeight, kHeight / 24.0 * 0.9);
    EXPECT_LT(labelHeight, kHeight / 24.0 * 1.5);
    EXPECT_GE(HighlightBarHeight(labelHeight, kHeight, pane->GetScale()), 1.2 * labelHeight);
}

TEST_F(GlobalIndicatorTest, NoteBandsSitAtTheirTargets)
{
    pane->SetNotes(NoteSet{});
    pane->value = 5000.0f;  // bar above the pane, out of the way
    const wxImage image = RenderPane(*pane);
    const LadderScale scale = pane->GetScale();
    const double target = scale.Row(-900.0, kHeight);  // C4
    // The band is only 0.02 W thick and anti-aliased: take the most tinted
    // row near the target at the left end.
    int bandRow = -1;
    int strongest = -1;
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
    // Plain window colour well away from any band.
    EXPECT_EQ(ColourDistance(PixelAt(image, 3, bandRow + 60), colours.window), 0);
}

TEST_F(GlobalIndicatorTest, WithoutATableTheLadderUsesEqualTemperament)
{
    auto* bare = new CGlobalIndicator(host, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight));
    bare->SetClientSize(kWidth, kHeight);
    const LadderScale scale = bare->GetScale();
    EXPECT_DOUBLE_EQ(scale.bottom, pane->GetScale().bottom);
    EXPECT_DOUBLE_EQ(scale.span, pane->GetScale().span);
    RenderPane(*bare);
}

TEST_F(GlobalIndicatorTest, ZeroSizedPanePaints)
{
    pane->SetClientSize(0, 0);
    wxSizeEvent size(pane->GetSize());
    pane->ProcessWindowEvent(size);
    RenderPane(*pane);
    EXPECT_FALSE(pane->HasBackBuffer());
}
