#include "app/logic/WindowLayout.h"

#include <algorithm>

namespace ZelvoLayout {

FrameOverhead FrameOverhead::FromSystemMetrics(int cxFrame, int cyFrame, int cySize, int cyMenu,
                                               int statusBarHeight) {
    FrameOverhead overhead;
    overhead.vertical = statusBarHeight + cySize + 2 * cyFrame + cyMenu;
    overhead.horizontal = 2 * cxFrame;
    return overhead;
}

FrameOverhead FrameOverhead::FromMeasuredSizes(WindowSize outer, WindowSize paneArea) {
    FrameOverhead overhead;
    overhead.horizontal = std::max(0, outer.width - paneArea.width);
    overhead.vertical = std::max(0, outer.height - paneArea.height);
    return overhead;
}

// Both conversions run in single precision and truncate after adding one
// half, so that they round the same way on every platform.
int WidthForHeight(const FrameOverhead& overhead, int height) {
    const float width = static_cast<float>(overhead.horizontal) +
                        static_cast<float>(height - overhead.vertical) * PaneAreaAspect + 0.5f;
    return static_cast<int>(width);
}

int HeightForWidth(const FrameOverhead& overhead, int width) {
    const float height = static_cast<float>(width - overhead.horizontal) / PaneAreaAspect +
                         static_cast<float>(overhead.vertical) + 0.5f;
    return static_cast<int>(height);
}

WindowRect CorrectSizing(const FrameOverhead& overhead, SizingEdge edge, WindowRect proposed) {
    switch (edge) {
        case SizingEdge::Left:
        case SizingEdge::Right:
            proposed.bottom = proposed.top + HeightForWidth(overhead, proposed.Width());
            break;
        case SizingEdge::Top:
        case SizingEdge::Bottom:
        case SizingEdge::TopRight:
        case SizingEdge::BottomRight:
            proposed.right = proposed.left + WidthForHeight(overhead, proposed.Height());
            break;
        case SizingEdge::TopLeft:
        case SizingEdge::BottomLeft:
            proposed.left = proposed.right - WidthForHeight(overhead, proposed.Height());
            break;
    }
    return proposed;
}

SizingEdge InferSizingEdge(const WindowRect& before, const WindowRect& after) {
    const bool widthChanged = before.Width() != after.Width();
    const bool heightChanged = before.Height() != after.Height();
    // The dragged edge is the one that moved; the opposite one stays put.
    const bool leftDragged = after.left != before.left && after.right == before.right;
    const bool topDragged = after.top != before.top && after.bottom == before.bottom;

    if (widthChanged && !heightChanged) return leftDragged ? SizingEdge::Left : SizingEdge::Right;
    if (heightChanged && !widthChanged) return topDragged ? SizingEdge::Top : SizingEdge::Bottom;
    if (topDragged) return leftDragged ? SizingEdge::TopLeft : SizingEdge::TopRight;
    return leftDragged ? SizingEdge::BottomLeft : SizingEdge::BottomRight;
}

WindowSize MinimumTrackSize(const FrameOverhead& overhead) {
    return {WidthForHeight(overhead, MinimumTrackHeight), MinimumTrackHeight};
}

WindowSize MaximumSize(const FrameOverhead& overhead, int fullScreenWidth, int fullScreenHeight) {
    WindowSize size;
    size.height = std::min(HeightForWidth(overhead, fullScreenWidth), fullScreenHeight);
    size.width = std::min(WidthForHeight(overhead, fullScreenHeight), fullScreenWidth);
    return size;
}

namespace {

PaneRect Fractions(int w, int h, double x, double y, double width, double height) {
    // Truncation to whole pixels, as the panes are moved by integer rectangles.
    return {static_cast<int>(x * w), static_cast<int>(y * h), static_cast<int>(width * w),
            static_cast<int>(height * h)};
}

}  // namespace

PaneLayout ComputePaneLayout(int areaWidth, int areaHeight) {
    const int w = std::max(0, areaWidth);
    const int h = std::max(0, areaHeight);
    PaneLayout layout;
    layout.energy = Fractions(w, h, 0.01, 0.01, 0.05, 0.98);
    layout.fine = Fractions(w, h, 0.07, 0.01, 0.82, 0.98);
    layout.global = Fractions(w, h, 0.90, 0.01, 0.09, 0.98);
    return layout;
}

WindowRect PlaceOnDesktop(const FrameOverhead& overhead, WindowRect r, const WindowRect& desktop) {
    if (r.Height() < MinimumTrackHeight) r.bottom = r.top + MinimumTrackHeight;
    r.right = r.left + WidthForHeight(overhead, r.Height());
    return KeepOnDesktop(r, desktop);
}

WindowRect KeepOnDesktop(WindowRect r, const WindowRect& desktop) {
    auto shift = [&r](int dx, int dy) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    };
    if (r.bottom > desktop.bottom) shift(0, desktop.bottom - r.bottom);
    if (r.right > desktop.right) shift(desktop.right - r.right, 0);
    // Applied last so that a window larger than the desktop keeps its
    // caption and its left edge reachable.
    if (r.top < desktop.top + 1) shift(0, desktop.top + 1 - r.top);
    if (r.left < desktop.left + 1) shift(desktop.left + 1 - r.left, 0);
    return r;
}

namespace {

long long OverlapArea(const WindowRect& a, const WindowRect& b) {
    const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

int ChooseDisplay(const WindowRect& r, const std::vector<WindowRect>& displays, int fallback) {
    int chosen = fallback;
    long long largest = 0;
    for (std::size_t i = 0; i < displays.size(); ++i) {
        const long long area = OverlapArea(r, displays[i]);
        if (area > largest) {
            largest = area;
            chosen = static_cast<int>(i);
        }
    }
    return chosen;
}

}  // namespace ZelvoLayout
