#pragma once
// Arithmetic of the main window's proportional layout, free of any toolkit.
//
// The area between the menu bar and the status bar (the pane area) is kept
// 1.2 times as wide as it is high. The window adds a fixed overhead around
// that area: horizontally the two side frames, vertically the caption, the
// two horizontal frames, the menu bar and the status bar. All rectangles are
// whole-window rectangles in screen coordinates, right and bottom exclusive.

#include <vector>

namespace ZelvoLayout {

inline constexpr float PaneAreaAspect = 1.2f;   // width over height of the pane area
inline constexpr int MinimumTrackHeight = 285;  // smallest window height the user can drag to

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const WindowRect&) const = default;
};

struct WindowSize {
    int width = 0;
    int height = 0;
    bool operator==(const WindowSize&) const = default;
};

// The pixels the window adds around its pane area.
struct FrameOverhead {
    int horizontal = 0;  // H: both side frames
    int vertical = 0;    // V: caption, frames, menu bar and status bar

    // From the classic system metrics: V = status bar + caption + 2 frames
    // + menu bar, H = 2 side frames.
    static FrameOverhead FromSystemMetrics(int cxFrame, int cyFrame, int cySize, int cyMenu,
                                           int statusBarHeight);
    // From a window whose outer size and pane-area size are known (the way a
    // toolkit that measures its own decorations reports them).
    static FrameOverhead FromMeasuredSizes(WindowSize outer, WindowSize paneArea);
};

// Window width that gives the pane area the 1.2 proportion at window height h:
// truncate(H + (h - V) * 1.2 + 0.5), in single precision.
int WidthForHeight(const FrameOverhead& overhead, int height);
// Window height for window width w: truncate((w - H) / 1.2 + V + 0.5).
int HeightForWidth(const FrameOverhead& overhead, int width);

// The edge or corner the user drags.
enum class SizingEdge { Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// Corrects a proposed rectangle while an edge is dragged so the pane area
// keeps its proportion: horizontal edges adjust the bottom, vertical and
// right-hand corners the right, left-hand corners the left.
WindowRect CorrectSizing(const FrameOverhead& overhead, SizingEdge edge, WindowRect proposed);

// On window systems that report only the result of a resize (not which edge
// was dragged), the edge is read off the change between two rectangles: a
// moved left or top edge is dragged, otherwise the right or bottom one. When
// both dimensions changed the corner is taken.
SizingEdge InferSizingEdge(const WindowRect& before, const WindowRect& after);

// Smallest size the user can drag to: 285 high, W(285) wide.
WindowSize MinimumTrackSize(const FrameOverhead& overhead);
// Largest proportional size inside a full-screen area of the given size.
WindowSize MaximumSize(const FrameOverhead& overhead, int fullScreenWidth, int fullScreenHeight);

// A pane's place inside the pane area, in pixels from its top-left corner.
struct PaneRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PaneRect&) const = default;
};

struct PaneLayout {
    PaneRect energy;  // level meter at the left
    PaneRect fine;    // the dial in the middle
    PaneRect global;  // the note ladder at the right
};

// The three panes by their fixed fractions of a pane area w x h.
PaneLayout ComputePaneLayout(int areaWidth, int areaHeight);

// Where the window opens: the saved rectangle, at least 285 high, given the
// proportional width, then kept on the desktop (KeepOnDesktop).
WindowRect PlaceOnDesktop(const FrameOverhead& overhead, WindowRect saved, const WindowRect& desktop);

// Moves r (never resizes it) back onto the desktop: up when it reaches below
// the bottom, left when it reaches past the right edge, then down and right
// so that it keeps one pixel from the desktop's top and left edges (those
// win when r is larger than the desktop).
WindowRect KeepOnDesktop(WindowRect r, const WindowRect& desktop);

// The display a window with rectangle r belongs on, as an index into
// displays (their work areas): the one r overlaps most, the earlier one on a
// tie; `fallback` when r overlaps none (a monitor that is gone, a rectangle
// never saved). The main and the harmonics window both open on it.
int ChooseDisplay(const WindowRect& r, const std::vector<WindowRect>& displays, int fallback);

}  // namespace ZelvoLayout
