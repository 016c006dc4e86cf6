#include "indicators/BackBufferWnd.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

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
    Bind(wxEVT_PAINT, &CBackBufferWnd::OnPaint, this);
    Bind(wxEVT_DESTROY, &CBackBufferWnd::OnDestroy, this);

    RebuildBackBuffer();
    return true;
}

void CBackBufferWnd::Draw(wxDC& /*dc*/, const wxRect& /*client*/) {}

void CBackBufferWnd::BufferRecreated() {}

void CBackBufferWnd::RebuildBackBuffer() {
    m_backBuffer = wxBitmap();
    const wxSize client = GetClientSize();
    // A pane of zero width or height has no bitmap; it is then painted
    // directly. wx would assert on an empty bitmap, so this is checked here.
    if (client.x > 0 && client.y > 0) {
        wxClientDC screen(this);
        wxBitmap bitmap(client.x, client.y, screen);
        if (bitmap.IsOk()) m_backBuffer = bitmap;
    }
    BufferRecreated();
}

void CBackBufferWnd::PaintInto(wxDC& target) {
    const wxRect client(wxPoint(0, 0), GetClientSize());
    if (!m_backBuffer.IsOk() || m_backBuffer.GetSize() != client.GetSize()) {
        // No usable buffer (creation failed, or the size changed without a
        // size event yet): draw straight onto the target.
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
    Draw(memory, client);
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

void CBackBufferWnd::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    PaintInto(dc);
}

void CBackBufferWnd::OnDestroy(wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == this) m_backBuffer = wxBitmap();
    event.Skip();
}
