#include <cmath>

#include <gtest/gtest.h>

#include "indicators/math/FineIndicatorMath.h"

using namespace Indicators;

// Where the needle and the texts land is checked in pixels (FineIndicatorTest).
TEST(FineGeometry, NeedleOutline) {
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
