// wx side of the rules every indicator face shares: reading the system
// colours, turning the colour mixes into wx colours, the one-pixel face
// frame, high-quality drawing and fonts made by family, size and unit.
#pragma once

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/font.h>
#include <wx/graphics.h>
#include <wx/string.h>

#include "indicators/math/IndicatorColours.h"

class wxWindow;

namespace Indicators {

// The five system colours, read now (never cached, so a colour scheme
// change shows on the next paint).
SystemColours ReadSystemColours();

wxColour ToWxColour(RgbColour colour, unsigned char alpha = wxALPHA_OPAQUE);

// Closes a face with its one-pixel frame; wants the dc without a graphics
// context drawing on it at the same time.
void DrawFaceFrame(wxDC& dc, int width, int height, const SystemColours& colours);
// The same frame drawn through a graphics context (pixel-exact fills).
void DrawFaceFrame(wxGraphicsContext& gc, int width, int height, const SystemColours& colours);

// High quality: anti-aliased shapes and smooth image interpolation; off:
// hard edges and nearest-pixel interpolation.
void SetHighQuality(wxGraphicsContext& gc, bool on);

enum class FontUnit {
    Pixel,  // size is the em height in pixels
    Point,  // size is in points at the window's DPI
};

// Makes a font of the given family; when the family cannot be found the
// generic sans-serif face is used at the same size and style. The result's
// em height in device pixels is what GDI-style sizing gives for the unit.
wxFont MakeIndicatorFont(const wxString& family, double size, bool bold, FontUnit unit,
                         const wxWindow* window);

// Em height in pixels of a font of the given size and unit at that DPI.
double FontEmPixels(double size, FontUnit unit, double dpi);

// The window's DPI (vertical) in its logical pixels, 96 when it cannot be
// told.
double WindowDpi(const wxWindow* window);

// Off-screen bitmaps (back buffers and caches) are made at the window's
// content scale: `logical` is the size in the window's logical pixels, the
// units every face is drawn in, and the bitmap holds one pixel per screen
// pixel (twice as many each way at a desktop scale of 2), so copying it to
// the screen neither enlarges nor blurs it. Not IsOk() for an empty size.
wxBitmap MakeScaledBitmap(const wxWindow* window, wxSize logical);
// Whether `bitmap` is such a bitmap of that logical size for the window now
// (a resize or a move to a display of another scale makes it stale).
bool FitsWindow(const wxBitmap& bitmap, const wxWindow* window, wxSize logical);

}  // namespace Indicators
