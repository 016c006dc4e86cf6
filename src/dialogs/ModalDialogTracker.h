#pragma once
// Knows which modal dialogs of the program are open, so that a close request
// (the window's close box, a shutdown signal) can end them before the window
// that owns them goes away.
//
// Dialogs nest (an editor opened from a settings dialog): each runs a modal
// loop inside the one before it, and only the innermost loop can be ended.
// So they are ended one at a time: EndInnermost() ends the innermost one,
// and once its loop has returned the exit callback runs, from where the
// owner can end the next one.

#include <functional>
#include <vector>

#include <wx/modalhook.h>

class wxDialog;

class ModalDialogTracker : public wxModalDialogHook {
public:
    // Watches every modal dialog from now on, until destroyed.
    ModalDialogTracker();
    ModalDialogTracker(const ModalDialogTracker&) = delete;
    ModalDialogTracker& operator=(const ModalDialogTracker&) = delete;

    // Called after a dialog's modal loop has returned, with the dialogs
    // still open (if any) unchanged.
    void SetExitCallback(std::function<void()> callback) { m_onExit = std::move(callback); }

    bool HasOpenDialogs() const { return !m_open.empty(); }
    std::size_t OpenCount() const { return m_open.size(); }

    // Ends the innermost open dialog with `returnCode`, as its Cancel button
    // would (nothing is taken from its controls). False when no dialog is
    // open or the innermost one cannot be ended by the program (a native
    // dialog of the window system, which only its user can dismiss).
    bool EndInnermost(int returnCode);

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    std::vector<wxDialog*> m_open;  // innermost last
    std::function<void()> m_onExit;
};
