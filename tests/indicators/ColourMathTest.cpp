#include <gtest/gtest.h>

#include "indicators/IndicatorColours.h"

using namespace Indicators;

namespace {

SystemColours SampleColours()
{
    SystemColours c;
    c.window = {255, 255, 255};
    c.windowText = {0, 0, 0};
    c.btnFace = {240, 240, 240};
    c.btnShadow = {160, 160, 160};
    c.highlight = {0, 120, 215};
    return c;
}

}  // namespace

TEST(ColourMix, TruncatesEachChannelTowardZero)
{
    EXPECT_EQ(MixColours(0.5, {255, 255, 255}, 0.5, {0, 0, 0}), (RgbColour{127, 127, 127}));
    EXPECT_EQ(MixColours(0.25, {240, 10, 1}, 0.75, {0, 30, 2}), (RgbColour{60, 25, 1}));
    EXPECT_EQ(MixColours(1.0, {1, 2, 3}, 0.0, {200, 200, 200}), (RgbColour{1, 2, 3}));
}

TEST(ColourMix, MixingAColourWithItselfKeepsIt)
{
    // Binary weights such as 0.9 / 0.1 must not lose one step to truncation.
    for (int w = 0; w <= 10; ++w) {
        const double weight = w / 10.0;
        for (int v = 0; v <= 255; ++v) {
            const auto c = static_cast<std::uint8_t>(v);
            const RgbColour colour{c, c, c};
            ASSERT_EQ(MixColours(weight, colour, 1.0 - weight, colour), colour)
                << "weight " << weight << " value " << v;
        }
    }
}

TEST(ColourMix, ArgbLayout)
{
    EXPECT_EQ(ToArgb({0x11, 0x22, 0x33}), 0xFF112233u);
    EXPECT_EQ(ToArgb({0x11, 0x22, 0x33}, 0x40), 0x40112233u);
    // COLORREF keeps red in the low byte.
    EXPECT_EQ(ColorRefToArgb(0x00332211u), 0xFF112233u);
    EXPECT_EQ(ColorRefToArgb(0x00FFFFFFu, 0x80), 0x80FFFFFFu);
}

TEST(ColourMix, NamedMixes)
{
    const SystemColours c = SampleColours();
    EXPECT_EQ(FrameColour(c), (RgbColour{120, 120, 120}));
    EXPECT_EQ(FrameCornerColour(c), (RgbColour{60, 60, 60}));
    EXPECT_EQ(DialColour(c), (RgbColour{200, 200, 200}));
    EXPECT_EQ(NeedleColour(c, 0.0f), c.highlight);
    EXPECT_EQ(NeedleColour(c, 1.0f), c.btnShadow);
    EXPECT_EQ(NeedleColour(c, 0.5f), (RgbColour{80, 140, 187}));
    EXPECT_EQ(LadderDarkColour(c), (RgbColour{25, 25, 25}));
    EXPECT_EQ(LadderLightColour(c), (RgbColour{204, 204, 204}));
}

TEST(ColourMix, EnergyGradientRunsFromHighlightToButtonFace)
{
    const SystemColours c = SampleColours();
    EXPECT_EQ(EnergyGradientColour(c, 0, 100), c.highlight);
    EXPECT_EQ(EnergyGradientColour(c, 50, 100), (RgbColour{120, 180, 227}));
    EXPECT_EQ(EnergyGradientColour(c, 99, 100), (RgbColour{237, 238, 239}));
    EXPECT_EQ(EnergyGradientColour(c, 0, 0), c.highlight);  // no division by zero
}

TEST(FaceFrame, EdgesCoverTheOutermostPixels)
{
    const auto lines = FaceFrameLines(10, 6);
    EXPECT_EQ(FrameLinePixels(lines[0]), (PixelRect{0, 0, 10, 1}));  // top
    EXPECT_EQ(FrameLinePixels(lines[1]), (PixelRect{0, 0, 1, 6}));   // left
    EXPECT_EQ(FrameLinePixels(lines[2]), (PixelRect{0, 5, 10, 1}));  // bottom
    EXPECT_EQ(FrameLinePixels(lines[3]), (PixelRect{9, 0, 1, 6}));   // right
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(lines[i].corner);
}

TEST(FaceFrame, CornerTouchesMarkOnePixelEach)
{
    const auto lines = FaceFrameLines(10, 6);
    EXPECT_EQ(FrameLinePixels(lines[4]), (PixelRect{0, 0, 1, 1}));
    EXPECT_EQ(FrameLinePixels(lines[5]), (PixelRect{9, 0, 1, 1}));
    EXPECT_EQ(FrameLinePixels(lines[6]), (PixelRect{0, 5, 1, 1}));
    EXPECT_EQ(FrameLinePixels(lines[7]), (PixelRect{9, 4, 1, 1}));
    for (int i = 4; i < 8; ++i)
        EXPECT_TRUE(lines[i].corner);
}
