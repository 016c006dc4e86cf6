// Arithmetic of the compressed harmonics graph, without a toolkit: the strips
// of the face, the view onto time and pitch with its limits, following the
// newest data, zooming and panning, the axis ticks and their labels, picking
// a harmonic under the cursor, which parts of the plot a paint must redraw,
// and the status texts for the parent window.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "indicators/math/IndicatorColours.h"
#include "pipeline/HarmonicHistory.h"
#include "tuning/NoteTable.h"

namespace Indicators {

// The four strips of the graph, in client pixels.
struct HarmonicsLayout {
    PixelRect pitchAxis;    // left strip: note bands and cent labels
    PixelRect timeAxis;     // bottom strip under the plot: seconds
    PixelRect bottomStrip;  // the whole width of the bottom strip
    PixelRect plot;         // the tracks

    friend bool operator==(const HarmonicsLayout&, const HarmonicsLayout&) = default;
};
HarmonicsLayout HarmonicsGraphLayout(int clientWidth, int clientHeight);

inline constexpr int kHarmonicsAxisWidth = 80;   // right edge of the pitch strip
inline constexpr int kHarmonicsAxisHeight = 22;  // height of the time strip

// The visible window: seconds from the start of the note and cents re 440 Hz.
struct HarmonicsView {
    float timeStart = 0.0f;
    float timeSpan = 5.0f;
    float pitchStart = -12.5f;
    float pitchSpan = 25.0001f;

    friend bool operator==(const HarmonicsView&, const HarmonicsView&) = default;
};

// Lower edge of the lowest band and upper edge of the highest band of the
// note table (equal temperament's when the table is empty).
struct PitchLimits {
    float bottom = 0.0f;
    float top = 0.0f;
};
PitchLimits PitchLimitsOf(const NoteTable& table);

// Starts clamped to [0, 60 - time span] and [bottom, top - pitch span].
void ClampViewStarts(HarmonicsView& view, PitchLimits limits);
void SetViewStarts(HarmonicsView& view, float timeStart, float pitchStart, PitchLimits limits);
// Spans clamped to [1, 60] s and [1, top - bottom] cents; a span that changes
// keeps the centre of the view, then the starts are clamped.
void SetViewSpans(HarmonicsView& view, float timeSpan, float pitchSpan, PitchLimits limits);

// Maps between the view and the plot's pixels.
struct ViewMapping {
    HarmonicsView view;
    PixelRect plot;

    double X(double seconds) const;
    double Y(double cents) const;
    double TimeAt(double x) const;
    double PitchAt(double y) const;
};

// Moves the view by whole pixels so the newest data of `current` stays in
// view (time: its end on the right edge; pitch: the fundamental between the
// 15 % and 85 % lines). Returns whether the view moved.
bool FollowNewest(HarmonicsView& view, const PixelRect& plot, PitchLimits limits,
                  const HarmonicHistory* current, bool draggingTime, bool draggingPitch);

// One wheel turn of wheelDelta (120 a notch) at cursor (x, y): the axes whose
// range holds the cursor zoom about it, halving the span per notch up.
// Returns false when the plot or the spans are too small to zoom at all.
bool WheelZoom(HarmonicsView& view, const PixelRect& plot, PitchLimits limits, int x, int y, int wheelDelta);

enum class ArrowKey { Up, Down, Left, Right };
// Without shift the view moves a tenth of its span; with shift the span of
// that axis grows (Up, Left) or shrinks (Down, Right) by 0.95.
void ApplyArrowKey(HarmonicsView& view, ArrowKey key, bool shift, PitchLimits limits);

// The smallest m x 10^e (m = 1, 2, 5, from 0.001 on) whose length exceeds
// minPixels at pixelsPerUnit.
struct AxisStep {
    double step = 1.0;
    int mantissa = 1;
    int exponent = 0;

    int Decimals() const { return exponent < 0 ? -exponent : exponent; }
    // Minor divisions of one step: 2 for m = 1, 4 for m = 2, 5 for m = 5.
    int MinorParts() const { return mantissa == 1 ? 2 : mantissa == 2 ? 4 : 5; }
};
AxisStep FindAxisStep(double pixelsPerUnit, double minPixels);

// "%.*f" of value.
std::string FormatAxisValue(double value, int decimals);
// "%+.*f" of value, "0" for the target itself.
std::string FormatCentsLabel(double value, int decimals);

struct AxisTick {
    int column = 0;
    double value = 0.0;
    bool major = false;
};
// Major and minor ticks of the time strip, left to right. Major ticks lie
// from the strip's left edge on, minor ones strictly inside it.
std::vector<AxisTick> TimeAxisTicks(const ViewMapping& map, const PixelRect& strip, const AxisStep& step);

// One note band that reaches into the visible pitch range.
struct VisibleNote {
    int note = 0;  // NoteIndex
    NoteBand band;
};
std::vector<VisibleNote> VisibleNotes(const NoteTable& table, const HarmonicsView& view);

// The labelled rows of one note band on the pitch strip: its target ("0")
// and the cent ticks every step above and below it, each only where a label
// of labelHeight centred on its row fits inside the band and the strip.
struct PitchTick {
    int row = 0;
    double cents = 0.0;  // from the note's target
    bool target = false;
    std::string label;
};
std::vector<PitchTick> PitchTicksOfNote(const NoteBand& band, const ViewMapping& map, const PixelRect& strip,
                                        const AxisStep& step, double labelHeight);

// Squared distance from (px, py) to the segment (x0, y0)-(x1, y1).
double SquaredDistanceToSegment(double px, double py, double x0, double y0, double x1, double y1);

enum class HistoryKind { Current, Reference };
struct HarmonicHit {
    bool found = false;
    HistoryKind history = HistoryKind::Current;
    int harmonic = -1;
    double squaredDistance = 0.0;
};
// The harmonic line nearest to the cursor, strictly closer than tolerance
// pixels; the reference is searched first and wins ties. Lines of index 0
// and lines starting at or below -50 dB cannot be picked.
HarmonicHit HitTestHarmonics(const HarmonicHistory* current, const HarmonicHistory* reference,
                             const ViewMapping& map, double cx, double cy, double tolerance);

// What a paint of the plot depends on, kept from the last paint.
struct PlotSnapshot {
    HarmonicsView view;
    int currentGeneration = 0;
    int referenceGeneration = 0;
    float currentEnd = 0.0f;
    float referenceEnd = 0.0f;
    int selectedCurrent = -1;
    int selectedReference = -1;
    int hoveredCurrent = -1;
    int hoveredReference = -1;
};

// How the next paint updates the plot: all of it, or shift the drawn pixels
// by (-dx, +dy) and draw only `regions` (possibly none).
struct PlotUpdatePlan {
    bool full = true;
    int dx = 0;
    int dy = 0;
    std::vector<PixelRect> regions;
};
PlotUpdatePlan PlanPlotUpdate(bool drawnBefore, const PlotSnapshot& drawn, const PlotSnapshot& now,
                              const PixelRect& plot);

// "1st", "2nd", "3rd", "4th", ... by the last decimal digit alone.
std::string HarmonicOrdinal(int n);

struct HarmonicsStatusInput {
    const HarmonicHistory* current = nullptr;
    const HarmonicHistory* reference = nullptr;
    int selectedCurrent = -1;
    int selectedReference = -1;
    int hoveredCurrent = -1;
    int hoveredReference = -1;
};
// The harmonic description, the time under cursor column x, and the level
// and frequency of the described harmonic at that time.
std::array<std::string, 3> HarmonicsStatus(const HarmonicsStatusInput& in, const ViewMapping& map, int x);

}  // namespace Indicators
