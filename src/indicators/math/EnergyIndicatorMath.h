// Arithmetic of the energy indicator: the rows of the level bar and the
// noise-floor line for positions on the meter's scale (Units), the floor
// position picked by a cursor row, and the sequence of fills that paints the
// face. No wx here.
#pragma once

#include <vector>

#include "indicators/math/IndicatorColours.h"

namespace Indicators {

// Row of the top of the level bar and of the floor line, 1..H-2.
int LevelRow(float level, int clientHeight);
int FloorRow(float floorPosition, int clientHeight);

// Floor position chosen by the cursor at client row y: row 2 is the top
// (0 dB), row H-2 and below the bottom (-60 dB). A pane too small to hold a
// range (H <= 4) leaves the current position unchanged.
float FloorFromCursorRow(int cursorRow, int clientHeight, float currentPosition);

// One step of painting the inside of the face.
enum class EnergyFill {
    Window,      // fill with the window colour
    WindowText,  // fill with the window text colour (the floor line)
    Gradient,    // copy the same rows of the cached level gradient
};
struct EnergyFillStep {
    EnergyFill fill;
    PixelRect rect;
};

// The fills inside the frame for a face of the given size; steps of zero or
// negative size are left out.
std::vector<EnergyFillStep> EnergyFacePlan(int clientWidth, int clientHeight, float level,
                                           float floorPosition);

}  // namespace Indicators
