#include "indicators/BackBufferWnd.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

#include "indicators/IndicatorDrawing.h"

CBackBufferWnd::CBackBufferWnd() = default;

CBackBufferWnd::~CBackBufferWnd() = default;

bool CBackBufferWnd::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                            long style, const wxString& name) {
    // The face is painted completely on every paint, so the background is
    // never erased separately (that would flicker).
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(parent, id, pos, size, style, name)) return false;

    Bind(wxEVT_SIZE, &CBackBufferWnd::OnSize, this);
    Bind(wxEVT_SYS_COLOUR_CHANGED, &CBackBufferWnd::OnSysColourChanged, this);
    Bind(wxEVT_DPI_CHANGED, &CBackBufferWnd::OnDpiChanged, this);
    Bind(wxEVT_PAINT, &CBackBufferWnd::OnPaint, this);
    Bind(wxEVT_DESTROY, &CBackBufferWnd::OnDestroy, this);

    RebuildBackBuffer();
    return true;
}

void CBackBufferWnd::Draw(wxDC& /*dc*/, const wxRect& /*client*/) {}

void CBackBufferWnd::BufferRecreated() {}

void CBackBufferWnd::RebuildBackBuffer() {
    // A pane of zero width or height has no bitmap; it is then painted
    // directly.
    m_backBuffer = Indicators::MakeScaledBitmap(this, GetClientSize());
    BufferRecreated();
}

void CBackBufferWnd::PaintInto(wxDC& target) {
    const wxRect client(wxPoint(0, 0), GetClientSize());
    if (!Indicators::FitsWindow(m_backBuffer, this, client.GetSize())) {
        // No usable buffer (creation failed, or the size or scale changed
        // without an event yet): draw straight onto the target.
        if (!m_backBuffer.IsOk()) BufferRecreated();
        Draw(target, client);
        return;
    }
    wxMemoryDC memory(m_backBuffer);
    if (!memory.IsOk()) {
        BufferRecreated();
        Draw(target, client);
        return;
    }
    m_drawingIntoBuffer = true;
    Draw(memory, client);
    m_drawingIntoBuffer = false;
    target.Blit(0, 0, client.width, client.height, &memory, 0, 0, wxCOPY);
    memory.SelectObject(wxNullBitmap);
}

void CBackBufferWnd::OnSize(wxSizeEvent& event) {
    event.Skip();
    RebuildBackBuffer();
    OnClientResized();
}

void CBackBufferWnd::OnSysColourChanged(wxSysColourChangedEvent& event) {
    event.Skip();
    RebuildBackBuffer();
    OnSystemColoursChanged();
}

void CBackBufferWnd::OnDpiChanged(wxDPIChangedEvent& event) {
    // A display of another scale: the buffer and the caches are made anew
    // at that scale, as on a resize.
    event.Skip();
    RebuildBackBuffer();
    OnClientResized();
}

void CBackBufferWnd::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    PaintInto(dc);
}

void CBackBufferWnd::OnDestroy(wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == this) m_backBuffer = wxBitmap();
    event.Skip();
}
