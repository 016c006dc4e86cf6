// The main of the window and pane tests: starts the toolkit once (a display
// is needed; ctest runs these programs under a private Xvfb), turns wx
// assertions into failures of the test that triggered them, keeps one event
// loop active for the helpers that pump events, and runs the tests.

#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include "GuiPump.h"

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE() << "wx assertion at " << file << ":" << line << " " << func << ": " << cond << " " << msg;
}

}  // namespace

// A suite that must let one known assertion through defines its own.
__attribute__((weak)) void InstallTestAssertHandler(wxAssertHandler_t fail) {
    wxSetAssertHandler(fail);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))  // listing the tests needs no display
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new wxApp);
    bool started = false;
    {
        wxLogNull quiet;
        started = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    }
    if (!started) {
        std::fprintf(stderr, "These tests need a display; run them under Xvfb.\n");
        return 1;
    }
    InstallTestAssertHandler(FailOnAssert);
    wxLog::EnableLogging(false);
    int status = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator activate(&loop);
        status = RUN_ALL_TESTS();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (true) {
        if (loop) loop->YieldFor(wxEVT_CATEGORY_ALL);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        wxMilliSleep(2);
    }
}

void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}
