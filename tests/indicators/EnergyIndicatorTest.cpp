#include <vector>

#include <wx/panel.h>

#include "PaneTestSupport.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/EnergyIndicatorMath.h"
#include "indicators/IndicatorDrawing.h"

using namespace Indicators;

namespace {

class EnergyIndicatorTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        parent = new wxPanel(host, wxID_ANY, wxPoint(0, 0), wxSize(200, 200));
        parent->Bind(EVT_NOISE_FLOOR_CHANGED,
                     [this](NoiseFloorEvent& event) { received.push_back(event.GetFloorPosition()); });
        pane = new CEnergyIndicator(parent, wxID_ANY, wxPoint(10, 10), wxSize(kWidth, kHeight));
        pane->SetClientSize(kWidth, kHeight);
        PumpEvents();
        colours = ReadSystemColours();
    }

    void TearDown() override
    {
        if (pane->HasCapture())
            pane->ReleaseMouse();
        PaneTest::TearDown();
    }

    void Mouse(wxEventType type, int y)
    {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(kWidth / 2, y));
        event.SetEventObject(pane);
        pane->ProcessWindowEvent(event);
    }

    static constexpr int kWidth = 20;
    static constexpr int kHeight = 104;
    wxPanel* parent = nullptr;
    CEnergyIndicator* pane = nullptr;
    std::vector<float> received;
    SystemColours colours;
};

}  // namespace

TEST_F(EnergyIndicatorTest, FloorLineAndBarLandOnTheirRows)
{
    pane->level = 0.25f;
    pane->floorPosition = 0.5f;
    const wxImage image = RenderPane(*pane);
    const int floorRow = FloorRow(0.5f, kHeight);
    const int levelRow = LevelRow(0.25f, kHeight);
    EXPECT_EQ(PixelAt(image, kWidth / 2, floorRow), colours.windowText);
    EXPECT_EQ(PixelAt(image, kWidth / 2, floorRow - 1), colours.window);
    EXPECT_EQ(PixelAt(image, kWidth / 2, levelRow - 1), colours.window);
    EXPECT_EQ(PixelAt(image, kWidth / 2, levelRow + 1),
              EnergyGradientColour(colours, levelRow + 1, kHeight));
    EXPECT_EQ(PixelAt(image, 0, floorRow), FrameColour(colours));
    EXPECT_EQ(PixelAt(image, kWidth - 1, floorRow), FrameColour(colours));
    EXPECT_FLOAT_EQ(pane->GetDrawnLevel(), 0.25f);
}

TEST_F(EnergyIndicatorTest, BarAboveTheFloorRunsThroughTheLine)
{
    pane->level = 0.75f;
    pane->floorPosition = 0.5f;
    const wxImage image = RenderPane(*pane);
    const int floorRow = FloorRow(0.5f, kHeight);
    const int levelRow = LevelRow(0.75f, kHeight);
    EXPECT_EQ(PixelAt(image, kWidth / 2, levelRow), EnergyGradientColour(colours, levelRow, kHeight));
    EXPECT_EQ(PixelAt(image, kWidth / 2, floorRow), colours.windowText);
    EXPECT_EQ(PixelAt(image, kWidth / 2, kHeight - 2),
              EnergyGradientColour(colours, kHeight - 2, kHeight));
}

TEST_F(EnergyIndicatorTest, DragReportsEveryMoveToTheParentAtOnce)
{
    Mouse(wxEVT_LEFT_DOWN, 2);
    ASSERT_EQ(received.size(), 1u);  // before the click handler returned
    EXPECT_FLOAT_EQ(received.back(), 1.0f);
    EXPECT_TRUE(pane->IsDragging());
    EXPECT_TRUE(pane->HasCapture());

    Mouse(wxEVT_MOTION, kHeight / 2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_FLOAT_EQ(received.back(), 0.5f);
    EXPECT_NEAR(PositionToDb(pane->floorPosition), -30.0, 0.01);

    Mouse(wxEVT_MOTION, kHeight + 40);  // below the pane: pinned at -60 dB
    EXPECT_FLOAT_EQ(received.back(), 0.0f);

    Mouse(wxEVT_LEFT_UP, kHeight + 40);
    EXPECT_FALSE(pane->IsDragging());
    EXPECT_FALSE(pane->HasCapture());
    Mouse(wxEVT_MOTION, 2);
    EXPECT_EQ(received.size(), 3u);  // moves without the button do nothing
    EXPECT_FLOAT_EQ(pane->floorPosition, 0.0f);
}

TEST_F(EnergyIndicatorTest, EventCarriesThePositionInDecibels)
{
    float db = 0.0f;
    parent->Bind(EVT_NOISE_FLOOR_CHANGED, [&db](NoiseFloorEvent& event) {
        db = static_cast<float>(event.GetFloorDb());
        event.Skip();
    });
    Mouse(wxEVT_LEFT_DOWN, 27);  // a quarter down the range
    EXPECT_NEAR(db, -15.0, 0.01);
    Mouse(wxEVT_LEFT_UP, 27);
}

TEST_F(EnergyIndicatorTest, LosingTheCaptureEndsTheDrag)
{
    Mouse(wxEVT_LEFT_DOWN, 30);
    ASSERT_TRUE(pane->IsDragging());
    wxMouseCaptureLostEvent lost(pane->GetId());
    lost.SetEventObject(pane);
    pane->ProcessWindowEvent(lost);
    EXPECT_FALSE(pane->IsDragging());
    const std::size_t count = received.size();
    Mouse(wxEVT_MOTION, 60);
    EXPECT_EQ(received.size(), count);
}

TEST_F(EnergyIndicatorTest, AnotherWindowTakingTheMouseEndsTheDrag)
{
    auto* other = new wxWindow(parent, wxID_ANY, wxPoint(100, 10), wxSize(20, 20));
    PumpEvents();
    Mouse(wxEVT_LEFT_DOWN, 30);
    ASSERT_TRUE(pane->IsDragging());
    // What the window system reports when another window takes the mouse.
    wxMouseCaptureChangedEvent changed(pane->GetId(), other);
    changed.SetEventObject(pane);
    pane->ProcessWindowEvent(changed);
    EXPECT_FALSE(pane->IsDragging());
    // When the capture comes back to the meter it lets it go at the next
    // move, without moving the floor.
    const std::size_t count = received.size();
    Mouse(wxEVT_MOTION, 60);
    EXPECT_EQ(received.size(), count);
    EXPECT_FALSE(pane->HasCapture());
}

TEST_F(EnergyIndicatorTest, TinyAndZeroSizedPanesPaintWithoutError)
{
    for (const wxSize size : {wxSize(3, 5), wxSize(1, 1), wxSize(0, 0)}) {
        pane->SetClientSize(size);
        wxSizeEvent event(pane->GetSize());
        pane->ProcessWindowEvent(event);
        RenderPane(*pane);
        Mouse(wxEVT_LEFT_DOWN, 1);  // too small for a range: no division by zero
        Mouse(wxEVT_LEFT_UP, 1);
    }
}
