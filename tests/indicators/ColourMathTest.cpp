#include <gtest/gtest.h>

#include "indicators/math/IndicatorColours.h"

using namespace Indicators;

namespace {

const SystemColours kColours{.window = {255, 255, 255},
                             .windowText = {0, 0, 0},
                             .btnFace = {240, 240, 240},
                             .btnShadow = {160, 160, 160},
                             .highlight = {0, 120, 215}};

}  // namespace

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
}

TEST(ColourMix, ArgbLayout) {
    EXPECT_EQ(ToArgb({0x11, 0x22, 0x33}), 0xFF112233u);
    EXPECT_EQ(ToArgb({0x11, 0x22, 0x33}, 0x40), 0x40112233u);
}

TEST(ColourMix, NamedMixesAndTheEnergyGradient) {
    const SystemColours& c = kColours;
    EXPECT_EQ(FrameColour(c), (RgbColour{120, 120, 120}));
    EXPECT_EQ(FrameCornerColour(c), (RgbColour{60, 60, 60}));
    EXPECT_EQ(DialColour(c), (RgbColour{200, 200, 200}));
    EXPECT_EQ(NeedleColour(c, 0.0f), c.highlight);
    EXPECT_EQ(NeedleColour(c, 1.0f), c.btnShadow);
    EXPECT_EQ(NeedleColour(c, 0.5f), (RgbColour{80, 140, 187}));
    EXPECT_EQ(LadderDarkColour(c), (RgbColour{25, 25, 25}));
    EXPECT_EQ(LadderLightColour(c), (RgbColour{204, 204, 204}));
    EXPECT_EQ(EnergyGradientColour(c, 0, 100), c.highlight);
    EXPECT_EQ(EnergyGradientColour(c, 50, 100), (RgbColour{120, 180, 227}));
    EXPECT_EQ(EnergyGradientColour(c, 99, 100), (RgbColour{237, 238, 239}));
    EXPECT_EQ(EnergyGradientColour(c, 0, 0), c.highlight);  // no division by zero
}

TEST(FaceFrame, EdgesCoverTheOutermostPixelsAndCornersOneEach) {
    // Top, left, bottom, right edges, then the four corner touches.
    const PixelRect expected[8] = {{0, 0, 10, 1}, {0, 0, 1, 6}, {0, 5, 10, 1}, {9, 0, 1, 6},
                                   {0, 0, 1, 1},  {9, 0, 1, 1}, {0, 5, 1, 1},  {9, 4, 1, 1}};
    const auto lines = FaceFrameLines(10, 6);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(FrameLinePixels(lines[i]), expected[i]);
        EXPECT_EQ(lines[i].corner, i >= 4);
    }
}
