#include "IncludeGraph.h"

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace IncludeGraph {

std::vector<Target> ReadGraph(std::istream& in) {
    std::vector<Target> graph;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        Target target;
        std::string wx;
        if (!(words >> target.name >> target.folder >> wx)) continue;
        target.wx = wx == "wx";
        for (std::string dependency; words >> dependency;) target.dependencies.push_back(dependency);
        graph.push_back(target);
    }
    return graph;
}

namespace {

bool IsInside(const std::string& path, const std::string& folder) {
    return path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
                              path[folder.size()] == '/');
}

// The targets owning a file: those with the longest folder that holds it.
std::vector<const Target*> Owners(const std::string& file, const std::vector<Target>& graph) {
    std::vector<const Target*> owners;
    std::size_t longest = 0;
    for (const Target& target : graph) {
        if (!IsInside(file, target.folder) || target.folder.size() < longest) continue;
        if (target.folder.size() > longest) owners.clear();
        longest = target.folder.size();
        owners.push_back(&target);
    }
    return owners;
}

struct Permissions {
    bool wx = false;
    std::set<std::string> targets;  // the owners and what they depend on
};

Permissions PermissionsOf(const std::vector<const Target*>& owners) {
    Permissions permissions;
    for (const Target* owner : owners) {
        permissions.wx = permissions.wx || owner->wx;
        permissions.targets.insert(owner->name);
        permissions.targets.insert(owner->dependencies.begin(), owner->dependencies.end());
    }
    return permissions;
}

// The file an include names, relative to the root: beside the including file
// first, then under src/ (the one include directory of the libraries).
std::string Resolve(const fs::path& root, const fs::path& includer, const std::string& name) {
    for (const fs::path& candidate : {includer.parent_path() / name, root / "src" / name}) {
        std::error_code ignored;
        if (fs::is_regular_file(candidate, ignored))
            return fs::relative(fs::weakly_canonical(candidate), fs::weakly_canonical(root)).generic_string();
    }
    return {};
}

void CheckFile(const fs::path& root, const fs::path& file, const std::vector<Target>& graph,
               std::vector<std::string>& violations) {
    const std::string relative = fs::relative(file, root).generic_string();
    const std::vector<const Target*> owners = Owners(relative, graph);
    if (owners.empty()) {
        violations.push_back(relative + ": belongs to no declared library or program");
        return;
    }
    const Permissions allowed = PermissionsOf(owners);
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::ifstream in(file);
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        if (!std::regex_search(line, match, include)) continue;
        const std::string name = match[2];
        if (match[1] == "<") {
            if (!allowed.wx && name.rfind("wx/", 0) == 0)
                violations.push_back(relative + ": includes <" + name + ">, but " + owners[0]->name +
                                     " is declared without wxWidgets");
            continue;
        }
        const std::string target = Resolve(root, file, name);
        if (target.empty()) {
            violations.push_back(relative + ": includes \"" + name + "\", which is not in the tree");
            continue;
        }
        bool permitted = false;
        for (const Target* owner : Owners(target, graph))
            permitted = permitted || allowed.targets.count(owner->name) > 0;
        if (!permitted)
            violations.push_back(relative + ": includes \"" + name + "\", outside what " + owners[0]->name +
                                 " declares");
    }
}

}  // namespace

std::vector<std::string> Violations(const fs::path& root, const std::vector<Target>& graph) {
    std::vector<std::string> violations;
    for (const char* top : {"src", "tools"}) {
        std::error_code ignored;
        if (!fs::is_directory(root / top, ignored)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp"))
                CheckFile(root, entry.path(), graph, violations);
        }
    }
    return violations;
}

}  // namespace IncludeGraph
