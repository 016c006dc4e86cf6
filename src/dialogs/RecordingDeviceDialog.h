#pragma once
// "Recording Device and Calibration": the capture device and its format,
// and the two frequencies of the sample-rate calibration (a known one, e.g.
// a tuning fork's, and the one the tuner observed for it), on a copy of the
// settings.
//
// The device and format lists are asked of the capture layer on the
// user-interface thread while the dialog is built and when another device
// is chosen; some systems take a while to answer, so a busy cursor shows
// meanwhile.

#include <cstdint>
#include <vector>

#include "dialogs/DialogBase.h"
#include "persistence/SettingsFiles.h"

namespace Recorder {
class ICaptureDevice;
}

class wxButton;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

class CRecordingDeviceDialog : public CValueDialog<SettingsFiles> {
public:
    static constexpr int DialogId = 145;
    enum ControlId {
        DeviceListId = 1007,
        FormatListId = 1055,
        StereoOptionsId = 1056,
        KnownFieldId = 1097,
        ObservedFieldId = 1098,
        CopyToObservedId = 1095,
        LastDetectedId = 1096,
        LastDetectedLabelId = 1005,
    };

    // `lastDetected` is the frequency detected last, in Hz, or -1.0 when
    // there is none.
    CRecordingDeviceDialog(wxWindow* parent, const SettingsFiles& settings, Recorder::ICaptureDevice& devices,
                           double lastDetected);

    bool TransferDataFromWindow() override;

private:
    void CreateDeviceGroup();
    void CreateCalibrationGroup(double lastDetected);
    void FillDevices();
    // Refills the format list for the selected device, preselecting the
    // current format or else the first one offered.
    void FillFormats();

    void OnDeviceChanged(wxCommandEvent& event);
    void OnFormatChanged(wxCommandEvent& event);
    void OnCopyToObserved(wxCommandEvent& event);

    Recorder::ICaptureDevice& m_devices;
    std::uint32_t m_currentFormat = 0;
    std::vector<int> m_deviceNumbers;          // per entry of the device list
    std::vector<std::uint32_t> m_formatFlags;  // per entry of the format list
    wxChoice* m_deviceList = nullptr;
    wxChoice* m_formatList = nullptr;
    wxTextCtrl* m_known = nullptr;
    wxTextCtrl* m_observed = nullptr;
    wxStaticText* m_lastDetected = nullptr;
};
