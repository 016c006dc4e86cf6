#include "app/logic/ResourcePaths.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

ResourcePaths ResourcePaths::ForExecutable(const fs::path& executable, const fs::path& installedResources) {
    std::vector<fs::path> directories;
    auto add = [&directories](const fs::path& directory) {
        if (directory.empty()) return;
        const fs::path normal = directory.lexically_normal();
        if (std::find(directories.begin(), directories.end(), normal) == directories.end())
            directories.push_back(normal);
    };
    if (!executable.empty()) {
        // An executable named without a folder lies in the current directory.
        const fs::path folder = executable.has_parent_path() ? executable.parent_path() : fs::path(".");
        add(folder / ".." / "share" / FolderName);
    }
    add(installedResources);
    return ResourcePaths(std::move(directories));
}

ResourcePaths::ResourcePaths(std::vector<fs::path> directories) : m_directories(std::move(directories)) {}

fs::path ResourcePaths::Find(const fs::path& relative) const {
    for (const fs::path& directory : m_directories) {
        fs::path candidate = directory / relative;
        std::error_code ignored;
        if (fs::exists(candidate, ignored)) return candidate;
    }
    return {};
}
