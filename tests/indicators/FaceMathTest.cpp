// The colours, scales and sizes the energy, fine and global panes draw with.
// Where the pixels land is checked by the pane tests.
#include <cmath>

#include <gtest/gtest.h>

#include "indicators/math/EnergyIndicatorMath.h"
#include "indicators/math/FineIndicatorMath.h"
#include "indicators/math/GlobalIndicatorMath.h"
#include "indicators/math/IndicatorColours.h"

using namespace Indicators;

TEST(ColourMix, TruncatesTowardZeroButNeverLosesAStepOnSelfMixes) {
    EXPECT_EQ(MixColours(0.5, {255, 255, 255}, 0.5, {0, 0, 0}), (RgbColour{127, 127, 127}));
    EXPECT_EQ(MixColours(0.25, {240, 10, 1}, 0.75, {0, 30, 2}), (RgbColour{60, 25, 1}));
    // Binary weights such as 0.9 / 0.1 must not lose one step to truncation.
    for (int w = 0; w <= 10; ++w) {
        for (int v = 0; v <= 255; ++v) {
            const auto c = static_cast<std::uint8_t>(v);
            ASSERT_EQ(MixColours(w / 10.0, {c, c, c}, 1.0 - w / 10.0, {c, c, c}), (RgbColour{c, c, c}))
                << "weight " << w / 10.0 << " value " << v;
        }
    }
    EXPECT_EQ(ToArgb({0x11, 0x22, 0x33}), 0xFF112233u);
    EXPECT_EQ(ToArgb({0x11, 0x22, 0x33}, 0x40), 0x40112233u);
}

TEST(ColourMix, NamedMixesAndTheEnergyGradient) {
    const SystemColours c{.window = {255, 255, 255},
                          .windowText = {0, 0, 0},
                          .btnFace = {240, 240, 240},
                          .btnShadow = {160, 160, 160},
                          .highlight = {0, 120, 215}};
    const std::pair<RgbColour, RgbColour> cases[] = {
        {FrameColour(c), {120, 120, 120}},
        {FrameCornerColour(c), {60, 60, 60}},
        {DialColour(c), {200, 200, 200}},
        {NeedleColour(c, 0.0f), c.highlight},
        {NeedleColour(c, 1.0f), c.btnShadow},
        {NeedleColour(c, 0.5f), {80, 140, 187}},
        {LadderDarkColour(c), {25, 25, 25}},
        {LadderLightColour(c), {204, 204, 204}},
        {EnergyGradientColour(c, 0, 100), c.highlight},
        {EnergyGradientColour(c, 50, 100), {120, 180, 227}},
        {EnergyGradientColour(c, 99, 100), {237, 238, 239}},
        {EnergyGradientColour(c, 0, 0), c.highlight},  // no division by zero
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << i;

    // Top, left, bottom, right edges of the frame, then the four corner touches.
    const PixelRect expected[8] = {{0, 0, 10, 1}, {0, 0, 1, 6}, {0, 5, 10, 1}, {9, 0, 1, 6},
                                   {0, 0, 1, 1},  {9, 0, 1, 1}, {0, 5, 1, 1},  {9, 4, 1, 1}};
    const auto lines = FaceFrameLines(10, 6);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(FrameLinePixels(lines[i]), expected[i]) << i;
        EXPECT_EQ(lines[i].corner, i >= 4) << i;
    }
}

TEST(EnergyScale, RowsCursorPositionsAndTinyPanes) {
    // Height 102: inner height 100. Too small to have an inside: a harmless row.
    EXPECT_EQ(LevelRow(0.0f, 102), 100);
    EXPECT_EQ(LevelRow(1.0f, 102), 1);
    EXPECT_EQ(LevelRow(0.5f, 102), 51);
    EXPECT_EQ(FloorRow(0.25f, 102), 76);
    EXPECT_EQ(LevelRow(0.5f, 2), 1);
    EXPECT_EQ(LevelRow(0.5f, 0), 1);
    // Height 104: rows 2..102 span the range, clamped beyond. A pane of four
    // rows or fewer has no range: the floor stays put.
    const struct {
        int row, height;
        float current, expected;
    } cases[] = {{2, 104, 0.3f, 1.0f},   {102, 104, 0.3f, 0.0f}, {154, 104, 0.3f, 0.0f},
                 {-40, 104, 0.3f, 1.0f}, {52, 104, 0.3f, 0.5f},  {2, 4, 0.3f, 0.3f},
                 {2, 0, 0.7f, 0.7f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(FloorFromCursorRow(c.row, c.height, c.current), c.expected)
            << c.row << " " << c.height;
    for (int w = 0; w <= 3; ++w)
        for (int h = 0; h <= 4; ++h)
            for (const auto& step : EnergyFacePlan(w, h, 0.4f, 0.6f))
                EXPECT_TRUE(step.rect.width > 0 && step.rect.height > 0) << w << "x" << h;
}

TEST(FineGeometry, NeedleOutlineGlyphAndFontSizes) {
    // Flat start four units either side, point four units beyond the tip.
    const auto outline = NeedleOutline({{100.0, 200.0}, {100.0, 100.0}}, 8.0);
    EXPECT_NEAR(std::abs(outline[0].x - outline[4].x), 8.0, 1e-9);
    EXPECT_NEAR(outline[0].y, 200.0, 1e-9);
    EXPECT_NEAR(outline[2].x, 100.0, 1e-9);
    EXPECT_NEAR(outline[2].y, 96.0, 1e-9);

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

TEST(Ladder, NotesScaleAndLabelSize) {
    // Small sets are widened within the valid notes.
    const std::pair<std::vector<int>, std::vector<int>> widened[] = {{{}, {48, 60, 72}},
                                                                     {{69}, {68, 69, 70}},
                                                                     {{12}, {12, 13}},
                                                                     {{108}, {107, 108}},
                                                                     {{40, 45}, {40, 45}}};
    for (const auto& [notes, expected] : widened) EXPECT_EQ(WidenLadderNotes(notes), expected);

    // C3..C5 in equal temperament: edges -2150 and 350 cents.
    const LadderScale s = MakeLadderScale(-2150.0, 350.0);
    EXPECT_DOUBLE_EQ(s.bottom, -2275.0);
    EXPECT_DOUBLE_EQ(s.span, 2750.0);
    EXPECT_DOUBLE_EQ(s.Row(-2275.0, 500), 500.0);
    EXPECT_DOUBLE_EQ(s.Row(475.0, 500), 0.0);
    EXPECT_DOUBLE_EQ(s.Row(-900.0, 500), 250.0);
    EXPECT_LT(s.Row(5000.0, 500), 0.0);                  // nothing is clamped
    EXPECT_GT(MakeLadderScale(100.0, 100.0).span, 0.0);  // degenerate edges
    // Never thinner than 50 cents of the scale nor than 1.2 x the labels.
    EXPECT_DOUBLE_EQ(HighlightBarHeight(0.0, 550, s), 10.0);
    EXPECT_DOUBLE_EQ(HighlightBarHeight(20.0, 550, s), 24.0);
    EXPECT_DOUBLE_EQ(LadderBandHeight(50), 1.0);

    // The label size follows the closest notes, capped at a twentieth.
    std::vector<int> chromatic;
    for (int n = 48; n <= 72; ++n) chromatic.push_back(n);
    EXPECT_DOUBLE_EQ(LabelSizeFactor(chromatic), 1.0 / 24.0);
    for (const std::vector<int>& notes : {std::vector<int>{48, 60, 72}, {69}, {}, {40, 45, 50, 55, 59, 64}})
        EXPECT_DOUBLE_EQ(LabelSizeFactor(notes), 0.05);
}
