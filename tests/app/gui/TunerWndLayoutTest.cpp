// The proportional layout on a window system that reports only the result
// of a resize: the window corrects its size once the resize has settled.

#include "GuiTestSupport.h"
#include "app/logic/WindowLayout.h"
#include "indicators/FineIndicator.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndLayout = WindowTest;

TEST_F(TunerWndLayout, ResizingCorrectsTheOtherDimension) {
    // Each drag moves the left/top edges by (dx, dy) and grows the size by
    // (dw, dh). A width change makes the height follow; otherwise the width
    // follows the height and a dragged left edge keeps the right edge.
    const struct {
        const char* what;
        int dx, dy, dw, dh;
    } cases[] = {
        {"right edge wider", 0, 0, 300, 0},
        {"bottom edge lower", 0, 0, 0, 300},
        {"top-left corner up and left", -150, -100, 150, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CloseWindow();
        std::filesystem::remove(dir.Path() / "tuner_config.xml");  // each starts small
        Start();
        w->SetPosition(wxPoint(400, 300));
        PumpFor(300ms);
        const wxRect before = w->GetRect();
        w->SetSize(before.x + c.dx, before.y + c.dy, before.width + c.dw, before.height + c.dh);
        auto expected = [&] {
            const ZelvoLayout::FrameOverhead overhead = w->CurrentOverhead();
            wxRect r(before.x + c.dx, before.y + c.dy, before.width + c.dw, before.height + c.dh);
            if (c.dw != 0 && c.dh == 0)
                r.height = ZelvoLayout::HeightForWidth(overhead, r.width);
            else
                r.width = ZelvoLayout::WidthForHeight(overhead, r.height);
            if (c.dx != 0) r.x = before.GetRight() + 1 - r.width;
            return r;
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
}
