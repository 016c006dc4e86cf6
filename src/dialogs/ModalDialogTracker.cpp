#include "dialogs/ModalDialogTracker.h"

#include <algorithm>

#include <wx/dialog.h>

ModalDialogTracker::ModalDialogTracker() {
    Register();
}

bool ModalDialogTracker::EndInnermost(int returnCode) {
    if (m_open.empty()) return false;
    wxDialog* dialog = m_open.back();
    // The toolkit's own dialogs run their modal loop through wxDialog; the
    // window system's native ones (GTK's message and file dialogs) do not
    // and would assert here.
    if (!dialog->IsModal()) return false;
    dialog->EndModal(returnCode);
    return true;
}

int ModalDialogTracker::Enter(wxDialog* dialog) {
    m_open.push_back(dialog);
    return wxID_NONE;  // let the dialog show
}

void ModalDialogTracker::Exit(wxDialog* dialog) {
    const auto it = std::find(m_open.rbegin(), m_open.rend(), dialog);
    if (it != m_open.rend()) m_open.erase(std::next(it).base());
    if (m_onExit) m_onExit();
}
