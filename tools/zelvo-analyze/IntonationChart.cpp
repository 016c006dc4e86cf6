#include "IntonationChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tuning/NoteNames.h"

namespace ZelvoAnalyze {

namespace {

// Room for the cents labels on the left, the note names on top and the
// time labels below.
constexpr double kMarginLeft = 56.0;
constexpr double kMarginRight = 16.0;
constexpr double kMarginTop = 40.0;
constexpr double kMarginBottom = 40.0;
// A rough width per character of the note labels, to keep them apart.
constexpr double kLabelCharWidth = 8.0;
constexpr double kLabelGap = 6.0;

struct Axes {
    ChartRect plot;
    double duration;
    double centsRange;

    double X(double seconds) const { return plot.x + plot.width * std::clamp(seconds / duration, 0.0, 1.0); }
    // Readings beyond the range are pinned to the edge, where they still show.
    double Y(double cents) const {
        const double clamped = std::clamp(cents, -centsRange, centsRange);
        return plot.y + plot.height * 0.5 * (1.0 - clamped / centsRange);
    }
};

std::string SignedCents(int cents) {
    if (cents == 0) return "0";
    return (cents > 0 ? "+" : "") + std::to_string(cents);
}

std::vector<ChartTick> CentsTicks(const Axes& axes) {
    std::vector<ChartTick> ticks;
    const int range = static_cast<int>(axes.centsRange);
    for (int cents = -range; cents <= range; cents += 10)
        ticks.push_back({axes.Y(cents), SignedCents(cents)});
    return ticks;
}

std::vector<ChartTick> TimeTicks(const Axes& axes) {
    std::vector<ChartTick> ticks;
    const double step = ChooseTimeStep(axes.duration, std::max(2, static_cast<int>(axes.plot.width / 80.0)));
    for (int i = 0;; ++i) {
        const double t = i * step;
        if (t > axes.duration + step * 1e-9) break;
        ticks.push_back({axes.X(t), FormatTimeTick(t, step, axes.duration)});
    }
    return ticks;
}

bool IsHeld(const NoteSpan& span) {
    return span.end - span.start >= kChartHeldSeconds;
}

constexpr std::size_t kNoSpan = static_cast<std::size_t>(-1);

// The note span each hop belongs to (kNoSpan for hops naming no note): the
// spans are maximal runs of hops naming one note, in time order.
std::vector<std::size_t> SpanOfEachHop(const std::vector<HopReading>& hops,
                                       const std::vector<NoteSpan>& notes) {
    std::vector<std::size_t> spanOf(hops.size(), kNoSpan);
    std::size_t current = 0;
    for (std::size_t i = 0; i < hops.size(); ++i) {
        if (!hops[i].HasNote()) continue;
        while (current < notes.size() && notes[current].end < hops[i].endTime) ++current;
        if (current == notes.size()) break;
        spanOf[i] = current;
    }
    return spanOf;
}

std::vector<ChartTrace> Traces(const std::vector<HopReading>& hops, const std::vector<NoteSpan>& notes,
                               const std::vector<std::size_t>& spanOf, double hopDuration, const Axes& axes) {
    std::vector<ChartTrace> traces;
    int held = 0;
    for (const NoteSpan& span : notes) {
        ChartTrace trace;
        trace.colour = IsHeld(span) ? held++ % static_cast<int>(ChartColours().size()) : kChartShortNote;
        trace.medianY = axes.Y(span.medianCents);
        trace.startX = axes.X(span.start);
        trace.endX = axes.X(span.end);
        traces.push_back(std::move(trace));
    }
    for (std::size_t i = 0; i < hops.size(); ++i) {
        if (spanOf[i] == kNoSpan) continue;
        // The middle of the hop is the moment its reading describes.
        traces[spanOf[i]].points.push_back(
            {axes.X(hops[i].endTime - hopDuration * 0.5), axes.Y(hops[i].cents)});
    }
    return traces;
}

// Names above the held notes, left to right, leaving out any that would
// overlap the one before or stick out of the chart.
std::vector<ChartLabel> NoteLabels(const std::vector<NoteSpan>& notes, const std::vector<ChartTrace>& traces,
                                   double width) {
    std::vector<ChartLabel> labels;
    double freeFrom = 0.0;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (traces[i].colour == kChartShortNote) continue;
        ChartLabel label{(traces[i].startX + traces[i].endX) * 0.5, FormatNoteName(notes[i].note, 0),
                         traces[i].colour};
        const double half = 0.5 * kLabelCharWidth * static_cast<double>(label.text.size());
        if (label.x - half < freeFrom || label.x + half > width) continue;
        freeFrom = label.x + half + kLabelGap;
        labels.push_back(std::move(label));
    }
    return labels;
}

}  // namespace

const std::vector<RgbColour>& ChartColours() {
    static const std::vector<RgbColour> colours = {
        {0.12, 0.47, 0.71}, {0.84, 0.15, 0.16}, {0.17, 0.63, 0.17}, {0.58, 0.40, 0.74},
        {1.00, 0.50, 0.05}, {0.55, 0.34, 0.29}, {0.89, 0.47, 0.76}, {0.09, 0.75, 0.81},
    };
    return colours;
}

double ChooseCentsRange(const std::vector<float>& heldCents) {
    if (heldCents.empty()) return 20.0;
    std::vector<double> magnitudes;
    magnitudes.reserve(heldCents.size());
    for (float c : heldCents) magnitudes.push_back(std::isfinite(c) ? std::fabs(c) : 1e9);
    const std::size_t at = (magnitudes.size() * 95) / 100;
    const std::size_t index = std::min(at, magnitudes.size() - 1);
    std::nth_element(magnitudes.begin(), magnitudes.begin() + static_cast<std::ptrdiff_t>(index),
                     magnitudes.end());
    const double typical = magnitudes[index];
    for (double range : {20.0, 30.0}) {
        if (typical <= range) return range;
    }
    return 50.0;
}

double ChooseTimeStep(double duration, int maxTicks) {
    static constexpr double kSteps[] = {0.1, 0.2, 0.5, 1,   2,   5,   10,   15,
                                        30,  60,  120, 300, 600, 900, 1800, 3600};
    for (double step : kSteps) {
        if (duration / step <= maxTicks) return step;
    }
    return std::ceil(duration / maxTicks / 3600.0) * 3600.0;
}

std::string FormatTimeTick(double seconds, double step, double duration) {
    char text[32];
    if (duration >= 120.0) {
        const long total = std::lround(seconds);
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    } else {
        std::snprintf(text, sizeof text, "%.*f", step < 1.0 ? 1 : 0, seconds);
    }
    return text;
}

ChartLayout LayoutIntonationChart(const std::vector<HopReading>& hops, const std::vector<NoteSpan>& notes,
                                  double hopDuration, double duration, double width, double height) {
    ChartLayout layout;
    layout.width = width;
    layout.height = height;
    layout.plot = {kMarginLeft, kMarginTop, std::max(1.0, width - kMarginLeft - kMarginRight),
                   std::max(1.0, height - kMarginTop - kMarginBottom)};

    const std::vector<std::size_t> spanOf = SpanOfEachHop(hops, notes);
    std::vector<float> heldCents;
    for (std::size_t i = 0; i < hops.size(); ++i) {
        if (spanOf[i] != kNoSpan && IsHeld(notes[spanOf[i]])) heldCents.push_back(hops[i].cents);
    }
    layout.centsRange = ChooseCentsRange(heldCents);
    const Axes axes{layout.plot, duration > 0.0 ? duration : 1.0, layout.centsRange};
    layout.zeroY = axes.Y(0.0);
    layout.band = {layout.plot.x, axes.Y(kChartInTuneCents), layout.plot.width,
                   axes.Y(-kChartInTuneCents) - axes.Y(kChartInTuneCents)};
    layout.centsTicks = CentsTicks(axes);
    layout.timeTicks = TimeTicks(axes);
    layout.traces = Traces(hops, notes, spanOf, hopDuration, axes);
    layout.noteLabels = NoteLabels(notes, layout.traces, width);
    return layout;
}

}  // namespace ZelvoAnalyze
