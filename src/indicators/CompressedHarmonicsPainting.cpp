// Painting of the compressed harmonics graph. The back buffer keeps the last
// face, so a paint redraws only what changed: the frame when the focus
// changed, an axis strip when its range changed, and of the plot either
// everything or, after a pan by whole pixels, the shifted pixels plus the
// uncovered band and the columns that received new data.
#include <algorithm>
#include <memory>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/renderer.h>

#include "indicators/CompressedHarmonicsIndicator.h"
#include "indicators/IndicatorDrawing.h"
#include "tuning/NoteNames.h"

using namespace Indicators;

namespace {

// Lines fainter than this opacity are not drawn at all.
constexpr int kMinOpacity = 21;
// Pixels around a plot region whose segments are drawn into it, so line
// ends and halos crossing its edge are complete.
constexpr int kRegionMargin = 5;

constexpr RgbColour kBlue{0, 0, 255};
constexpr RgbColour kRed{255, 0, 0};
constexpr RgbColour kBlack{0, 0, 0};
constexpr unsigned char kHaloAlpha = 0x64;

RgbColour GridColour(const SystemColours& c) {
    return MixColours(0.7, c.btnFace, 0.3, c.windowText);
}
RgbColour NoteColour(const SystemColours& c) {
    return MixColours(0.4, c.btnFace, 0.6, c.windowText);
}

void FillRect(wxGraphicsContext& gc, const PixelRect& r, const wxColour& colour) {
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(gc.CreateBrush(wxBrush(colour)));
    gc.DrawRectangle(r.x, r.y, r.width, r.height);
}

// Pens for the faded lines, one per opacity, made on first use in a paint.
class OpacityPens {
public:
    OpacityPens(wxGraphicsContext& gc, RgbColour colour) : m_gc(gc), m_colour(colour) {}
    const wxGraphicsPen& Get(int opacity) {
        if (!m_made[opacity]) {
            m_pens[opacity] = m_gc.CreatePen(
                // Butt ends: pieces of one track meet without overlapping,
                // so a faint track does not darken at every joint.
                wxGraphicsPenInfo(ToWxColour(m_colour, static_cast<unsigned char>(opacity)), 1.0)
                    .Cap(wxCAP_BUTT));
            m_made[opacity] = true;
        }
        return m_pens[opacity];
    }

private:
    wxGraphicsContext& m_gc;
    RgbColour m_colour;
    std::array<wxGraphicsPen, 256> m_pens;
    std::array<bool, 256> m_made{};
};

// One harmonic's consecutive pieces that go into the same path, added to
// it as one polyline.
struct TrackRun {
    wxGraphicsPath* path = nullptr;
    std::vector<wxPoint2DDouble> points;

    void Flush() {
        if (points.size() >= 2) {
            path->MoveToPoint(points.front());
            for (size_t i = 1; i < points.size(); ++i) path->AddLineToPoint(points[i]);
        }
        points.clear();
    }
};
// Starts drawing an axis strip: state saved (the caller pops it), clipped to
// the strip, high quality, the strip filled with the window colour.
void BeginStrip(wxGraphicsContext& gc, const PixelRect& strip, const SystemColours& colours) {
    gc.PushState();
    gc.Clip(strip.x, strip.y, strip.width, strip.height);
    SetHighQuality(gc, true);
    FillRect(gc, strip, ToWxColour(colours.window));
}

// Harmonic indices 1..64 each have a run; anything beyond shares the last.
constexpr size_t kTracks = 66;

// The lines of one history gathered into one path per opacity, stroked once
// each, plus the selected and the hovered harmonic, drawn last.
class HistoryPaths {
public:
    explicit HistoryPaths(wxGraphicsContext& gc)
        : m_gc(gc), m_selected(gc.CreatePath()), m_hovered(gc.CreatePath()) {}

    // The path a line of this harmonic and opacity goes into.
    wxGraphicsPath* For(const HarmonicLine& line, int selected, int hovered) {
        if (line.harmonic == selected) {
            m_anySelected = true;
            return &m_selected;
        }
        if (line.harmonic == hovered) {
            m_anyHovered = true;
            return &m_hovered;
        }
        const int opacity = std::min(line.opacity1, 255);
        if (!m_used[opacity]) {
            m_byOpacity[opacity] = m_gc.CreatePath();
            m_used[opacity] = true;
        }
        return &m_byOpacity[opacity];
    }

    void Stroke(RgbColour colour) {
        OpacityPens pens(m_gc, colour);
        for (int opacity = kMinOpacity; opacity < 256; ++opacity) {
            if (!m_used[opacity]) continue;
            m_gc.SetPen(pens.Get(opacity));
            m_gc.StrokePath(m_byOpacity[opacity]);
        }
        if (m_anyHovered) Highlight(m_hovered, kBlack);
        if (m_anySelected) Highlight(m_selected, colour);
    }

private:
    // A wide translucent halo one pixel right and down, then the line, so
    // that no other line covers it.
    void Highlight(const wxGraphicsPath& path, RgbColour c) {
        m_gc.PushState();
        m_gc.Translate(1.0, 1.0);
        m_gc.SetPen(m_gc.CreatePen(wxGraphicsPenInfo(ToWxColour(c, kHaloAlpha), 4.0)));
        m_gc.StrokePath(path);
        m_gc.PopState();
        m_gc.SetPen(m_gc.CreatePen(wxGraphicsPenInfo(ToWxColour(c), 1.0)));
        m_gc.StrokePath(path);
    }

    wxGraphicsContext& m_gc;
    std::array<wxGraphicsPath, 256> m_byOpacity;
    std::array<bool, 256> m_used{};
    wxGraphicsPath m_selected, m_hovered;
    bool m_anySelected = false, m_anyHovered = false;
};

}  // namespace

void CCompressedHarmonicsIndicator::MakeFonts() {
    const double stripHeight = layout_.bottomStrip.height;
    const double stripWidth = layout_.pitchAxis.width;
    timeFont_ =
        MakeIndicatorFont("MS Sans Serif", std::max(0.47 * stripHeight, 1.0), false, FontUnit::Point, this);
    labelFont_ =
        MakeIndicatorFont("MS Sans Serif", std::max(0.13 * stripWidth, 1.0), false, FontUnit::Point, this);
    nameFont_ = MakeIndicatorFont(fontFamily_, std::max(0.2 * stripWidth, 1.0), false, FontUnit::Pixel, this);
    octaveFont_ =
        MakeIndicatorFont(fontFamily_, std::max(0.15 * stripWidth, 1.0), false, FontUnit::Pixel, this);
    fontsMade_ = true;
}

void CCompressedHarmonicsIndicator::Draw(wxDC& dc, const wxRect& client) {
    lastPaint_ = {};
    // Straight onto a target nothing of an earlier paint is there to keep.
    const bool keep = DrawingIntoBackBuffer();
    if (!keep) drawnOnce_ = frameDrawn_ = false;
    const HarmonicsLayout layout = HarmonicsGraphLayout(client.width, client.height);
    if (!(layout == layout_)) {
        layout_ = layout;
        fontsMade_ = false;
        drawnOnce_ = false;
    }
    if (!fontsMade_) MakeFonts();
    const SystemColours colours = ReadSystemColours();
    const PlotSnapshot now = Snapshot();
    const PlotUpdatePlan plan = PlanPlotUpdate(drawnOnce_, drawn_, now, layout_.plot);

    if (!plan.full && (plan.dx != 0 || plan.dy != 0)) ShiftPlot(dc, plan.dx, plan.dy);
    if (!frameDrawn_ || focused_ != drawnFocus_) DrawFrame(dc, client, colours);
    {
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
        if (gc) {
            const bool timeChanged = !drawnOnce_ || now.view.timeStart != drawn_.view.timeStart ||
                                     now.view.timeSpan != drawn_.view.timeSpan;
            const bool pitchChanged = !drawnOnce_ || now.view.pitchStart != drawn_.view.pitchStart ||
                                      now.view.pitchSpan != drawn_.view.pitchSpan;
            if (timeChanged) DrawTimeAxis(*gc, colours);
            if (pitchChanged) DrawPitchAxis(*gc, colours);
            lastPaint_.wholePlot = plan.full;
            lastPaint_.dx = plan.dx;
            lastPaint_.dy = plan.dy;
            if (plan.full) {
                DrawPlotRegion(*gc, layout_.plot, colours);
            } else {
                for (const PixelRect& region : plan.regions) DrawPlotRegion(*gc, region, colours);
            }
        }
    }
    drawn_ = now;
    drawnFocus_ = focused_;
    drawnOnce_ = keep;
    frameDrawn_ = keep;
}

void CCompressedHarmonicsIndicator::ShiftPlot(wxDC& dc, int dx, int dy) {
    const PixelRect& plot = layout_.plot;
    const int width = plot.width - std::abs(dx), height = plot.height - std::abs(dy);
    if (width <= 0 || height <= 0) return;
    dc.Blit(plot.x + std::max(-dx, 0), plot.y + std::max(dy, 0), width, height, &dc, plot.x + std::max(dx, 0),
            plot.y + std::max(-dy, 0), wxCOPY);
}

void CCompressedHarmonicsIndicator::DrawFrame(wxDC& dc, const wxRect& client, const SystemColours& colours) {
    lastPaint_.frame = true;
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    if (focused_) {
        dc.SetPen(*wxWHITE_PEN);
        dc.DrawRectangle(client);
        wxRendererNative::Get().DrawFocusRect(this, dc, client);
    } else {
        dc.SetPen(wxPen(ToWxColour(FrameColour(colours)), 1));
        dc.DrawRectangle(client);
    }
}

void CCompressedHarmonicsIndicator::DrawTimeAxis(wxGraphicsContext& gc, const SystemColours& colours) {
    lastPaint_.timeAxis = true;
    gridColumns_.clear();
    const PixelRect& strip = layout_.bottomStrip;
    const PixelRect& plot = layout_.plot;
    BeginStrip(gc, strip, colours);
    if (plot.width > 0 && strip.height > 0 && view_.timeSpan > 0.0f) {
        gc.SetFont(timeFont_, ToWxColour(colours.windowText));
        double w8 = 0, h8 = 0, w123 = 0, h123 = 0;
        gc.GetTextExtent("8888", &w8, &h8);
        gc.GetTextExtent("123", &w123, &h123);
        const AxisStep step = FindAxisStep(plot.width / view_.timeSpan, 1.1 * w8);
        const double labelTop = strip.y + strip.height - 0.425 * strip.height - h123 / 2.0;
        gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(ToWxColour(FrameColour(colours)), 1.0)));
        for (const AxisTick& tick : TimeAxisTicks(Mapping(), layout_.timeAxis, step)) {
            const double length = (tick.major ? 0.15 : 0.07) * strip.height;
            gc.StrokeLine(tick.column + 0.5, strip.y, tick.column + 0.5, strip.y + length);
            if (!tick.major) continue;
            gridColumns_.push_back(tick.column);
            const wxString label = FormatAxisValue(tick.value, step.Decimals());
            double w = 0, h = 0;
            gc.GetTextExtent(label, &w, &h);
            gc.DrawText(label, tick.column - w / 2.0, labelTop);
        }
    }
    gc.PopState();
}

// What every note band of the pitch axis is drawn with.
struct CCompressedHarmonicsIndicator::PitchAxisStyle {
    ViewMapping map;
    PixelRect strip;
    wxColour tint, window, text;
    wxGraphicsPen notePen, gridPen;
    AxisStep step;
    double h8;  // height of "8" in the label font
    double right, tickLength, stripTop, stripBottom;
};

void CCompressedHarmonicsIndicator::DrawPitchAxis(wxGraphicsContext& gc, const SystemColours& colours) {
    lastPaint_.pitchAxis = true;
    gridRows_.clear();
    noteRows_.clear();
    const PixelRect& strip = layout_.pitchAxis;
    const PixelRect& plot = layout_.plot;
    BeginStrip(gc, strip, colours);
    if (plot.height <= 0 || strip.width <= 0 || view_.pitchSpan <= 0.0f) {
        gc.PopState();
        return;
    }
    const NoteTable& table =
        noteTable_.size() == static_cast<size_t>(NoteIndexCount) ? noteTable_ : DefaultNoteTable();
    gc.SetFont(labelFont_, ToWxColour(colours.windowText));
    double w8 = 0, h8 = 0;
    gc.GetTextExtent("8", &w8, &h8);
    const PitchAxisStyle style{
        Mapping(),
        strip,
        ToWxColour(MixColours(0.5, colours.highlight, 0.5, colours.window)),
        ToWxColour(colours.window),
        ToWxColour(colours.windowText),
        gc.CreatePen(wxGraphicsPenInfo(ToWxColour(NoteColour(colours)), 1.0)),
        gc.CreatePen(wxGraphicsPenInfo(ToWxColour(GridColour(colours)), 1.0)),
        FindAxisStep(plot.height / view_.pitchSpan, 1.2 * h8),
        h8,
        static_cast<double>(strip.x + strip.width),
        0.035 * strip.width,
        static_cast<double>(strip.y),
        static_cast<double>(strip.y + strip.height),
    };
    for (const VisibleNote& note : VisibleNotes(table, view_)) DrawNoteBand(gc, note, style);
    gc.PopState();
}

// One note's band: the gradient, its target row, its name and its cent ticks.
void CCompressedHarmonicsIndicator::DrawNoteBand(wxGraphicsContext& gc, const VisibleNote& note,
                                                 const PitchAxisStyle& style) {
    const double top = std::max(style.map.Y(note.band.upper), style.stripTop);
    const double bottom = std::min(style.map.Y(note.band.lower), style.stripBottom);
    // 135 degrees: the tint at the top right corner fading towards the
    // bottom left one.
    const double reach = (style.strip.width + (bottom - top)) / 2.0;
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(gc.CreateLinearGradientBrush(style.right, top, style.right - reach, top + reach, style.tint,
                                             style.window));
    gc.DrawRectangle(style.strip.x, top, style.strip.width, bottom - top);

    const double target = style.map.Y(note.band.center);
    if (target >= style.stripTop && target <= style.stripBottom) {
        const int row = static_cast<int>(std::lround(target));
        noteRows_.push_back(row);
        gc.SetPen(style.notePen);
        gc.StrokeLine(style.right - style.tickLength, row + 0.5, style.right, row + 0.5);
    }
    const wxRect2DDouble name = DrawNoteName(gc, note.note, top, bottom, target, style.text);
    gc.SetFont(labelFont_, style.text);
    for (const PitchTick& tick : PitchTicksOfNote(note.band, style.map, style.strip, style.step, style.h8)) {
        if (!tick.target) {
            gridRows_.push_back(tick.row);
            gc.SetPen(style.gridPen);
            gc.StrokeLine(style.right - style.tickLength, tick.row + 0.5, style.right, tick.row + 0.5);
        }
        double w = 0, h = 0;
        gc.GetTextExtent(tick.label, &w, &h);
        const wxRect2DDouble label(style.right - style.tickLength - 2.0 - w, tick.row + 0.5 - h / 2.0, w, h);
        // In a narrow strip the note name wins over a label beside it.
        if (!name.Intersects(label)) gc.DrawText(tick.label, label.m_x, label.m_y);
    }
}

wxRect2DDouble CCompressedHarmonicsIndicator::DrawNoteName(wxGraphicsContext& gc, int note, double top,
                                                           double bottom, double target,
                                                           const wxColour& colour) {
    const NoteNameParts parts = SplitNoteName(note, transpose_);
    const wxString name = parts.letter + parts.accidental;
    gc.SetFont(nameFont_, colour);
    double nameWidth = 0, nameHeight = 0, descent = 0, leading = 0;
    gc.GetTextExtent(name, &nameWidth, &nameHeight, &descent, &leading);
    if (bottom - top < nameHeight) return {};
    // On the target row when the band's visible part allows, else as close
    // to it as the band allows.
    const double y = std::clamp(target - nameHeight / 2.0, top, bottom - nameHeight);
    const double x = layout_.pitchAxis.x + 3.0;
    gc.DrawText(name, x, y);
    gc.SetFont(octaveFont_, colour);
    double octaveWidth = 0, octaveHeight = 0, octaveDescent = 0;
    gc.GetTextExtent(parts.octave, &octaveWidth, &octaveHeight, &octaveDescent, &leading);
    // The octave number smaller, on the name's baseline.
    const double baseline = y + nameHeight - descent;
    gc.DrawText(parts.octave, x + nameWidth + 1.0, baseline - (octaveHeight - octaveDescent));
    return {x, y, nameWidth + 1.0 + octaveWidth, nameHeight};
}

void CCompressedHarmonicsIndicator::DrawPlotRegion(wxGraphicsContext& gc, const PixelRect& region,
                                                   const SystemColours& colours) {
    if (region.width <= 0 || region.height <= 0) return;
    lastPaint_.plotRegions.push_back(region);
    gc.PushState();
    gc.Clip(region.x, region.y, region.width, region.height);
    SetHighQuality(gc, true);
    FillRect(gc, region, ToWxColour(colours.window));

    const int left = region.x, right = region.x + region.width;
    const int top = region.y, bottom = region.y + region.height;
    const wxColour grid = ToWxColour(GridColour(colours));
    // Without cent ticks the note lines are as thin and light as the grid.
    const bool ticksShown = !gridRows_.empty();
    gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(grid, 1.0)));
    for (int row : gridRows_)
        if (row >= top - 1 && row <= bottom) gc.StrokeLine(left, row + 0.5, right, row + 0.5);
    for (int column : gridColumns_)
        if (column >= left - 1 && column <= right) gc.StrokeLine(column + 0.5, top, column + 0.5, bottom);
    if (ticksShown) gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(ToWxColour(NoteColour(colours)), 2.0)));
    for (int row : noteRows_) {
        if (row < top - 2 || row > bottom + 1) continue;
        if (ticksShown)
            gc.StrokeLine(left, row + 1.0, right, row + 1.0);
        else
            gc.StrokeLine(left, row + 0.5, right, row + 0.5);
    }

    if (reference_ != nullptr) DrawHistory(gc, *reference_, false, region);
    if (current_ != nullptr) DrawHistory(gc, *current_, true, region);
    gc.PopState();
}

void CCompressedHarmonicsIndicator::DrawHistory(wxGraphicsContext& gc, const HarmonicHistory& history,
                                                bool isCurrent, const PixelRect& region) {
    const ViewMapping map = Mapping();
    if (layout_.plot.width <= 0 || layout_.plot.height <= 0) return;
    const double from = map.TimeAt(region.x - kRegionMargin);
    const double to = map.TimeAt(region.x + region.width + kRegionMargin);
    const double rowTop = region.y - kRegionMargin, rowBottom = region.y + region.height + kRegionMargin;
    const int selected = isCurrent ? selectedCurrent_ : selectedReference_;
    const int hovered = isCurrent ? hoveredCurrent_ : hoveredReference_;

    HistoryPaths paths(gc);
    std::array<TrackRun, kTracks> runs;
    const auto& segments = history.Segments();
    auto it = std::lower_bound(segments.begin(), segments.end(), from,
                               [](const HarmonicSegment& s, double t) { return s.t1 < t; });
    for (; it != segments.end() && it->t0 <= to; ++it) {
        const double x0 = map.X(it->t0), x1 = map.X(it->t1);
        for (const HarmonicLine& line : it->lines) {
            if (line.harmonic == 0 || line.opacity1 < kMinOpacity) continue;
            const double y0 = map.Y(line.pitch0), y1 = map.Y(line.pitch1);
            if (std::max(y0, y1) < rowTop || std::min(y0, y1) > rowBottom) continue;
            wxGraphicsPath* path = paths.For(line, selected, hovered);
            // A track that goes on into the same path continues its run, so
            // faint tracks show no seams between their pieces.
            TrackRun& run = runs[std::min<size_t>(static_cast<size_t>(line.harmonic), kTracks - 1)];
            const wxPoint2DDouble start(x0, y0);
            if (run.path != path || run.points.empty() || run.points.back() != start) {
                run.Flush();
                run.path = path;
                run.points.push_back(start);
            }
            run.points.emplace_back(x1, y1);
        }
    }
    for (TrackRun& run : runs) run.Flush();
    paths.Stroke(isCurrent ? kBlue : kRed);
}
