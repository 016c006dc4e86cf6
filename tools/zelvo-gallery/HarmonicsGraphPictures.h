// Pictures of the compressed harmonics graph for the gallery: a stretched
// string against the same note an octave lower, in several views and sizes.
#pragma once

#include <functional>

#include <wx/dc.h>
#include <wx/string.h>
#include <wx/window.h>

// save(name, size, paint) writes one picture of `size` painted by `paint`.
using SavePicture = std::function<void(const wxString&, wxSize, const std::function<void(wxDC&)>&)>;

void HarmonicsGraphPictures(wxWindow* host, const SavePicture& save);
