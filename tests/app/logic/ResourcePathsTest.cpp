// The resource lookup on a fake tree: a build tree and an installation, each
// holding some of the files.

#include <fstream>

#include <gtest/gtest.h>

#include "TempDirectory.h"
#include "app/logic/ResourcePaths.h"

namespace fs = std::filesystem;

TEST(ResourcePaths, BesideTheProgramFirstThenTheInstalledDirectory) {
    TempDirectory root;
    const fs::path build = root.Path() / "build" / "share" / "zelvo-tuner";
    const fs::path installed = root.Path() / "usr" / "share" / "zelvo-tuner";
    for (const fs::path& file : {build / "tuner.ttf", build / "manual" / "index.html",
                                 installed / "tuner.ttf", installed / "tuner.htb"}) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    const ResourcePaths paths =
        ResourcePaths::ForExecutable(root.Path() / "build" / "bin" / "zelvo-tuner", installed);
    const struct {
        const char* name;
        fs::path expected;
    } cases[] = {
        {"tuner.ttf", build / "tuner.ttf"},  // the build tree wins
        {"manual", build / "manual"},        // folders are found too
        {"tuner.htb", installed / "tuner.htb"},
        {"missing.png", fs::path()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paths.Find(c.name).lexically_normal(), c.expected.lexically_normal()) << c.name;

    // An installed program searches its directory once; a bare program name
    // is taken from the current directory; no program, nothing.
    EXPECT_EQ(
        ResourcePaths::ForExecutable(root.Path() / "usr" / "bin" / "zelvo-tuner", installed).Directories(),
        std::vector<fs::path>{installed.lexically_normal()});
    EXPECT_EQ(ResourcePaths::ForExecutable("zelvo-tuner").Directories(),
              std::vector<fs::path>{"../share/zelvo-tuner"});
    EXPECT_TRUE(ResourcePaths::ForExecutable("").Directories().empty());
}
