// The proportional layout on a window system that reports only the result
// of a resize: the window corrects its size once the resize has settled.
// Which edge a change drags and how each is corrected is WindowLayout's
// table; this drag of the top-left corner shows the window applies it.

#include "GuiTestSupport.h"
#include "app/logic/WindowLayout.h"
#include "indicators/FineIndicator.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndLayout = WindowTest;

TEST_F(TunerWndLayout, ResizingCorrectsTheOtherDimension) {
    Start();
    w->SetPosition(wxPoint(400, 300));
    PumpFor(300ms);
    const wxRect before = w->GetRect();
    // Up and left: the width follows the new height and the right edge stays.
    w->SetSize(before.x - 150, before.y - 100, before.width + 150, before.height + 100);
    auto expected = [&] {
        const int width = ZelvoLayout::WidthForHeight(w->CurrentOverhead(), before.height + 100);
        return wxRect(before.GetRight() + 1 - width, before.y - 100, width, before.height + 100);
    };
    PumpUntil([&] { return w->GetRect() == expected(); }, 1000ms);
    PumpFor(50ms);
    EXPECT_EQ(w->GetRect(), expected());
    const wxSize area = w->GetClientSize();
    EXPECT_NEAR(static_cast<double>(area.x) / area.y, 1.2, 0.01);
    // The panes follow and the saved rectangle is the new one.
    EXPECT_EQ(w->FineIndicator()->GetSize().x, static_cast<int>(0.82 * area.x));
    EXPECT_EQ(w->Settings().config.TunerPosBottom, w->GetRect().GetBottom() + 1);
    EXPECT_EQ(w->Settings().config.TunerPosRight, w->GetRect().GetRight() + 1);
}
