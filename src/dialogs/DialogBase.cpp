#include "dialogs/DialogBase.h"

#include <wx/sizer.h>
#include <wx/statbox.h>

namespace {

// The house spacing, in device-independent pixels.
constexpr int GapDip = 7;

}  // namespace

CDialogBase::CDialogBase(wxWindow* parent, wxWindowID id, const wxString& title, long style)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize, style) {
    m_content = new wxBoxSizer(wxVERTICAL);
}

int CDialogBase::Gap() const {
    return FromDIP(GapDip);
}

wxStaticBoxSizer* CDialogBase::AddGroup(const wxString& title, int orientation) {
    auto* group = new wxStaticBoxSizer(orientation, this, title);
    // Groups stack with one gap between them.
    if (!m_content->IsEmpty()) m_content->AddSpacer(Gap());
    m_content->Add(group, wxSizerFlags().Expand());
    return group;
}

void CDialogBase::FinishLayout(long buttons) {
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(m_content, wxSizerFlags(1).Expand().Border(wxALL, Gap()));
    if (wxSizer* row = CreateStdDialogButtonSizer(buttons))
        outer->Add(row, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, Gap()));
    SetSizerAndFit(outer);
    CentreOnParent();
}
