#include "indicators/math/EnergyIndicatorMath.h"

#include <algorithm>

namespace Indicators {

namespace {

int RowOnScale(float position, int clientHeight) {
    const int inner = clientHeight - 2;
    if (inner < 1) return 1;  // no inside rows at all; painting draws nothing there
    const int row = 1 + static_cast<int>((1.0f - position) * inner);
    return std::clamp(row, 1, inner);
}

}  // namespace

int LevelRow(float level, int clientHeight) {
    return RowOnScale(level, clientHeight);
}

int FloorRow(float floorPosition, int clientHeight) {
    return RowOnScale(floorPosition, clientHeight);
}

float FloorFromCursorRow(int cursorRow, int clientHeight, float currentPosition) {
    const int h = clientHeight - 4;
    if (h <= 0) return currentPosition;
    const int offset = std::clamp(cursorRow - 2, 0, h);
    return static_cast<float>(h - offset) / static_cast<float>(h);
}

std::vector<EnergyFillStep> EnergyFacePlan(int clientWidth, int clientHeight, float level,
                                           float floorPosition) {
    const int w = clientWidth;
    const int h = clientHeight;
    const int ly = LevelRow(level, h);
    const int fy = FloorRow(floorPosition, h);

    std::vector<EnergyFillStep> steps;
    auto add = [&](EnergyFill fill, int y, int height) {
        if (w - 2 > 0 && height > 0) steps.push_back({fill, {1, y, w - 2, height}});
    };
    if (h - 2 < 1) return steps;

    if (fy >= ly) {
        // The level reaches the floor line or above it.
        add(EnergyFill::Window, 1, ly - 1);
        add(EnergyFill::Gradient, ly, fy - ly);
        add(EnergyFill::WindowText, fy, 1);
        add(EnergyFill::Gradient, fy + 1, h - fy - 2);
    } else {
        add(EnergyFill::Window, 1, fy - 1);
        add(EnergyFill::WindowText, fy, 1);
        add(EnergyFill::Window, fy + 1, ly - fy);
        if (h - ly - 1 > 0) add(EnergyFill::Gradient, ly, h - ly - 1);
    }
    return steps;
}

}  // namespace Indicators
