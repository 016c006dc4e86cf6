#include "dialogs/TemperamentDialog.h"

#include <wx/filedlg.h>

#include "dialogs/logic/ListEditorRows.h"
#include "dialogs/logic/ScalaFiles.h"

namespace {

constexpr const char* TemperamentInstructions =
    "Select a temperament to edit, or create a new one.  Use the right table to modify the cents offset "
    "deviation from Equal Temperament for each half-step.  Assume a key of C when entering values.";

constexpr const char* ScaleWildcard = "Scala scale files (*.scl)|*.scl|All files (*)|*";

std::filesystem::path PathOf(const wxString& file) {
    return std::filesystem::path(std::string(file.utf8_str()));
}

}  // namespace

CTemperamentDialog::CTemperamentDialog(wxWindow* parent, const TemperamentList& list)
    : COffsetListDialog(parent, list,
                        {DialogId,
                         "Edit Temperaments",
                         TemperamentInstructions,
                         "Temperament List",
                         {NewId, DeleteId, UpId, DownId, SaveId}}) {
    auto* importButton = new wxButton(this, ImportId, "&Import...");
    auto* exportButton = new wxButton(this, ExportId, "&Export...");
    importButton->SetToolTip("Add a temperament read from a Scala scale file (.scl)");
    exportButton->SetToolTip("Write the selected temperament as a Scala scale file (.scl)");
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnImport(); }, ImportId);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnExport(); }, ExportId);
    BuildLayout({importButton, exportButton});
}

Temperament CTemperamentDialog::NewRecord() const {
    return ListEditorRows::NewTemperament();
}

wxString CTemperamentDialog::ChooseFile(bool save, const wxString& suggestedName) {
    if (m_choose) return m_choose(save, suggestedName);
    if (save) {
        return wxFileSelector("Export Scala Scale", wxEmptyString, suggestedName, "scl", ScaleWildcard,
                              wxFD_SAVE | wxFD_OVERWRITE_PROMPT, this);
    }
    return wxFileSelector("Import Scala Scale", wxEmptyString, wxEmptyString, "scl", ScaleWildcard,
                          wxFD_OPEN | wxFD_FILE_MUST_EXIST, this);
}

void CTemperamentDialog::OnImport() {
    const wxString file = ChooseFile(false, wxEmptyString);
    if (file.empty()) return;
    ScalaImportResult result = ImportScalaFile(PathOf(file));
    if (!result.temperament) {
        Ask(wxString::FromUTF8(result.error), "Import Scala Scale", wxOK | wxICON_EXCLAMATION);
        return;
    }
    InsertRecord(std::move(*result.temperament));
}

void CTemperamentDialog::OnExport() {
    const Temperament* selected = Model().SelectedRecord();
    if (!selected) {
        Ask("Select the temperament to export first.", "Export Scala Scale", wxOK | wxICON_INFORMATION);
        return;
    }
    // A name may hold characters a file name cannot; the user can change
    // the suggestion.
    wxString suggestion = wxString::FromUTF8(selected->name);
    suggestion.Replace("/", "-");
    const wxString file = ChooseFile(true, suggestion + ".scl");
    if (file.empty()) return;
    const std::string error = ExportScalaFile(*selected, PathOf(file));
    if (!error.empty()) Ask(wxString::FromUTF8(error), "Export Scala Scale", wxOK | wxICON_EXCLAMATION);
}
