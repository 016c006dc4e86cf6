#include "app/logic/WindowLayout.h"

#include <gtest/gtest.h>

using namespace ZelvoLayout;

namespace {

// Classic metrics of a Windows desktop at 96 DPI: frame 4, caption 19,
// menu 19, status bar 20 -> V = 20 + 19 + 8 + 19 = 66, H = 8.
const FrameOverhead kClassic = FrameOverhead::FromSystemMetrics(4, 4, 19, 19, 20);

int W(int height) {
    return WidthForHeight(kClassic, height);
}
int H(int width) {
    return HeightForWidth(kClassic, width);
}

}  // namespace

TEST(WindowLayout, OverheadAndProportion) {
    EXPECT_EQ(kClassic.vertical, 66);
    EXPECT_EQ(kClassic.horizontal, 8);
    const FrameOverhead measured = FrameOverhead::FromMeasuredSizes({300, 400}, {290, 330});
    EXPECT_EQ(measured.horizontal, 10);
    EXPECT_EQ(measured.vertical, 70);
    // A toolkit that has not measured yet must not give negative overheads.
    const FrameOverhead early = FrameOverhead::FromMeasuredSizes({0, 0}, {10, 10});
    EXPECT_EQ(early.horizontal, 0);
    EXPECT_EQ(early.vertical, 0);

    // 285 high: pane area 219 high, 262.8 wide -> 8 + 262.8 + 0.5 = 271.3 -> 271.
    EXPECT_EQ(W(285), 271);
    EXPECT_EQ(H(271), 285);
    for (int h = 285; h < 1200; h += 7) {
        const float areaW = static_cast<float>(W(h) - kClassic.horizontal);
        const float areaH = static_cast<float>(h - kClassic.vertical);
        EXPECT_NEAR(areaW / areaH, 1.2f, 0.6f / areaH) << "height " << h;
        EXPECT_NEAR(H(W(h)), h, 1) << "height " << h;
    }
    EXPECT_EQ(MinimumTrackSize(kClassic), (WindowSize{W(285), 285}));
    // A wide screen limits the height; a tall one limits the width.
    EXPECT_EQ(MaximumSize(kClassic, 1920, 1040), (WindowSize{W(1040), 1040}));
    EXPECT_EQ(MaximumSize(kClassic, 800, 1400), (WindowSize{800, H(800)}));
}

TEST(WindowLayout, DraggingAnEdgeCorrectsTheOppositeDimension) {
    // Sides correct the other dimension; left corners keep the right edge.
    const struct {
        SizingEdge edge;
        WindowRect proposed, expected;
    } cases[] = {
        {SizingEdge::Right, {100, 100, 500, 385}, {100, 100, 500, 100 + H(400)}},
        {SizingEdge::Left, {0, 100, 371, 385}, {0, 100, 371, 100 + H(371)}},
        {SizingEdge::Bottom, {100, 100, 371, 600}, {100, 100, 100 + W(500), 600}},
        {SizingEdge::TopLeft, {50, 20, 371, 385}, {371 - W(365), 20, 371, 385}},
        {SizingEdge::BottomLeft, {40, 100, 371, 700}, {371 - W(600), 100, 371, 700}},
        {SizingEdge::TopRight, {100, 50, 900, 385}, {100, 50, 100 + W(335), 385}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.edge));
        EXPECT_EQ(CorrectSizing(kClassic, c.edge, c.proposed), c.expected);
    }
}

TEST(WindowLayout, EdgeIsInferredFromTheChangeOfTheRectangle) {
    const WindowRect before{100, 100, 400, 400};
    const struct {
        WindowRect after;
        SizingEdge edge;
    } cases[] = {
        {{100, 100, 500, 400}, SizingEdge::Right},
        {{50, 100, 400, 400}, SizingEdge::Left},
        {{100, 100, 400, 450}, SizingEdge::Bottom},
        {{100, 60, 400, 400}, SizingEdge::Top},
        {{50, 60, 400, 400}, SizingEdge::TopLeft},
        {{100, 60, 450, 400}, SizingEdge::TopRight},
        {{50, 100, 400, 450}, SizingEdge::BottomLeft},
        {{100, 100, 450, 450}, SizingEdge::BottomRight},
        // A plain move corrects the width: a no-op for a proportional window.
        {{150, 150, 450, 450}, SizingEdge::BottomRight},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InferSizingEdge(before, c.after), c.edge) << c.after.left << "," << c.after.top;
}

TEST(WindowLayout, PanesKeepTheirFractions) {
    const PaneLayout layout = ComputePaneLayout(263, 219);
    EXPECT_EQ(layout.energy, (PaneRect{2, 2, 13, 214}));
    EXPECT_EQ(layout.fine, (PaneRect{18, 2, 215, 214}));
    EXPECT_EQ(layout.global, (PaneRect{236, 2, 23, 214}));
    for (int w = 100; w < 2000; w += 37) {
        const PaneLayout l = ComputePaneLayout(w, w);
        EXPECT_EQ(l.energy.width, static_cast<int>(0.05 * w));
        // Panes never overlap and stay inside the area.
        EXPECT_LE(l.energy.x + l.energy.width, l.fine.x);
        EXPECT_LE(l.fine.x + l.fine.width, l.global.x);
        EXPECT_LE(l.global.x + l.global.width, w);
        EXPECT_LE(l.fine.y + l.fine.height, w);
    }
    // A collapsed or negative area gives empty panes, not negative sizes.
    EXPECT_EQ(ComputePaneLayout(-5, 0).fine, (PaneRect{0, 0, 0, 0}));
}

TEST(WindowLayout, PlacementKeepsTheWindowOnTheDesktop) {
    const WindowRect desktop{0, 0, 1600, 1200};
    const int w500 = W(500);
    const struct {
        const char* what;
        WindowRect saved, desk, expected;
    } cases[] = {
        {"never saved", {0, 0, 0, 0}, desktop, {1, 1, 1 + W(285), 286}},
        {"inside, width from the proportion", {200, 300, 1000, 800}, desktop, {200, 300, 200 + w500, 800}},
        {"below and right: moved back",
         {1500, 1000, 1500 + w500, 1500},
         desktop,
         {1600 - w500, 700, 1600, 1200}},
        {"a monitor that is gone", {-3000, -2000, -3000 + w500, -1500}, desktop, {1, 1, 1 + w500, 501}},
        {"larger than the desktop", {100, 100, 5000, 3000}, desktop, {1, 1, 1 + W(2900), 2901}},
        {"desktop left of the origin", {0, 0, 0, 0}, {-1280, 0, 0, 1024}, {-W(285), 1, 0, 286}},
    };
    for (const auto& c : cases) EXPECT_EQ(PlaceOnDesktop(kClassic, c.saved, c.desk), c.expected) << c.what;
}
