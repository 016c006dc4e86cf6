#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "IncludeGraph.h"
#include "TempDirectory.h"

using namespace IncludeGraph;

// A small tree with one library of each kind shows what the check refuses.
TEST(IncludeGraph, RefusesToolkitHeadersAndUndeclaredLibraries) {
    const TempDirectory root;
    std::filesystem::create_directories(root / "src/core");
    std::filesystem::create_directories(root / "src/other");
    std::filesystem::create_directories(root / "src/window");
    std::filesystem::create_directories(root / "src/stray");
    WriteWholeFile(root / "src/core/Core.h", "#include <vector>\n#include <wx/window.h>\n");
    WriteWholeFile(root / "src/core/Core.cpp", "#include \"Core.h\"\n#include \"other/Other.h\"\n");
    WriteWholeFile(root / "src/other/Other.h", "#include \"core/Missing.h\"\n");
    WriteWholeFile(root / "src/window/Window.cpp", "#include <wx/window.h>\n#include \"core/Core.h\"\n");
    WriteWholeFile(root / "src/stray/Stray.h", "\n");
    std::istringstream text("core src/core nowx\nother src/other nowx core\nwindow src/window wx core\n");

    const std::vector<std::string> expected = {
        "src/core/Core.cpp: includes \"other/Other.h\", outside what core declares",
        "src/core/Core.h: includes <wx/window.h>, but core is declared without wxWidgets",
        "src/other/Other.h: includes \"core/Missing.h\", which is not in the tree",
        "src/stray/Stray.h: belongs to no declared library or program",
    };
    std::vector<std::string> found = Violations(root.Path(), ReadGraph(text));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
}
