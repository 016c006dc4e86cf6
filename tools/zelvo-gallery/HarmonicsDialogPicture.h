#pragma once
// The whole harmonics window (lists, captions, graph and status bar) as the
// screen shows it, for the gallery.

#include <wx/string.h>

// Shows the window with a current and a reference note, grabs it from the
// screen and writes `name`.png into `folder`; false when it could not be
// written.
bool SaveHarmonicsDialogPicture(const wxString& folder, const wxString& name);
