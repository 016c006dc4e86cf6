#pragma once
// Stacking of the main window and the harmonics window on a window system
// where the window manager owns the stacking order.

class wxTopLevelWindow;

// Raises `window` to the top of the stacking order without activating it or
// taking the keyboard focus, so that no activation event follows (the
// toolkit's own Raise() presents, that is activates, a top-level window).
void RaiseWithoutActivating(wxTopLevelWindow* window);

// When `activated` became the active window: `other` is raised directly
// below it, both above every other window. Neither call activates, so this
// never leads to another activation and cannot raise in a loop.
void BringPairToFront(wxTopLevelWindow* activated, wxTopLevelWindow* other);
