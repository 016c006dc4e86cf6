// Base window of the double-buffered indicator panes. It keeps an off-screen
// bitmap the size of the client area (at the display's scale, so HiDPI
// screens get every pixel), lets the subclass draw the whole face into it in
// logical units and copies it to the screen in one block so the pane never
// flickers. When the bitmap cannot be made (a zero-sized pane) the face is
// drawn straight onto the screen instead.
#pragma once

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/event.h>
#include <wx/window.h>

class CBackBufferWnd : public wxWindow {
public:
    CBackBufferWnd();
    ~CBackBufferWnd() override;

    // Creates the child window and builds its back buffer.
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0,
                const wxString& name = wxASCII_STR(wxPanelNameStr));

    // Draws the entire face into dc; client is the client rectangle at (0,0).
    virtual void Draw(wxDC& dc, const wxRect& client);
    // Called every time the back buffer has just been (re)built, whether or
    // not building succeeded.
    virtual void BufferRecreated();

    // The paint algorithm with target standing in for the screen: draws into
    // the back buffer and copies it to target, or draws onto target directly
    // when there is no back buffer. Used by the paint handler and for
    // rendering a pane off screen.
    void PaintInto(wxDC& target);

    bool HasBackBuffer() const { return m_backBuffer.IsOk(); }

protected:
    // True while Draw() paints into the back buffer, which keeps what the
    // previous paint drew there: a subclass may then redraw only the parts
    // that changed. False while it paints straight onto a target, which
    // needs the whole face.
    bool DrawingIntoBackBuffer() const { return m_drawingIntoBuffer; }

    // Drops and rebuilds the back buffer for the current client size, then
    // calls BufferRecreated().
    void RebuildBackBuffer();

    // Subclass steps run after the base handling of a resize or a system
    // colour change (the back buffer is already rebuilt then).
    virtual void OnClientResized() {}
    virtual void OnSystemColoursChanged() {}

private:
    void OnSize(wxSizeEvent& event);
    void OnSysColourChanged(wxSysColourChangedEvent& event);
    void OnDpiChanged(wxDPIChangedEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnDestroy(wxWindowDestroyEvent& event);

    // Exactly the client size, at the window's content scale; not IsOk()
    // when it could not be made.
    wxBitmap m_backBuffer;
    bool m_drawingIntoBuffer = false;
};
