#include "app/TunerFont.h"

#include <cstdio>

#include <wx/font.h>

bool LoadTunerFont(const ResourcePaths& paths, const std::function<void(const wxString& text)>& tellUser) {
    std::filesystem::path file = paths.Find(TunerFontFileName);
    if (!file.empty() && wxFont::AddPrivateFont(wxString(file.c_str(), *wxConvFileName))) return true;
    // Name the file where it was looked for first: where the build and an
    // installation put it.
    if (file.empty())
        file = paths.Directories().empty() ? std::filesystem::path(TunerFontFileName)
                                           : paths.Directories().front() / TunerFontFileName;
    const std::string text = "cannot load the font file " + file.string();
    std::fprintf(stderr, "zelvo-tuner: %s\n", text.c_str());
    std::fflush(stderr);
    if (tellUser) tellUser("Zelvo Tuner " + wxString(text.c_str(), *wxConvFileName));
    return false;
}
