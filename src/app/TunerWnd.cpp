#include "app/TunerWnd.h"

#include <algorithm>
#include <cstdio>

#include <wx/display.h>
#include <wx/msgdlg.h>
// After msgdlg.h, which declares the dialog base it derives from.
#include <wx/generic/msgdlgg.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "app/GtkFirstShowFilter.h"
#include "app/TunerEvents.h"
#include "app/logic/CommandIds.h"
#include "app/logic/MainWindowRules.h"
#include "app/logic/TuningStatusText.h"
#include "harmonics/HarmonicsDialog.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "pipeline/DisplayValues.h"
#include "tuning/NoteTable.h"
#include "units/Units.h"

#ifndef ZELVO_VERSION_MAJOR
#define ZELVO_VERSION_MAJOR 1
#endif

namespace {

// A status bar that never asks the toolkit to repaint an empty or negative
// rectangle. While the window manager is still mapping the frame the bar may
// be narrower than its size grip; the field's rectangle is then negative, and
// GTK would pass it on to pixman, which reports a bug on standard error. The
// text is stored either way; such a bar is repainted whole.
class TunerStatusBar : public wxStatusBar {
public:
    TunerStatusBar(wxWindow* parent, wxWindowID winid, long style, const wxString& name)
        : wxStatusBar(parent, winid, style, name) {}

protected:
    void DoUpdateStatusText(int number) override {
        wxRect field;
        if (GetFieldRect(number, field) && field.width > 0 && field.height > 0)
            wxStatusBar::DoUpdateStatusText(number);
        else
            Refresh();
    }
};

// The title suffix: empty in release builds.
constexpr const char* TitleSuffix = "";

// A resize counts as settled when no further size change came for this long.
// GTK reports only the result of a user's drag, never the edge being dragged,
// so the proportion is restored once the drag has ended.
constexpr int ResizeSettleMs = 200;

// How long after start a window manager's own placement of the window is
// undone (it comes as soon as the window is shown; a user's first drag
// comes later).
constexpr std::chrono::milliseconds PlacementWatch{2000};

enum TimerId { DisplayTimerId = 1, WatchdogTimerId = 2, SettleTimerId = 3 };

ZelvoLayout::WindowRect ToWindowRect(const wxRect& r) {
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

// The work area of the display a window rectangle belongs on: the one that
// holds most of it, else the primary display.
wxRect WorkAreaFor(const ZelvoLayout::WindowRect& r) {
    std::vector<ZelvoLayout::WindowRect> screens;
    int primary = 0;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        const wxDisplay display(i);
        screens.push_back(ToWindowRect(display.GetGeometry()));
        if (display.IsPrimary()) primary = static_cast<int>(i);
    }
    const int chosen = ZelvoLayout::ChooseDisplay(r, screens, primary);
    return wxDisplay(static_cast<unsigned>(chosen)).GetClientArea();
}

}  // namespace

CTunerWnd::CTunerWnd() : m_defaultPreset(DefaultPreset()) {
    // A close request that ended a dialog goes on once that dialog's modal
    // loop has returned: with the next dialog out, or with the close itself.
    m_modalDialogs.SetExitCallback([this] {
        if (m_closeAfterDialogs) CallAfter([this] { Close(); });
    });
}

CTunerWnd::~CTunerWnd() {
    // Normally already done by the close handler; a window destroyed some
    // other way must still not leave a recorder thread calling into it.
    if (m_pipeline) m_pipeline->StopRecording();
    CloseHarmonics();
}

bool CTunerWnd::Create(const TunerWndOptions& options) {
    m_options = options;
    m_firstShowFilter = std::make_unique<GtkFirstShowFilter>();
    m_settingsDirectory =
        options.settingsDirectory.empty() ? DefaultSettingsDirectory() : options.settingsDirectory;

    // An overlapped window with a caption, system menu, sizing border and a
    // minimise box, but no maximise box: its size follows the proportion.
    const long style =
        wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxCLIP_CHILDREN;
    if (!wxFrame::Create(nullptr, wxID_ANY, MainWindowRules::BaseTitle, wxDefaultPosition, wxDefaultSize,
                         style))
        return false;
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));

    // The settings files first: the tuning table and the panes depend on them.
    ReadSettingsFiles();
    m_pipeline = std::make_unique<TuningPipeline>(m_settings.config, options.captureDevice);
    ApplyTuning();

    SetTitle(wxString::FromUTF8(MainWindowRules::FormatWindowTitle(ZELVO_VERSION_MAJOR, TitleSuffix)));
    CreateMenus();
    CreateStatusBar(1);
    const int stretch[] = {-1};
    GetStatusBar()->SetStatusWidths(1, stretch);
    UpdateStatusText();

    CreateChildren();

    if (!options.captureDevice || options.captureDevice->DeviceCount() == 0) {
        RefuseWithoutDevice();
        return false;
    }

    m_global->SetNoteTable(m_pipeline->GetNoteTable());
    m_global->SetTranspose(m_settings.config.Pitch);
    UpdateStatusText();
    BindEvents();
    wxQueueEvent(this, new wxCommandEvent(EVT_TUNERWND_STARTUP));

    m_displayTimer.SetOwner(this, DisplayTimerId);
    m_watchdogTimer.SetOwner(this, WatchdogTimerId);
    m_settleTimer.SetOwner(this, SettleTimerId);
    ArmDisplayTimer();
    m_watchdogTimer.Start(MainWindowRules::WatchdogPeriodMs);

    LayoutPanes();
    PlaceOnDesktop();
    m_placementWatchEnd = std::chrono::steady_clock::now() + PlacementWatch;
    if (m_settings.config.AlwaysOnTop) SetWindowStyleFlag(GetWindowStyleFlag() | wxSTAY_ON_TOP);

    m_pipeline->SeedNoteTrack();
    // Open at the last exit: opened again, told the current note without a
    // redraw.
    if (m_settings.config.HarmonicsVisible) OpenHarmonics(false);
    m_created = true;
    StoreWindowRect();  // the placed rectangle is the one to save
    UpdateIndicators();
    return true;
}

void CTunerWnd::ReadSettingsFiles() {
    RemoveLeftoverTemporaryFiles(m_settingsDirectory);
    if (!LoadSettingsFilesOrDefaults(m_settings, m_settingsDirectory))
        CallAfter([this] {
            ShowMessage(wxString::FromUTF8(SettingsLoadFailureMessage), MainWindowRules::BaseTitle,
                        wxOK | wxICON_EXCLAMATION);
        });
    m_savedRect = {m_settings.config.TunerPosLeft, m_settings.config.TunerPosTop,
                   m_settings.config.TunerPosRight, m_settings.config.TunerPosBottom};
}

void CTunerWnd::RefuseWithoutDevice() {
    // Said on the terminal too: someone who started the program from one
    // learns where to look.
    std::fprintf(stderr, "%s\n", MainWindowRules::NoDeviceConsoleLine());
    ShowMessage(MainWindowRules::NoDeviceMessage, MainWindowRules::NoDeviceCaption,
                wxOK | wxICON_EXCLAMATION);
    // Refused: nothing was changed, so nothing is written.
    Destroy();
}

void CTunerWnd::CreateChildren() {
    // Hidden text controls that carry the reading for other programs.
    m_noteText =
        new wxStaticText(this, CommandId::NoteTextControl, wxEmptyString, wxPoint(-1, -1), wxSize(201, 21));
    m_noteText->Hide();
    m_levelText =
        new wxStaticText(this, CommandId::LevelTextControl, wxEmptyString, wxPoint(-1, -2), wxSize(201, 22));
    m_levelText->Hide();

    m_energy = new CEnergyIndicator(this, CommandId::EnergyIndicator, wxPoint(10, 10), wxSize(30, 259),
                                    wxCLIP_CHILDREN);
    m_energy->SetName("Energy Indicator");
    m_energy->floorPosition = static_cast<float>(Units::MeterPositionFromDb(m_settings.config.NoiseFloor));
    m_energy->Refresh();

    m_fine =
        new CFineIndicator(this, CommandId::FineIndicator, wxDefaultPosition, wxDefaultSize, wxCLIP_CHILDREN);
    m_fine->SetName("Fine Indicator");
    m_fine->fade = 1.0f;
    m_fine->position = 0.0f;
    m_fine->smoothing = m_settings.config.Smooth;
    m_fine->SetCaptions("Note", "Cents");
    m_fine->SetTexts(wxEmptyString, wxEmptyString);
    m_fine->SetScaleLabels({"-50", "-25", "0", "+25", "+50"});

    m_global = new CGlobalIndicator(this, CommandId::GlobalIndicator);
    m_global->SetName("Global Indicator");
    ApplyActivePreset();
    m_global->value = 60.0f;
}

wxStatusBar* CTunerWnd::OnCreateStatusBar(int number, long style, wxWindowID winid, const wxString& name) {
    auto* bar = new TunerStatusBar(this, winid, style, name);
    bar->SetFieldsCount(number);
    return bar;
}

void CTunerWnd::UpdateStatusText() {
    wxStatusBar* bar = GetStatusBar();
    if (m_inMenuLoop || !bar) return;
    const wxString text = wxString::FromUTF8(StatusBarText());
    if (bar->GetStatusText(0) != text) bar->SetStatusText(text, 0);
}

void CTunerWnd::BindEvents() {
    Bind(wxEVT_CLOSE_WINDOW, &CTunerWnd::OnClose, this);
    Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        if (event.IsShown()) m_firstShowFilter.reset();
        event.Skip();
    });
    Bind(wxEVT_TIMER, &CTunerWnd::OnDisplayTimer, this, DisplayTimerId);
    Bind(wxEVT_TIMER, &CTunerWnd::OnWatchdogTimer, this, WatchdogTimerId);
    Bind(wxEVT_TIMER, &CTunerWnd::OnSettleTimer, this, SettleTimerId);
    Bind(EVT_TUNERWND_STARTUP, &CTunerWnd::OnStartup, this);
    Bind(EVT_NOISE_FLOOR_CHANGED, &CTunerWnd::OnNoiseFloorChanged, this);
    Bind(wxEVT_SIZE, &CTunerWnd::OnSize, this);
    Bind(wxEVT_MOVE, &CTunerWnd::OnMove, this);
    Bind(wxEVT_MENU_OPEN, &CTunerWnd::OnMenuOpen, this);
    Bind(wxEVT_MENU_CLOSE, &CTunerWnd::OnMenuClose, this);
    Bind(EVT_HARMONICS_DIALOG_DESTROY, &CTunerWnd::OnHarmonicsDestroyed, this);
    Bind(EVT_HARMONICS_STORE_REFERENCE, &CTunerWnd::OnHarmonicsStoreReference, this);
    Bind(EVT_HARMONICS_DIALOG_REQUEST_DESTROY, &CTunerWnd::OnHarmonicsRequestDestroy, this);
    Bind(EVT_HARMONICS_STATE_CHANGE, &CTunerWnd::OnHarmonicsStateChange, this);
    Bind(wxEVT_ACTIVATE, &CTunerWnd::OnActivate, this);
    BindCommands();
}

// ---------------------------------------------------------------------------
// Shutdown

void CTunerWnd::OnClose(wxCloseEvent& event) {
    // A close request (a shutdown signal, say) while modal dialogs are up:
    // they are ended first, innermost first, as their Cancel would, and the
    // close is repeated once each modal loop has returned, so nothing is torn
    // down underneath a dialog. A dialog the program cannot end (a native
    // one) keeps the close waiting until its user dismisses it.
    if (m_modalDialogs.HasOpenDialogs() && event.CanVeto()) {
        m_closeAfterDialogs = true;
        m_modalDialogs.EndInnermost(wxID_CANCEL);
        event.Veto();
        return;
    }
    m_closeAfterDialogs = false;
    if (!m_shutDown) {
        m_shutDown = true;
        m_displayTimer.Stop();
        m_watchdogTimer.Stop();
        m_settleTimer.Stop();
        m_pipeline->StopRecording();
        // The harmonics window's state is saved with it still open, so it
        // opens again at the next start as it is now.
        if (m_harmonics) TakeHarmonicsSelections(m_settings.config, m_harmonics->State());
        SaveSettings();
        CloseHarmonics();
    }
    event.Skip();  // the frame's own handling destroys the window
}

void CTunerWnd::SaveSettings() {
    if (!m_created) return;
    const SettingsSaveResult result = SaveSettingsFiles(m_settings, m_settingsDirectory);
    if (result.Ok()) return;
    // The message names the files; say where they are, too.
    const std::string text = result.message + "\n\nFolder: " + m_settingsDirectory.string();
    // A folder name is bytes in the file-name encoding, not necessarily UTF-8.
    const wxString folder(m_settingsDirectory.c_str(), *wxConvFileName);
    if (!m_closedBySignal)
        ShowMessage(wxString::FromUTF8(result.message) + "\n\nFolder: " + folder,
                    MainWindowRules::SaveFailureCaption, wxOK | wxICON_EXCLAMATION);
    // A close by a signal has nobody to read a message (or a signal ended
    // the one shown): the failure goes where the signal came from.
    if (m_closedBySignal) ReportSaveFailure(text);
}

void CTunerWnd::ReportSaveFailure(const std::string& text) {
    std::fprintf(stderr, "zelvo-tuner: %s\n", text.c_str());
    std::fflush(stderr);
    if (m_options.setExitStatus) m_options.setExitStatus(1);
}

void CTunerWnd::CloseForSignal() {
    m_closedBySignal = true;
    Close();
}

void CTunerWnd::SaveSettingsWithoutDisplay() {
    if (!m_created || m_shutDown) return;
    m_shutDown = true;
    const SettingsSaveResult result = SaveSettingsFiles(m_settings, m_settingsDirectory);
    if (!result.Ok()) ReportSaveFailure(result.message + "\n\nFolder: " + m_settingsDirectory.string());
}

void CTunerWnd::ShowMessage(const wxString& text, const wxString& caption, long style) {
    if (m_options.showMessage) {
        m_options.showMessage(text, caption, style);
        return;
    }
    // The generic dialog, unlike the native one, can be ended by the program
    // when a close request comes.
    wxGenericMessageDialog dialog(this, text, caption, style);
    dialog.ShowModal();
}

// ---------------------------------------------------------------------------
// Timers and posted events

void CTunerWnd::ArmDisplayTimer() {
    if (!m_shutDown) m_displayTimer.StartOnce(MainWindowRules::DisplayPeriodMs(m_settings.config.Rate));
}

void CTunerWnd::OnDisplayTimer(wxTimerEvent&) {
    m_displayTimer.Stop();
    if (!m_inMenuLoop && IsActive()) UpdateStatusText();
    RunDisplayTick();
    ArmDisplayTimer();
}

void CTunerWnd::RunDisplayTick() {
    const ReadingUpdate update = m_pipeline->UpdateReading();
    if (update.noteStarted) m_noteText->SetLabel(wxString::FromUTF8(update.noteText));
    const wxString level = wxString::FromUTF8(update.levelText);
    if (!update.levelText.empty() && m_levelText->GetLabel() != level) m_levelText->SetLabel(level);

    UpdateIndicators();
}

void CTunerWnd::UpdateIndicators() {
    const DisplayValues values = m_pipeline->UpdateIndicators();
    if (values.hasReading) {
        m_fine->position = values.deviation;
        m_fine->SetTexts(wxString::FromUTF8(values.noteLabel), wxString::FromUTF8(values.centsLabel));
        m_global->value = values.globalValue;
        m_global->RefreshIfChanged();
    }
    if (values.hasLevel) {
        m_energy->level = values.energy;
        m_energy->RefreshIfChanged();
        m_fine->fade = values.fade;
    }
    m_fine->RefreshIfChanged();
}

void CTunerWnd::OnWatchdogTimer(wxTimerEvent&) {
    if (!m_shutDown) m_pipeline->OnWatchdogTick();
}

void CTunerWnd::OnStartup(wxCommandEvent&) {
    if (m_shutDown) return;
    m_startupHandled = true;
    RestartRecording();
}

void CTunerWnd::OnNoiseFloorChanged(NoiseFloorEvent& event) {
    const auto floorDb = static_cast<float>(Units::DbFromMeterPosition(event.GetFloorPosition()));
    ChangeSettings([floorDb](SettingsFiles& s) { s.config.NoiseFloor = floorDb; });
}

// ---------------------------------------------------------------------------
// Layout

ZelvoLayout::FrameOverhead CTunerWnd::CurrentOverhead() const {
    const wxSize outer = GetSize();
    const wxSize area = GetClientSize();
    return ZelvoLayout::FrameOverhead::FromMeasuredSizes({outer.x, outer.y}, {area.x, area.y});
}

void CTunerWnd::LayoutPanes() {
    if (!GetStatusBar() || !m_fine) return;
    // The client area of a frame already leaves out the menu bar and the
    // status bar: it is the pane area.
    const wxSize area = GetClientSize();
    const ZelvoLayout::PaneLayout layout = ZelvoLayout::ComputePaneLayout(area.x, area.y);
    auto place = [](wxWindow* pane, const ZelvoLayout::PaneRect& r) {
        pane->SetSize(r.x, r.y, r.width, r.height);
    };
    place(m_energy, layout.energy);
    place(m_fine, layout.fine);
    place(m_global, layout.global);
}

void CTunerWnd::StoreWindowRect() {
    if (!m_created || IsIconized()) return;
    const wxRect r = GetRect();
    m_settings.config.TunerPosLeft = r.x;
    m_settings.config.TunerPosTop = r.y;
    m_settings.config.TunerPosRight = r.x + r.width;
    m_settings.config.TunerPosBottom = r.y + r.height;
}

void CTunerWnd::ApplySizeLimits(const wxRect& workArea) {
    const ZelvoLayout::FrameOverhead overhead = CurrentOverhead();
    const ZelvoLayout::WindowSize minimum = ZelvoLayout::MinimumTrackSize(overhead);
    const ZelvoLayout::WindowSize maximum =
        ZelvoLayout::MaximumSize(overhead, workArea.width, workArea.height);
    m_adjustingSize = true;
    SetSizeHints(wxSize(minimum.width, minimum.height), wxSize(maximum.width, maximum.height));
    m_adjustingSize = false;
    m_limitsDisplay = wxDisplay::GetFromWindow(this);
}

void CTunerWnd::PlaceOnDesktop() {
    const ZelvoLayout::FrameOverhead overhead = CurrentOverhead();
    const wxRect work = WorkAreaFor(m_savedRect);
    const ZelvoLayout::WindowRect r = ZelvoLayout::PlaceOnDesktop(overhead, m_savedRect, ToWindowRect(work));
    ApplySizeLimits(work);
    m_adjustingSize = true;
    SetSize(r.left, r.top, r.Width(), r.Height());
    m_adjustingSize = false;
    m_placedRect = r;
    m_settledRect = r;
    LayoutPanes();
}

void CTunerWnd::PlaceAgainWhereFramed() {
    // Now the frame's extents are known, so the proportional size is right
    // too; window managers honour the move of a window they manage. Once
    // only: a window manager that insists on its own place keeps it.
    m_placementWatchEnd = {};
    PlaceOnDesktop();
    StoreWindowRect();
}

void CTunerWnd::DoSetSize(int x, int y, int width, int height, int sizeFlags) {
    // Moved or sized by someone else (another part of the program, a test):
    // that place stands, the saved one is not applied again.
    if (!m_adjustingSize) {
        m_placementWatchEnd = {};
        m_placeAgain = false;
    }
    wxFrame::DoSetSize(x, y, width, height, sizeFlags);
}

void CTunerWnd::OnSize(wxSizeEvent& event) {
    LayoutPanes();
    StoreWindowRect();
    if (m_created && !m_adjustingSize && !IsIconized()) m_settleTimer.StartOnce(ResizeSettleMs);
    event.Skip();
}

void CTunerWnd::OnMove(wxMoveEvent& event) {
    // Soon after start the window system reports a position other than the
    // placed one: the window manager placed the window itself (see
    // m_placementWatchEnd). It is placed again once the resize has settled,
    // when the frame and the menu and status bars have their final sizes.
    if (!m_adjustingSize && IsShown() && std::chrono::steady_clock::now() < m_placementWatchEnd &&
        GetPosition() != wxPoint(m_placedRect.left, m_placedRect.top)) {
        m_placeAgain = true;
        m_settleTimer.StartOnce(ResizeSettleMs);
    }
    // The size limits follow the work area of the display the window is on.
    const int display = m_created ? wxDisplay::GetFromWindow(this) : wxNOT_FOUND;
    if (display != wxNOT_FOUND && display != m_limitsDisplay)
        ApplySizeLimits(wxDisplay(static_cast<unsigned>(display)).GetClientArea());
    StoreWindowRect();
    // A plain move keeps the size: remember where the window now is, so that
    // the next resize is compared with the right rectangle.
    const ZelvoLayout::WindowRect now = ToWindowRect(GetRect());
    if (now.Width() == m_settledRect.Width() && now.Height() == m_settledRect.Height()) m_settledRect = now;
    event.Skip();
}

void CTunerWnd::OnSettleTimer(wxTimerEvent&) {
    if (m_placeAgain && !m_shutDown) {
        m_placeAgain = false;
        PlaceAgainWhereFramed();
        return;
    }
    // A minimised, maximised or full-screen window has the size the window
    // system gives it.
    if (!m_created || m_shutDown || IsIconized() || IsMaximized() || IsFullScreen()) return;
    const ZelvoLayout::WindowRect now = ToWindowRect(GetRect());
    const ZelvoLayout::FrameOverhead overhead = CurrentOverhead();
    const ZelvoLayout::SizingEdge edge = ZelvoLayout::InferSizingEdge(m_settledRect, now);
    ZelvoLayout::WindowRect corrected = ZelvoLayout::CorrectSizing(overhead, edge, now);
    // Keep the result within the size limits (the proportion holds at both).
    const wxSize minimum = GetMinSize();
    const wxSize maximum = GetMaxSize();
    if (corrected.Height() < minimum.y || (maximum.y > 0 && corrected.Height() > maximum.y) ||
        corrected.Width() < minimum.x || (maximum.x > 0 && corrected.Width() > maximum.x)) {
        const int height = std::clamp(now.Height(), minimum.y, maximum.y > 0 ? maximum.y : now.Height());
        corrected = ZelvoLayout::CorrectSizing(overhead, ZelvoLayout::SizingEdge::BottomRight,
                                               {now.left, now.top, now.right, now.top + height});
    }
    m_settledRect = corrected;
    if (corrected == now) return;
    m_adjustingSize = true;
    SetSize(corrected.left, corrected.top, corrected.Width(), corrected.Height());
    m_adjustingSize = false;
    LayoutPanes();
    StoreWindowRect();
}

// ---------------------------------------------------------------------------
// Menu loop

void CTunerWnd::OnMenuOpen(wxMenuEvent& event) {
    ++m_openMenus;
    m_inMenuLoop = true;
    event.Skip();
}

void CTunerWnd::OnMenuClose(wxMenuEvent& event) {
    // Submenus open and close inside the loop of their menu bar menu.
    m_openMenus = std::max(0, m_openMenus - 1);
    if (m_openMenus > 0) {
        event.Skip();
        return;
    }
    m_inMenuLoop = false;
    // The frame restores the text it showed before the menu opened; the
    // tuning text is put back after that.
    event.Skip();
    CallAfter([this] { UpdateStatusText(); });
}

wxString CTunerWnd::NoteControlText() const {
    return m_noteText ? m_noteText->GetLabel() : wxString();
}

wxString CTunerWnd::LevelControlText() const {
    return m_levelText ? m_levelText->GetLabel() : wxString();
}
