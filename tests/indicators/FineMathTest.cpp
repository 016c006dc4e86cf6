#include <cmath>

#include <gtest/gtest.h>

#include "indicators/FineIndicatorMath.h"

using namespace Indicators;

namespace {

// Signed area spanned by the direction of a and of b: 0 when parallel.
double Cross(const SegmentD& a, const SegmentD& b)
{
    const double ax = a.to.x - a.from.x;
    const double ay = a.to.y - a.from.y;
    const double bx = b.to.x - b.from.x;
    const double by = b.to.y - b.from.y;
    return (ax * by - ay * bx) / (std::hypot(ax, ay) * std::hypot(bx, by));
}

double Length(const SegmentD& s)
{
    return std::hypot(s.to.x - s.from.x, s.to.y - s.from.y);
}

}  // namespace

TEST(FineGeometry, GlyphSizeFollowsHeight)
{
    EXPECT_EQ(GlyphSize(300), 33);
    EXPECT_EQ(GlyphSize(9), 0);
    EXPECT_EQ(GlyphSize(0), 0);
}

TEST(FineGeometry, NeedleAtFullScaleLiesAlongTheEndTicks)
{
    const int w = 400;
    const int h = 300;
    // The +50 label is the fifth, the -50 label the first.
    const SegmentD plus = NeedleSegment(w, h, 1.0f);
    const SegmentD minus = NeedleSegment(w, h, -1.0f);
    EXPECT_NEAR(Cross(plus, TickSegment(w, h, 4)), 0.0, 1e-12);
    EXPECT_NEAR(Cross(minus, TickSegment(w, h, 0)), 0.0, 1e-12);
    EXPECT_NEAR(NeedleAngleDegrees(1.0f), 35.0, 1e-9);
    // Pointing up and right of the pivot for +1, up and left for -1.
    EXPECT_GT(plus.to.x, w / 2.0);
    EXPECT_LT(minus.to.x, w / 2.0);
    EXPECT_LT(plus.to.y, h);
    // The tick's outer end is on the dial circle; the needle stops at 0.95 R.
    const SegmentD tick = TickSegment(w, h, 4);
    EXPECT_NEAR(std::hypot(tick.from.x - w / 2.0, tick.from.y - h), DialRadius(h), 1e-9);
    EXPECT_NEAR(Length(plus), 0.95 * DialRadius(h), 1e-9);
}

TEST(FineGeometry, NeedleAtZeroPointsStraightUp)
{
    const SegmentD s = NeedleSegment(400, 300, 0.0f);
    EXPECT_DOUBLE_EQ(s.from.x, 200.0);
    EXPECT_DOUBLE_EQ(s.from.y, 300.0);
    EXPECT_NEAR(s.to.x, 200.0, 1e-9);
    EXPECT_NEAR(s.to.y, 300.0 - 0.95 * 210.0, 1e-9);
}

TEST(FineGeometry, TickAnglesSpreadSymmetrically)
{
    EXPECT_DOUBLE_EQ(TickAngleDegrees(0), -35.0);
    EXPECT_DOUBLE_EQ(TickAngleDegrees(2), 0.0);
    EXPECT_DOUBLE_EQ(TickAngleDegrees(4), 35.0);
    const PointD centre = TickLabelCentre(400, 300, 2, 20.0);
    EXPECT_NEAR(centre.x, 201.0, 1e-9);
    EXPECT_NEAR(centre.y, 300.0 - 1.13 * 210.0 + 10.0, 1e-9);
}

TEST(FineGeometry, NeedleOutlineEndsInATrianglePoint)
{
    const SegmentD s{{100.0, 200.0}, {100.0, 100.0}};
    const auto outline = NeedleOutline(s, 8.0);
    // Flat start four units either side, point four units beyond the tip.
    EXPECT_NEAR(std::abs(outline[0].x - outline[4].x), 8.0, 1e-9);
    EXPECT_NEAR(outline[0].y, 200.0, 1e-9);
    EXPECT_NEAR(outline[2].x, 100.0, 1e-9);
    EXPECT_NEAR(outline[2].y, 96.0, 1e-9);
}

TEST(FineGeometry, FontSizesScaleWithWidthAndDpi)
{
    EXPECT_DOUBLE_EQ(LabelFontPoints(500, 96.0), 30.0);
    EXPECT_DOUBLE_EQ(LabelFontPoints(500, 192.0), 15.0);
    EXPECT_DOUBLE_EQ(CaptionFontPoints(500, 96.0), 20.0);
    EXPECT_DOUBLE_EQ(GlyphFontPoints(33, 144.0), 22.0);
}

TEST(FineGeometry, GlyphCutOffsetRemovesTheSpaceAboveTheAscent)
{
    // Arial's design metrics: em 2048, ascent 1854, line spacing 2355.
    EXPECT_EQ(GlyphCutOffset(2355, 1854, 2048, 33), 8);
    EXPECT_EQ(GlyphCutOffset(2355, 1854, 2048, 0), 0);
    EXPECT_EQ(GlyphCutOffset(100, 100, 0, 33), 0);  // unusable metrics cut nothing
}

TEST(FineGeometry, TextPlacement)
{
    EXPECT_EQ(TextLeft(500), 20);
    EXPECT_EQ(TextTop(500), 40);
    EXPECT_EQ(TextRightEdge(500), 480);
    EXPECT_EQ(TextRightEdge(333), 319);  // trunc(333 - 13.32)
}

TEST(FineGeometry, RightAlignedTextEndsAtTheEdgeWhateverTheWidths)
{
    const std::vector<int> widths{7, 10, 10, 4, 10};  // "+03.3"
    const std::vector<int> xs = RightAlignedPositions(widths, 480);
    ASSERT_EQ(xs.size(), widths.size());
    EXPECT_EQ(xs.back() + widths.back(), 480);
    EXPECT_EQ(xs.front(), 480 - 41);
    for (std::size_t i = 1; i < xs.size(); ++i)
        EXPECT_EQ(xs[i], xs[i - 1] + widths[i - 1]);
    EXPECT_EQ(LeftAlignedPositions({12, 9}, 20), (std::vector<int>{20, 32}));
    EXPECT_TRUE(RightAlignedPositions({}, 480).empty());
}
