#include "dialogs/logic/AboutText.h"

#include <gtest/gtest.h>

TEST(AboutText, TitleAndVersionLinesShowTheMinorWithTwoDigits) {
    const struct {
        ProgramVersion version;
        const char* title;
        const char* lines;
    } cases[] = {
        {{2, 5, ""}, "About Zelvo Tuner 2.05", "Version: 2.05\nBuild: Dec 6 2026"},
        {{1, 0, ""}, "About Zelvo Tuner 1.00", "Version: 1.00\nBuild: Dec 6 2026"},
        {{3, 12, ""}, "About Zelvo Tuner 3.12", "Version: 3.12\nBuild: Dec 6 2026"},
        {{10, 123, " beta"}, "About Zelvo Tuner 10.123 beta", "Version: 10.123\nBuild: Dec 6 2026"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AboutText::Title(c.version), c.title);
        EXPECT_EQ(AboutText::VersionLines(c.version, "Dec 6 2026"), c.lines);
    }
}

TEST(AboutText, BuildDateHasSingleSpaces) {
    const struct {
        const char* compiler;
        const char* shown;
    } cases[] = {
        {"Dec  6 2026", "Dec 6 2026"},     // one-digit days are padded by the compiler
        {"Jan 16 2027", "Jan 16 2027"},    // two-digit days are left alone
        {" Feb  1  2025 ", "Feb 1 2025"},  // stray blanks at either end go
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(AboutText::NormaliseBuildDate(c.compiler), c.shown) << c.compiler;

    // This build's date: month, day and year separated by single spaces.
    const std::string date = AboutText::BuildDate();
    EXPECT_EQ(date.find("  "), std::string::npos) << date;
    ASSERT_GE(date.size(), 10u) << date;
    EXPECT_EQ(date[3], ' ');
    EXPECT_EQ(date.substr(0, 3).find_first_of("0123456789 "), std::string::npos) << date;
}

TEST(AboutText, CreditsNameWhatTheProgramIsBuiltFromWithLicences) {
    const std::string credits = AboutText::Credits();
    for (const char* name : {"wxWidgets", "wxWindows Library Licence", "PortAudio", "MIT", "libsndfile",
                             "LGPL", "DejaVu Sans", "Bitstream Vera"})
        EXPECT_NE(credits.find(name), std::string::npos) << name;
}

TEST(AboutText, CurrentVersionIsTheProjectsVersion) {
    const ProgramVersion current = ProgramVersion::Current();
    EXPECT_EQ(current.major, ZELVO_TEST_VERSION_MAJOR);
    EXPECT_EQ(current.minor, ZELVO_TEST_VERSION_MINOR);
    EXPECT_TRUE(current.suffix.empty());
}
