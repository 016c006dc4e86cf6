// The resource lookup on a fake tree: a build tree, an installation prefix
// and the toolkit's resource directory, each holding some of the files.

#include <fstream>

#include <gtest/gtest.h>

#include "TempDirectory.h"
#include "app/logic/ResourcePaths.h"

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

}  // namespace

TEST(ResourcePaths, SearchesBesideTheProgramFirstThenTheInstalledDirectory) {
    TempDirectory root;
    const fs::path build = root.Path() / "build";
    const fs::path prefix = root.Path() / "usr";
    Touch(build / "bin" / "zelvo-tuner");
    Touch(build / "share" / "zelvo-tuner" / "tuner.ttf");
    Touch(build / "share" / "zelvo-tuner" / "manual" / "index.html");
    Touch(prefix / "share" / "zelvo-tuner" / "tuner.ttf");
    Touch(prefix / "share" / "zelvo-tuner" / "tuner.htb");

    const ResourcePaths paths =
        ResourcePaths::ForExecutable(build / "bin" / "zelvo-tuner", prefix / "share" / "zelvo-tuner");
    ASSERT_EQ(paths.Directories().size(), 2u);
    EXPECT_EQ(paths.Directories()[0], (build / "share" / "zelvo-tuner").lexically_normal());

    const struct {
        const char* name;
        fs::path expected;
    } cases[] = {
        {"tuner.ttf", build / "share" / "zelvo-tuner" / "tuner.ttf"},   // the build tree wins
        {"manual", build / "share" / "zelvo-tuner" / "manual"},         // folders are found too
        {"tuner.htb", prefix / "share" / "zelvo-tuner" / "tuner.htb"},  // only installed
        {"missing.png", fs::path()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paths.Find(c.name).lexically_normal(), c.expected.lexically_normal()) << c.name;
}

TEST(ResourcePaths, AnInstalledProgramAndOddExecutablePaths) {
    TempDirectory root;
    const fs::path prefix = root.Path() / "opt" / "zelvo";
    Touch(prefix / "share" / "zelvo-tuner" / "tuner.ttf");
    // Installed: the directory beside the program is the toolkit's one, and
    // is searched once.
    const ResourcePaths installed =
        ResourcePaths::ForExecutable(prefix / "bin" / "zelvo-tuner", prefix / "share" / "zelvo-tuner");
    EXPECT_EQ(installed.Directories().size(), 1u);
    EXPECT_EQ(installed.Find("tuner.ttf").lexically_normal(),
              (prefix / "share" / "zelvo-tuner" / "tuner.ttf").lexically_normal());

    // A bare program name is taken from the current directory; no program
    // and no installed directory searches nothing.
    EXPECT_EQ(ResourcePaths::ForExecutable("zelvo-tuner").Directories(),
              std::vector<fs::path>{"../share/zelvo-tuner"});
    EXPECT_TRUE(ResourcePaths::ForExecutable("").Directories().empty());
    EXPECT_EQ(ResourcePaths().Find("tuner.ttf"), fs::path());
}
