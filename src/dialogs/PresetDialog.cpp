#include "dialogs/PresetDialog.h"

#include "dialogs/logic/ListEditorRows.h"
#include "grid/ZelvoGridCtrl.h"

CPresetDialogEx::CPresetDialogEx(wxWindow* parent, const PresetList& list)
    : CListEditorDialog(parent, DialogId, "Edit Note Presets", list, {NewId, DeleteId, UpId, DownId, SaveId}),
      m_model(list.entries) {
    m_list = new ZelvoGridCtrl(this, ListGridId, wxRect(wxDefaultPosition, FromDIP(wxSize(360, 240))));
    m_list->SetColumnCount(2);
    m_list->SetFixedRowCount(1);
    m_list->SetHeaderText(NameColumn, "Name");
    m_list->SetHeaderText(NotesColumn, "Notes");
    m_list->SetRowCount(m_model.Count());
    for (int row = 0; row < m_model.Count(); ++row) ShowRow(row);
    m_list->FocusRow(-1);
    m_list->Bind(EVT_ZELVO_GRID_EDIT_END, &CPresetDialogEx::OnEditEnd, this);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(ListEditorUi::CaptionedGrid(this, "Preset List", m_list, wxSize(360, 240)),
             wxSizerFlags(1).Expand().Border(wxRIGHT, Gap()));
    row->Add(ListEditorUi::ButtonColumn(this, Ids()), wxSizerFlags().Expand());
    Content()->Add(row, wxSizerFlags(1).Expand());
    ListEditorUi::Finish(this, Content(), Gap());
}

void CPresetDialogEx::ShowRow(int row) {
    const Preset& preset = m_model.Records()[static_cast<std::size_t>(row)];
    m_list->SetText(row, NameColumn, wxString::FromUTF8(preset.name));
    m_list->SetText(row, NotesColumn, wxString::FromUTF8(ListEditorRows::NotesText(preset.notes)));
}

void CPresetDialogEx::OnNew() {
    const int row = m_model.Insert(m_list->FocusedRow(), ListEditorRows::NewPreset());
    m_list->InsertRow(row);
    ShowRow(row);
}

void CPresetDialogEx::OnDelete() {
    const int row = m_list->FocusedRow();
    if (!m_model.Remove(row)) return;
    m_list->DeleteRow(row);
}

void CPresetDialogEx::OnUp() {
    const int row = m_list->FocusedRow();
    if (!m_model.MoveUp(row)) return;
    ShowRow(row);
    ShowRow(row - 1);
}

void CPresetDialogEx::OnDown() {
    const int row = m_list->FocusedRow();
    if (!m_model.MoveDown(row)) return;
    ShowRow(row);
    ShowRow(row + 1);
}

void CPresetDialogEx::StoreEdits(PresetList& list) const {
    list.entries = m_model.Records();
}

void CPresetDialogEx::OnEditEnd(ZelvoGridEvent& event) {
    const int row = event.Row();
    if (!GridRows::IsDataRow(row, m_model.Count())) return;
    const std::string text = std::string(m_list->Text(row, event.Column()).utf8_str());
    Preset& preset = m_model.Change(row);
    if (event.Column() == NameColumn) {
        preset.name = text;
    } else {
        preset.notes = ListEditorRows::NotesOfText(text);
        // The user sees at once what the text was read as.
        m_list->SetText(row, NotesColumn, wxString::FromUTF8(ListEditorRows::NotesText(preset.notes)));
    }
}
