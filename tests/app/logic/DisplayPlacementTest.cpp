// Which display a saved window rectangle opens on (the clamp onto it is
// the placement's, tested with WindowLayout).

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
