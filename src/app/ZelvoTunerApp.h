#pragma once
// The application object: creates the main window with its capture device
// and settings directory, and turns SIGINT / SIGTERM / SIGHUP into a normal
// close.

#include <filesystem>
#include <memory>

#include <wx/app.h>
#include <wx/timer.h>

#include "app/TunerWnd.h"
#include "app/logic/ResourcePaths.h"

namespace Recorder {
class PortAudioSession;
}

class CZelvoTunerApp : public wxApp {
public:
    CZelvoTunerApp();
    ~CZelvoTunerApp() override;

    // Creates and shows the main window; false ends the program (no
    // recording device, or the window could not be made).
    bool OnInit() override;
    // The main loop's status, or 1 when a close by a signal could not save.
    int OnRun() override;
    int OnExit() override;

    // The settings directory: ZELVO_TUNER_SETTINGS_DIR when it is set and
    // not empty (for tests and scripted runs), else the default directory.
    static std::filesystem::path SettingsDirectoryFromEnvironment();

    // Where this program's resources are searched: beside the running
    // program first, then in the toolkit's resource directory of the
    // installation (see ResourcePaths).
    static ResourcePaths ProgramResourcePaths();

    CTunerWnd* MainWindow() const { return m_mainWindow; }
    const ResourcePaths& Resources() const { return m_resources; }

private:
    void OnSignalPoll(wxTimerEvent& event);

    // Keeps PortAudio up while the window records.
    std::unique_ptr<Recorder::PortAudioSession> m_audioSession;
    CTunerWnd* m_mainWindow = nullptr;  // owned by the window system once created
    ResourcePaths m_resources;
    wxTimer m_signalTimer;  // polls for a shutdown signal
    int m_exitStatus = 0;
};

wxDECLARE_APP(CZelvoTunerApp);
