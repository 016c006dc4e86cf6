#include "indicators/math/IndicatorColours.h"

#include <algorithm>
#include <cmath>

namespace Indicators {

namespace {

std::uint8_t MixChannel(double weightA, std::uint8_t a, double weightB, std::uint8_t b) {
    // Weights such as 0.9 and 0.1 are not exact in binary, so mixing a colour
    // with itself could land a hair below the integer and truncate one step
    // too low. A tiny allowance keeps exact mixes exact; truncation otherwise.
    const double mixed = weightA * a + weightB * b + 1e-9;
    return static_cast<std::uint8_t>(std::clamp(std::trunc(mixed), 0.0, 255.0));
}

}  // namespace

RgbColour MixColours(double weightA, RgbColour a, double weightB, RgbColour b) {
    return {MixChannel(weightA, a.red, weightB, b.red), MixChannel(weightA, a.green, weightB, b.green),
            MixChannel(weightA, a.blue, weightB, b.blue)};
}

std::uint32_t ToArgb(RgbColour colour, std::uint8_t alpha) {
    return (std::uint32_t{alpha} << 24) | (std::uint32_t{colour.red} << 16) |
           (std::uint32_t{colour.green} << 8) | std::uint32_t{colour.blue};
}

RgbColour FrameColour(const SystemColours& c) {
    return MixColours(0.5, c.btnFace, 0.5, c.windowText);
}

RgbColour FrameCornerColour(const SystemColours& c) {
    return MixColours(0.25, c.btnFace, 0.75, c.windowText);
}

RgbColour DialColour(const SystemColours& c) {
    return MixColours(0.5, c.btnShadow, 0.5, c.btnFace);
}

RgbColour NeedleColour(const SystemColours& c, float fade) {
    return MixColours(1.0 - fade, c.highlight, fade, c.btnShadow);
}

RgbColour LadderDarkColour(const SystemColours& c) {
    return MixColours(0.9, c.windowText, 0.1, c.window);
}

RgbColour LadderLightColour(const SystemColours& c) {
    return MixColours(0.2, c.windowText, 0.8, c.window);
}

RgbColour EnergyGradientColour(const SystemColours& c, int row, int clientHeight) {
    const double t = clientHeight > 0 ? static_cast<double>(row) / clientHeight : 0.0;
    return MixColours(1.0 - t, c.highlight, t, c.btnFace);
}

std::array<FrameLine, 8> FaceFrameLines(int width, int height) {
    const int w = width;
    const int h = height;
    return {{
        {0, 0, w, 0, false},
        {0, 0, 0, h, false},
        {0, h - 1, w, h - 1, false},
        {w - 1, 0, w - 1, h, false},
        {0, 0, 0, -1, true},
        {w - 1, 0, w - 1, -1, true},
        {0, h - 1, -1, h - 1, true},
        {w - 1, h - 2, w - 1, h - 1, true},
    }};
}

PixelRect FrameLinePixels(const FrameLine& line) {
    if (line.y0 == line.y1) {
        const int left = line.x0 <= line.x1 ? line.x0 : line.x1 + 1;
        return {left, line.y0, std::abs(line.x1 - line.x0), 1};
    }
    const int top = line.y0 <= line.y1 ? line.y0 : line.y1 + 1;
    return {line.x0, top, 1, std::abs(line.y1 - line.y0)};
}

}  // namespace Indicators
