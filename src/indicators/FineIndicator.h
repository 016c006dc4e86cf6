// The large pane of the main window: a needle over a half-dial from -50 to
// +50 cents, the detected note's name at the top left and the deviation in
// cents at the top right. The owner pushes every value; the pane only draws.
//
// Use: after creating it, set the captions and scale labels once; then on
// each update write position and fade (and smoothing when the setting
// changes), call SetTexts, and call RefreshIfChanged().
#pragma once

#include <memory>
#include <vector>

#include <wx/bitmap.h>
#include <wx/graphics.h>
#include <wx/string.h>

#include "indicators/BackBufferWnd.h"
#include "indicators/GlyphCache.h"
#include "indicators/math/FineIndicatorMath.h"

class CFineIndicator : public CBackBufferWnd {
public:
    CFineIndicator();
    CFineIndicator(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize, long style = 0);
    ~CFineIndicator() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    // Captions drawn on the scale (the owner sets "Note" and "Cents").
    void SetCaptions(const wxString& left, const wxString& right);
    // The note and cents texts; repaints only when either differs from what
    // was drawn last.
    void SetTexts(const wxString& noteText, const wxString& centsText);
    // Dial labels, one per tick ("-50", "-25", "0", "+25", "+50"), set once
    // before the pane is first shown.
    void SetScaleLabels(const std::vector<wxString>& labels);

    // Written by the owner, who then calls RefreshIfChanged().
    float position = 0.0f;  // -1 (-50 cents) .. +1 (+50 cents)
    float fade = 0.0f;      // 0 fresh reading .. 1 stale or none
    bool smoothing = true;  // anti-aliased needle and hub

    // Invalidates the pane when position, fade or smoothing differ from the
    // values of the last paint.
    void RefreshIfChanged();

    float GetDrawnFade() const { return m_drawnFade; }
    const wxString& GetNoteText() const { return m_noteText; }
    const wxString& GetCentsText() const { return m_centsText; }
    const GlyphCache& GetGlyphCache() const { return m_glyphs; }

    void Draw(wxDC& dc, const wxRect& client) override;

protected:
    void OnClientResized() override;
    void OnSystemColoursChanged() override;

private:
    void ReadGlyphColours();
    void UpdateGlyphSize();
    bool RenderScaleCache(int width, int height);
    // Steps of the face (cached) and of every paint.
    void DrawTicksAndLabels(wxGraphicsContext& gc, Indicators::PointD pivot, double r) const;
    void DrawCaptions(wxGraphicsContext& gc, int width) const;
    void DrawTexts(wxGraphicsContext& gc, int width);
    void DrawNeedle(wxGraphicsContext& gc, int width, int height) const;

    wxString m_captionLeft;
    wxString m_captionRight;
    wxString m_noteText;
    wxString m_centsText;
    float m_drawnPosition = -1.0f;
    float m_drawnFade = -1.0f;
    bool m_drawnSmoothing = true;
    wxString m_drawnNoteText;
    wxString m_drawnCentsText;
    GlyphCache m_glyphs;
    // The rendered static face (dial, ticks, labels, captions, frame);
    // not IsOk() when it must be rendered again.
    wxBitmap m_scaleCache;
    std::vector<wxString> m_scaleLabels;
};
