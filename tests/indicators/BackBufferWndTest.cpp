#include "PaneTestSupport.h"
#include "indicators/BackBufferWnd.h"

namespace {

// Counts the two virtual operations and paints its face green.
class CountingPane : public CBackBufferWnd {
public:
    CountingPane(wxWindow* parent, wxSize size) { Create(parent, wxID_ANY, wxPoint(0, 0), size); }

    void BufferRecreated() override { ++recreated; }
    void Draw(wxDC& dc, const wxRect& client) override {
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

}  // namespace

using BackBufferWndTest = PaneTest;

TEST_F(BackBufferWndTest, CreationEachResizeAndColourChangeRebuildOnce) {
    auto* pane = new CountingPane(host, wxSize(120, 80));
    EXPECT_EQ(pane->recreated, 1);
    PumpEvents();
    int expected = pane->recreated;
    // A real resize through the window system, then the same size delivered
    // twice directly.
    pane->SetClientSize(200, 90);
    PumpEvents();
    EXPECT_EQ(pane->recreated, ++expected);
    Resize(*pane, wxSize(200, 90));
    EXPECT_EQ(pane->recreated, ++expected);
    Resize(*pane, wxSize(200, 90));
    EXPECT_EQ(pane->recreated, ++expected);

    wxSysColourChangedEvent coloursChanged;
    coloursChanged.SetEventObject(pane);
    pane->ProcessWindowEvent(coloursChanged);
    EXPECT_EQ(pane->recreated, ++expected);
    EXPECT_TRUE(pane->HasBackBuffer());
}

TEST_F(BackBufferWndTest, PaintCopiesTheWholeBufferedFaceOrDrawsDirectlyWithoutOne) {
    auto* pane = new CountingPane(host, wxSize(50, 40));
    const wxImage image = RenderPane(*pane);
    EXPECT_EQ(pane->draws, 1);
    EXPECT_EQ(pane->lastClient, wxRect(0, 0, 50, 40));
    for (const wxPoint p : {wxPoint(0, 0), wxPoint(49, 39), wxPoint(25, 20)})
        EXPECT_EQ(PixelAt(image, p.x, p.y), (Indicators::RgbColour{0, 255, 0})) << p.x << "," << p.y;

    // And the paint handler puts it on screen.
    pane->Refresh();
    EXPECT_TRUE(PumpUntil([&] { return pane->draws > 1; }, std::chrono::seconds(1)));
    EXPECT_EQ(pane->lastClient, wxRect(0, 0, 50, 40));

    // A zero-sized pane has no buffer; painting reports it like a (failed)
    // rebuild and draws directly.
    Resize(*pane, wxSize(0, 0));
    EXPECT_FALSE(pane->HasBackBuffer());
    const int draws = pane->draws, recreated = pane->recreated;
    RenderPane(*pane);
    EXPECT_EQ(pane->draws, draws + 1);
    EXPECT_EQ(pane->lastClient.GetSize(), wxSize(0, 0));
    EXPECT_EQ(pane->recreated, recreated + 1);
}
