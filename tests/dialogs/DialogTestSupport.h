// Working a dialog through its controls from inside its modal loop.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include "GuiPump.h"

namespace DialogTest {

template <class T>
T& Control(wxWindow& dialog, int id) {
    return dynamic_cast<T&>(*dialog.FindWindow(id));
}

inline wxChoice& Choice(wxWindow& dialog, int id) {
    return Control<wxChoice>(dialog, id);
}

// Clicks a button as the user does; a disabled button does nothing.
inline void Click(wxWindow& dialog, int id) {
    wxWindow* button = dialog.FindWindow(id);
    if (!button->IsEnabled()) return;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

// Types into a field as the user does: the field has the keyboard focus
// and its text changes (with the text event the user's typing sends).
// False when the field could not get the focus.
inline bool Type(wxTextCtrl& field, const wxString& text) {
    field.SetFocus();
    const bool focused =
        PumpUntil([&] { return wxWindow::FindFocus() == &field; }, std::chrono::milliseconds(3000));
    field.SetValue(text);
    return focused;
}

// Shows `dialog` modally, runs `act` inside its modal loop (act ends it)
// and hands back what Edit() returned.
template <class Dialog>
auto RunModal(Dialog& dialog, const std::function<void()>& act) {
    dialog.CallAfter([&] {
        // Lets the dialog come up on the screen first, so it can take the focus.
        PumpUntil([&] { return dialog.IsShownOnScreen(); }, std::chrono::milliseconds(3000));
        act();
    });
    return dialog.Edit();
}

}  // namespace DialogTest
