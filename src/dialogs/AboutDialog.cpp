#include "dialogs/AboutDialog.h"

#include <wx/artprov.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

namespace {

// Width the credits are wrapped to, in device-independent pixels.
constexpr int CreditsWidthDip = 380;

}  // namespace

CAboutDialog::CAboutDialog(wxWindow* parent, const std::string& address, AddressOpener opener,
                           const ProgramVersion& version, const std::string& buildDate)
    : CDialogBase(parent, DialogId, wxString::FromUTF8(AboutText::Title(version))) {
    auto* heading = new wxBoxSizer(wxHORIZONTAL);
    heading->Add(new wxStaticBitmap(this, wxID_ANY,
                                    wxArtProvider::GetBitmapBundle(wxART_INFORMATION, wxART_MESSAGE_BOX)),
                 wxSizerFlags().Top().Border(wxRIGHT, Gap()));

    auto* texts = new wxBoxSizer(wxVERTICAL);
    auto* name = new wxStaticText(this, wxID_ANY, "Zelvo Tuner");
    name->SetFont(name->GetFont().Bold().Scaled(1.4f));
    texts->Add(name);
    texts->AddSpacer(Gap());
    texts->Add(new wxStaticText(this, VersionTextId,
                                wxString::FromUTF8(AboutText::VersionLines(version, buildDate))));
    texts->AddSpacer(Gap());
    auto* credits = new wxStaticText(this, CreditsTextId, wxString::FromUTF8(AboutText::Credits()));
    credits->Wrap(FromDIP(CreditsWidthDip));
    texts->Add(credits);
    texts->AddSpacer(Gap());
    m_link = new CHyperLink(this, LinkId, "Zelvo Tuner manual", address);
    m_link->SetOpener(std::move(opener));
    texts->Add(m_link);
    heading->Add(texts, wxSizerFlags(1).Expand());

    Content()->Add(heading, wxSizerFlags(1).Expand());
    FinishLayout(wxOK);
    SetEscapeId(wxID_OK);
}
