#include "indicators/FineIndicator.h"

#include <memory>

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include "indicators/IndicatorDrawing.h"
#include "indicators/math/FineIndicatorMath.h"

using namespace Indicators;

namespace {

constexpr double kPi = 3.14159265358979323846;

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

// Glyph lookups use the low 8 bits of each character.
char GlyphKey(const wxUniChar& character) {
    return static_cast<char>(character.GetValue() & 0xFF);
}

}  // namespace

CFineIndicator::CFineIndicator() = default;

CFineIndicator::CFineIndicator(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                               long style) {
    Create(parent, id, pos, size, style);
}

CFineIndicator::~CFineIndicator() = default;

bool CFineIndicator::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                            long style) {
    if (!CBackBufferWnd::Create(parent, id, pos, size, style, "Fine Indicator")) return false;
    SetLabel("Fine Indicator");
    ReadGlyphColours();
    UpdateGlyphSize();
    return true;
}

void CFineIndicator::SetCaptions(const wxString& left, const wxString& right) {
    m_captionLeft = left;
    m_captionRight = right;
    m_scaleCache = wxBitmap();
    Refresh();
}

void CFineIndicator::SetTexts(const wxString& noteText, const wxString& centsText) {
    // Always keep the newest texts: had texts that differ from the drawn ones
    // been set and then the drawn ones again before the next paint, skipping
    // the store would leave the pane showing the stale in-between texts.
    // Only the invalidation depends on a difference from what was drawn.
    m_noteText = noteText;
    m_centsText = centsText;
    if (noteText != m_drawnNoteText || centsText != m_drawnCentsText) Refresh();
}

void CFineIndicator::SetScaleLabels(const std::vector<wxString>& labels) {
    m_scaleLabels = labels;
    m_scaleCache = wxBitmap();
    Refresh();
}

void CFineIndicator::RefreshIfChanged() {
    if (position != m_drawnPosition || fade != m_drawnFade || smoothing != m_drawnSmoothing) Refresh();
}

void CFineIndicator::OnClientResized() {
    UpdateGlyphSize();
    m_scaleCache = wxBitmap();
}

void CFineIndicator::OnSystemColoursChanged() {
    ReadGlyphColours();
    m_scaleCache = wxBitmap();
}

void CFineIndicator::ReadGlyphColours() {
    const SystemColours colours = ReadSystemColours();
    m_glyphs.SetColours(ToArgb(colours.windowText), ToArgb(colours.window));
}

void CFineIndicator::UpdateGlyphSize() {
    m_glyphs.SetSize(GlyphSize(GetClientSize().y));
}

void CFineIndicator::DrawTicksAndLabels(wxGraphicsContext& gc, PointD pivot, double r) const {
    for (std::size_t i = 0; i < m_scaleLabels.size(); ++i) {
        const wxGraphicsMatrix saved = gc.GetTransform();
        gc.Translate(pivot.x, pivot.y);
        gc.Rotate(Radians(TickAngleDegrees(static_cast<int>(i))));
        gc.StrokeLine(0.0, -r, 0.0, -0.85 * r);
        double textWidth = 0.0;
        double textHeight = 0.0;
        gc.GetTextExtent(m_scaleLabels[i], &textWidth, &textHeight);
        // Centred on the tick's line, its top 1.13 R from the pivot; the
        // label turns with its tick.
        gc.DrawText(m_scaleLabels[i], 1.0 - textWidth / 2.0, -1.13 * r);
        gc.SetTransform(saved);
    }
}

void CFineIndicator::DrawCaptions(wxGraphicsContext& gc, int width) const {
    const PointD leftCaption = LeftCaptionOrigin(width);
    gc.DrawText(m_captionLeft, leftCaption.x, leftCaption.y);
    double rightWidth = 0.0;
    double rightHeight = 0.0;
    gc.GetTextExtent(m_captionRight, &rightWidth, &rightHeight);
    gc.DrawText(m_captionRight, CaptionRightEdge(width) - rightWidth, leftCaption.y);
}

bool CFineIndicator::RenderScaleCache(int width, int height) {
    m_scaleCache = wxBitmap();
    wxBitmap bitmap = MakeScaledBitmap(this, wxSize(width, height));
    if (!bitmap.IsOk()) return false;

    const SystemColours colours = ReadSystemColours();
    const double dpi = WindowDpi(this);
    {
        wxMemoryDC dc(bitmap);
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (!gc) return false;
        // The static face is always drawn smoothly.
        SetHighQuality(*gc, true);

        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(gc->CreateBrush(wxBrush(ToWxColour(colours.window))));
        gc->DrawRectangle(0, 0, width, height);

        const wxColour dial = ToWxColour(DialColour(colours));
        wxGraphicsPenInfo penInfo(dial, DialPenWidth(width));
        penInfo.Cap(wxCAP_BUTT);
        const wxGraphicsPen dialPen = gc->CreatePen(penInfo);

        const PointD pivot = DialPivot(width, height);
        const double r = DialRadius(height);
        gc->SetPen(dialPen);
        gc->SetBrush(*wxTRANSPARENT_BRUSH);
        gc->DrawEllipse(pivot.x - r, pivot.y - r, 2.0 * r, 2.0 * r);

        gc->SetFont(MakeIndicatorFont("Arial", LabelFontPoints(width, dpi), true, FontUnit::Point, this),
                    dial);
        DrawTicksAndLabels(*gc, pivot, r);
        gc->SetFont(MakeIndicatorFont("Arial", CaptionFontPoints(width, dpi), true, FontUnit::Point, this),
                    dial);
        DrawCaptions(*gc, width);

        DrawFaceFrame(*gc, width, height, colours);
    }
    m_scaleCache = bitmap;
    return true;
}

void CFineIndicator::Draw(wxDC& dc, const wxRect& client) {
    const int width = client.width;
    const int height = client.height;
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
    if (!gc) return;
    SetHighQuality(*gc, smoothing);

    if (!FitsWindow(m_scaleCache, this, client.GetSize())) {
        if (!RenderScaleCache(width, height)) return;
    }
    // Cached bitmaps are copied pixel for pixel.
    gc->SetInterpolationQuality(wxINTERPOLATION_NONE);
    gc->DrawBitmap(m_scaleCache, 0, 0, width, height);

    gc->Clip(1, 1, width - 2, height - 2);

    // The glyph size follows the client height; catch up when the pane was
    // resized without a size event reaching it yet.
    if (m_glyphs.Size() != GlyphSize(height)) m_glyphs.SetSize(GlyphSize(height));

    DrawTexts(*gc, width);
    SetHighQuality(*gc, smoothing);
    DrawNeedle(*gc, width, height);

    m_drawnPosition = position;
    m_drawnFade = fade;
    m_drawnSmoothing = smoothing;
    m_drawnNoteText = m_noteText;
    m_drawnCentsText = m_centsText;
}

void CFineIndicator::DrawTexts(wxGraphicsContext& gc, int width) {
    const int top = TextTop(width);
    int x = TextLeft(width);
    for (const wxUniChar character : m_noteText) {
        const Glyph* glyph = m_glyphs.Get(GlyphKey(character), this);
        if (glyph == nullptr) continue;
        gc.DrawBitmap(glyph->bitmap, x, top, glyph->width, glyph->height);
        x += glyph->width;
    }
    x = TextRightEdge(width);
    for (auto it = m_centsText.rbegin(); it != m_centsText.rend(); ++it) {
        const Glyph* glyph = m_glyphs.Get(GlyphKey(*it), this);
        if (glyph == nullptr) continue;
        x -= glyph->width;
        gc.DrawBitmap(glyph->bitmap, x, top, glyph->width, glyph->height);
    }
}

void CFineIndicator::DrawNeedle(wxGraphicsContext& gc, int width, int height) const {
    const SystemColours colours = ReadSystemColours();
    const wxColour hub = ToWxColour(DialColour(colours));
    const wxColour needle = ToWxColour(NeedleColour(colours, fade));

    const SegmentD segment = NeedleSegment(width, height, position);
    const auto outline = NeedleOutline(segment, DialPenWidth(width));
    wxGraphicsPath path = gc.CreatePath();
    path.MoveToPoint(outline[0].x, outline[0].y);
    for (std::size_t i = 1; i < outline.size(); ++i) path.AddLineToPoint(outline[i].x, outline[i].y);
    path.CloseSubpath();
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(gc.CreateBrush(wxBrush(needle)));
    gc.FillPath(path);

    const PointD pivot = DialPivot(width, height);
    const double hubRadius = HubRadius(height);
    gc.SetBrush(gc.CreateBrush(wxBrush(hub)));
    gc.DrawEllipse(pivot.x - hubRadius, pivot.y - hubRadius, 2.0 * hubRadius, 2.0 * hubRadius);
}
