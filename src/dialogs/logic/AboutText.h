#pragma once
// The texts of the About box: its title, the version and build lines and the
// credits.

#include <string>
#include <string_view>

struct ProgramVersion {
    int major = 0;
    int minor = 0;       // shown with two digits: 1.05
    std::string suffix;  // appended to the title as it is; empty for releases

    // This build's version (the project's version numbers, no suffix).
    static ProgramVersion Current();
};

namespace AboutText {

// "About Zelvo Tuner 2.05" plus the suffix.
std::string Title(const ProgramVersion& version);

// "Version: 2.05\nBuild: Dec 6 2026": two lines.
std::string VersionLines(const ProgramVersion& version, std::string_view buildDate);

// A compiler date ("Dec  6 2026", the day padded with a space) as
// "Dec 6 2026": every run of blanks becomes one space, leading and trailing
// blanks go.
std::string NormaliseBuildDate(std::string_view compilerDate);

// The date this library was compiled, normalised.
std::string BuildDate();

// The libraries the tuner uses and the font its display derives from, with
// their licences; paragraphs separated by blank lines.
std::string Credits();

}  // namespace AboutText
