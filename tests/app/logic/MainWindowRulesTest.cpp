#include "app/logic/MainWindowRules.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace MainWindowRules;

TEST(MainWindowRules, TitleAndDisplayPeriod) {
    EXPECT_EQ(FormatWindowTitle(1, ""), "Zelvo Tuner 1");
    EXPECT_EQ(FormatWindowTitle(12, " beta"), "Zelvo Tuner 12 beta");
    // Hand-edited rates outside the range use the default (fast) period.
    const int periods[][2] = {{0, 100}, {1, 50}, {2, 10}, {7, 10}, {-1, 10}};
    for (const auto& p : periods) EXPECT_EQ(DisplayPeriodMs(p[0]), p[1]) << "rate " << p[0];
}

TEST(MainWindowRules, RecordingControlCommands) {
    using V = std::vector<std::string>;
    EXPECT_EQ(RecordingControlCommands(-1, Platform::Windows), (V{"SndVol32.exe -r", "SndVol.exe -r"}));
    EXPECT_EQ(RecordingControlCommands(2, Platform::Windows), (V{"SndVol32.exe -r -d 2", "SndVol.exe -r"}));
}

TEST(MainWindowRules, ProgramLookupOnThePath) {
    EXPECT_EQ(ProgramOfCommandLine("  gnome-control-center sound"), "gnome-control-center");
    EXPECT_EQ(ProgramOfCommandLine(""), "");
    const char* cases[][3] = {
        {"sh", "/nonexistent:/bin:/usr/bin", "/bin/sh"},
        {"zelvo-no-such-program", "/bin:/usr/bin", ""},
        {"/bin/sh", "", "/bin/sh"},
        // A directory or a file without execute permission is not a program.
        {"bin", "/", ""},
        {"passwd", "/etc", ""},
        {"", "/bin", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FindProgramOnPath(c[0], c[1]), c[2]) << c[0] << " in " << c[1];
}
