// Where the harmonics window opens and where its graph sits.

#include <gtest/gtest.h>

#include "harmonics/logic/HarmonicsWindowGeometry.h"

using namespace HarmonicsDialog;
using ZelvoLayout::WindowRect;

namespace {

const WindowRect Desktop{0, 0, 1280, 1024};
const ZelvoLayout::WindowSize Initial{644, 359};

}  // namespace

TEST(HarmonicsPlacement, MovesASavedRectangleOntoTheDesktopWithoutResizing) {
    struct Case {
        const char* name;
        WindowRect saved;
        WindowRect expected;
    };
    for (const Case& c : std::vector<Case>{
             {"inside stays", {100, 100, 700, 500}, {100, 100, 700, 500}},
             {"below moves up", {100, 800, 700, 1200}, {100, 624, 700, 1024}},
             {"right moves left", {1000, 100, 1600, 500}, {680, 100, 1280, 500}},
             {"above moves down to one pixel inside", {100, -50, 700, 350}, {100, 1, 700, 401}},
             {"left moves right to one pixel inside", {-200, 100, 400, 500}, {1, 100, 601, 500}},
             {"larger than the desktop: top-left one pixel inside",
              {-10, -10, 1500, 1200},
              {1, 1, 1511, 1211}},
             {"never smaller than the minimum",
              {100, 100, 200, 150},
              {100, 100, 100 + MinimumWidth, 100 + MinimumHeight}},
             {"nothing saved: the initial size", {}, {1, 1, 645, 360}},
         }) {
        EXPECT_EQ(PlaceWindow(c.saved, Initial, {Desktop}, 0), c.expected) << c.name;
    }
}

TEST(HarmonicsPlacement, KeptOnTheDisplayItBelongsTo) {
    const std::vector<WindowRect> displays{{0, 0, 1280, 1024}, {1280, 0, 3200, 1080}};
    // Mostly on the second display, reaching past its right edge.
    EXPECT_EQ(PlaceWindow({2900, 100, 3500, 500}, Initial, displays, 0), (WindowRect{2600, 100, 3200, 500}));
    // On no display any more (a monitor that is gone): the primary one.
    EXPECT_EQ(PlaceWindow({5000, 100, 5600, 500}, Initial, displays, 0), (WindowRect{680, 100, 1280, 500}));
}

TEST(HarmonicsGraphPlacement, FollowsTheClientAreaAndTheScale) {
    struct Case {
        int width, height;
        double scale;
        GraphRect expected;
    };
    for (const Case& c : std::vector<Case>{
             {640, 400, 1.0, {158, 4, 478, 374}},
             {640, 400, 1.25, {197, 4, 439, 374}},  // 197.5 truncated
             {640, 400, 2.0, {316, 4, 320, 374}},
             {100, 20, 1.0, {158, 4, 0, 0}},  // too small: empty, never negative
         }) {
        EXPECT_EQ(GraphPlacement(c.width, c.height, c.scale), c.expected) << c.width << " " << c.scale;
    }
}
