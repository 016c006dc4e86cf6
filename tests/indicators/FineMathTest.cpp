#include <cmath>

#include <gtest/gtest.h>

#include "indicators/math/FineIndicatorMath.h"

using namespace Indicators;

namespace {

// Sine of the angle between the directions of a and b: 0 when parallel.
double Cross(const SegmentD& a, const SegmentD& b) {
    const double ax = a.to.x - a.from.x, ay = a.to.y - a.from.y;
    const double bx = b.to.x - b.from.x, by = b.to.y - b.from.y;
    return (ax * by - ay * bx) / (std::hypot(ax, ay) * std::hypot(bx, by));
}

}  // namespace

TEST(FineGeometry, NeedleAngleAndEndPoints) {
    const int w = 400, h = 300;  // pivot (200, 300), R = 210
    // At full scale the needle lies along the end ticks (+50 is the fifth
    // label, -50 the first). Its angles, length and side are checked in
    // pixels (FineIndicatorTest).
    const SegmentD plus = NeedleSegment(w, h, 1.0f);
    const SegmentD minus = NeedleSegment(w, h, -1.0f);
    EXPECT_NEAR(Cross(plus, TickSegment(w, h, 4)), 0.0, 1e-12);
    EXPECT_NEAR(Cross(minus, TickSegment(w, h, 0)), 0.0, 1e-12);
    // The tick's outer end is on the dial circle.
    const SegmentD tick = TickSegment(w, h, 4);
    EXPECT_NEAR(std::hypot(tick.from.x - 200.0, tick.from.y - 300.0), 210.0, 1e-9);

    const PointD centre = TickLabelCentre(w, h, 2, 20.0);
    EXPECT_NEAR(centre.x, 201.0, 1e-9);
    EXPECT_NEAR(centre.y, 300.0 - 1.13 * 210.0 + 10.0, 1e-9);

    // Flat start four units either side, point four units beyond the tip.
    const auto outline = NeedleOutline({{100.0, 200.0}, {100.0, 100.0}}, 8.0);
    EXPECT_NEAR(std::abs(outline[0].x - outline[4].x), 8.0, 1e-9);
    EXPECT_NEAR(outline[0].y, 200.0, 1e-9);
    EXPECT_NEAR(outline[2].x, 100.0, 1e-9);
    EXPECT_NEAR(outline[2].y, 96.0, 1e-9);
}

TEST(FineGeometry, GlyphAndFontSizes) {
    EXPECT_EQ(GlyphSize(300), 33);
    EXPECT_EQ(GlyphSize(9), 0);
    EXPECT_EQ(GlyphSize(0), 0);
    EXPECT_DOUBLE_EQ(LabelFontPoints(500, 96.0), 30.0);
    EXPECT_DOUBLE_EQ(LabelFontPoints(500, 192.0), 15.0);
    EXPECT_DOUBLE_EQ(CaptionFontPoints(500, 96.0), 20.0);
    EXPECT_DOUBLE_EQ(GlyphFontPoints(33, 144.0), 22.0);
    // Arial's design metrics: em 2048, ascent 1854, line spacing 2355.
    EXPECT_EQ(GlyphCutOffset(2355, 1854, 2048, 33), 8);
    EXPECT_EQ(GlyphCutOffset(2355, 1854, 2048, 0), 0);
    EXPECT_EQ(GlyphCutOffset(100, 100, 0, 33), 0);  // unusable metrics cut nothing
}

TEST(FineGeometry, TextPlacement) {
    // "+03.3" with uneven glyph widths ends exactly at the edge.
    EXPECT_EQ(RightAlignedPositions({7, 10, 10, 4, 10}, 480), (std::vector<int>{439, 446, 456, 466, 470}));
    EXPECT_EQ(LeftAlignedPositions({12, 9}, 20), (std::vector<int>{20, 32}));
    EXPECT_TRUE(RightAlignedPositions({}, 480).empty());
}
