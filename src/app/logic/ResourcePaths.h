#pragma once
// Where the program's resources (its font, the manual, the help book) are
// found at run time: always relative to the program itself, never at a fixed
// absolute place.
//
// The build puts them where an installation does: programs in bin/, the
// resources in share/zelvo-tuner/ beside it (<build>/share/zelvo-tuner in a
// build tree, <prefix>/share/zelvo-tuner once installed). So the directory
// next to the running program comes first; the toolkit's idea of the
// installation's resource directory follows, for a program that was copied
// out of its prefix.

#include <filesystem>
#include <vector>

class ResourcePaths {
public:
    // The folder name under share/.
    static constexpr const char* FolderName = "zelvo-tuner";

    // The directories searched for a program at `executable` (its resolved
    // path), in order: <dir of executable>/../share/zelvo-tuner, then
    // `installedResources` when given and different.
    static ResourcePaths ForExecutable(const std::filesystem::path& executable,
                                       const std::filesystem::path& installedResources = {});

    ResourcePaths() = default;
    explicit ResourcePaths(std::vector<std::filesystem::path> directories);

    // The first directory's `relative` that exists (a file or a folder);
    // empty when no directory has it.
    std::filesystem::path Find(const std::filesystem::path& relative) const;

    const std::vector<std::filesystem::path>& Directories() const { return m_directories; }

private:
    std::vector<std::filesystem::path> m_directories;
};
