#include "dialogs/OffsetListDialog.h"

#include <wx/stattext.h>

#include "dialogs/logic/ListEditorRows.h"
#include "grid/ZelvoGridCtrl.h"

namespace {

wxString Utf8(const std::string& text) {
    return wxString::FromUTF8(text);
}

}  // namespace

template <class List>
COffsetListDialog<List>::COffsetListDialog(wxWindow* parent, const List& list,
                                           const OffsetEditorLayout& layout)
    : CListEditorDialog<List>(parent, layout.dialogId, layout.title, list, layout.ids),
      m_layout(layout),
      m_model(list.entries, list.SelectedIndex) {}

template <class List>
void COffsetListDialog<List>::BuildLayout(const std::vector<wxButton*>& extraButtons) {
    using Rows = ListEditorRows::OffsetRows<Record>;
    m_list = new ZelvoGridCtrl(this, ListGridId, wxRect(wxDefaultPosition, this->FromDIP(wxSize(200, 300))));
    m_list->SetColumnCount(1);
    m_list->SetRowCount(m_model.Count());
    for (int row = 0; row < m_model.Count(); ++row)
        m_list->SetText(row, 0, Utf8(m_model.Records()[static_cast<std::size_t>(row)].name));

    m_offsets =
        new ZelvoGridCtrl(this, OffsetsGridId, wxRect(wxDefaultPosition, this->FromDIP(wxSize(170, 300))));
    m_offsets->SetColumnCount(2);
    m_offsets->SetFixedRowCount(1);
    m_offsets->SetHeaderText(NoteColumn, "Note");
    m_offsets->SetHeaderText(CentsColumn, "Offset");
    m_offsets->SetColumnFixed(NoteColumn);
    m_offsets->SetRowCount(Rows::Count);
    for (int row = 0; row < Rows::Count; ++row) m_offsets->SetText(row, NoteColumn, Utf8(Rows::Name(row)));

    // The selection the editor opened with is shown; otherwise no row has
    // the focus, so New appends.
    m_list->FocusRow(m_model.Selected());
    FillOffsets();
    m_list->Bind(EVT_ZELVO_GRID_EDIT_END, &COffsetListDialog::OnListEditEnd, this);
    m_list->Bind(EVT_ZELVO_GRID_SELECTION, &COffsetListDialog::OnListSelection, this);
    m_offsets->Bind(EVT_ZELVO_GRID_EDIT_END, &COffsetListDialog::OnOffsetEditEnd, this);

    auto* instructions = new wxStaticText(this, wxID_ANY, m_layout.instructions);
    instructions->Wrap(this->FromDIP(480));
    this->Content()->Add(instructions, wxSizerFlags().Border(wxBOTTOM, this->Gap()));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(ListEditorUi::CaptionedGrid(this, m_layout.listCaption, m_list, wxSize(200, 300)),
             wxSizerFlags(1).Expand().Border(wxRIGHT, this->Gap()));
    row->Add(ListEditorUi::CaptionedGrid(this, "Half-step cent deviation", m_offsets, wxSize(170, 300)),
             wxSizerFlags(1).Expand().Border(wxRIGHT, this->Gap()));
    row->Add(ListEditorUi::ButtonColumn(this, this->Ids(), extraButtons), wxSizerFlags().Expand());
    this->Content()->Add(row, wxSizerFlags(1).Expand());
    ListEditorUi::Finish(this, this->Content(), this->Gap());
}

template <class List>
void COffsetListDialog<List>::InsertRecord(Record record) {
    const std::string name = record.name;
    const int row = m_model.Insert(m_list->FocusedRow(), std::move(record));
    m_list->InsertRow(row);
    m_list->SetText(row, 0, Utf8(name));
    m_model.Select(row);
    FillOffsets();
}

template <class List>
void COffsetListDialog<List>::OnNew() {
    InsertRecord(NewRecord());
}

template <class List>
void COffsetListDialog<List>::OnDelete() {
    const int row = m_list->FocusedRow();
    if (!m_model.Remove(row)) return;
    // The row the grid focuses now is the selected record.
    m_model.Select(m_list->DeleteRow(row));
    FillOffsets();
}

template <class List>
void COffsetListDialog<List>::OnUp() {
    const int row = m_list->FocusedRow();
    if (!m_model.MoveUp(row)) return;
    const wxString text = m_list->Text(row, 0);
    m_list->SetText(row, 0, m_list->Text(row - 1, 0));
    m_list->SetText(row - 1, 0, text);
}

template <class List>
void COffsetListDialog<List>::OnDown() {
    const int row = m_list->FocusedRow();
    if (!m_model.MoveDown(row)) return;
    const wxString text = m_list->Text(row, 0);
    m_list->SetText(row, 0, m_list->Text(row + 1, 0));
    m_list->SetText(row + 1, 0, text);
}

template <class List>
void COffsetListDialog<List>::StoreEdits(List& list) const {
    list.entries = m_model.Records();
    list.SelectedIndex = m_model.Selected();
}

template <class List>
void COffsetListDialog<List>::FillOffsets() {
    using Rows = ListEditorRows::OffsetRows<Record>;
    const Record* record = m_model.SelectedRecord();
    m_offsets->Enable(record != nullptr);
    const wxColour background =
        record ? ListEditorUi::ActiveBackground() : ListEditorUi::InactiveBackground();
    for (int row = 0; row < Rows::Count; ++row) {
        m_offsets->SetBackground(row, CentsColumn, background);
        // With nothing selected the cells are emptied too: values left from
        // a deleted record would read as if they still counted.
        if (record)
            ShowOffset(row, Rows::Get(*record, row));
        else
            m_offsets->SetText(row, CentsColumn, wxEmptyString);
    }
    m_offsets->Invalidate();
}

template <class List>
void COffsetListDialog<List>::ShowOffset(int row, float cents) {
    m_offsets->SetText(row, CentsColumn, Utf8(ListEditorRows::OffsetText(cents)));
    m_offsets->SetTextColour(row, CentsColumn, ListEditorUi::OffsetColour(cents));
}

template <class List>
void COffsetListDialog<List>::OnListEditEnd(ZelvoGridEvent& event) {
    if (!GridRows::IsDataRow(event.Row(), m_model.Count())) return;
    m_model.Change(event.Row()).name = std::string(m_list->Text(event.Row(), 0).utf8_str());
}

template <class List>
void COffsetListDialog<List>::OnListSelection(ZelvoGridEvent& event) {
    event.Skip();
    if (event.Row() == m_model.Selected()) return;
    m_model.Select(event.Row());
    FillOffsets();
}

template <class List>
void COffsetListDialog<List>::OnOffsetEditEnd(ZelvoGridEvent& event) {
    using Rows = ListEditorRows::OffsetRows<Record>;
    const int row = event.Row();
    const int selected = m_model.Selected();
    if (selected < 0 || row < 0 || row >= Rows::Count || event.Column() != CentsColumn) return;
    const float cents =
        ListEditorRows::ReadOffsetText(std::string(m_offsets->Text(row, CentsColumn).utf8_str()));
    Rows::Set(m_model.Change(selected), row, cents);
    ShowOffset(row, cents);
}

template class COffsetListDialog<TemperamentList>;
template class COffsetListDialog<StretchList>;

namespace {

constexpr const char* StretchInstructions =
    "Select a stretch table to edit, or create a new one.  Use the right table to modify the cents offset "
    "deviation from Equal Temperament for each half-step.";

}  // namespace

CStretchDialog::CStretchDialog(wxWindow* parent, const StretchList& list)
    : COffsetListDialog(parent, list,
                        {DialogId,
                         "Edit Stretch Tables",
                         StretchInstructions,
                         "Stretch Tables",
                         {NewId, DeleteId, UpId, DownId, SaveId}}) {
    BuildLayout({});
}

StretchTable CStretchDialog::NewRecord() const {
    return ListEditorRows::NewStretchTable();
}
