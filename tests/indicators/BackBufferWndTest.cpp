#include <wx/dcmemory.h>

#include "PaneTestSupport.h"
#include "indicators/BackBufferWnd.h"

namespace {

// Counts the two virtual operations and paints its face green.
class CountingPane : public CBackBufferWnd {
public:
    CountingPane(wxWindow* parent, wxSize size) { Create(parent, wxID_ANY, wxPoint(0, 0), size); }

    void BufferRecreated() override { ++recreated; }
    void Draw(wxDC& dc, const wxRect& client) override
    {
        ++draws;
        lastClient = client;
        dc.SetBrush(*wxGREEN_BRUSH);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(client);
    }

    int recreated = 0;
    int draws = 0;
    wxRect lastClient;
};

void SendSize(wxWindow& window)
{
    wxSizeEvent event(window.GetSize(), window.GetId());
    event.SetEventObject(&window);
    window.ProcessWindowEvent(event);
}

}  // namespace

using BackBufferWndTest = PaneTest;

TEST_F(BackBufferWndTest, CreationBuildsTheBufferOnce)
{
    auto* pane = new CountingPane(host, wxSize(120, 80));
    EXPECT_EQ(pane->recreated, 1);
    EXPECT_TRUE(pane->HasBackBuffer());
}

TEST_F(BackBufferWndTest, EachResizeAndColourChangeRebuildsOnce)
{
    auto* pane = new CountingPane(host, wxSize(120, 80));
    PumpEvents();
    const int beforeRealResize = pane->recreated;
    pane->SetClientSize(200, 90);
    PumpEvents();
    const int afterRealResize = pane->recreated;
    EXPECT_EQ(afterRealResize, beforeRealResize + 1);
    EXPECT_TRUE(pane->HasBackBuffer());

    SendSize(*pane);
    EXPECT_EQ(pane->recreated, afterRealResize + 1);
    SendSize(*pane);
    EXPECT_EQ(pane->recreated, afterRealResize + 2);

    wxSysColourChangedEvent colours;
    colours.SetEventObject(pane);
    pane->ProcessWindowEvent(colours);
    EXPECT_EQ(pane->recreated, afterRealResize + 3);
    EXPECT_TRUE(pane->HasBackBuffer());
}

TEST_F(BackBufferWndTest, PaintCopiesTheWholeBufferedFace)
{
    auto* pane = new CountingPane(host, wxSize(50, 40));
    const wxImage image = RenderPane(*pane);
    EXPECT_EQ(pane->draws, 1);
    EXPECT_EQ(pane->lastClient, wxRect(0, 0, 50, 40));
    for (const wxPoint p : {wxPoint(0, 0), wxPoint(49, 39), wxPoint(25, 20)}) {
        EXPECT_EQ(ColourDistance(PixelAt(image, p.x, p.y), {0, 255, 0}), 0)
            << p.x << "," << p.y;
    }
}

TEST_F(BackBufferWndTest, ZeroSizedPanePaintsDirectlyWithoutError)
{
    auto* pane = new CountingPane(host, wxSize(120, 80));
    pane->SetClientSize(0, 0);
    SendSize(*pane);
    EXPECT_FALSE(pane->HasBackBuffer());
    const int recreatedBefore = pane->recreated;

    wxBitmap target(4, 4, 24);
    wxMemoryDC dc(target);
    pane->PaintInto(dc);
    EXPECT_EQ(pane->draws, 1);
    EXPECT_EQ(pane->lastClient.GetSize(), wxSize(0, 0));
    // Painting without a buffer reports it like a (failed) rebuild.
    EXPECT_EQ(pane->recreated, recreatedBefore + 1);
}

TEST_F(BackBufferWndTest, PaintHandlerDrawsOnScreen)
{
    auto* pane = new CountingPane(host, wxSize(60, 40));
    PumpEvents();
    const int before = pane->draws;
    pane->Refresh();
    EXPECT_TRUE(PumpEventsUntil([&] { return pane->draws > before; }));
    EXPECT_EQ(pane->lastClient, wxRect(0, 0, 60, 40));
}
