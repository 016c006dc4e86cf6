// Test runner for the window tests: starts the toolkit once (a display is
// needed; run under xvfb-run), keeps one event loop active for the helpers
// that pump events, and runs the tests.

#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include "app/MenuIdAssertFilter.h"

namespace {

// Every wx assertion fails the test that triggered it, except the menu-id
// check the program lets through on purpose (see MenuIdAssertFilter.h).
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE() << "wx assertion at " << file << ":" << line << " " << func << ": " << cond << " " << msg;
}

class GuiTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))  // listing the tests needs no display
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new GuiTestApp);
    bool started = false;
    {
        wxLogNull quiet;
        started = wxEntryStart(argc, argv);
    }
    if (!started) {
        std::fprintf(stderr, "These tests need a display; run them under xvfb-run -a.\n");
        return 1;
    }
    InstallMenuIdAssertFilter(FailOnAssert);
    wxTheApp->CallOnInit();
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
