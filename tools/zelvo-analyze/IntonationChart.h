// The geometry of the intonation chart: where every axis tick, shaded band,
// note label and deviation trace goes, in pixels, before anything is drawn.
// Kept apart from the drawing so the arithmetic can be checked on its own.
#pragma once

#include <string>
#include <vector>

#include "HopReading.h"
#include "NoteSummary.h"

namespace ZelvoAnalyze {

struct ChartRect {
    double x = 0.0, y = 0.0, width = 0.0, height = 0.0;

    double Bottom() const { return y + height; }
    double Right() const { return x + width; }
};

struct ChartPoint {
    double x = 0.0, y = 0.0;
};

// A line across an axis with its label: y for the cents axis, x for time.
struct ChartTick {
    double position = 0.0;
    std::string label;
};

// The deviation of one held note over time. colour indexes ChartColours();
// kChartShortNote marks notes too brief to count as held (drawn grey).
struct ChartTrace {
    int colour = 0;
    std::vector<ChartPoint> points;
    double medianY = 0.0;  // the note's median deviation, drawn across its time
    double startX = 0.0, endX = 0.0;
};

struct ChartLabel {
    double x = 0.0;  // centre of the text
    std::string text;
    int colour = 0;
};

struct ChartLayout {
    double width = 0.0, height = 0.0;
    ChartRect plot;  // the deviation area
    ChartRect band;  // the shaded in-tune band around 0 cents
    double zeroY = 0.0;
    double centsRange = 0.0;  // the plot spans -centsRange..+centsRange
    std::vector<ChartTick> centsTicks;
    std::vector<ChartTick> timeTicks;
    std::vector<ChartTrace> traces;
    std::vector<ChartLabel> noteLabels;  // drawn above the plot
};

inline constexpr int kChartShortNote = -1;
inline constexpr double kChartInTuneCents = 5.0;
// Notes held for less than this are passing sounds: grey and unlabelled.
inline constexpr double kChartHeldSeconds = 0.15;

struct RgbColour {
    double red, green, blue;
};
// The palette the held notes cycle through, distinct next to each other.
const std::vector<RgbColour>& ChartColours();

// The chart of a recording of `duration` seconds read as `hops` (grouped
// into `notes` by NoteSummarizer), `hopDuration` seconds each.
ChartLayout LayoutIntonationChart(const std::vector<HopReading>& hops, const std::vector<NoteSpan>& notes,
                                  double hopDuration, double duration, double width, double height);

// The smallest of 20, 30 and 50 cents that holds nearly all (95 %) of the
// held notes' deviations, so small errors are not flattened by a few wild
// readings.
double ChooseCentsRange(const std::vector<float>& heldCents);

// A round step for time ticks (0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30 s, 1, 2,
// 5, 10 min ...) giving at most maxTicks ticks over duration.
double ChooseTimeStep(double duration, int maxTicks);

// A time tick's text: seconds ("2.5", "30") under two minutes, else "m:ss".
std::string FormatTimeTick(double seconds, double step, double duration);

}  // namespace ZelvoAnalyze
