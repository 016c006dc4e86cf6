// The build and the program agree on where the resources are.

#include <gtest/gtest.h>

#include "app/ZelvoTunerApp.h"

TEST(ProgramResources, TheBuildPutsResourcesWhereTheProgramLooksFirst) {
    // The test programs lie beside the tuner, so they search the same place.
    const ResourcePaths paths = CZelvoTunerApp::ProgramResourcePaths();
    ASSERT_FALSE(paths.Directories().empty());
    EXPECT_EQ(paths.Directories().front().filename(), "zelvo-tuner");
    EXPECT_TRUE(std::filesystem::is_directory(paths.Directories().front()));
}
