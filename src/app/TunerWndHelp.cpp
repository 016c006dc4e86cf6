// The main window's Help menu: the manual behind F1, the About box, and the
// command that opens the manual's start page in the browser.

#include "app/TunerWnd.h"
#include "app/ZelvoTunerApp.h"
#include "app/logic/CommandIds.h"
#include "app/logic/MainWindowRules.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/logic/ManualAddress.h"

namespace {

std::filesystem::path InManual(const char* name) {
    return std::filesystem::path(ManualAddress::ManualFolder) / name;
}

}  // namespace

void CTunerWnd::BindHelpCommands() {
    using namespace CommandId;
    Bind(wxEVT_MENU, &CTunerWnd::OnAbout, this, About);
    Bind(wxEVT_MENU, &CTunerWnd::OnHelpContents, this, HelpContents);
    Bind(wxEVT_MENU, &CTunerWnd::OnOpenWebSite, this, OpenWebSite);
}

std::string CTunerWnd::ManualWebAddress() const {
    const ResourcePaths resources = CZelvoTunerApp::ProgramResourcePaths();
    return ManualAddress::Resolve(ManualAddress::Configured(),
                                  resources.Find(InManual(ManualAddress::StartPage)));
}

bool CTunerWnd::OpenAddress(const std::string& address) {
    return m_options.openAddress ? m_options.openAddress(address) : CHyperLink::OpenInBrowser(address);
}

void CTunerWnd::OnAbout(wxCommandEvent&) {
    CAboutDialog dialog(this, ManualWebAddress(),
                        [this](const std::string& address) { return OpenAddress(address); });
    dialog.ShowModal();
}

void CTunerWnd::OnOpenWebSite(wxCommandEvent&) {
    // Like the About box's link: a failure shows nothing.
    OpenAddress(ManualWebAddress());
}

void CTunerWnd::OnHelpContents(wxCommandEvent&) {
    std::filesystem::path book = m_options.helpBook;
    if (book.empty())
        book = CZelvoTunerApp::ProgramResourcePaths().Find(InManual(ManualAddress::HelpBookFile));
    if (m_helpViewer.Show(book, ManualAddress::StartPage)) return;
    ShowMessage(
        "The manual could not be opened. It belongs in the folder \"share/zelvo-tuner/manual\" "
        "beside the program's folder.",
        MainWindowRules::BaseTitle, wxOK | wxICON_WARNING);
}
