// How the main window takes on new settings: one entry point that stores the
// new settings object and does the work its difference from the old one asks
// for, and the named steps of that work.

#include "app/TunerWnd.h"
#include "app/logic/MainWindowRules.h"
#include "app/logic/TuningStatusText.h"
#include "harmonics/HarmonicsDialog.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "tuning/NoteTable.h"
#include "units/Units.h"

void CTunerWnd::ChangeSettings(const std::function<void(SettingsFiles&)>& edit) {
    SettingsFiles next = m_settings;
    edit(next);
    ApplySettings(next);
}

void CTunerWnd::ApplySettings(const SettingsFiles& newSettings) {
    SettingsFiles next = newSettings;
    // The window's rectangle is kept where the window put it on its last move
    // or resize: a copy taken before that (when a dialog opened, say) must not
    // carry an older one back to be saved.
    const ConfigRecord& current = m_settings.config;
    next.config.TunerPosLeft = current.TunerPosLeft;
    next.config.TunerPosTop = current.TunerPosTop;
    next.config.TunerPosRight = current.TunerPosRight;
    next.config.TunerPosBottom = current.TunerPosBottom;
    // The same for the harmonics window's rectangle.
    next.config.HarmonicsPosLeft = current.HarmonicsPosLeft;
    next.config.HarmonicsPosTop = current.HarmonicsPosTop;
    next.config.HarmonicsPosRight = current.HarmonicsPosRight;
    next.config.HarmonicsPosBottom = current.HarmonicsPosBottom;

    const SettingsChanges changes = SettingsChanges::Between(m_settings, next);
    if (!changes.any) return;
    m_settings = std::move(next);
    // The pipeline works on its own copy: it gets the new one before
    // anything below asks it for values.
    m_pipeline->ApplyConfig(m_settings.config);

    // The note table first: the panes and the harmonics reference read it.
    if (changes.noteTable) ApplyTuning();
    ApplyToPanes(changes);
    if (changes.presetMenu) RebuildPresetMenu();
    if (changes.alwaysOnTop) ApplyAlwaysOnTop();
    // The harmonics window's visibility follows the window (its command and
    // its destruction), not the other way round.
    if (changes.harmonicsSelections) m_pipeline->HarmonicsSettingsApplied();
    // Before the start-up event recording has not begun; it will start with
    // these settings.
    if (changes.capture && m_startupHandled && !m_shutDown) RestartRecording();
    if (changes.statusText) UpdateStatusText();
}

void CTunerWnd::ApplyTuning() {
    m_pipeline->SetNoteTable(
        BuildNoteTable(m_settings.stretches, m_settings.temperaments, m_settings.config.MiddleA));
}

void CTunerWnd::ApplyToPanes(const SettingsChanges& changes) {
    const ConfigRecord& config = m_settings.config;
    if (changes.noteTable || changes.transposition) {
        m_global->SetNoteTable(m_pipeline->GetNoteTable());
        m_global->SetTranspose(config.Pitch);
        if (m_harmonics) m_harmonics->SetNoteTable(m_pipeline->GetNoteTable());
        m_pipeline->NotifyHarmonics(true);
    }
    if (changes.activePreset) ApplyActivePreset();
    if (changes.smoothing) {
        m_fine->smoothing = config.Smooth;
        m_fine->RefreshIfChanged();
    }
    if (changes.noiseFloor) {
        // A drag of the marker arrives here too; it is only moved when the
        // floor came from elsewhere.
        const auto marker = static_cast<float>(Units::MeterPositionFromDb(config.NoiseFloor));
        if (m_energy->floorPosition != marker && !m_energy->IsDragging()) {
            m_energy->floorPosition = marker;
            m_energy->Refresh();
        }
    }
    // The labels and the ladder show the new reference at once rather than
    // at the next display tick.
    if (changes.noteTable || changes.transposition || changes.activePreset || changes.centAccuracy)
        UpdateIndicators();
}

void CTunerWnd::ApplyAlwaysOnTop() {
    long style = GetWindowStyleFlag();
    if (m_settings.config.AlwaysOnTop)
        style |= wxSTAY_ON_TOP;
    else
        style &= ~wxSTAY_ON_TOP;
    SetWindowStyleFlag(style);
    if (m_harmonics) m_harmonics->SetAlwaysOnTop(m_settings.config.AlwaysOnTop);
    Show();
    Raise();
}

void CTunerWnd::ApplyActivePreset() {
    m_global->SetNotes(ActivePreset(m_settings.presets, m_defaultPreset).notes);
}

void CTunerWnd::RestartRecording() {
    const StartOutcome outcome = m_pipeline->StartRecording(false);
    if (!outcome.message.empty())
        ShowMessage(wxString::FromUTF8(outcome.message), MainWindowRules::BaseTitle, wxOK);
}

std::string CTunerWnd::StatusBarText() {
    const std::uint32_t now = SteadyTickCount();
    m_statusNotice.Post(m_pipeline->TakeOverrunMessage(), now);
    return m_statusNotice.Text(TuningStatusText(m_settings.config.MiddleA, m_settings.temperaments,
                                                m_settings.stretches, m_settings.config.Pitch),
                               now);
}
