#pragma once
// Where the harmonics window opens and where its graph sits inside it,
// without the window system. Rectangles are whole-window rectangles in
// screen coordinates, right and bottom exclusive (ZelvoLayout::WindowRect).

#include <vector>

#include "app/logic/WindowLayout.h"

namespace HarmonicsDialog {

// The smallest size the user can drag the window to, in pixels.
inline constexpr int MinimumWidth = 490;
inline constexpr int MinimumHeight = 282;
// The window's first size, in dialog units.
inline constexpr int InitialWidthDialogUnits = 322;
inline constexpr int InitialHeightDialogUnits = 221;

// The rectangle the window opens at: the saved one, or one of `initialSize`
// at the saved top-left corner when none was saved yet (an empty rectangle),
// at least the minimum size, then moved (never resized) onto the work area of
// the display it belongs on (ZelvoLayout::ChooseDisplay, then KeepOnDesktop).
ZelvoLayout::WindowRect PlaceWindow(ZelvoLayout::WindowRect saved, ZelvoLayout::WindowSize initialSize,
                                    const std::vector<ZelvoLayout::WindowRect>& workAreas, int primary);

struct GraphRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const GraphRect&) const = default;
};

// The graph inside a client area of the given size (the status bar's height
// included): left of it the lists, at trunc(dpiScale x 158) pixels; 4 pixels
// from the top and right; 26 pixels above the bottom for the status bar.
// Width and height never go below zero.
GraphRect GraphPlacement(int clientWidth, int clientHeight, double dpiScale);

}  // namespace HarmonicsDialog
