// The main window's side of the harmonics window: opening and closing it,
// the events it queues, and the stacking of the two windows.

#include "app/TunerEvents.h"
#include "app/TunerFont.h"
#include "app/TunerWnd.h"
#include "harmonics/HarmonicsDialog.h"
#include "harmonics/WindowStacking.h"

void CTunerWnd::OpenHarmonics(bool redraw) {
    if (m_harmonics) return;
    const ConfigRecord& config = m_settings.config;
    HarmonicsDialogHost host;
    host.mainWindow = this;
    host.savedRect = {config.HarmonicsPosLeft, config.HarmonicsPosTop, config.HarmonicsPosRight,
                      config.HarmonicsPosBottom};
    // Never placed before: it opens beside the tuner, at its first size.
    if (host.savedRect.Width() <= 0 || host.savedRect.Height() <= 0) {
        const wxRect r = GetRect();
        host.savedRect = {r.GetRight() + 1, r.y, r.GetRight() + 1, r.y};
    }
    host.alwaysOnTop = config.AlwaysOnTop;
    host.fontFamily = TunerFontFamily;
    // Stored directly, like the main window's own rectangle: a move is no
    // settings change that anything has to follow.
    host.storeRect = [this](const ZelvoLayout::WindowRect& r) {
        m_settings.config.HarmonicsPosLeft = r.left;
        m_settings.config.HarmonicsPosTop = r.top;
        m_settings.config.HarmonicsPosRight = r.right;
        m_settings.config.HarmonicsPosBottom = r.bottom;
    };
    host.forget = [this] {
        m_pipeline->SetHarmonicsView(nullptr);
        m_harmonics = nullptr;
    };
    m_harmonics = new CHarmonicsDialog(host);
    m_harmonics->SetNoteTable(m_pipeline->GetNoteTable());
    m_pipeline->SetHarmonicsView(m_harmonics);
    m_pipeline->NotifyHarmonics(redraw);
}

void CTunerWnd::CloseHarmonics() {
    if (!m_harmonics) return;
    // Forgotten at once: the window goes at the next idle time, and a display
    // tick or a second command before that must not reach it.
    m_pipeline->SetHarmonicsView(nullptr);
    m_harmonics->DetachFromMainWindow();
    m_harmonics->Destroy();
    m_harmonics = nullptr;
}

void CTunerWnd::OnHarmonicsGraph(wxCommandEvent&) {
    if (m_harmonics) {
        ChangeSettings([](SettingsFiles& s) { s.config.HarmonicsVisible = false; });
        CloseHarmonics();
        return;
    }
    ChangeSettings([](SettingsFiles& s) { s.config.HarmonicsVisible = true; });
    OpenHarmonics(true);
}

void CTunerWnd::OnHarmonicsStateChange(wxCommandEvent&) {
    if (!m_harmonics) return;
    // ApplySettings hands the pipeline the selections; it rebuilds the
    // reference and answers the window when the reference note moved.
    const HarmonicsState state = m_harmonics->State();
    m_harmonics->StateChangeTaken();
    ChangeSettings([&state](SettingsFiles& s) { TakeHarmonicsSelections(s.config, state); });
}

void CTunerWnd::OnHarmonicsDestroyed(wxCommandEvent&) {
    ChangeSettings([](SettingsFiles& s) { s.config.HarmonicsVisible = false; });
}

void CTunerWnd::OnHarmonicsStoreReference(wxCommandEvent&) {
    m_pipeline->RequestStoreReference();
}

void CTunerWnd::OnHarmonicsRequestDestroy(wxCommandEvent&) {
    Raise();
    SetFocus();
    if (m_harmonics) {
        ChangeSettings([](SettingsFiles& s) { s.config.HarmonicsVisible = false; });
        CloseHarmonics();
    }
}

void CTunerWnd::OnActivate(wxActivateEvent& event) {
    // Both windows come to the front together, the activated one on top.
    if (event.GetActive() && m_harmonics && m_harmonics->IsShown()) BringPairToFront(this, m_harmonics);
    event.Skip();
}
