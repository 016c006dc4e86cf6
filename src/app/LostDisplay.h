#pragma once
// GTK ends the process (with _exit, so no atexit handler runs) when the
// connection to the X server is lost. Xlib's I/O error handler runs just
// before that, on the user-interface thread: the one place left to save the
// settings. No window may be touched there, only files written.

#include <functional>

namespace LostDisplay {

// `save` runs once when the X connection is lost, then the toolkit's own
// handler ends the process. An empty function stops it. Never runs on a
// display that is not X11.
void SaveBeforeExit(std::function<void()> save);

}  // namespace LostDisplay
