// The thin vertical level meter of the main window: the signal level on a
// 60 dB scale as a bar rising from the bottom, and a one-pixel line marking
// the noise floor that the user drags with the mouse. Each move of the line
// is reported to the parent at once with an EVT_NOISE_FLOOR_CHANGED event.
//
// It paints straight onto the screen (no back buffer), caching only the
// gradient of a full bar.
#pragma once

#include <wx/bitmap.h>
#include <wx/event.h>
#include <wx/window.h>

// Sent to the parent, synchronously, after every move of the noise-floor
// line; carries the new position (0 = -60 dB .. 1 = 0 dB). A command event,
// so it also reaches the parent's parents when the parent does not handle it.
class NoiseFloorEvent : public wxCommandEvent {
public:
    NoiseFloorEvent(wxEventType type = wxEVT_NULL, int id = 0, float floorPosition = 0.0f);

    float GetFloorPosition() const { return m_floorPosition; }

    wxEvent* Clone() const override { return new NoiseFloorEvent(*this); }

private:
    float m_floorPosition;
};

wxDECLARE_EVENT(EVT_NOISE_FLOOR_CHANGED, NoiseFloorEvent);

class CEnergyIndicator : public wxWindow {
public:
    CEnergyIndicator();
    CEnergyIndicator(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize, long style = 0);
    ~CEnergyIndicator() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    // Written by the owner. level = clamp(1 + dB / 60, 0, 1); the owner
    // then calls RefreshIfChanged(). floorPosition is written once at
    // creation; afterwards the user's drags move it.
    float level = 0.0f;
    float floorPosition = 0.0f;

    // Invalidates the pane when the level differs from the last painted one.
    void RefreshIfChanged();

    float GetDrawnLevel() const { return m_drawnLevel; }
    bool IsDragging() const { return m_dragging; }

    // Paints the whole face onto dc (the paint handler's work; also used to
    // render the pane off screen).
    void PaintFace(wxDC& dc);

private:
    void RebuildGradient();
    void FillGradient(int width, int height);
    void MoveFloorTo(int cursorRow);
    void EndDrag();

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnSysColourChanged(wxSysColourChangedEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnCaptureChanged(wxMouseCaptureChangedEvent& event);

    wxBitmap m_gradient;  // client-sized, the colours of a full bar
    float m_drawnLevel = 1.0f;
    bool m_gradientStale = true;
    bool m_dragging = false;
};
