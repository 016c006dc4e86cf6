#include "app/ZelvoTunerApp.h"

#include <cstdlib>

#include <wx/stdpaths.h>

#include "app/logic/ShutdownSignals.h"
#include "capture/PortAudioDevice.h"

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

    m_audioSession = std::make_unique<Recorder::PortAudioSession>();
    TunerWndOptions options;
    options.settingsDirectory = SettingsDirectoryFromEnvironment();
    // Without a working PortAudio there is no device; the window then tells
    // the user that no sound card was found.
    if (m_audioSession->IsOpen()) options.captureDevice = Recorder::CreatePortAudioDevice();

    auto* window = new CTunerWnd;
    if (!window->Create(options)) return false;  // the window destroyed itself
    m_mainWindow = window;
    SetTopWindow(window);
    window->Show();

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
    m_signalTimer.Stop();
    // Close the way the user would, so the settings are saved.
    if (wxWindow* top = GetTopWindow())
        top->Close();
    else
        ExitMainLoop();
}

int CZelvoTunerApp::OnExit() {
    m_signalTimer.Stop();
    m_mainWindow = nullptr;
    m_audioSession.reset();
    return wxApp::OnExit();
}
