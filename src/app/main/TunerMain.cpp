// Entry point of zelvo-tuner. Starts the toolkit itself so that a missing
// display gives one plain message and exit status 1.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <wx/init.h>
#include <wx/log.h>

#include "app/MenuIdAssertFilter.h"
#include "app/ZelvoTunerApp.h"
#include "app/logic/EarlyCommandLine.h"

wxIMPLEMENT_APP_NO_MAIN(CZelvoTunerApp);

int main(int argc, char** argv) {
    if (const std::optional<std::string> reply =
            EarlyCommandLineReply(std::vector<std::string>(argv + 1, argv + argc), ZELVO_VERSION_TEXT)) {
        std::fputs(reply->c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    wxDISABLE_DEBUG_SUPPORT();
    InstallMenuIdAssertFilter();
    bool started = false;
    {
        // The toolkit's own complaint is replaced by the message below.
        wxLogNull quiet;
        started = wxEntryStart(argc, argv);
    }
    if (!started) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "zelvo-tuner: cannot open a graphical display (DISPLAY is %s).\n"
                     "Run it from a desktop session, or under Xvfb: xvfb-run -a zelvo-tuner\n",
                     display && *display ? display : "not set");
        return 1;
    }
    int status = 1;  // refused at start: the user was told why
    if (wxTheApp->CallOnInit()) {
        status = wxTheApp->OnRun();
        wxTheApp->OnExit();
    }
    wxEntryCleanup();
    return status;
}
