#pragma once
// The main window: menu, status bar, the three indicator panes, two hidden
// text controls that carry the reading for other programs, the display and
// watchdog timers, and the proportional layout. The capture and the note
// logic live in the TuningPipeline the window owns; the window feeds it with
// ticks and hands its values to the panes.
//
// The settings change in one way only: a command (or a dialog) copies
// Settings(), changes the copy and hands it to ApplySettings, which stores
// it, hands the configuration to the pipeline and does the work the
// difference asks for.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <wx/frame.h>
#include <wx/timer.h>

#include "app/HelpViewer.h"
#include "app/logic/NotePresetMenu.h"
#include "app/logic/SettingsChanges.h"
#include "app/logic/StatusNotice.h"
#include "app/logic/WindowLayout.h"
#include "capture/CaptureDevice.h"
#include "dialogs/AnalysisSettingsDialog.h"
#include "dialogs/ListEditors.h"
#include "dialogs/ModalDialogTracker.h"
#include "persistence/SettingsFiles.h"
#include "pipeline/TuningPipeline.h"

class wxMenu;
class wxActivateEvent;
class wxKeyEvent;
class wxMenuEvent;
class wxStaticText;
class CEnergyIndicator;
class CFineIndicator;
class CGlobalIndicator;
class CHarmonicsDialog;
class GtkFirstShowFilter;
class NoiseFloorEvent;

// Shows a message to the user: text, caption and wx message-box style flags.
using MessagePresenter = std::function<void(const wxString& text, const wxString& caption, long style)>;
// Starts a command line without waiting for it; false when it cannot start.
using CommandLauncher = std::function<bool(const std::string& commandLine)>;

// What the window is created with. Everything has a working default except
// the capture device, which the application supplies (PortAudio in the
// program, a scripted device in tests).
struct TunerWndOptions {
    std::filesystem::path settingsDirectory;  // empty: DefaultSettingsDirectory()
    std::shared_ptr<Recorder::ICaptureDevice> captureDevice;
    MessagePresenter showMessage;   // empty: a modal wxMessageBox
    CommandLauncher launchCommand;  // empty: wxExecute when the program is on PATH
    // Opens an address (the manual from the About box and the web-address
    // command); true when it opened. Empty: the desktop's browser.
    std::function<bool(const std::string& address)> openAddress;
    // The help book's project file. Empty: the one among the program's
    // resources.
    std::filesystem::path helpBook;
    // Told the program's exit status when the window's close decides it (1:
    // a close by a signal could not save the settings).
    std::function<void(int status)> setExitStatus;
    // The temperament and stretch-table editors the tuning-settings dialog
    // offers; an empty one leaves its "Edit..." button disabled.
    TuningListEditors listEditors{EditTemperaments, EditStretchTables};
};

class CTunerWnd : public wxFrame {
public:
    CTunerWnd();
    ~CTunerWnd() override;

    // Builds the window in start-up order: settings files, tuning table,
    // title, menu, status bar, hidden controls, panes, the device check,
    // timers, layout and placement, the seeded reading. Returns false when
    // creation is refused (no recording device: the user is told, and the
    // window is destroyed without writing any file). Recording starts when
    // the posted start-up event is handled.
    bool Create(const TunerWndOptions& options);

    // Makes newSettings the window's settings and does what the change asks
    // for, in this order: the pipeline's copy of the configuration, the note
    // table, the panes, the preset submenu, always-on-top, the harmonics
    // reference, a restart of recording (with its messages), the status text.
    // Settings equal to the current ones change nothing. The rectangles of
    // this window and of the harmonics window are not taken from
    // newSettings: the windows keep them up to date.
    void ApplySettings(const SettingsFiles& newSettings);

    // Puts the tuning-reference text into the status bar when it differs
    // from what is shown; not while a menu is open.
    void UpdateStatusText();

    // One display tick (also run by the display timer): status text, reading,
    // panes.
    void RunDisplayTick();
    // Hands the pipeline's current values to the panes.
    void UpdateIndicators();

    // A close asked for by a shutdown signal: open messages are ended, and a
    // failed save is reported on stderr with exit status 1 instead of a
    // message nobody is there to dismiss.
    void CloseForSignal();
    // Saves the settings while the display is gone (no window may be
    // touched); a failure goes to stderr. Does nothing once the window has
    // saved.
    void SaveSettingsWithoutDisplay();

    // --- Read access, for the application and tests ---
    const SettingsFiles& Settings() const { return m_settings; }
    TuningPipeline& Pipeline() { return *m_pipeline; }
    const std::filesystem::path& SettingsDirectory() const { return m_settingsDirectory; }
    bool IsInMenuLoop() const { return m_inMenuLoop; }
    bool IsStartupHandled() const { return m_startupHandled; }
    CEnergyIndicator* EnergyIndicator() const { return m_energy; }
    CFineIndicator* FineIndicator() const { return m_fine; }
    CGlobalIndicator* GlobalIndicator() const { return m_global; }
    // The open harmonics window, or nullptr.
    CHarmonicsDialog* HarmonicsDialog() const { return m_harmonics; }
    wxString NoteControlText() const;
    wxString LevelControlText() const;
    const CHelpViewer& HelpViewer() const { return m_helpViewer; }
    // The manual's start page as the About box's link and the web-address
    // command open it.
    std::string ManualWebAddress() const;
    ZelvoLayout::FrameOverhead CurrentOverhead() const;
    const wxTimer& DisplayTimer() const { return m_displayTimer; }

private:
    wxStatusBar* OnCreateStatusBar(int number, long style, wxWindowID winid, const wxString& name) override;
    // Creation steps.
    void CreateMenus();
    void CreateChildren();
    // Removes the leftovers of a killed save, reads the four files (the
    // defaults, with a message, when memory runs out) and keeps the saved place.
    void ReadSettingsFiles();
    // No recording device: the user is told, and the window goes.
    void RefuseWithoutDevice();
    // Places the window by the saved rectangle on the display that holds it.
    void PlaceOnDesktop();
    void PlaceAgainWhereFramed();
    void ApplySizeLimits(const wxRect& workArea);
    void BindEvents();
    void BindCommands();
    void BindMenuMarks();
    // Update handlers: a check mark with the item enabled, or only a radio
    // mark (the enabled state left alone).
    void BindCheckMark(int id, std::function<bool()> checked);
    void BindRadioMark(int id, std::function<bool()> checked);

    // Shutdown: stop recording, save the four files, tell the user when a
    // file could not be written.
    void OnClose(wxCloseEvent& event);
    void SaveSettings();
    // Puts a save failure on stderr and sets the exit status to 1.
    void ReportSaveFailure(const std::string& text);

    // Timers and posted events.
    void OnDisplayTimer(wxTimerEvent& event);
    void OnWatchdogTimer(wxTimerEvent& event);
    void OnSettleTimer(wxTimerEvent& event);
    void OnStartup(wxCommandEvent& event);
    void OnNoiseFloorChanged(NoiseFloorEvent& event);
    void ArmDisplayTimer();

    // Layout.
    void DoSetSize(int x, int y, int width, int height, int sizeFlags) override;
    void OnSize(wxSizeEvent& event);
    void OnMove(wxMoveEvent& event);
    void LayoutPanes();
    void StoreWindowRect();

    // Menu loop.
    void OnMenuOpen(wxMenuEvent& event);
    void OnMenuClose(wxMenuEvent& event);
    // Swallows the combinations the menu texts show without an accelerator.
    void OnCharHook(wxKeyEvent& event);

    // Commands.
    void OnExit(wxCommandEvent& event);
    void OnRecordingControl(wxCommandEvent& event);
    void OnPixelSmoothing(wxCommandEvent& event);
    void OnDisplayRate(wxCommandEvent& event);
    void OnAnalysisQuality(wxCommandEvent& event);
    void OnPrecisePitch(wxCommandEvent& event);
    void OnCentAccuracy(wxCommandEvent& event);
    void OnAlwaysOnTop(wxCommandEvent& event);
    void OnChoosePreset(wxCommandEvent& event);
    void OnTuningSettings(wxCommandEvent& event);
    void OnRecordingDevice(wxCommandEvent& event);
    void OnEditNotePresets(wxCommandEvent& event);
    void OnHarmonicsDestroyed(wxCommandEvent& event);
    void OnHarmonicsStoreReference(wxCommandEvent& event);
    void OnHarmonicsRequestDestroy(wxCommandEvent& event);
    // Help menu and the web-address command (TunerWndHelp.cpp).
    void BindHelpCommands();
    void OnAbout(wxCommandEvent& event);
    void OnHelpContents(wxCommandEvent& event);
    void OnOpenWebSite(wxCommandEvent& event);
    bool OpenAddress(const std::string& address);
    void OnHarmonicsGraph(wxCommandEvent& event);
    void OnHarmonicsStateChange(wxCommandEvent& event);
    void OnActivate(wxActivateEvent& event);

    // The harmonics window: opened by command or at start-up (the pipeline
    // then tells it the current note, with or without a redraw), closed by
    // command or at shutdown.
    void OpenHarmonics(bool redraw);
    void CloseHarmonics();

    // Settings.
    // Copies the settings, lets `edit` change the copy and applies it.
    void ChangeSettings(const std::function<void(SettingsFiles&)>& edit);
    // Rebuilds the note table from MiddleA, the selected temperament and
    // stretch table, and hands it to the pipeline.
    void ApplyTuning();
    // Hands the changed values to the panes and repaints what changed.
    void ApplyToPanes(const SettingsChanges& changes);
    void ApplyAlwaysOnTop();
    // Rebuilds the "Note Preset" submenu from the preset list and puts it at
    // position 3 of the "&Note" menu.
    void RebuildPresetMenu();
    // Applies the active preset's notes to the note ladder.
    void ApplyActivePreset();
    // Restarts recording after a change of its settings, telling the user
    // when it fails.
    void RestartRecording();
    // The status bar's text: the tuning reference, or for a while a notice
    // such as the recording's first input overrun.
    std::string StatusBarText();
    void ShowMessage(const wxString& text, const wxString& caption, long style);

    TunerWndOptions m_options;
    // Present until the window is first on screen (see GtkFirstShowFilter.h).
    std::unique_ptr<GtkFirstShowFilter> m_firstShowFilter;
    std::filesystem::path m_settingsDirectory;
    SettingsFiles m_settings;
    std::unique_ptr<TuningPipeline> m_pipeline;
    const Preset m_defaultPreset;
    NotePresetMenu m_presetMenu;
    StatusNotice m_statusNotice;
    // (accelerator flags, key code) of the shown-only combinations.
    std::vector<std::pair<int, int>> m_displayOnlyKeys;

    wxStaticText* m_noteText = nullptr;   // id 200, hidden
    wxStaticText* m_levelText = nullptr;  // id 201, hidden
    CEnergyIndicator* m_energy = nullptr;
    CFineIndicator* m_fine = nullptr;
    CGlobalIndicator* m_global = nullptr;
    CHelpViewer m_helpViewer;                 // the manual's window, made on first use
    CHarmonicsDialog* m_harmonics = nullptr;  // owned by the window system; null when closed

    wxTimer m_displayTimer;   // one-shot, re-armed with the Display Rate period
    wxTimer m_watchdogTimer;  // every 5 s: quiet restart of a failed capture
    wxTimer m_settleTimer;    // fires when a resize has settled (see OnSize)

    bool m_created = false;   // creation completed: the files are saved on close
    bool m_shutDown = false;  // recording stopped and files saved
    // The modal dialogs now open (messages, settings dialogs, editors), and
    // whether a close request waits for them to end.
    ModalDialogTracker m_modalDialogs;
    bool m_closeAfterDialogs = false;
    bool m_closedBySignal = false;  // a close asked for by a signal is under way
    bool m_inMenuLoop = false;      // a menu of the bar or one of its submenus is open
    int m_openMenus = 0;            // menus opened and not yet closed (submenus nest)
    bool m_startupHandled = false;
    bool m_adjustingSize = false;           // our own proportional correction is in progress
    ZelvoLayout::WindowRect m_settledRect;  // the window rectangle after the last settled resize
    ZelvoLayout::WindowRect m_savedRect;    // the rectangle the settings gave at start
    ZelvoLayout::WindowRect m_placedRect;   // where the window was last placed from it
    int m_limitsDisplay = -1;               // the display whose work area the size limits fit
    // On X11 a window manager frames a new window only once it is shown, and
    // may put it elsewhere than asked: wxGTK realises the window early, at
    // (0, 0), to learn the frame's extents before showing it, and the window
    // manager then keeps that "program-specified" place. Until this time a
    // reported position other than the placed one makes the window place
    // itself again, the frame now known.
    std::chrono::steady_clock::time_point m_placementWatchEnd;
    bool m_placeAgain = false;  // to be placed again when the resize settles
};
