#pragma once
// The program's private font: the family "Tuner", in which the panes draw
// note names. It is a file among the program's resources, loaded for this
// process only, so no other program (and no other font) can answer to that
// name.

#include <functional>

#include <wx/string.h>

#include "app/logic/ResourcePaths.h"

inline constexpr const char* TunerFontFamily = "Tuner";
inline constexpr const char* TunerFontFileName = "Tuner.ttf";

// Loads the font before the first window is made. When the file is missing
// or the toolkit refuses it: one line naming the file on standard error, the
// same text handed to `tellUser` (a message box when there is a display),
// and false, which ends the program with status 1.
bool LoadTunerFont(const ResourcePaths& paths, const std::function<void(const wxString& text)>& tellUser);
