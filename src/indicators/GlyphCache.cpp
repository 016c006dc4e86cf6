#include "indicators/GlyphCache.h"

#include <cmath>
#include <memory>

#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/window.h>

#include "indicators/IndicatorDrawing.h"
#include "indicators/math/FineIndicatorMath.h"

namespace {

wxColour ArgbToWx(std::uint32_t argb) {
    return wxColour(static_cast<unsigned char>((argb >> 16) & 0xFF),
                    static_cast<unsigned char>((argb >> 8) & 0xFF), static_cast<unsigned char>(argb & 0xFF),
                    static_cast<unsigned char>((argb >> 24) & 0xFF));
}

}  // namespace

void GlyphCache::SetSize(int size) {
    if (size == m_size) return;
    m_size = size;
    m_font = wxFont();
    Clear();
}

void GlyphCache::SetColours(std::uint32_t textArgb, std::uint32_t backArgb) {
    if (textArgb == m_textArgb && backArgb == m_backArgb) return;
    m_textArgb = textArgb;
    m_backArgb = backArgb;
    Clear();
}

void GlyphCache::Clear() {
    m_glyphs.clear();
}

const Glyph* GlyphCache::Get(char character, const wxWindow* window) {
    const double scale = window != nullptr ? window->GetContentScaleFactor() : 1.0;
    if (scale != m_scale) {
        m_scale = scale;
        Clear();
    }
    for (const Glyph& glyph : m_glyphs) {
        if (glyph.character == character) return &glyph;
    }
    return Render(character, window);
}

const Glyph* GlyphCache::Render(char character, const wxWindow* window) {
    if (m_size <= 0) return nullptr;
    if (!m_font.IsOk()) {
        const double dpi = Indicators::WindowDpi(window);
        m_font = Indicators::MakeIndicatorFont("Arial", Indicators::GlyphFontPoints(m_size, dpi), true,
                                               Indicators::FontUnit::Point, window);
        if (!m_font.IsOk()) return nullptr;
    }
    // The byte is read as Latin-1, the 8-bit range the texts come from.
    const wxString text(wxUniChar(static_cast<unsigned char>(character)));

    // Measure on a scratch surface: advance width, cell height, and how much
    // of the cell lies below the ascent (descent plus line gap).
    double measuredWidth = 0.0;
    double measuredHeight = 0.0;
    double descent = 0.0;
    double externalLeading = 0.0;
    {
        wxBitmap scratch(1, 1, 24);
        wxMemoryDC dc(scratch);
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (!gc) return nullptr;
        gc->SetFont(m_font, *wxBLACK);
        gc->GetTextExtent(text, &measuredWidth, &measuredHeight, &descent, &externalLeading);
    }
    const int width = static_cast<int>(std::ceil(measuredWidth));
    const int height = static_cast<int>(std::ceil(measuredHeight));
    const double emPixels =
        Indicators::FontEmPixels(Indicators::GlyphFontPoints(m_size, Indicators::WindowDpi(window)),
                                 Indicators::FontUnit::Point, Indicators::WindowDpi(window));
    const int offset = Indicators::GlyphCutOffset(measuredHeight + externalLeading, measuredHeight - descent,
                                                  emPixels, m_size);
    if (width <= 0 || height - offset <= 0) return nullptr;

    Glyph glyph;
    glyph.character = character;
    glyph.width = width;
    glyph.height = height - offset;
    glyph.bitmap = Indicators::MakeScaledBitmap(window, wxSize(width, glyph.height));
    if (!glyph.bitmap.IsOk()) return nullptr;
    {
        wxMemoryDC dc(glyph.bitmap);
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (!gc) return nullptr;
        gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(gc->CreateBrush(wxBrush(ArgbToWx(m_backArgb))));
        gc->DrawRectangle(0, 0, width, glyph.height);
        gc->SetFont(m_font, ArgbToWx(m_textArgb));
        // Drawn `offset` rows higher, so the empty top of the cell is cut off.
        gc->DrawText(text, 0, -offset);
    }
    m_glyphs.push_back(std::move(glyph));
    return &m_glyphs.back();
}
