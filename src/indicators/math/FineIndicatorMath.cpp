#include "indicators/math/FineIndicatorMath.h"

#include <cmath>
#include <numbers>

namespace Indicators {

namespace {

constexpr double kNeedleLength = 0.95;  // of R

double PointsForDpi(double size, double dpi) {
    return dpi > 0.0 ? size * 96.0 / dpi : size;
}

}  // namespace

int GlyphSize(int clientHeight) {
    return static_cast<int>(0.11 * clientHeight);
}

double DialRadius(int clientHeight) {
    return 0.7 * clientHeight;
}

PointD DialPivot(int clientWidth, int clientHeight) {
    return {clientWidth / 2.0, static_cast<double>(clientHeight)};
}

double DialPenWidth(int clientWidth) {
    return 0.02 * clientWidth;
}

double NeedleAngleDegrees(float position) {
    return static_cast<double>(position) * kDialDegreesPerUnit;
}

double TickAngleDegrees(int index) {
    return (25.0 * index - 50.0) * 0.7;
}

PointD RotateAboutPivot(PointD local, double angleDegrees, PointD pivot) {
    const double a = angleDegrees * std::numbers::pi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    // Clockwise on screen (y down) is the ordinary rotation matrix.
    return {pivot.x + local.x * c - local.y * s, pivot.y + local.x * s + local.y * c};
}

SegmentD NeedleSegment(int clientWidth, int clientHeight, float position) {
    const PointD pivot = DialPivot(clientWidth, clientHeight);
    const double r = DialRadius(clientHeight);
    const double angle = NeedleAngleDegrees(position);
    return {RotateAboutPivot({0.0, 0.0}, angle, pivot),
            RotateAboutPivot({0.0, -kNeedleLength * r}, angle, pivot)};
}

std::array<PointD, 5> NeedleOutline(const SegmentD& needle, double width) {
    const double dx = needle.to.x - needle.from.x;
    const double dy = needle.to.y - needle.from.y;
    const double length = std::hypot(dx, dy);
    const double ux = length > 0.0 ? dx / length : 0.0;
    const double uy = length > 0.0 ? dy / length : -1.0;
    // Normal to the needle, half a pen width long.
    const double nx = -uy * width / 2.0;
    const double ny = ux * width / 2.0;
    const PointD tip{needle.to.x + ux * width / 2.0, needle.to.y + uy * width / 2.0};
    return {{{needle.from.x + nx, needle.from.y + ny},
             {needle.to.x + nx, needle.to.y + ny},
             tip,
             {needle.to.x - nx, needle.to.y - ny},
             {needle.from.x - nx, needle.from.y - ny}}};
}

double HubRadius(int clientHeight) {
    return 0.15 * DialRadius(clientHeight);
}

double GlyphFontPoints(int glyphSize, double dpi) {
    return PointsForDpi(glyphSize, dpi);
}

double LabelFontPoints(int clientWidth, double dpi) {
    return PointsForDpi(0.06 * clientWidth, dpi);
}

double CaptionFontPoints(int clientWidth, double dpi) {
    return PointsForDpi(0.04 * clientWidth, dpi);
}

int GlyphCutOffset(double lineSpacing, double cellAscent, double emHeight, int glyphSize) {
    if (emHeight <= 0.0) return 0;
    const double offset = std::floor((lineSpacing - cellAscent) * glyphSize / emHeight);
    return offset > 0.0 ? static_cast<int>(offset) : 0;
}

int TextLeft(int clientWidth) {
    return static_cast<int>(0.04 * clientWidth);
}

int TextTop(int clientWidth) {
    return static_cast<int>(0.08 * clientWidth);
}

int TextRightEdge(int clientWidth) {
    return static_cast<int>(clientWidth - 0.04 * clientWidth);
}

PointD LeftCaptionOrigin(int clientWidth) {
    return {0.04 * clientWidth, 0.01 * clientWidth};
}

double CaptionRightEdge(int clientWidth) {
    return 0.96 * clientWidth;
}

}  // namespace Indicators
