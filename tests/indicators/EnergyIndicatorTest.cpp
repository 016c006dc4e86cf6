#include <vector>

#include <wx/panel.h>

#include "PaneTestSupport.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/math/EnergyIndicatorMath.h"

using namespace Indicators;

namespace {

class EnergyIndicatorTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        parent = new wxPanel(host, wxID_ANY, wxPoint(0, 0), wxSize(200, 200));
        parent->Bind(EVT_NOISE_FLOOR_CHANGED,
                     [this](NoiseFloorEvent& event) { received.push_back(event.GetFloorPosition()); });
        pane = new CEnergyIndicator(parent, wxID_ANY, wxPoint(10, 10), wxSize(kWidth, kHeight));
        pane->SetClientSize(kWidth, kHeight);
        PumpEvents();
    }

    void TearDown() override {
        if (pane->HasCapture()) pane->ReleaseMouse();
        PaneTest::TearDown();
    }

    void Mouse(wxEventType type, int y) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(kWidth / 2, y));
        event.SetEventObject(pane);
        pane->ProcessWindowEvent(event);
    }

    static constexpr int kWidth = 20, kHeight = 104;
    wxPanel* parent = nullptr;
    CEnergyIndicator* pane = nullptr;
    std::vector<float> received;
};

}  // namespace

// The bar runs from its level row down to row H-2, through the floor line
// when it is above it; the line is drawn over the bar's top when they meet,
// and silence still shows one gradient row.
TEST_F(EnergyIndicatorTest, FloorLineAndBarLandOnTheirRows) {
    pane->floorPosition = 0.5f;
    const int floorRow = FloorRow(0.5f, kHeight), x = kWidth / 2;
    EXPECT_EQ(floorRow, 52);
    for (const float level : {0.0f, 0.25f, 0.5f, 0.75f}) {
        SCOPED_TRACE(level);
        pane->level = level;
        const wxImage image = RenderPane(*pane);
        const int levelRow = LevelRow(level, kHeight);
        auto gradient = [&](int row) { return EnergyGradientColour(colours, row, kHeight); };
        EXPECT_EQ(PixelAt(image, x, floorRow), colours.windowText);
        EXPECT_EQ(PixelAt(image, x, levelRow - 1),
                  levelRow - 1 == floorRow ? colours.windowText : colours.window);
        if (levelRow != floorRow) {
            EXPECT_EQ(PixelAt(image, x, levelRow), gradient(levelRow));
        }
        EXPECT_EQ(PixelAt(image, x, floorRow + 1), level >= 0.5f ? gradient(floorRow + 1) : colours.window);
        EXPECT_EQ(PixelAt(image, x, floorRow - 1), level > 0.5f ? gradient(floorRow - 1) : colours.window);
        EXPECT_EQ(PixelAt(image, x, kHeight - 2), gradient(kHeight - 2));
        EXPECT_EQ(PixelAt(image, x, kHeight - 3), level > 0.0f ? gradient(kHeight - 3) : colours.window);
        EXPECT_EQ(PixelAt(image, 0, floorRow), FrameColour(colours));
        EXPECT_EQ(PixelAt(image, kWidth - 1, floorRow), FrameColour(colours));
        EXPECT_FLOAT_EQ(pane->GetDrawnLevel(), level);
    }
}

TEST_F(EnergyIndicatorTest, DragReportsEveryMoveToTheParentAtOnce) {
    Mouse(wxEVT_LEFT_DOWN, 2);
    ASSERT_EQ(received.size(), 1u);  // before the click handler returned
    EXPECT_FLOAT_EQ(received.back(), 1.0f);
    EXPECT_TRUE(pane->IsDragging());
    EXPECT_TRUE(pane->HasCapture());

    Mouse(wxEVT_MOTION, 27);  // a quarter down the range
    ASSERT_EQ(received.size(), 2u);
    EXPECT_FLOAT_EQ(received.back(), 0.75f);
    EXPECT_FLOAT_EQ(pane->floorPosition, 0.75f);

    Mouse(wxEVT_MOTION, kHeight + 40);  // below the pane: pinned at -60 dB
    EXPECT_FLOAT_EQ(received.back(), 0.0f);

    Mouse(wxEVT_LEFT_UP, kHeight + 40);
    EXPECT_FALSE(pane->IsDragging());
    EXPECT_FALSE(pane->HasCapture());
    Mouse(wxEVT_MOTION, 2);
    EXPECT_EQ(received.size(), 3u);  // moves without the button do nothing
    EXPECT_FLOAT_EQ(pane->floorPosition, 0.0f);
}

TEST_F(EnergyIndicatorTest, LosingOrHandingOverTheCaptureEndsTheDrag) {
    auto* other = new wxWindow(parent, wxID_ANY, wxPoint(100, 10), wxSize(20, 20));
    PumpEvents();
    wxMouseCaptureLostEvent lost(pane->GetId());
    // What the window system reports when another window takes the mouse.
    wxMouseCaptureChangedEvent changed(pane->GetId(), other);
    for (wxEvent* event : std::initializer_list<wxEvent*>{&lost, &changed}) {
        Mouse(wxEVT_LEFT_DOWN, 30);
        ASSERT_TRUE(pane->IsDragging());
        event->SetEventObject(pane);
        pane->ProcessWindowEvent(*event);
        EXPECT_FALSE(pane->IsDragging());
        // If the capture comes back to the meter it lets it go at the next
        // move, without moving the floor.
        const std::size_t count = received.size();
        Mouse(wxEVT_MOTION, 60);
        EXPECT_EQ(received.size(), count);
        EXPECT_FALSE(pane->HasCapture());
    }
}
