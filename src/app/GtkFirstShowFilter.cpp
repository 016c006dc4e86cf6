#include "app/GtkFirstShowFilter.h"

#ifdef __WXGTK__

#include <dlfcn.h>

#include <cstring>

namespace {

// The three GLib log functions used here, looked up in the GLib the toolkit
// has already loaded (its development headers are not needed for this).
// GLogLevelFlags is a C enum and travels as an int.
using LogFunc = void (*)(const char* domain, int level, const char* message, void* data);
using SetHandlerFunc = unsigned int (*)(const char* domain, int levels, LogFunc func, void* data);
using RemoveHandlerFunc = void (*)(const char* domain, unsigned int id);

constexpr int LogFlagRecursion = 1 << 0;
constexpr int LogFlagFatal = 1 << 1;
constexpr int LogLevelCritical = 1 << 3;
constexpr const char* GtkDomain = "Gtk";

template <typename F>
F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

extern "C" void DropFirstShowMessage(const char* domain, int level, const char* message, void*) {
    if (message && std::strcmp(message, GtkFirstShowFilter::DroppedMessage) == 0) return;
    if (const auto passOn = Lookup<LogFunc>("g_log_default_handler")) passOn(domain, level, message, nullptr);
}

}  // namespace

GtkFirstShowFilter::GtkFirstShowFilter() {
    if (const auto setHandler = Lookup<SetHandlerFunc>("g_log_set_handler"))
        m_handlerId = setHandler(GtkDomain, LogLevelCritical | LogFlagFatal | LogFlagRecursion,
                                 DropFirstShowMessage, nullptr);
}

GtkFirstShowFilter::~GtkFirstShowFilter() {
    if (m_handlerId == 0) return;
    if (const auto removeHandler = Lookup<RemoveHandlerFunc>("g_log_remove_handler"))
        removeHandler(GtkDomain, m_handlerId);
}

#else

GtkFirstShowFilter::GtkFirstShowFilter() = default;
GtkFirstShowFilter::~GtkFirstShowFilter() = default;

#endif
