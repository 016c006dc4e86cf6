#include "indicators/IndicatorDrawing.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <wx/brush.h>
#include <wx/fontenum.h>
#include <wx/pen.h>
#include <wx/settings.h>
#include <wx/window.h>

namespace Indicators {

namespace {

// Pango lays out text in a graphics context at 96 dots per inch, so a font
// of p points is p x 96 / 72 pixels high there.
constexpr double kTextLayoutDpi = 96.0;

RgbColour FromWx(const wxColour& colour) {
    return {colour.Red(), colour.Green(), colour.Blue()};
}

// Families the faces name, with the metric-compatible free faces that stand
// in for them where the original is not installed.
wxString ResolveFamily(const wxString& family) {
    if (family.empty()) return wxString();
    if (wxFontEnumerator::IsValidFacename(family)) return family;
    static const std::pair<const char*, const char*> kSubstitutes[] = {
        {"Arial", "Liberation Sans"},         {"Helvetica", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& [name, substitute] : kSubstitutes) {
        if (family.CmpNoCase(name) == 0 && wxFontEnumerator::IsValidFacename(substitute)) return substitute;
    }
    return wxString();
}

}  // namespace

SystemColours ReadSystemColours() {
    SystemColours colours;
    colours.window = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    colours.windowText = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    colours.btnFace = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    colours.btnShadow = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
    colours.highlight = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT));
    return colours;
}

wxColour ToWxColour(RgbColour colour, unsigned char alpha) {
    return wxColour(colour.red, colour.green, colour.blue, alpha);
}

void DrawFaceFrame(wxDC& dc, int width, int height, const SystemColours& colours) {
    const wxColour edge = ToWxColour(FrameColour(colours));
    const wxColour corner = ToWxColour(FrameCornerColour(colours));
    dc.SetPen(*wxTRANSPARENT_PEN);
    for (const FrameLine& line : FaceFrameLines(width, height)) {
        const PixelRect r = FrameLinePixels(line);
        dc.SetBrush(wxBrush(line.corner ? corner : edge));
        dc.DrawRectangle(r.x, r.y, r.width, r.height);
    }
    dc.SetBrush(wxNullBrush);
    dc.SetPen(wxNullPen);
}

void DrawFaceFrame(wxGraphicsContext& gc, int width, int height, const SystemColours& colours) {
    const wxColour edge = ToWxColour(FrameColour(colours));
    const wxColour corner = ToWxColour(FrameCornerColour(colours));
    // Whole-pixel rectangles, drawn without anti-aliasing, so the frame is
    // sharp whatever quality the rest of the face uses.
    const wxAntialiasMode previous = gc.GetAntialiasMode();
    gc.SetAntialiasMode(wxANTIALIAS_NONE);
    gc.SetPen(*wxTRANSPARENT_PEN);
    for (const FrameLine& line : FaceFrameLines(width, height)) {
        const PixelRect r = FrameLinePixels(line);
        gc.SetBrush(gc.CreateBrush(wxBrush(line.corner ? corner : edge)));
        gc.DrawRectangle(r.x, r.y, r.width, r.height);
    }
    gc.SetAntialiasMode(previous);
}

void SetHighQuality(wxGraphicsContext& gc, bool on) {
    gc.SetAntialiasMode(on ? wxANTIALIAS_DEFAULT : wxANTIALIAS_NONE);
    gc.SetInterpolationQuality(on ? wxINTERPOLATION_BEST : wxINTERPOLATION_NONE);
}

double FontEmPixels(double size, FontUnit unit, double dpi) {
    return unit == FontUnit::Pixel ? size : size * dpi / 72.0;
}

double WindowDpi(const wxWindow* window) {
    if (window != nullptr) {
        // Faces are drawn in logical pixels; where the toolkit scales those
        // (GTK at a desktop scale of 2 reports 192 DPI) the DPI of a logical
        // pixel is what sizes fonts.
        const double dpi = window->GetDPI().y / window->GetContentScaleFactor();
        if (dpi > 0.0) return dpi;
    }
    return 96.0;
}

namespace {

double ContentScale(const wxWindow* window) {
    const double scale = window != nullptr ? window->GetContentScaleFactor() : 1.0;
    return scale > 0.0 ? scale : 1.0;
}

}  // namespace

// On GTK a window's logical pixels are its device-independent ones, so the
// DIP size is the logical size.
wxBitmap MakeScaledBitmap(const wxWindow* window, wxSize logical) {
    wxBitmap bitmap;
    if (logical.x > 0 && logical.y > 0) bitmap.CreateWithDIPSize(logical, ContentScale(window), 24);
    return bitmap;
}

bool FitsWindow(const wxBitmap& bitmap, const wxWindow* window, wxSize logical) {
    return bitmap.IsOk() && bitmap.GetScaleFactor() == ContentScale(window) && bitmap.GetDIPSize() == logical;
}

wxFont MakeIndicatorFont(const wxString& family, double size, bool bold, FontUnit unit,
                         const wxWindow* window) {
    const double emPixels = FontEmPixels(size, unit, WindowDpi(window));
    // Fonts are sized by point in wx; convert the em height back to points
    // at the resolution text is laid out with. Tiny panes still get a font
    // (0.1 pt) rather than an invalid one.
    const double points = std::max(emPixels * 72.0 / kTextLayoutDpi, 0.1);
    const wxString face = ResolveFamily(family);
    wxFontInfo info(points);
    info.Bold(bold);
    if (face.empty())
        info.Family(wxFONTFAMILY_SWISS);
    else
        info.FaceName(face);
    wxFont font(info);
    if (!font.IsOk()) {
        wxFontInfo fallback(points);
        fallback.Bold(bold).Family(wxFONTFAMILY_SWISS);
        font = wxFont(fallback);
    }
    return font;
}

}  // namespace Indicators
