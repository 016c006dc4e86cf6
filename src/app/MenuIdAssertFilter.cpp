#include "app/MenuIdAssertFilter.h"

#include <atomic>

#include <wx/string.h>

namespace {

// Where assertions other than the menu-id check go. Written once at start-up
// on the user-interface thread; read by whichever thread asserts.
std::atomic<wxAssertHandler_t> g_otherAsserts{nullptr};

void FilterMenuIdAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                        const wxString& msg) {
    if (msg == "invalid itemid value") return;
    if (const wxAssertHandler_t next = g_otherAsserts.load()) next(file, line, func, cond, msg);
}

}  // namespace

void InstallMenuIdAssertFilter(wxAssertHandler_t others) {
    const wxAssertHandler_t previous = wxSetAssertHandler(FilterMenuIdAssert);
    if (previous == FilterMenuIdAssert && !others) return;  // already installed
    g_otherAsserts.store(others ? others : previous);
}
