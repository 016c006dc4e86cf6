#include "dialogs/ListEditorDialog.h"

#include <wx/settings.h>
#include <wx/stattext.h>

#include "dialogs/logic/ListEditorRows.h"
#include "grid/ZelvoGridCtrl.h"

namespace ListEditorUi {

wxColour OffsetColour(float cents) {
    return ListEditorRows::ShowsAsNegative(cents) ? wxColour(255, 0, 0)
                                                  : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
}

wxColour ActiveBackground() {
    return wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
}

wxColour InactiveBackground() {
    return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
}

wxSizer* CaptionedGrid(wxWindow* parent, const wxString& caption, ZelvoGridCtrl* grid, wxSize minSize) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(parent, wxID_ANY, caption),
                wxSizerFlags().Border(wxBOTTOM, parent->FromDIP(3)));
    grid->SetMinSize(parent->FromDIP(minSize));
    column->Add(grid, wxSizerFlags(1).Expand());
    return column;
}

wxSizer* ButtonColumn(wxWindow* parent, const ListEditorIds& ids, const std::vector<wxButton*>& extra) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    const int gap = parent->FromDIP(4);
    auto add = [&](wxWindow* button) { column->Add(button, wxSizerFlags().Expand().Border(wxBOTTOM, gap)); };
    add(new wxButton(parent, ids.newId, "&New"));
    add(new wxButton(parent, ids.deleteId, "&Delete"));
    add(new wxButton(parent, ids.upId, "&Up"));
    add(new wxButton(parent, ids.downId, "Do&wn"));
    if (!extra.empty()) column->AddSpacer(gap * 2);
    for (wxButton* button : extra) add(button);
    // Save and Cancel stand apart at the bottom.
    column->AddStretchSpacer();
    add(new wxButton(parent, ids.saveId, "&Save"));
    column->Add(new wxButton(parent, wxID_CANCEL, "Cancel"), wxSizerFlags().Expand());
    return column;
}

void Finish(wxDialog* dialog, wxSizer* content, int gap) {
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(content, wxSizerFlags(1).Expand().Border(wxALL, gap));
    dialog->SetSizerAndFit(outer);
    dialog->CentreOnParent();
}

bool ConfirmDiscard(bool modified, const EditorMessagePresenter& ask) {
    if (!modified) return true;
    return ask(DiscardQuestion, DiscardCaption, wxYES_NO) == wxYES;
}

bool ConfirmSave(const std::string& warning, const wxString& caption, const EditorMessagePresenter& ask) {
    if (warning.empty()) return true;
    const wxString text = wxString::FromUTF8(warning) + "\n\nSave anyway?";
    return ask(text, caption, wxYES_NO | wxICON_EXCLAMATION) == wxYES;
}

}  // namespace ListEditorUi
