#include "ChartDrawing.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <stdexcept>

namespace ZelvoAnalyze {

namespace {

constexpr const char* kFont = "Liberation Sans";

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

bool IsSvgName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".svg";
}

void SetColour(cairo_t* cr, int colour) {
    if (colour == kChartShortNote) {
        cairo_set_source_rgb(cr, 0.65, 0.65, 0.65);
        return;
    }
    const RgbColour& c = ChartColours()[static_cast<std::size_t>(colour) % ChartColours().size()];
    cairo_set_source_rgb(cr, c.red, c.green, c.blue);
}

// Text placed by its anchor: align 0 = left, 0.5 = centre, 1 = right of x;
// y is the baseline.
void Text(cairo_t* cr, const std::string& text, double x, double y, double align) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, x - align * extents.x_advance, y);
    cairo_show_text(cr, text.c_str());
}

void DrawGrid(cairo_t* cr, const ChartLayout& layout) {
    const ChartRect& plot = layout.plot;
    cairo_set_source_rgb(cr, 0.86, 0.95, 0.86);
    cairo_rectangle(cr, layout.band.x, layout.band.y, layout.band.width, layout.band.height);
    cairo_fill(cr);

    cairo_set_line_width(cr, 1.0);
    cairo_set_font_size(cr, 12.0);
    for (const ChartTick& tick : layout.centsTicks) {
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_move_to(cr, plot.x, tick.position);
        cairo_line_to(cr, plot.Right(), tick.position);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        Text(cr, tick.label, plot.x - 6.0, tick.position + 4.0, 1.0);
    }
    for (const ChartTick& tick : layout.timeTicks) {
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
        cairo_move_to(cr, tick.position, plot.y);
        cairo_line_to(cr, tick.position, plot.Bottom());
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        Text(cr, tick.label, tick.position, plot.Bottom() + 16.0, 0.5);
    }
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
    cairo_move_to(cr, plot.x, layout.zeroY);
    cairo_line_to(cr, plot.Right(), layout.zeroY);
    cairo_stroke(cr);
    cairo_rectangle(cr, plot.x, plot.y, plot.width, plot.height);
    cairo_stroke(cr);
    Text(cr, "time (s)", plot.Right(), layout.height - 6.0, 1.0);
    Text(cr, "deviation (cents)", 4.0, plot.y - 24.0, 0.0);
}

void DrawTraces(cairo_t* cr, const ChartLayout& layout) {
    cairo_save(cr);
    cairo_rectangle(cr, layout.plot.x, layout.plot.y, layout.plot.width, layout.plot.height);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const ChartTrace& trace : layout.traces) {
        if (trace.points.empty()) continue;
        SetColour(cr, trace.colour);
        // The note's median as a dashed line under its wavering reading.
        const double dash[] = {4.0, 3.0};
        cairo_set_dash(cr, dash, 2, 0.0);
        cairo_set_line_width(cr, 1.0);
        cairo_move_to(cr, trace.startX, trace.medianY);
        cairo_line_to(cr, trace.endX, trace.medianY);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0.0);
        cairo_set_line_width(cr, trace.colour == kChartShortNote ? 1.0 : 1.8);
        cairo_move_to(cr, trace.points.front().x, trace.points.front().y);
        for (const ChartPoint& p : trace.points) cairo_line_to(cr, p.x, p.y);
        if (trace.points.size() == 1) cairo_rel_line_to(cr, 1.0, 0.0);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void DrawNoteLabels(cairo_t* cr, const ChartLayout& layout) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 13.0);
    for (const ChartLabel& label : layout.noteLabels) {
        SetColour(cr, label.colour);
        Text(cr, label.text, label.x, layout.plot.y - 8.0, 0.5);
    }
    if (layout.noteLabels.empty()) {
        cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
        Text(cr, "No held note was heard.", layout.plot.x + layout.plot.width * 0.5, layout.plot.y - 8.0,
             0.5);
    }
}

void Draw(cairo_t* cr, const ChartLayout& layout) {
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    DrawGrid(cr, layout);
    DrawTraces(cr, layout);
    DrawNoteLabels(cr, layout);
}

void Check(cairo_status_t status, const std::string& path) {
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write the chart to " + path + ": " + cairo_status_to_string(status));
}

}  // namespace

void WriteIntonationChart(const ChartLayout& layout, const std::string& path) {
    const bool svg = IsSvgName(path);
    const int width = std::max(1, static_cast<int>(layout.width));
    const int height = std::max(1, static_cast<int>(layout.height));
    Surface surface(svg ? cairo_svg_surface_create(path.c_str(), width, height)
                        : cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height),
                    &cairo_surface_destroy);
    Check(cairo_surface_status(surface.get()), path);
    {
        Context cr(cairo_create(surface.get()), &cairo_destroy);
        Draw(cr.get(), layout);
        Check(cairo_status(cr.get()), path);
    }
    if (svg) {
        cairo_surface_finish(surface.get());
        Check(cairo_surface_status(surface.get()), path);
    } else {
        Check(cairo_surface_write_to_png(surface.get(), path.c_str()), path);
    }
}

}  // namespace ZelvoAnalyze
