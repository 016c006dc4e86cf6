#include "indicators/math/CompressedHarmonicsMath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "units/Units.h"

namespace Indicators {

namespace {

constexpr float kMinTimeSpan = static_cast<float>(Units::MinTimeRangeSeconds);
constexpr float kMaxTime = static_cast<float>(Units::MaxTimeRangeSeconds);
constexpr float kMinPitchSpan = 1.0f;
// Below this a span is degenerate and zooming stops.
constexpr float kTinySpan = 0.00001f;
// Lines this quiet at their start cannot be picked.
constexpr float kPickableDb = -50.0f;
// Extra pixels around a redrawn column band, for line ends and halos.
constexpr int kNewDataMargin = 5;

PixelRect MakeRect(int left, int top, int right, int bottom) {
    return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

bool NearWhole(double v) {
    return std::abs(v - std::round(v)) <= 0.01;
}

long long Area(const PixelRect& r) {
    return static_cast<long long>(r.width) * r.height;
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    return MakeRect(std::max(a.x, b.x), std::max(a.y, b.y), std::min(a.x + a.width, b.x + b.width),
                    std::min(a.y + a.height, b.y + b.height));
}

const HarmonicLine* FindLine(const HarmonicSegment& segment, int harmonic) {
    for (const HarmonicLine& line : segment.lines)
        if (line.harmonic == harmonic) return &line;
    return nullptr;
}

}  // namespace

HarmonicsLayout HarmonicsGraphLayout(int clientWidth, int clientHeight) {
    const int l = 1, t = 1, r = clientWidth - 1, b = clientHeight - 1;
    const int axisTop = b - kHarmonicsAxisHeight;
    HarmonicsLayout layout;
    layout.pitchAxis = MakeRect(l, t, kHarmonicsAxisWidth, axisTop);
    layout.timeAxis = MakeRect(kHarmonicsAxisWidth, axisTop, r, b);
    layout.bottomStrip = MakeRect(l, axisTop, r, b);
    layout.plot = MakeRect(kHarmonicsAxisWidth, t, r, axisTop);
    return layout;
}

PitchLimits PitchLimitsOf(const NoteTable& table) {
    if (table.size() != static_cast<size_t>(NoteIndexCount)) return PitchLimitsOf(DefaultNoteTable());
    return {table.front().lower, table.back().upper};
}

void ClampViewStarts(HarmonicsView& view, PitchLimits limits) {
    view.timeStart = std::max(std::min(view.timeStart, kMaxTime - view.timeSpan), 0.0f);
    view.pitchStart = std::max(std::min(view.pitchStart, limits.top - view.pitchSpan), limits.bottom);
}

void SetViewStarts(HarmonicsView& view, float timeStart, float pitchStart, PitchLimits limits) {
    view.timeStart = timeStart;
    view.pitchStart = pitchStart;
    ClampViewStarts(view, limits);
}

void SetViewSpans(HarmonicsView& view, float timeSpan, float pitchSpan, PitchLimits limits) {
    const float maxPitchSpan = std::max(limits.top - limits.bottom, kMinPitchSpan);
    const float newPitch = std::clamp(pitchSpan, kMinPitchSpan, maxPitchSpan);
    const float newTime = std::clamp(timeSpan, kMinTimeSpan, kMaxTime);
    if (newPitch != view.pitchSpan) {
        view.pitchStart += (view.pitchSpan - newPitch) / 2.0f;
        view.pitchSpan = newPitch;
    }
    if (newTime != view.timeSpan) {
        view.timeStart += (view.timeSpan - newTime) / 2.0f;
        view.timeSpan = newTime;
    }
    ClampViewStarts(view, limits);
}

double ViewMapping::X(double seconds) const {
    return plot.x + (seconds - view.timeStart) * plot.width / view.timeSpan;
}
double ViewMapping::Y(double cents) const {
    return plot.y + plot.height - (cents - view.pitchStart) * plot.height / view.pitchSpan;
}
double ViewMapping::TimeAt(double x) const {
    return view.timeStart + (x - plot.x) * view.timeSpan / plot.width;
}
double ViewMapping::PitchAt(double y) const {
    return view.pitchStart + (plot.y + plot.height - y) * view.pitchSpan / plot.height;
}

bool FollowNewest(HarmonicsView& view, const PixelRect& plot, PitchLimits limits,
                  const HarmonicHistory* current, bool draggingTime, bool draggingPitch) {
    if (current == nullptr) return false;
    const HarmonicsView before = view;
    if (!draggingTime && plot.width != 0 && view.timeSpan != 0.0f) {
        const double pixelsPerSecond = plot.width / static_cast<double>(view.timeSpan);
        const double end = current->EndTime();
        const double right = view.timeStart + view.timeSpan;
        double pixels = 0.0;
        if (end > right)
            pixels = std::ceil((end - right) * pixelsPerSecond);
        else if (end < view.timeStart)
            pixels = std::floor((end - view.timeStart) * pixelsPerSecond);
        view.timeStart = static_cast<float>(view.timeStart + pixels / pixelsPerSecond);
    }
    const HarmonicSegment* last = current->LastSegment();
    if (!draggingPitch && plot.height != 0 && view.pitchSpan != 0.0f && last != nullptr &&
        !last->lines.empty() && last->lines.front().harmonic == 0 && last->lines.front().pitch1 != 0.0f) {
        const double pixelsPerCent = plot.height / static_cast<double>(view.pitchSpan);
        const double p = last->lines.front().pitch1;
        const double high = view.pitchStart + 0.85 * view.pitchSpan;
        const double low = view.pitchStart + 0.15 * view.pitchSpan;
        double pixels = 0.0;
        if (p > high)
            pixels = std::ceil((p - high) * pixelsPerCent);
        else if (p < low)
            pixels = std::floor((p - low) * pixelsPerCent);
        view.pitchStart = static_cast<float>(view.pitchStart + pixels / pixelsPerCent);
    }
    ClampViewStarts(view, limits);
    return !(view == before);
}

bool WheelZoom(HarmonicsView& view, const PixelRect& plot, PitchLimits limits, int x, int y, int wheelDelta) {
    if (plot.width <= 0 || plot.height <= 0 || view.timeSpan < kTinySpan || view.pitchSpan < kTinySpan)
        return false;
    const int notches = wheelDelta / 120;
    const double factor = std::pow(0.5, notches);
    const ViewMapping map{view, plot};
    if (y < plot.y + plot.height) {
        const double pivot = map.PitchAt(y);
        const float maxSpan = std::max(limits.top - limits.bottom, kMinPitchSpan);
        const float span = std::clamp(static_cast<float>(view.pitchSpan * factor), kMinPitchSpan, maxSpan);
        if (span != view.pitchSpan) {
            view.pitchStart = static_cast<float>(pivot - (pivot - view.pitchStart) * span / view.pitchSpan);
            view.pitchSpan = span;
            view.pitchStart = std::max(std::min(view.pitchStart, limits.top - span), limits.bottom);
        }
    }
    if (x > plot.x) {
        const double pivot = map.TimeAt(x);
        const float span = std::clamp(static_cast<float>(view.timeSpan * factor), kMinTimeSpan, kMaxTime);
        if (span != view.timeSpan) {
            view.timeStart = static_cast<float>(pivot - (pivot - view.timeStart) * span / view.timeSpan);
            view.timeSpan = span;
            view.timeStart = std::max(std::min(view.timeStart, kMaxTime - span), 0.0f);
        }
    }
    return true;
}

void ApplyArrowKey(HarmonicsView& view, ArrowKey key, bool shift, PitchLimits limits) {
    if (shift) {
        float time = view.timeSpan, pitch = view.pitchSpan;
        switch (key) {
            case ArrowKey::Up: pitch /= 0.95f; break;
            case ArrowKey::Down: pitch *= 0.95f; break;
            case ArrowKey::Right: time *= 0.95f; break;
            case ArrowKey::Left: time /= 0.95f; break;
        }
        SetViewSpans(view, time, pitch, limits);
        return;
    }
    float time = view.timeStart, pitch = view.pitchStart;
    switch (key) {
        case ArrowKey::Up: pitch += 0.1f * view.pitchSpan; break;
        case ArrowKey::Down: pitch -= 0.1f * view.pitchSpan; break;
        case ArrowKey::Left: time -= 0.1f * view.timeSpan; break;
        case ArrowKey::Right: time += 0.1f * view.timeSpan; break;
    }
    SetViewStarts(view, time, pitch, limits);
}

AxisStep FindAxisStep(double pixelsPerUnit, double minPixels) {
    static constexpr int kMantissas[] = {1, 2, 5};
    AxisStep step;
    // Past 10^9 units nothing sensible fits; the last step is kept.
    for (int exponent = -3; exponent <= 9; ++exponent) {
        for (int m : kMantissas) {
            step = {m * std::pow(10.0, exponent), m, exponent};
            if (step.step * pixelsPerUnit > minPixels) return step;
        }
    }
    return step;
}

std::string FormatAxisValue(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string FormatCentsLabel(double value, int decimals) {
    if (value == 0.0) return "0";
    char text[64];
    std::snprintf(text, sizeof text, "%+.*f", decimals, value);
    return text;
}

std::vector<AxisTick> TimeAxisTicks(const ViewMapping& map, const PixelRect& strip, const AxisStep& step) {
    std::vector<AxisTick> ticks;
    if (map.plot.width <= 0 || map.view.timeSpan <= 0.0f) return ticks;
    const int right = strip.x + strip.width;
    const double first = std::floor(map.view.timeStart / step.step);
    const int parts = step.MinorParts();
    for (int i = 0;; ++i) {
        const double t = (first + i) * step.step;
        const int column = static_cast<int>(std::lround(map.X(t)));
        if (column > right) break;
        if (column >= strip.x && column < right) ticks.push_back({column, t, true});
        for (int k = 1; k < parts; ++k) {
            const double minor = t + k * step.step / parts;
            const int c = static_cast<int>(std::lround(map.X(minor)));
            if (c > strip.x && c < right) ticks.push_back({c, minor, false});
        }
    }
    return ticks;
}

std::vector<VisibleNote> VisibleNotes(const NoteTable& table, const HarmonicsView& view) {
    std::vector<VisibleNote> notes;
    const float top = view.pitchStart + view.pitchSpan;
    for (size_t i = 0; i < table.size(); ++i) {
        const NoteBand& band = table[i];
        if (band.upper > view.pitchStart && band.lower < top)
            notes.push_back({NoteIndexMin + static_cast<int>(i), band});
    }
    return notes;
}

std::vector<PitchTick> PitchTicksOfNote(const NoteBand& band, const ViewMapping& map, const PixelRect& strip,
                                        const AxisStep& step, double labelHeight) {
    std::vector<PitchTick> ticks;
    const double bandTop = std::max(map.Y(band.upper), static_cast<double>(strip.y));
    const double bandBottom = std::min(map.Y(band.lower), static_cast<double>(strip.y + strip.height));
    auto fits = [&](double row) {
        return row - labelHeight / 2.0 >= bandTop && row + labelHeight / 2.0 <= bandBottom;
    };
    auto add = [&](double cents) {
        const double row = map.Y(band.center + cents);
        if (!fits(row)) return;
        ticks.push_back({static_cast<int>(std::lround(row)), cents, cents == 0.0,
                         FormatCentsLabel(cents, step.Decimals())});
    };
    add(0.0);
    const int up = static_cast<int>(std::floor((band.upper - band.center) / step.step));
    for (int k = 1; k <= up; ++k) add(k * step.step);
    const int down = static_cast<int>(std::floor((band.center - band.lower) / step.step));
    for (int k = 1; k <= down; ++k) add(-k * step.step);
    return ticks;
}

double SquaredDistanceToSegment(double px, double py, double x0, double y0, double x1, double y1) {
    const double vx = x1 - x0, vy = y1 - y0;
    const double length2 = vx * vx + vy * vy;
    double u = length2 > 0.0 ? ((px - x0) * vx + (py - y0) * vy) / length2 : 0.0;
    u = std::clamp(u, 0.0, 1.0);
    const double dx = px - (x0 + u * vx), dy = py - (y0 + u * vy);
    return dx * dx + dy * dy;
}

HarmonicHit HitTestHarmonics(const HarmonicHistory* current, const HarmonicHistory* reference,
                             const ViewMapping& map, double cx, double cy, double tolerance) {
    HarmonicHit best;
    if (map.plot.width <= 0 || map.plot.height <= 0) return best;
    const double limit = tolerance * tolerance;
    auto search = [&](const HarmonicHistory* history, HistoryKind kind) {
        if (history == nullptr) return;
        for (const HarmonicSegment& segment : history->Segments()) {
            const double x0 = map.X(segment.t0), x1 = map.X(segment.t1);
            // A segment is near when an end column is, or when it spans the
            // cursor (a long step seen closely).
            const bool near =
                std::abs(x0 - cx) <= tolerance || std::abs(x1 - cx) <= tolerance || (x0 <= cx && cx <= x1);
            if (!near) continue;
            for (const HarmonicLine& line : segment.lines) {
                if (line.harmonic == 0 || !(line.amplitude0 > kPickableDb)) continue;
                const double d =
                    SquaredDistanceToSegment(cx, cy, x0, map.Y(line.pitch0), x1, map.Y(line.pitch1));
                if (d < limit && (!best.found || d < best.squaredDistance))
                    best = {true, kind, line.harmonic, d};
            }
        }
    };
    search(reference, HistoryKind::Reference);
    search(current, HistoryKind::Current);
    return best;
}

PlotUpdatePlan PlanPlotUpdate(bool drawnBefore, const PlotSnapshot& drawn, const PlotSnapshot& now,
                              const PixelRect& plot) {
    PlotUpdatePlan plan;
    const bool sameContent =
        drawn.currentGeneration == now.currentGeneration &&
        drawn.referenceGeneration == now.referenceGeneration && drawn.view.timeSpan == now.view.timeSpan &&
        drawn.view.pitchSpan == now.view.pitchSpan && drawn.hoveredCurrent == now.hoveredCurrent &&
        drawn.hoveredReference == now.hoveredReference && drawn.selectedCurrent == now.selectedCurrent &&
        drawn.selectedReference == now.selectedReference && drawn.referenceEnd == now.referenceEnd;
    if (!drawnBefore || !sameContent || plot.width <= 0 || plot.height <= 0) return plan;

    const double dx = (now.view.timeStart - drawn.view.timeStart) * plot.width / now.view.timeSpan;
    const double dy = (now.view.pitchStart - drawn.view.pitchStart) * plot.height / now.view.pitchSpan;
    if (!NearWhole(dx) || !NearWhole(dy)) return plan;
    plan.dx = static_cast<int>(std::lround(dx));
    plan.dy = static_cast<int>(std::lround(dy));

    const int left = plot.x, top = plot.y, right = plot.x + plot.width, bottom = plot.y + plot.height;
    std::vector<PixelRect> candidates;
    if (now.currentEnd != drawn.currentEnd) {
        const ViewMapping map{now.view, plot};
        const double a = map.X(std::min(drawn.currentEnd, now.currentEnd));
        const double b = map.X(std::max(drawn.currentEnd, now.currentEnd));
        candidates.push_back(MakeRect(static_cast<int>(std::floor(a)) - kNewDataMargin, top,
                                      static_cast<int>(std::ceil(b)) + kNewDataMargin, bottom));
    }
    if (plan.dx > 0) candidates.push_back(MakeRect(right - plan.dx - 1, top, right, bottom));
    if (plan.dx < 0) candidates.push_back(MakeRect(left, top, left - plan.dx + 1, bottom));
    if (plan.dy > 0) candidates.push_back(MakeRect(left, top, right, top + plan.dy + 1));
    if (plan.dy < 0) candidates.push_back(MakeRect(left, bottom + plan.dy - 1, right, bottom));

    long long area = 0;
    for (const PixelRect& c : candidates) {
        const PixelRect r = Intersect(c, plot);
        if (Area(r) == 0) continue;
        plan.regions.push_back(r);
        area += Area(r);
    }
    if (area > 0.75 * Area(plot) && plan.regions.size() > 1) {
        plan.regions.clear();
        plan.dx = plan.dy = 0;
        return plan;
    }
    plan.full = false;
    return plan;
}

std::string HarmonicOrdinal(int n) {
    static constexpr const char* kSuffixes[] = {"th", "st", "nd", "rd", "th", "th", "th", "th", "th", "th"};
    const int digit = std::abs(n % 10);
    return std::to_string(n) + kSuffixes[digit];
}

std::array<std::string, 3> HarmonicsStatus(const HarmonicsStatusInput& in, const ViewMapping& map, int x) {
    std::array<std::string, 3> status;
    const HarmonicHistory* history = nullptr;
    int harmonic = -1;
    if (in.hoveredCurrent >= 0) {
        status[0] = HarmonicOrdinal(in.hoveredCurrent) + " harmonic of current note";
        history = in.current, harmonic = in.hoveredCurrent;
    } else if (in.hoveredReference >= 0) {
        status[0] = HarmonicOrdinal(in.hoveredReference) + " harmonic of reference note";
        history = in.reference, harmonic = in.hoveredReference;
    } else if (in.selectedCurrent >= 0 && in.current != nullptr) {
        status[0] = HarmonicOrdinal(in.selectedCurrent) + " harmonic of current note (selected)";
        history = in.current, harmonic = in.selectedCurrent;
    } else if (in.selectedReference >= 0 && in.reference != nullptr) {
        status[0] = HarmonicOrdinal(in.selectedReference) + " harmonic of reference note (selected)";
        history = in.reference, harmonic = in.selectedReference;
    }

    double t = map.view.timeStart;
    if (map.plot.width > 0) t = std::max(map.TimeAt(x), t);
    char text[96];
    std::snprintf(text, sizeof text, "%3.2fs", t);
    status[1] = text;

    if (history == nullptr) return status;
    const auto& segments = history->Segments();
    // Segments are in time order: the last one starting before t.
    auto it = std::upper_bound(segments.begin(), segments.end(), t,
                               [](double value, const HarmonicSegment& s) { return value <= s.t0; });
    if (it == segments.begin()) return status;
    const HarmonicSegment& segment = *(it - 1);
    if (!(segment.t0 < t && t < segment.t1)) return status;
    const HarmonicLine* line = FindLine(segment, harmonic);
    if (line == nullptr) return status;
    const double u = (t - segment.t0) / (segment.t1 - segment.t0);
    const double db = line->amplitude0 + u * (line->amplitude1 - line->amplitude0);
    const double hz = line->frequency0 + u * (line->frequency1 - line->frequency0);
    std::snprintf(text, sizeof text, "%3.1fdB, %3.1fHz", db, hz);
    status[2] = text;
    return status;
}

}  // namespace Indicators
