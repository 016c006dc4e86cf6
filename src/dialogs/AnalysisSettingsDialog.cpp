#include "dialogs/AnalysisSettingsDialog.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/wupdlock.h>

#include "dialogs/logic/TuningSettingsRules.h"

namespace {

wxArrayString ToArray(const std::vector<std::string>& names) {
    wxArrayString array;
    for (const std::string& name : names) array.Add(wxString::FromUTF8(name));
    return array;
}

void Fill(wxChoice& choice, const TuningSettingsRules::ListFill& fill) {
    choice.Set(ToArray(fill.names));
    choice.SetSelection(fill.selection);
}

// A number field is as wide as the longest text it is meant for, in the
// font it shows, so a large font does not cut the number off.
constexpr const char* WidestNumber = "-1200.000";

}  // namespace

CAnalysisSettingsDialog::CAnalysisSettingsDialog(wxWindow* parent, const SettingsFiles& settings,
                                                 TuningListEditors editors)
    : CValueDialog(parent, DialogId, "Edit Tuning Settings", settings),
      m_editors(std::move(editors)),
      m_keptOnCancel(settings) {
    CreateMiddleAGroup();
    CreateTemperamentGroup();
    CreateStretchGroup();
    CreateTransposeGroup();
    ShowInitialValues();
    FinishLayout();
}

void CAnalysisSettingsDialog::CreateMiddleAGroup() {
    wxStaticBoxSizer* group = AddGroup("Middle A Frequency");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(3, Gap(), Gap());
    const auto row = [&](const wxString& label, int id, const wxString& unit) {
        grid->Add(new wxStaticText(box, wxID_ANY, label), wxSizerFlags().CentreVertical());
        auto* field = new wxTextCtrl(box, id);
        field->SetInitialSize(field->GetSizeFromText(WidestNumber));
        grid->Add(field, wxSizerFlags().CentreVertical());
        grid->Add(new wxStaticText(box, wxID_ANY, unit), wxSizerFlags().CentreVertical());
        return field;
    };
    m_hz = row("Middle A Frequency", HzFieldId, "Hz");
    m_cents = row("Cents above 440 Hz", CentsFieldId, "Cents");
    group->Add(grid, wxSizerFlags().Border(wxALL, Gap()));
    m_hz->Bind(wxEVT_TEXT, &CAnalysisSettingsDialog::OnHzText, this);
    m_cents->Bind(wxEVT_TEXT, &CAnalysisSettingsDialog::OnCentsText, this);
}

void CAnalysisSettingsDialog::CreateTemperamentGroup() {
    wxStaticBoxSizer* group = AddGroup("Temperament");
    wxWindow* box = group->GetStaticBox();
    group->Add(new wxStaticText(box, wxID_ANY, "Select the temperament and key to use:"),
               wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP, Gap()));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_temperaments = new wxChoice(box, TemperamentListId);
    m_keys = new wxChoice(box, KeyListId, wxDefaultPosition, wxDefaultSize,
                          ToArray(TuningSettingsRules::KeyNames()));
    m_editTemperaments = new wxButton(box, EditTemperamentsId, "Edit...");
    row->Add(m_temperaments, wxSizerFlags(1).CentreVertical());
    row->Add(new wxStaticText(box, wxID_ANY, "in the key of"),
             wxSizerFlags().CentreVertical().Border(wxLEFT | wxRIGHT, Gap()));
    row->Add(m_keys, wxSizerFlags().CentreVertical());
    row->Add(m_editTemperaments, wxSizerFlags().CentreVertical().Border(wxLEFT, Gap()));
    group->Add(row, wxSizerFlags().Expand().Border(wxALL, Gap()));
    m_editTemperaments->Enable(static_cast<bool>(m_editors.temperaments));
    m_editTemperaments->Bind(wxEVT_BUTTON, &CAnalysisSettingsDialog::OnEditTemperaments, this);
}

void CAnalysisSettingsDialog::CreateStretchGroup() {
    wxStaticBoxSizer* group = AddGroup("Stretch Table");
    wxWindow* box = group->GetStaticBox();
    group->Add(new wxStaticText(box, wxID_ANY, "Select the stretch table to use:"),
               wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP, Gap()));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_stretches = new wxChoice(box, StretchListId);
    m_editStretches = new wxButton(box, EditStretchesId, "Edit...");
    row->Add(m_stretches, wxSizerFlags(1).CentreVertical());
    row->Add(m_editStretches, wxSizerFlags().CentreVertical().Border(wxLEFT, Gap()));
    group->Add(row, wxSizerFlags().Expand().Border(wxALL, Gap()));
    m_editStretches->Enable(static_cast<bool>(m_editors.stretches));
    m_editStretches->Bind(wxEVT_BUTTON, &CAnalysisSettingsDialog::OnEditStretches, this);
}

void CAnalysisSettingsDialog::CreateTransposeGroup() {
    wxStaticBoxSizer* group = AddGroup("Transpose", wxHORIZONTAL);
    wxWindow* box = group->GetStaticBox();
    m_transpose = new wxChoice(box, TransposeListId, wxDefaultPosition, wxDefaultSize,
                               ToArray(TuningSettingsRules::TransposeNames()));
    group->Add(new wxStaticText(box, wxID_ANY, "Select transpose:"),
               wxSizerFlags().CentreVertical().Border(wxALL, Gap()));
    group->Add(m_transpose, wxSizerFlags().CentreVertical().Border(wxALL, Gap()));
}

void CAnalysisSettingsDialog::ShowInitialValues() {
    const SettingsFiles& s = Edited();
    // ChangeValue: setting a field must not look like the user typing.
    m_hz->ChangeValue(wxString::FromUTF8(TuningSettingsRules::HzText(s.config.MiddleA)));
    m_cents->ChangeValue(wxString::FromUTF8(TuningSettingsRules::CentsText(s.config.MiddleA)));
    const int keys = static_cast<int>(m_keys->GetCount());
    m_keys->SetSelection(TuningSettingsRules::SelectionOf(s.temperaments.SelectedKey, keys));
    const int transposes = static_cast<int>(m_transpose->GetCount());
    m_transpose->SetSelection(TuningSettingsRules::SelectionOf(s.config.Pitch, transposes));
    FillLists();
}

void CAnalysisSettingsDialog::FillLists() {
    // One repaint for both lists, after they are refilled.
    wxWindowUpdateLocker lockTemperaments(m_temperaments);
    wxWindowUpdateLocker lockStretches(m_stretches);
    const TuningSettingsRules::ListFill temperaments =
        TuningSettingsRules::TemperamentFill(Edited().temperaments);
    const TuningSettingsRules::ListFill stretches = TuningSettingsRules::StretchFill(Edited().stretches);
    Fill(*m_temperaments, temperaments);
    Fill(*m_stretches, stretches);
    m_stretches->Enable(stretches.enabled);
    m_temperaments->Enable(temperaments.enabled);
    m_keys->Enable(temperaments.enabled);
}

void CAnalysisSettingsDialog::OnHzText(wxCommandEvent& event) {
    event.Skip();
    // Only the user's own typing counts; the other field is set quietly.
    if (wxWindow::FindFocus() != m_hz) return;
    if (auto cents = TuningSettingsRules::CentsTextForHzInput(m_hz->GetValue().utf8_string()))
        m_cents->ChangeValue(wxString::FromUTF8(*cents));
}

void CAnalysisSettingsDialog::OnCentsText(wxCommandEvent& event) {
    event.Skip();
    if (wxWindow::FindFocus() != m_cents) return;
    if (auto hz = TuningSettingsRules::HzTextForCentsInput(m_cents->GetValue().utf8_string()))
        m_hz->ChangeValue(wxString::FromUTF8(*hz));
}

void CAnalysisSettingsDialog::TakeSelections() {
    TuningSettingsRules::TakeChoice(
        Edited(), {m_temperaments->GetSelection(), m_keys->GetSelection(), m_stretches->GetSelection(),
                   m_transpose->GetSelection(), m_hz->GetValue().utf8_string()});
}

void CAnalysisSettingsDialog::OnEditTemperaments(wxCommandEvent&) {
    if (!m_editors.temperaments) return;
    TakeSelections();
    std::optional<TemperamentList> edited = m_editors.temperaments(this, Edited().temperaments);
    if (!edited) return;
    Edited().temperaments = *edited;
    // The saved list and its selection stand from now on; the key stays
    // the caller's until OK.
    m_keptOnCancel.temperaments.entries = edited->entries;
    m_keptOnCancel.temperaments.SelectedIndex = edited->SelectedIndex;
    FillLists();
}

void CAnalysisSettingsDialog::OnEditStretches(wxCommandEvent&) {
    if (!m_editors.stretches) return;
    TakeSelections();
    std::optional<StretchList> edited = m_editors.stretches(this, Edited().stretches);
    if (!edited) return;
    Edited().stretches = *edited;
    m_keptOnCancel.stretches = *edited;
    FillLists();
}

bool CAnalysisSettingsDialog::TransferDataFromWindow() {
    TakeSelections();
    return true;
}
