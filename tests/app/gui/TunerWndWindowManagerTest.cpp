// The main window under a real window manager (openbox on the private X
// server, see run-under-xvfb.sh), which frames the window only once it is
// shown and may place it on its own.

#include <cstdlib>

#include "GuiTestSupport.h"
#include "persistence/ConfigFile.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndUnderWindowManager = WindowTest;

TEST_F(TunerWndUnderWindowManager, TheSavedPlaceIsWhereTheWindowOpensAndIsSavedAgain) {
    const char* manager = std::getenv("ZELVO_TEST_WINDOW_MANAGER");
    if (!manager || !*manager) GTEST_SKIP() << "no window manager runs on this X server";
    auto savedPlace = [&] {
        ConfigRecord config;
        LoadConfig(config, dir.Path() / "tuner_config.xml");
        return wxPoint(config.TunerPosLeft, config.TunerPosTop);
    };
    // Saved at (400, 300) (the frame's corner). The window must be the first
    // of this process: later ones start from the frame extents the toolkit
    // has learnt by then and are not placed by the window manager.
    ConfigRecord config;
    config.TunerPosLeft = 400;
    config.TunerPosTop = 300;
    config.TunerPosRight = 686;
    config.TunerPosBottom = 585;
    ASSERT_TRUE(SaveConfig(config, dir.Path() / "tuner_config.xml"));
    Start();
    PumpFor(1500ms);  // past the window manager's own placement
    EXPECT_EQ(w->GetPosition(), wxPoint(400, 300));
    // The proportion holds inside the frame the window manager drew.
    const wxSize area = w->GetClientSize();
    EXPECT_NEAR(static_cast<double>(area.x) / area.y, 1.2, 0.01);

    // Moved by the user and closed: the new corner is saved.
    w->Move(500, 350);
    ASSERT_TRUE(PumpUntil([&] { return w->GetPosition() == wxPoint(500, 350); }, 2000ms));
    PumpFor(300ms);
    CloseWindow();
    EXPECT_EQ(savedPlace(), wxPoint(500, 350));
}
