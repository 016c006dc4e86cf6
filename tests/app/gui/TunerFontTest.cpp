// The private font: the build's file is found and answers to "Tuner"; a
// missing file is named on standard error and to the user.

#include <gtest/gtest.h>

#include <wx/fontenum.h>

#include "TempDirectory.h"
#include "app/TunerFont.h"
#include "app/ZelvoTunerApp.h"

TEST(TunerFont, AMissingFileIsNamedOnStderrAndToTheUser) {
    TempDirectory empty;
    const ResourcePaths paths({empty.Path() / "share", empty.Path() / "other"});
    std::vector<wxString> told;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadTunerFont(paths, [&told](const wxString& text) { told.push_back(text); }));
    const std::string expectedFile = (empty.Path() / "share" / "Tuner.ttf").string();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zelvo-tuner: cannot load the font file " + expectedFile + "\n");
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "Zelvo Tuner cannot load the font file " + expectedFile);
}

TEST(TunerFont, AFileTheToolkitRefusesIsReportedToo) {
    TempDirectory dir;
    {
        std::FILE* f = std::fopen((dir.Path() / "Tuner.ttf").c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("not a font", f);
        std::fclose(f);
    }
    int told = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadTunerFont(ResourcePaths({dir.Path()}), [&told](const wxString&) { ++told; }));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find((dir.Path() / "Tuner.ttf").string()), std::string::npos) << errors;
    EXPECT_EQ(told, 1);
}

TEST(TunerFont, TheBuiltFontAnswersToTheFamilyTuner) {
    EXPECT_FALSE(wxFontEnumerator::IsValidFacename(TunerFontFamily)) << "found before it was loaded";
    ASSERT_TRUE(LoadTunerFont(CZelvoTunerApp::ProgramResourcePaths(), nullptr));
    EXPECT_TRUE(wxFontEnumerator::IsValidFacename(TunerFontFamily));
    // Its licence lies beside it.
    EXPECT_FALSE(CZelvoTunerApp::ProgramResourcePaths().Find("Tuner-LICENSE.txt").empty());
}
