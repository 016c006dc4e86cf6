#include "app/ZelvoTunerApp.h"

#include <cstdio>
#include <cstdlib>

#include <wx/msgdlg.h>
#include <wx/stdpaths.h>

#include "app/LostDisplay.h"
#include "app/TunerFont.h"
#include "app/logic/ShutdownSignals.h"
#include "capture/PortAudioDevice.h"
#include "capture/Recorder.h"

namespace {

// How often the user-interface thread looks for a shutdown signal.
constexpr int SignalPollMs = 100;

}  // namespace

CZelvoTunerApp::CZelvoTunerApp() = default;
CZelvoTunerApp::~CZelvoTunerApp() = default;

std::filesystem::path CZelvoTunerApp::SettingsDirectoryFromEnvironment() {
    const char* dir = std::getenv("ZELVO_TUNER_SETTINGS_DIR");
    if (dir && *dir) return dir;
    return DefaultSettingsDirectory();
}

ResourcePaths CZelvoTunerApp::ProgramResourcePaths() {
    const wxStandardPaths& paths = wxStandardPaths::Get();
    // The executable's path is the resolved one (/proc/self/exe), so a
    // program started through a symbolic link finds the resources of its
    // own tree.
    return ResourcePaths::ForExecutable(paths.GetExecutablePath().utf8_string(),
                                        paths.GetResourcesDir().utf8_string());
}

bool CZelvoTunerApp::OnInit() {
    SetAppName("zelvo-tuner");
    SetAppDisplayName("Zelvo Tuner");
    m_resources = ProgramResourcePaths();
    // Before the first window: the panes ask for the family by name.
    if (!LoadTunerFont(m_resources,
                       [](const wxString& text) { wxMessageBox(text, "Zelvo Tuner", wxOK | wxICON_ERROR); }))
        return false;

    m_audioSession = std::make_unique<Recorder::PortAudioSession>();
    TunerWndOptions options;
    options.settingsDirectory = SettingsDirectoryFromEnvironment();
    options.setExitStatus = [this](int status) { m_exitStatus = status; };
    // Without a working PortAudio there is no device; the window then tells
    // the user that no sound card was found.
    if (m_audioSession->IsOpen()) options.captureDevice = Recorder::CreatePortAudioDevice();

    auto* window = new CTunerWnd;
    if (!window->Create(options)) return false;  // the window destroyed itself
    m_mainWindow = window;
    SetTopWindow(window);
    window->Show();
    // GTK ends the process when the display goes away; save on the way.
    LostDisplay::SaveBeforeExit([window] { window->SaveSettingsWithoutDisplay(); });
    window->Bind(wxEVT_DESTROY, [window](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == window) LostDisplay::SaveBeforeExit(nullptr);
        event.Skip();
    });

    // Until the window is up a signal ends the program the default way:
    // nothing has been changed yet, so there is nothing to save. From here
    // on it closes the window, which saves the settings.
    ShutdownSignals::Install();
    m_signalTimer.SetOwner(this);
    Bind(wxEVT_TIMER, &CZelvoTunerApp::OnSignalPoll, this);
    m_signalTimer.Start(SignalPollMs);
    return true;
}

void CZelvoTunerApp::OnSignalPoll(wxTimerEvent&) {
    if (!ShutdownSignals::Requested()) return;
    // Only the first request is polled for: a second signal ends the
    // program by itself.
    m_signalTimer.Stop();
    // Close the way the user would, so the settings are saved.
    if (auto* window = dynamic_cast<CTunerWnd*>(GetTopWindow()))
        window->CloseForSignal();
    else if (wxWindow* top = GetTopWindow())
        top->Close();
    else
        ExitMainLoop();
}

int CZelvoTunerApp::OnRun() {
    const int status = wxApp::OnRun();
    return status != 0 ? status : m_exitStatus;
}

int CZelvoTunerApp::OnExit() {
    m_signalTimer.Stop();
    LostDisplay::SaveBeforeExit(nullptr);
    m_mainWindow = nullptr;
    if (Recorder::AnyRecorderAbandoned()) {
        // The settings are saved; the recorder is stuck in a sound server
        // that no longer answers, and closing the sound system would wait
        // for it for ever.
        std::fputs("zelvo-tuner: the sound device did not stop; ending without closing it\n", stderr);
        std::fflush(nullptr);
        std::_Exit(m_exitStatus);
    }
    m_audioSession.reset();
    return wxApp::OnExit();
}
