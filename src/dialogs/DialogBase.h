#pragma once
// The base of the program's modal dialogs.
//
// A dialog lays its controls out with sizers only: the subclass creates its
// controls with the ids the caller expects (they are never renumbered), adds
// them to Content() or to titled groups from AddGroup(), and ends its
// constructor with FinishLayout(), which puts the standard OK and Cancel
// buttons below and sizes the dialog to fit. Every fixed measure goes
// through FromDIP, so the dialog keeps its proportions at any display scale.
//
// Values travel the toolkit's way: validators (or overridden
// TransferDataToWindow / TransferDataFromWindow) bind the controls to a copy
// of the caller's value that the dialog owns. The controls show the copy when
// the dialog opens; OK moves their contents back into it and Edit() hands the
// copy back; Cancel, Escape, the close box and a close request of the
// program hand back nothing and leave the caller's value alone.

#include <optional>
#include <utility>

#include <wx/dialog.h>

class wxBoxSizer;
class wxStaticBoxSizer;

class CDialogBase : public wxDialog {
public:
    CDialogBase(wxWindow* parent, wxWindowID id, const wxString& title, long style = wxDEFAULT_DIALOG_STYLE);

    // The space between controls and around the dialog's edge, in pixels
    // at this dialog's display scale.
    int Gap() const;

protected:
    // The column the controls go into, top to bottom.
    wxBoxSizer* Content() const { return m_content; }

    // A group box titled `title`, added to the content column. Controls in
    // it are created with the group's GetStaticBox() as their parent.
    wxStaticBoxSizer* AddGroup(const wxString& title, int orientation = wxVERTICAL);

    // Adds the standard buttons (wxOK | wxCANCEL, or the given flags) under
    // the content, sizes the dialog to its contents and centres it on its
    // parent. Called once, at the end of the subclass's constructor.
    void FinishLayout(long buttons = wxOK | wxCANCEL);

private:
    wxBoxSizer* m_content = nullptr;
};

// A dialog that edits a copy of a Value: the settings (SettingsFiles), one of
// the lists, or whatever a dialog needs.
template <class Value>
class CValueDialog : public CDialogBase {
public:
    CValueDialog(wxWindow* parent, wxWindowID id, const wxString& title, Value value,
                 long style = wxDEFAULT_DIALOG_STYLE)
        : CDialogBase(parent, id, title, style), m_value(std::move(value)) {}

    // Shows the dialog modally. OK: the copy as the controls left it;
    // anything else: nothing.
    std::optional<Value> Edit() {
        if (ShowModal() != wxID_OK) return std::nullopt;
        return m_value;
    }

protected:
    // The copy the controls are bound to; validators may keep pointers into
    // it for the dialog's lifetime.
    Value& Edited() { return m_value; }
    const Value& Edited() const { return m_value; }

private:
    Value m_value;
};
