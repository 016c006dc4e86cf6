#pragma once
// Pictures of windows as the screen shows them, for the gallery and the
// manual.

#include <wx/gdicmn.h>
#include <wx/image.h>

// What the X server shows in `rect` of the screen now, read from the server
// itself: the toolkit's screen device context keeps an older copy (and on
// GTK 3 cannot be read at all). An invalid image when there is no display.
wxImage ScreenArea(const wxRect& rect);
