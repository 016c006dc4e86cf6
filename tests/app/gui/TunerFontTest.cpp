// The program's resources: the build puts them where the program looks first,
// and the private font loads from there; a font file that is missing or that
// the toolkit refuses is named on standard error and to the user.

#include <gtest/gtest.h>

#include <wx/fontenum.h>

#include "TempDirectory.h"
#include "app/TunerFont.h"
#include "app/ZelvoTunerApp.h"

TEST(TunerFont, AFileThatCannotBeLoadedIsNamedOnStderrAndToTheUser) {
    for (const bool present : {false, true}) {
        TempDirectory dir;
        const std::string file = (dir.Path() / "Tuner.ttf").string();
        if (present) WriteWholeFile(file, "not a font");
        std::vector<wxString> told;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(LoadTunerFont(ResourcePaths({dir.Path(), dir.Path() / "other"}),
                                   [&told](const wxString& text) { told.push_back(text); }));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "zelvo-tuner: cannot load the font file " + file + "\n");
        EXPECT_EQ(told, std::vector<wxString>{"Zelvo Tuner cannot load the font file " + file});
    }
}

TEST(TunerFont, TheBuiltFontLiesWhereTheProgramLooksFirstAndAnswersToTuner) {
    // The test programs lie beside the tuner, so they search the same place.
    const ResourcePaths paths = CZelvoTunerApp::ProgramResourcePaths();
    ASSERT_FALSE(paths.Directories().empty());
    EXPECT_EQ(paths.Directories().front().filename(), "zelvo-tuner");
    EXPECT_EQ(paths.Find("Tuner-LICENSE.txt").parent_path(), paths.Directories().front());
    EXPECT_FALSE(wxFontEnumerator::IsValidFacename(TunerFontFamily)) << "found before it was loaded";
    ASSERT_TRUE(LoadTunerFont(paths, nullptr));
    EXPECT_TRUE(wxFontEnumerator::IsValidFacename(TunerFontFamily));
}
