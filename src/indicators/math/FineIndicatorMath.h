// Geometry of the fine indicator's face: the half-dial, its ticks and labels,
// the needle and hub, and the placement of the note and cents texts. All
// lengths follow from the client size, so the face keeps its proportions at
// any size. No wx here.
#pragma once

#include <array>

namespace Indicators {

struct PointD {
    double x = 0.0;
    double y = 0.0;
};

struct SegmentD {
    PointD from;
    PointD to;
};

// Dial angles: +-50 cents sit at +-35 degrees, clockwise positive.
constexpr double kDialDegreesPerUnit = 0.7 * 50.0;

// Glyph cell size in pixels: trunc(0.11 x client height).
int GlyphSize(int clientHeight);

// Radius of the dial circle, 0.7 x height, centred on the pivot (W/2, H).
double DialRadius(int clientHeight);
PointD DialPivot(int clientWidth, int clientHeight);
// Pen width of the dial and the needle, 0.02 x width.
double DialPenWidth(int clientWidth);

// Angle of the needle for a position in -1..+1 (+-1 is +-35 degrees).
double NeedleAngleDegrees(float position);
// Angle of tick i of the five dial labels: (25 i - 50) x 0.7 degrees. The
// tick runs from R to 0.85 R along it; its label's top lies 1.13 R out.
double TickAngleDegrees(int index);

// A point (x, y) given relative to the pivot in a frame rotated clockwise by
// angleDegrees (y up the pane is negative), mapped to client coordinates.
PointD RotateAboutPivot(PointD local, double angleDegrees, PointD pivot);

// The needle runs from the pivot to 0.95 R along its angle.
SegmentD NeedleSegment(int clientWidth, int clientHeight, float position);

// Outline of the needle drawn with a flat start and a triangular end cap:
// a bar of the given width whose far end tapers to a point half a width
// beyond the tip. Points in drawing order.
std::array<PointD, 5> NeedleOutline(const SegmentD& needle, double width);

// Radius of the hub disc, 0.15 R.
double HubRadius(int clientHeight);

// Font sizes before conversion to device units, already scaled by 96 / DPI.
double GlyphFontPoints(int glyphSize, double dpi);
double LabelFontPoints(int clientWidth, double dpi);
double CaptionFontPoints(int clientWidth, double dpi);

// Rows cut off the top of each glyph cell: the space the font reserves above
// its ascent, scaled from design units (em height) to the glyph size.
int GlyphCutOffset(double lineSpacing, double cellAscent, double emHeight, int glyphSize);

// Where the texts go: the note text starts at (trunc(0.04 W), trunc(0.08 W));
// the cents text shares that row and ends at trunc(W - 0.04 W).
int TextLeft(int clientWidth);
int TextTop(int clientWidth);
int TextRightEdge(int clientWidth);
// Caption anchors: left caption at (0.04 W, 0.01 W); the right caption ends
// 0.04 W from the right edge on the same line.
PointD LeftCaptionOrigin(int clientWidth);
double CaptionRightEdge(int clientWidth);

}  // namespace Indicators
