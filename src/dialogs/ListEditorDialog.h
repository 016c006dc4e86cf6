#pragma once
// What the three list editors share: a private copy of the list, a column of
// buttons (New, Delete, Up, Down, Save, Cancel) beside the grids, "Save"
// that hands the copy back, and Cancel (the button, Escape or the close box)
// that asks before throwing changes away.

#include <functional>
#include <utility>
#include <vector>

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>

#include "dialogs/DialogBase.h"
#include "dialogs/logic/ListSaveCheck.h"

class ZelvoGridCtrl;

// The ids of an editor's own buttons (Cancel is wxID_CANCEL in all three).
struct ListEditorIds {
    int newId;
    int deleteId;
    int upId;
    int downId;
    int saveId;
};

// Shows a message box and returns the button pressed (wxYES, wxNO, wxOK,
// wxCANCEL). Tests answer in its place.
using EditorMessagePresenter = std::function<int(const wxString& text, const wxString& caption, long style)>;

namespace ListEditorUi {

inline constexpr const char* DiscardQuestion = "Are you sure you wish to cancel and discard changes?";
inline constexpr const char* DiscardCaption = "Discard Changes";

// The colour of an offset cell's text: red below zero, the window's text
// colour otherwise.
wxColour OffsetColour(float cents);
// The background of the offsets grid's rows while a record is shown, and
// while none is.
wxColour ActiveBackground();
wxColour InactiveBackground();

// A grid of at least `minSize` (in DIPs) under a caption, in a column.
wxSizer* CaptionedGrid(wxWindow* parent, const wxString& caption, ZelvoGridCtrl* grid, wxSize minSize);

// The button column: New, Delete, Up, Down, then `extra` buttons (already
// created as children of `parent`), then Save and Cancel.
wxSizer* ButtonColumn(wxWindow* parent, const ListEditorIds& ids, const std::vector<wxButton*>& extra = {});

// Lays out `content` (the dialog's controls) with the house gap around it,
// sizes the dialog to fit and centres it on its parent.
void Finish(wxDialog* dialog, wxSizer* content, int gap);

// Asks with `ask` whether to discard changes; true to close.
bool ConfirmDiscard(bool modified, const EditorMessagePresenter& ask);
// When `warning` is not empty, shows it and asks whether to save anyway.
bool ConfirmSave(const std::string& warning, const wxString& caption, const EditorMessagePresenter& ask);

}  // namespace ListEditorUi

template <class List>
class CListEditorDialog : public CValueDialog<List> {
public:
    // Replaces the message boxes (the discard question, the save warning and
    // the editor's own messages).
    void SetMessagePresenter(EditorMessagePresenter presenter) { m_ask = std::move(presenter); }

protected:
    CListEditorDialog(wxWindow* parent, wxWindowID id, const wxString& title, List list,
                      const ListEditorIds& ids)
        : CValueDialog<List>(parent, id, title, std::move(list)), m_ids(ids) {
        this->Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnNew(); }, ids.newId);
        this->Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnDelete(); }, ids.deleteId);
        this->Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnUp(); }, ids.upId);
        this->Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnDown(); }, ids.downId);
        this->Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnSave(); }, ids.saveId);
        // Escape and the close box arrive here as a click on Cancel.
        this->Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, wxID_CANCEL);
    }

    const ListEditorIds& Ids() const { return m_ids; }

    virtual void OnNew() = 0;
    virtual void OnDelete() = 0;
    virtual void OnUp() = 0;
    virtual void OnDown() = 0;
    virtual bool IsModified() const = 0;
    // Writes the edited rows (and selection) into the copy handed back.
    virtual void StoreEdits(List& list) const = 0;

    int Ask(const wxString& text, const wxString& caption, long style) {
        if (m_ask) return m_ask(text, caption, style);
        return wxMessageBox(text, caption, style, this);
    }

private:
    EditorMessagePresenter Presenter() {
        return [this](const wxString& text, const wxString& caption, long style) {
            return Ask(text, caption, style);
        };
    }

    void OnSave() {
        List edited = this->Edited();
        StoreEdits(edited);
        if (!ListEditorUi::ConfirmSave(ListSaveWarning(edited), this->GetTitle(), Presenter())) return;
        this->Edited() = std::move(edited);
        this->EndModal(wxID_OK);
    }

    void OnCancel() {
        if (ListEditorUi::ConfirmDiscard(IsModified(), Presenter())) this->EndModal(wxID_CANCEL);
    }

    ListEditorIds m_ids;
    EditorMessagePresenter m_ask;
};
