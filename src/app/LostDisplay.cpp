#include "app/LostDisplay.h"

#include <X11/Xlib.h>

#include <utility>

namespace LostDisplay {

namespace {

std::function<void()> g_save;
XIOErrorHandler g_toolkitHandler = nullptr;
bool g_installed = false;

int OnIoError(Display* display) {
    // Taken first, so a second error while saving cannot save again.
    std::function<void()> save = std::exchange(g_save, nullptr);
    if (save) save();
    // The toolkit's handler reports the loss and ends the process; Xlib
    // ends it itself should there be none.
    return g_toolkitHandler ? g_toolkitHandler(display) : 0;
}

}  // namespace

void SaveBeforeExit(std::function<void()> save) {
    g_save = std::move(save);
    if (g_installed || !g_save) return;
    // Installed after the toolkit opened the display, so its handler is the
    // one passed on to.
    g_toolkitHandler = XSetIOErrorHandler(OnIoError);
    g_installed = true;
}

}  // namespace LostDisplay
