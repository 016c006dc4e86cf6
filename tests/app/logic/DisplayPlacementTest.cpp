// Which display a saved window rectangle opens on, and how it is kept on
// that display's work area.

#include <gtest/gtest.h>

#include "app/logic/WindowLayout.h"

using namespace ZelvoLayout;

TEST(DisplayPlacement, TheDisplayHoldingMostOfTheRectangleIsChosen) {
    // A laptop panel with a panel bar on top, and a larger monitor to its
    // right whose top edge lies lower.
    const std::vector<WindowRect> displays{{0, 28, 1366, 768}, {1366, 100, 3286, 1180}};
    const struct {
        const char* what;
        WindowRect saved;
        int expected;
    } cases[] = {
        {"inside the first", {100, 100, 500, 400}, 0},
        {"inside the second", {2000, 300, 2400, 700}, 1},
        {"across the seam, mostly on the second", {1300, 200, 1800, 600}, 1},
        {"across the seam, mostly on the first", {1000, 200, 1500, 600}, 0},
        {"never saved", {0, 0, 0, 0}, 0},
        {"a monitor that is gone", {-3000, 0, -2600, 400}, 0},
        {"in the gap above the second display", {1500, 0, 1900, 90}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ChooseDisplay(c.saved, displays, 0), c.expected) << c.what;
    // The fallback is the caller's (the primary display), not always 0.
    EXPECT_EQ(ChooseDisplay({-3000, 0, -2600, 400}, displays, 1), 1);
    EXPECT_EQ(ChooseDisplay({100, 100, 500, 400}, {}, 0), 0);
}

TEST(DisplayPlacement, AWindowIsMovedNotResizedOntoItsDisplay) {
    const WindowRect second{1366, 100, 3286, 1180};
    const struct {
        const char* what;
        WindowRect r, expected;
    } cases[] = {
        {"inside stays", {2000, 300, 2400, 700}, {2000, 300, 2400, 700}},
        {"past the right edge", {3000, 300, 3400, 700}, {2886, 300, 3286, 700}},
        {"below the bottom", {2000, 1000, 2400, 1400}, {2000, 780, 2400, 1180}},
        {"above the top", {2000, 0, 2400, 400}, {2000, 101, 2400, 501}},
        {"left of the display", {1000, 300, 1400, 700}, {1367, 300, 1767, 700}},
        {"larger than the display", {0, 0, 4000, 2000}, {1367, 101, 5367, 2101}},
    };
    for (const auto& c : cases) EXPECT_EQ(KeepOnDesktop(c.r, second), c.expected) << c.what;
}
