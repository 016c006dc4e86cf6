// Entry point of the pane tests: starts wx (which needs a display; run under
// xvfb-run on a headless machine), turns wx assertions into test failures
// and runs the tests. Listing the tests needs no display.

#include <cstdio>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "The pane tests need a display; run them under xvfb-run.\n");
        return 1;
    }
    wxSetAssertHandler(
        [](const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
            ADD_FAILURE_AT(static_cast<const char*>(file.utf8_str()), line)
                << "wx assertion in " << func.utf8_str() << ": " << cond.utf8_str() << " " << msg.utf8_str();
        });
    wxLog::EnableLogging(false);

    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
