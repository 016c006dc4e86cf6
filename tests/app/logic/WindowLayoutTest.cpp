#include "app/logic/WindowLayout.h"

#include <gtest/gtest.h>

using namespace ZelvoLayout;

namespace {

// Classic metrics of a Windows desktop at 96 DPI: frame 4, caption 19,
// menu 19, status bar 20 -> V = 20 + 19 + 8 + 19 = 66, H = 8.
const FrameOverhead kClassic = FrameOverhead::FromSystemMetrics(4, 4, 19, 19, 20);

}  // namespace

TEST(WindowLayout, OverheadFromMetricsAndMeasuredSizes) {
    EXPECT_EQ(kClassic.vertical, 66);
    EXPECT_EQ(kClassic.horizontal, 8);
    const FrameOverhead measured = FrameOverhead::FromMeasuredSizes({300, 400}, {290, 330});
    EXPECT_EQ(measured.horizontal, 10);
    EXPECT_EQ(measured.vertical, 70);
    // A toolkit that has not measured yet must not give negative overheads.
    const FrameOverhead early = FrameOverhead::FromMeasuredSizes({0, 0}, {10, 10});
    EXPECT_EQ(early.horizontal, 0);
    EXPECT_EQ(early.vertical, 0);
}

TEST(WindowLayout, WidthAndHeightKeepThePaneAreaProportion) {
    // 285 high: pane area 219 high, 262.8 wide -> 8 + 262.8 + 0.5 = 271.3 -> 271.
    EXPECT_EQ(WidthForHeight(kClassic, 285), 271);
    EXPECT_EQ(HeightForWidth(kClassic, 271), 285);
    for (int h = 285; h < 1200; h += 7) {
        const int w = WidthForHeight(kClassic, h);
        const float areaW = static_cast<float>(w - kClassic.horizontal);
        const float areaH = static_cast<float>(h - kClassic.vertical);
        EXPECT_NEAR(areaW / areaH, 1.2f, 0.6f / areaH) << "height " << h;
        // Going back from the width lands within one pixel of the height.
        EXPECT_NEAR(HeightForWidth(kClassic, w), h, 1) << "height " << h;
    }
}

TEST(WindowLayout, DraggingAnEdgeCorrectsTheOppositeDimension) {
    const WindowRect start{100, 100, 371, 385};
    // Right edge dragged wider: the height follows, top and left stay.
    WindowRect r = CorrectSizing(kClassic, SizingEdge::Right, {100, 100, 500, 385});
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right, 500);
    EXPECT_EQ(r.Height(), HeightForWidth(kClassic, 400));

    // Bottom edge dragged: the width follows from the new height.
    r = CorrectSizing(kClassic, SizingEdge::Bottom, {100, 100, 371, 600});
    EXPECT_EQ(r.bottom, 600);
    EXPECT_EQ(r.Width(), WidthForHeight(kClassic, 500));

    // Top-left corner: the right edge stays where it was.
    r = CorrectSizing(kClassic, SizingEdge::TopLeft, {50, 20, start.right, start.bottom});
    EXPECT_EQ(r.right, start.right);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.left, start.right - WidthForHeight(kClassic, start.bottom - 20));

    // Bottom-left likewise; top-right moves the right edge.
    r = CorrectSizing(kClassic, SizingEdge::BottomLeft, {40, 100, 371, 700});
    EXPECT_EQ(r.right, 371);
    EXPECT_EQ(r.left, 371 - WidthForHeight(kClassic, 600));
    r = CorrectSizing(kClassic, SizingEdge::TopRight, {100, 50, 900, 385});
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right, 100 + WidthForHeight(kClassic, 335));

    // Left edge: like the right one, the bottom follows.
    r = CorrectSizing(kClassic, SizingEdge::Left, {0, 100, 371, 385});
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.bottom, 100 + HeightForWidth(kClassic, 371));
}

TEST(WindowLayout, EdgeIsInferredFromTheChangeOfTheRectangle) {
    const WindowRect before{100, 100, 400, 400};
    EXPECT_EQ(InferSizingEdge(before, {100, 100, 500, 400}), SizingEdge::Right);
    EXPECT_EQ(InferSizingEdge(before, {50, 100, 400, 400}), SizingEdge::Left);
    EXPECT_EQ(InferSizingEdge(before, {100, 100, 400, 450}), SizingEdge::Bottom);
    EXPECT_EQ(InferSizingEdge(before, {100, 60, 400, 400}), SizingEdge::Top);
    EXPECT_EQ(InferSizingEdge(before, {50, 60, 400, 400}), SizingEdge::TopLeft);
    EXPECT_EQ(InferSizingEdge(before, {100, 60, 450, 400}), SizingEdge::TopRight);
    EXPECT_EQ(InferSizingEdge(before, {50, 100, 400, 450}), SizingEdge::BottomLeft);
    EXPECT_EQ(InferSizingEdge(before, {100, 100, 450, 450}), SizingEdge::BottomRight);
    // A move without a size change corrects the width, which is then a no-op
    // for a window that already has the proportion.
    EXPECT_EQ(InferSizingEdge(before, {150, 150, 450, 450}), SizingEdge::BottomRight);
}

TEST(WindowLayout, SizeLimits) {
    const WindowSize minimum = MinimumTrackSize(kClassic);
    EXPECT_EQ(minimum.height, 285);
    EXPECT_EQ(minimum.width, WidthForHeight(kClassic, 285));

    // A wide screen limits the height; a tall one limits the width.
    WindowSize maximum = MaximumSize(kClassic, 1920, 1040);
    EXPECT_EQ(maximum.height, 1040);
    EXPECT_EQ(maximum.width, WidthForHeight(kClassic, 1040));
    maximum = MaximumSize(kClassic, 800, 1400);
    EXPECT_EQ(maximum.width, 800);
    EXPECT_EQ(maximum.height, HeightForWidth(kClassic, 800));
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
    const PaneLayout empty = ComputePaneLayout(-5, 0);
    EXPECT_EQ(empty.fine, (PaneRect{0, 0, 0, 0}));
}

TEST(WindowLayout, PlacementOfAnUnsavedWindow) {
    const WindowRect desktop{0, 0, 1600, 1200};
    const WindowRect r = PlaceOnDesktop(kClassic, {0, 0, 0, 0}, desktop);
    EXPECT_EQ(r, (WindowRect{1, 1, 1 + WidthForHeight(kClassic, 285), 286}));
}

TEST(WindowLayout, PlacementKeepsTheWindowOnTheDesktop) {
    const WindowRect desktop{0, 0, 1600, 1200};
    // A saved window with its proportion inside the desktop stays put.
    const int w500 = WidthForHeight(kClassic, 500);
    EXPECT_EQ(PlaceOnDesktop(kClassic, {200, 300, 200 + w500, 800}, desktop),
              (WindowRect{200, 300, 200 + w500, 800}));
    // The saved width is ignored: the proportion decides it.
    EXPECT_EQ(PlaceOnDesktop(kClassic, {200, 300, 1000, 800}, desktop).Width(), w500);

    // Partly below and right of the desktop: moved back, size kept.
    WindowRect r = PlaceOnDesktop(kClassic, {1500, 1000, 1500 + w500, 1500}, desktop);
    EXPECT_EQ(r.bottom, 1200);
    EXPECT_EQ(r.right, 1600);
    EXPECT_EQ(r.Height(), 500);

    // Off to the top left (a monitor that is gone): one pixel in.
    r = PlaceOnDesktop(kClassic, {-3000, -2000, -3000 + w500, -1500}, desktop);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 1);

    // Larger than the desktop: the top-left corner wins.
    r = PlaceOnDesktop(kClassic, {100, 100, 5000, 3000}, desktop);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.Height(), 2900);

    // A desktop that does not start at the origin.
    const WindowRect shifted{-1280, 0, 0, 1024};
    r = PlaceOnDesktop(kClassic, {0, 0, 0, 0}, shifted);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.top, 1);
}
