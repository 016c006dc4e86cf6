#include "app/logic/MainWindowRules.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace MainWindowRules;

TEST(MainWindowRules, Title) {
    EXPECT_EQ(FormatWindowTitle(1, ""), "Zelvo Tuner 1");
    EXPECT_EQ(FormatWindowTitle(12, " beta"), "Zelvo Tuner 12 beta");
}

TEST(MainWindowRules, MessagesAreTheProgramsOwnTexts) {
    EXPECT_STREQ(NoDeviceMessage,
                 "Zelvo Tuner was unable to find any usable recording device on this computer.  "
                 "To use this program a 16-bit sound card must be installed");
    EXPECT_STREQ(NoDeviceCaption, "Error: No sound card found");
    EXPECT_STREQ(RecordingControlFailedMessage,
                 "Unable to launch the Windows Recording Control Panel.");
}

TEST(MainWindowRules, DisplayPeriodPerRate) {
    EXPECT_EQ(DisplayPeriodMs(0), 100);
    EXPECT_EQ(DisplayPeriodMs(1), 50);
    EXPECT_EQ(DisplayPeriodMs(2), 10);
    // Hand-edited values outside the range use the default (fast) period.
    EXPECT_EQ(DisplayPeriodMs(7), 10);
    EXPECT_EQ(DisplayPeriodMs(-1), 10);
}

TEST(MainWindowRules, RecordingControlCommands) {
    using V = std::vector<std::string>;
    EXPECT_EQ(RecordingControlCommands(-1, Platform::Windows), (V{"SndVol32.exe -r", "SndVol.exe -r"}));
    EXPECT_EQ(RecordingControlCommands(2, Platform::Windows),
              (V{"SndVol32.exe -r -d 2", "SndVol.exe -r"}));
    EXPECT_EQ(RecordingControlCommands(2, Platform::Linux),
              (V{"pavucontrol --tab=4", "gnome-control-center sound"}));
}

TEST(MainWindowRules, NoiseFloorMarker) {
    EXPECT_FLOAT_EQ(NoiseFloorToThreshold(-30.0f), 0.5f);
    EXPECT_FLOAT_EQ(NoiseFloorToThreshold(-60.0f), 0.0f);
    EXPECT_FLOAT_EQ(NoiseFloorToThreshold(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(NoiseFloorToThreshold(-90.0f), 0.0f);
    EXPECT_FLOAT_EQ(NoiseFloorToThreshold(12.0f), 1.0f);
    EXPECT_FLOAT_EQ(NoiseFloorToThreshold(std::nanf("")), 0.5f);
}

TEST(MainWindowRules, ProgramLookupOnThePath) {
    EXPECT_EQ(ProgramOfCommandLine("pavucontrol --tab=4"), "pavucontrol");
    EXPECT_EQ(ProgramOfCommandLine("  gnome-control-center sound"), "gnome-control-center");
    EXPECT_EQ(ProgramOfCommandLine(""), "");
    EXPECT_EQ(FindProgramOnPath("sh", "/nonexistent:/bin:/usr/bin"), "/bin/sh");
    EXPECT_EQ(FindProgramOnPath("zelvo-no-such-program", "/bin:/usr/bin"), "");
    EXPECT_EQ(FindProgramOnPath("/bin/sh", ""), "/bin/sh");
    // A directory or a file without execute permission is not a program.
    EXPECT_EQ(FindProgramOnPath("bin", "/"), "");
    EXPECT_EQ(FindProgramOnPath("passwd", "/etc"), "");
    EXPECT_EQ(FindProgramOnPath("", "/bin"), "");
}
