#include "dialogs/RecordingDeviceDialog.h"

#include <optional>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/wupdlock.h>

#include "capture/WaveFormat.h"
#include "dialogs/logic/RecordingDeviceRules.h"

namespace {

// The calibration fields fit this number in the font they show.
constexpr const char* WidestNumber = "00000.00";
// The explanation wraps after about this many characters, so it keeps its
// shape at any font size.
constexpr int ExplanationWidthChars = 60;

std::optional<std::size_t> SelectedEntry(const wxChoice& choice, std::size_t entries) {
    const int selection = choice.GetSelection();
    if (selection < 0 || static_cast<std::size_t>(selection) >= entries) return std::nullopt;
    return static_cast<std::size_t>(selection);
}

}  // namespace

CRecordingDeviceDialog::CRecordingDeviceDialog(wxWindow* parent, const SettingsFiles& settings,
                                               Recorder::ICaptureDevice& devices, double lastDetected)
    : CValueDialog(parent, DialogId, "Recording Device and Calibration", settings),
      m_devices(devices),
      m_currentFormat(static_cast<std::uint32_t>(settings.config.Format)) {
    CreateDeviceGroup();
    CreateCalibrationGroup(lastDetected);
    {
        wxBusyCursor busy;
        FillDevices();
        FillFormats();
    }
    FinishLayout();
}

void CRecordingDeviceDialog::CreateDeviceGroup() {
    wxStaticBoxSizer* group = AddGroup("Recording Device");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, Gap(), Gap());
    grid->AddGrowableCol(1);
    const auto row = [&](const wxString& label, int id) {
        grid->Add(new wxStaticText(box, wxID_ANY, label), wxSizerFlags().CentreVertical());
        auto* choice = new wxChoice(box, id);
        grid->Add(choice, wxSizerFlags().Expand().CentreVertical());
        return choice;
    };
    m_deviceList = row("Device to use", DeviceListId);
    m_formatList = row("Rate / Bits / Channel", FormatListId);
    // Kept for its place in the layout; it offers nothing yet, so it is
    // shown disabled rather than as a control that does nothing.
    row("Stereo Options", StereoOptionsId)->Disable();
    group->Add(grid, wxSizerFlags().Expand().Border(wxALL, Gap()));
    m_deviceList->Bind(wxEVT_CHOICE, &CRecordingDeviceDialog::OnDeviceChanged, this);
    m_formatList->Bind(wxEVT_CHOICE, &CRecordingDeviceDialog::OnFormatChanged, this);
}

void CRecordingDeviceDialog::CreateCalibrationGroup(double lastDetected) {
    const ConfigRecord& config = Edited().config;
    wxStaticBoxSizer* group = AddGroup("Calibration");
    wxWindow* box = group->GetStaticBox();
    auto* explanation = new wxStaticText(box, wxID_ANY, RecordingDeviceRules::ExplanationText);
    explanation->Wrap(explanation->GetCharWidth() * ExplanationWidthChars);
    group->Add(explanation, wxSizerFlags().Border(wxALL, Gap()));

    auto* grid = new wxFlexGridSizer(4, Gap(), Gap());
    const auto field = [&](const wxString& label, int id, float hz) {
        grid->Add(new wxStaticText(box, wxID_ANY, label), wxSizerFlags().CentreVertical());
        auto* text = new wxTextCtrl(box, id, wxString::FromUTF8(RecordingDeviceRules::CalibrationText(hz)));
        text->SetInitialSize(text->GetSizeFromText(WidestNumber));
        grid->Add(text, wxSizerFlags().CentreVertical());
        grid->Add(new wxStaticText(box, wxID_ANY, "Hz"), wxSizerFlags().CentreVertical());
        return text;
    };
    m_known = field("Known frequency", KnownFieldId, config.KnownFreq);
    grid->AddSpacer(0);
    m_observed = field("Observed frequency", ObservedFieldId, config.ExpectedFreq);
    auto* copy = new wxButton(box, CopyToObservedId, "Copy to Observed");
    grid->Add(copy, wxSizerFlags().CentreVertical());
    group->Add(grid, wxSizerFlags().Border(wxLEFT | wxRIGHT, Gap()));

    auto* last = new wxBoxSizer(wxHORIZONTAL);
    last->Add(new wxStaticText(box, LastDetectedLabelId, "Last detected frequency:"),
              wxSizerFlags().CentreVertical());
    m_lastDetected = new wxStaticText(
        box, LastDetectedId, wxString::FromUTF8(RecordingDeviceRules::LastDetectedText(lastDetected)));
    last->Add(m_lastDetected, wxSizerFlags().CentreVertical().Border(wxLEFT, Gap()));
    group->Add(last, wxSizerFlags().Border(wxALL, Gap()));
    copy->Enable(RecordingDeviceRules::CanCopyToObserved(lastDetected));
    copy->Bind(wxEVT_BUTTON, &CRecordingDeviceDialog::OnCopyToObserved, this);
}

void CRecordingDeviceDialog::FillDevices() {
    const Recorder::DeviceList list = Recorder::ListDevices(m_devices, Edited().config.Device);
    wxArrayString names;
    m_deviceNumbers.clear();
    for (const Recorder::DeviceEntry& entry : list.entries) {
        names.Add(wxString::FromUTF8(entry.text));
        m_deviceNumbers.push_back(entry.deviceNumber);
    }
    m_deviceList->Set(names);
    m_deviceList->SetSelection(list.selected);
}

void CRecordingDeviceDialog::FillFormats() {
    wxWindowUpdateLocker lock(m_formatList);
    m_formatList->Clear();
    m_formatFlags.clear();
    const auto device = SelectedEntry(*m_deviceList, m_deviceNumbers.size());
    if (!device) return;
    const Recorder::FormatList list =
        Recorder::ListFormats(m_devices, m_deviceNumbers[*device], m_currentFormat);
    wxArrayString labels;
    for (const Recorder::FormatEntry& entry : list.entries) {
        labels.Add(wxString::FromUTF8(entry.label));
        m_formatFlags.push_back(entry.flag);
    }
    m_formatList->Set(labels);
    m_formatList->SetSelection(list.selected);
    m_currentFormat = list.selectedFlag;
}

void CRecordingDeviceDialog::OnDeviceChanged(wxCommandEvent&) {
    wxBusyCursor busy;
    FillFormats();
}

void CRecordingDeviceDialog::OnFormatChanged(wxCommandEvent&) {
    if (const auto format = SelectedEntry(*m_formatList, m_formatFlags.size()))
        m_currentFormat = m_formatFlags[*format];
}

void CRecordingDeviceDialog::OnCopyToObserved(wxCommandEvent&) {
    // The number as shown, two decimals: what OK then reads back.
    m_observed->SetValue(m_lastDetected->GetLabel());
}

bool CRecordingDeviceDialog::TransferDataFromWindow() {
    RecordingDeviceRules::DeviceChoice choice;
    const auto device = SelectedEntry(*m_deviceList, m_deviceNumbers.size());
    const auto format = SelectedEntry(*m_formatList, m_formatFlags.size());
    if (device) choice.device = m_deviceNumbers[*device];
    if (format) choice.format = m_formatFlags[*format];
    choice.knownText = m_known->GetValue().utf8_string();
    choice.observedText = m_observed->GetValue().utf8_string();
    RecordingDeviceRules::TakeChoice(Edited().config, choice);
    return true;
}
