// The main window's commands that open the tuning-settings and the
// recording-device dialogs. Both dialogs work on a copy of the settings and
// end in ApplySettings.

#include "app/TunerWnd.h"
#include "dialogs/AnalysisSettingsDialog.h"
#include "dialogs/RecordingDeviceDialog.h"
#include "dialogs/logic/RecordingDeviceRules.h"

void CTunerWnd::OnTuningSettings(wxCommandEvent&) {
    CAnalysisSettingsDialog dialog(this, m_settings, m_options.listEditors);
    const std::optional<SettingsFiles> edited = dialog.Edit();
    // Cancel still keeps a list an editor saved while the dialog was open;
    // ApplySettings rebuilds the note table, the panes and the status text
    // for whatever changed.
    ApplySettings(edited ? *edited : dialog.KeptOnCancel());
}

void CTunerWnd::OnRecordingDevice(wxCommandEvent&) {
    const double lastDetected = RecordingDeviceRules::LastDetectedFrequency(m_pipeline->Tracker().Track());
    std::optional<SettingsFiles> edited;
    {
        CRecordingDeviceDialog dialog(this, m_settings, *m_options.captureDevice, lastDetected);
        edited = dialog.Edit();
    }
    if (!edited) return;  // Cancel: nothing changes, recording goes on as it was
    // OK restarts recording even when device and format stay the same (the
    // user may have fixed the device outside the program): stop first, so
    // the capture is not open while the settings change, then start with a
    // message on failure. ApplySettings restarts by itself when the capture
    // settings differ.
    const bool recording = m_startupHandled && !m_shutDown;
    if (recording) m_pipeline->StopRecording();
    const bool restartsItself = SettingsChanges::Between(m_settings, *edited).capture;
    ApplySettings(*edited);
    if (recording && !restartsItself) RestartRecording();
}
