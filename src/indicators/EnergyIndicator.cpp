#include "indicators/EnergyIndicator.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

#include "indicators/IndicatorDrawing.h"
#include "indicators/math/EnergyIndicatorMath.h"

using namespace Indicators;

wxDEFINE_EVENT(EVT_NOISE_FLOOR_CHANGED, NoiseFloorEvent);

NoiseFloorEvent::NoiseFloorEvent(wxEventType type, int id, float floorPosition)
    : wxCommandEvent(type, id), m_floorPosition(floorPosition) {}

CEnergyIndicator::CEnergyIndicator() = default;

CEnergyIndicator::CEnergyIndicator(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                   long style) {
    Create(parent, id, pos, size, style);
}

CEnergyIndicator::~CEnergyIndicator() = default;

bool CEnergyIndicator::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                              long style) {
    // Every pixel is painted on each paint; no separate background erase.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(parent, id, pos, size, style, "Energy Indicator")) return false;
    SetLabel("Energy Indicator");

    Bind(wxEVT_PAINT, &CEnergyIndicator::OnPaint, this);
    Bind(wxEVT_SIZE, &CEnergyIndicator::OnSize, this);
    Bind(wxEVT_SYS_COLOUR_CHANGED, &CEnergyIndicator::OnSysColourChanged, this);
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        event.Skip();
        RebuildGradient();  // at the new display's scale
    });
    Bind(wxEVT_LEFT_DOWN, &CEnergyIndicator::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CEnergyIndicator::OnMouseMove, this);
    Bind(wxEVT_LEFT_UP, &CEnergyIndicator::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CEnergyIndicator::OnCaptureLost, this);
    Bind(wxEVT_MOUSE_CAPTURE_CHANGED, &CEnergyIndicator::OnCaptureChanged, this);

    RebuildGradient();
    return true;
}

void CEnergyIndicator::RefreshIfChanged() {
    if (level != m_drawnLevel) Refresh();
}

void CEnergyIndicator::RebuildGradient() {
    m_gradient = MakeScaledBitmap(this, GetClientSize());
    m_gradientStale = true;
}

void CEnergyIndicator::FillGradient(int width, int height) {
    if (!FitsWindow(m_gradient, this, wxSize(width, height)))
        m_gradient = MakeScaledBitmap(this, wxSize(width, height));
    if (!m_gradient.IsOk()) return;
    const SystemColours colours = ReadSystemColours();
    wxMemoryDC dc(m_gradient);
    dc.SetPen(*wxTRANSPARENT_PEN);
    for (int row = 0; row < height; ++row) {
        dc.SetBrush(wxBrush(ToWxColour(EnergyGradientColour(colours, row, height))));
        dc.DrawRectangle(0, row, width, 1);
    }
    dc.SetBrush(wxNullBrush);
    m_gradientStale = false;
}

void CEnergyIndicator::PaintFace(wxDC& dc) {
    const wxSize client = GetClientSize();
    const int width = client.x;
    const int height = client.y;
    if (width <= 0 || height <= 0) {
        m_drawnLevel = level;
        return;
    }
    if (m_gradientStale || !FitsWindow(m_gradient, this, client)) FillGradient(width, height);

    const SystemColours colours = ReadSystemColours();
    DrawFaceFrame(dc, width, height, colours);

    wxMemoryDC gradient;
    if (m_gradient.IsOk()) gradient.SelectObjectAsSource(m_gradient);
    const wxBrush windowBrush(ToWxColour(colours.window));
    const wxBrush textBrush(ToWxColour(colours.windowText));
    dc.SetPen(*wxTRANSPARENT_PEN);
    for (const EnergyFillStep& step : EnergyFacePlan(width, height, level, floorPosition)) {
        const PixelRect& r = step.rect;
        switch (step.fill) {
            case EnergyFill::Window:
                dc.SetBrush(windowBrush);
                dc.DrawRectangle(r.x, r.y, r.width, r.height);
                break;
            case EnergyFill::WindowText:
                dc.SetBrush(textBrush);
                dc.DrawRectangle(r.x, r.y, r.width, r.height);
                break;
            case EnergyFill::Gradient:
                if (gradient.IsOk()) dc.Blit(r.x, r.y, r.width, r.height, &gradient, r.x, r.y, wxCOPY);
                break;
        }
    }
    dc.SetBrush(wxNullBrush);
    dc.SetPen(wxNullPen);
    m_drawnLevel = level;
}

void CEnergyIndicator::MoveFloorTo(int cursorRow) {
    floorPosition = FloorFromCursorRow(cursorRow, GetClientSize().y, floorPosition);
    Refresh();
    // Sent, not posted: the parent has the new floor before this returns.
    NoiseFloorEvent event(EVT_NOISE_FLOOR_CHANGED, GetId(), floorPosition);
    event.SetEventObject(this);
    if (wxWindow* parent = GetParent()) parent->ProcessWindowEvent(event);
}

void CEnergyIndicator::EndDrag() {
    m_dragging = false;
    if (HasCapture()) ReleaseMouse();
}

void CEnergyIndicator::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    PaintFace(dc);
}

void CEnergyIndicator::OnSize(wxSizeEvent& event) {
    event.Skip();
    RebuildGradient();
}

void CEnergyIndicator::OnSysColourChanged(wxSysColourChangedEvent& event) {
    event.Skip();
    RebuildGradient();
}

void CEnergyIndicator::OnLeftDown(wxMouseEvent& event) {
    if (!HasCapture()) CaptureMouse();
    m_dragging = true;
    MoveFloorTo(event.GetY());
}

void CEnergyIndicator::OnMouseMove(wxMouseEvent& event) {
    if (m_dragging)
        MoveFloorTo(event.GetY());
    else if (HasCapture())
        ReleaseMouse();  // handed back after another window's capture ended
}

void CEnergyIndicator::OnLeftUp(wxMouseEvent& /*event*/) {
    EndDrag();
}

void CEnergyIndicator::OnCaptureChanged(wxMouseCaptureChangedEvent& event) {
    // Another window took the mouse in the middle of a drag: the drag ends.
    // wx keeps our capture underneath theirs; it is released when it comes
    // back (the next mouse move) since we are no longer dragging.
    if (event.GetCapturedWindow() != this) m_dragging = false;
}

void CEnergyIndicator::OnCaptureLost(wxMouseCaptureLostEvent& /*event*/) {
    // The capture has already gone elsewhere; there is nothing to release.
    m_dragging = false;
}
