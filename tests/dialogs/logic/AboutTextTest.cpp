#include "dialogs/logic/AboutText.h"

#include <gtest/gtest.h>

TEST(AboutText, TitleAndVersionLinesShowTheMinorWithTwoDigits) {
    const struct {
        ProgramVersion version;
        const char* title;
        const char* version_;
    } cases[] = {
        {{1, 5, ""}, "About Zelvo Tuner 1.05", "1.05"},
        {{3, 12, ""}, "About Zelvo Tuner 3.12", "3.12"},
        {{10, 123, " beta"}, "About Zelvo Tuner 10.123 beta", "10.123"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AboutText::Title(c.version), c.title);
        EXPECT_EQ(AboutText::VersionLines(c.version, "Dec 6 2026"),
                  std::string("Version: ") + c.version_ + "\nBuild: Dec 6 2026");
    }
    const ProgramVersion current = ProgramVersion::Current();  // the project's own
    EXPECT_EQ(current.major, ZELVO_TEST_VERSION_MAJOR);
    EXPECT_EQ(current.minor, ZELVO_TEST_VERSION_MINOR);
    EXPECT_TRUE(current.suffix.empty());
}

TEST(AboutText, BuildDateHasSingleSpaces) {
    for (const auto& [compiler, shown] : {std::pair{"Dec  6 2026", "Dec 6 2026"},
                                          {"Jan 16 2027", "Jan 16 2027"},
                                          {" Feb  1  2025 ", "Feb 1 2025"},
                                          {"", ""}})
        EXPECT_EQ(AboutText::NormaliseBuildDate(compiler), shown) << compiler;
    const std::string date = AboutText::BuildDate();  // this build's
    EXPECT_EQ(date.find("  "), std::string::npos) << date;
    ASSERT_GE(date.size(), 10u) << date;
    EXPECT_EQ(date[3], ' ');
}

TEST(AboutText, CreditsNameWhatTheProgramIsBuiltFromWithLicences) {
    const std::string credits = AboutText::Credits();
    for (const char* name : {"wxWidgets", "wxWindows Library Licence", "PortAudio", "MIT", "libsndfile",
                             "LGPL", "cairo", "DejaVu Sans", "Bitstream Vera"})
        EXPECT_NE(credits.find(name), std::string::npos) << name;
}
