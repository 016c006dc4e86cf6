#include "dialogs/logic/AboutText.h"

#include <cstdio>

#ifndef ZELVO_VERSION_MAJOR
#define ZELVO_VERSION_MAJOR 1
#endif
#ifndef ZELVO_VERSION_MINOR
#define ZELVO_VERSION_MINOR 0
#endif

ProgramVersion ProgramVersion::Current() {
    return {ZELVO_VERSION_MAJOR, ZELVO_VERSION_MINOR, {}};
}

namespace AboutText {

namespace {

std::string MajorDotMinor(const ProgramVersion& version) {
    char text[32];
    std::snprintf(text, sizeof text, "%i.%.2d", version.major, version.minor);
    return text;
}

}  // namespace

std::string Title(const ProgramVersion& version) {
    return "About Zelvo Tuner " + MajorDotMinor(version) + version.suffix;
}

std::string VersionLines(const ProgramVersion& version, std::string_view buildDate) {
    return "Version: " + MajorDotMinor(version) + "\nBuild: " + std::string(buildDate);
}

std::string NormaliseBuildDate(std::string_view compilerDate) {
    std::string out;
    bool blank = false;
    for (const char c : compilerDate) {
        if (c == ' ' || c == '\t') {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string BuildDate() {
    return NormaliseBuildDate(__DATE__);
}

std::string Credits() {
    return "Zelvo Tuner is built with wxWidgets (wxWindows Library Licence) and records sound "
           "through PortAudio (MIT licence). Its companion tools read and write sound files "
           "with libsndfile (GNU LGPL 2.1) and draw intonation charts with cairo (GNU LGPL 2.1 or "
           "MPL 1.1).\n\n"
           "The \"Tuner\" display font is derived from DejaVu Sans, itself derived from "
           "Bitstream Vera (Bitstream Vera licence; DejaVu changes in the public domain).";
}

}  // namespace AboutText
