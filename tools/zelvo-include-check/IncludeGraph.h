// Checks the includes of a source tree against the declared library graph.
#pragma once

#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace IncludeGraph {

// One declared target: the folder it owns (relative to the source root),
// whether it may use wxWidgets, and the targets it depends on.
struct Target {
    std::string name;
    std::string folder;
    bool wx = false;
    std::vector<std::string> dependencies;
};

// Reads the lines "name folder wx|nowx dependency…" written by the build.
std::vector<Target> ReadGraph(std::istream& in);

// Every include under root/src and root/tools that the graph does not allow,
// one line each: "file: includes X, which …".
std::vector<std::string> Violations(const std::filesystem::path& root, const std::vector<Target>& graph);

}  // namespace IncludeGraph
