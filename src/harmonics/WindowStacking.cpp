#include "harmonics/WindowStacking.h"

#include <wx/toplevel.h>

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace {

#ifdef __WXGTK__
// The two GTK / GDK functions used, looked up in the libraries the toolkit
// has already loaded (their development headers are not needed for this).
using GetWindowFunc = void* (*)(void* widget);
using RaiseFunc = void (*)(void* gdkWindow);

template <typename F>
F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}
#endif

}  // namespace

void RaiseWithoutActivating(wxTopLevelWindow* window) {
    if (!window || !window->IsShown()) return;
#ifdef __WXGTK__
    static const auto getWindow = Lookup<GetWindowFunc>("gtk_widget_get_window");
    static const auto raise = Lookup<RaiseFunc>("gdk_window_raise");
    void* gdkWindow = getWindow && window->GetHandle() ? getWindow(window->GetHandle()) : nullptr;
    if (raise && gdkWindow) {
        raise(gdkWindow);
        return;
    }
#endif
    window->Raise();
}

void BringPairToFront(wxTopLevelWindow* activated, wxTopLevelWindow* other) {
    if (!activated || !other || activated == other) return;
    RaiseWithoutActivating(other);
    RaiseWithoutActivating(activated);
}
