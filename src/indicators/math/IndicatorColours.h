// Colour arithmetic shared by all indicator faces. Every indicator colour is a
// weighted mix of two system colours, recomputed at each drawing so that a
// change of the desktop colour scheme shows on the next paint. No wx here, so
// the arithmetic is testable without a display.
#pragma once

#include <array>
#include <cstdint>

namespace Indicators {

struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

// The five system colours the faces are built from, read by the window code.
struct SystemColours {
    RgbColour window;      // background of the faces
    RgbColour windowText;  // text and the noise-floor line
    RgbColour btnFace;
    RgbColour btnShadow;
    RgbColour highlight;  // needle, highlight bar, top of the level bar
};

// weightA x a + weightB x b per channel, truncated toward zero. The weights
// are expected to add up to 1.
RgbColour MixColours(double weightA, RgbColour a, double weightB, RgbColour b);

// 0xAARRGGBB as the vector graphics layer expects it.
std::uint32_t ToArgb(RgbColour colour, std::uint8_t alpha = 255);

// The named mixes used by the faces.
RgbColour FrameColour(const SystemColours& c);        // 0.5 face + 0.5 text
RgbColour FrameCornerColour(const SystemColours& c);  // 0.25 face + 0.75 text
RgbColour DialColour(const SystemColours& c);         // 0.5 shadow + 0.5 face (fine dial and hub)
// Needle colour: highlight when fresh (fade 0), button shadow when stale (fade 1).
RgbColour NeedleColour(const SystemColours& c, float fade);
RgbColour LadderDarkColour(const SystemColours& c);   // 0.9 text + 0.1 window
RgbColour LadderLightColour(const SystemColours& c);  // 0.2 text + 0.8 window
// Colour of row y of the level gradient of a face clientHeight rows high:
// highlight at the top blending into button face at the bottom.
RgbColour EnergyGradientColour(const SystemColours& c, int row, int clientHeight);

// The one-pixel frame that closes the fine, global and energy faces: four
// edge lines and four short corner touches, in integer client coordinates.
struct FrameLine {
    int x0, y0, x1, y1;
    bool corner;  // drawn in FrameCornerColour, otherwise FrameColour
};
std::array<FrameLine, 8> FaceFrameLines(int width, int height);

struct PixelRect {
    int x, y, width, height;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pixels a one-pixel horizontal or vertical frame line covers, with the
// line-drawing rule of the original face: the start point is drawn, the end
// point is not. Rectangles may reach outside the client area; drawing clips.
PixelRect FrameLinePixels(const FrameLine& line);

}  // namespace Indicators
