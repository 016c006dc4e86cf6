// The proportional layout on a window system that reports only the result
// of a resize: the window corrects its size once the resize has settled.

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "app/TunerWnd.h"
#include "app/logic/WindowLayout.h"
#include "indicators/FineIndicator.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

// Width over height of the pane area.
double PaneAreaAspect(CTunerWnd* w) {
    const wxSize area = w->GetClientSize();
    return static_cast<double>(area.x) / area.y;
}

class TunerWndLayout : public ::testing::Test {
protected:
    void SetUp() override {
        ui = std::make_unique<WindowUnderTest>(ToneDevice(440.0), dir.Path());
        ASSERT_TRUE(ui->Create());
        w = ui->Window();
        PumpFor(100ms);
    }
    TempDirectory dir;
    std::unique_ptr<WindowUnderTest> ui;
    CTunerWnd* w = nullptr;
};

}  // namespace

TEST_F(TunerWndLayout, WiderWindowGetsTheMatchingHeight) {
    const wxRect before = w->GetRect();
    // As if the user dragged the right edge to 600 pixels.
    w->SetSize(before.x, before.y, 600, before.height);
    ASSERT_TRUE(PumpUntil([&] { return w->GetSize().y != before.height; }, 1000ms));
    PumpFor(50ms);
    const ZelvoLayout::FrameOverhead overhead = w->CurrentOverhead();
    EXPECT_EQ(w->GetSize().x, 600);
    EXPECT_EQ(w->GetSize().y, ZelvoLayout::HeightForWidth(overhead, 600));
    EXPECT_EQ(w->GetPosition(), before.GetPosition());
    EXPECT_NEAR(PaneAreaAspect(w), 1.2, 0.01);
    // The panes follow and the saved rectangle is the new one.
    EXPECT_EQ(w->FineIndicator()->GetSize().x, static_cast<int>(0.82 * w->GetClientSize().x));
    EXPECT_EQ(w->Settings().config.TunerPosBottom, w->GetRect().GetBottom() + 1);
    EXPECT_EQ(w->Settings().config.TunerPosRight, w->GetRect().GetRight() + 1);
}

TEST_F(TunerWndLayout, TallerWindowGetsTheMatchingWidth) {
    const wxRect before = w->GetRect();
    w->SetSize(before.x, before.y, before.width, 700);
    ASSERT_TRUE(PumpUntil([&] { return w->GetSize().x != before.width; }, 1000ms));
    PumpFor(50ms);
    EXPECT_EQ(w->GetSize().y, 700);
    EXPECT_EQ(w->GetSize().x, ZelvoLayout::WidthForHeight(w->CurrentOverhead(), 700));
    EXPECT_NEAR(PaneAreaAspect(w), 1.2, 0.01);
}

TEST_F(TunerWndLayout, DraggingTheTopLeftCornerKeepsTheRightEdge) {
    // Move the window away from the corner first.
    w->SetPosition(wxPoint(400, 300));
    PumpFor(300ms);
    const wxRect before = w->GetRect();
    const int right = before.GetRight();
    // Top-left corner dragged up and left: both the origin and the size change.
    w->SetSize(before.x - 150, before.y - 100, before.width + 150, before.height + 100);
    ASSERT_TRUE(PumpUntil([&] { return w->GetRect().GetRight() == right &&
                                       w->GetSize().x != before.width + 150; },
                          1000ms));
    EXPECT_EQ(w->GetSize().y, before.height + 100);
    EXPECT_EQ(w->GetSize().x, ZelvoLayout::WidthForHeight(w->CurrentOverhead(), before.height + 100));
}

TEST_F(TunerWndLayout, SizeLimitsFollowTheProportion) {
    const wxSize minimum = w->GetMinSize();
    EXPECT_EQ(minimum.y, 285);
    EXPECT_EQ(minimum.x, ZelvoLayout::WidthForHeight(w->CurrentOverhead(), 285));
    const wxSize maximum = w->GetMaxSize();
    EXPECT_GT(maximum.y, 285);
    EXPECT_LE(std::abs(maximum.x - ZelvoLayout::WidthForHeight(w->CurrentOverhead(), maximum.y)), 2);
}
