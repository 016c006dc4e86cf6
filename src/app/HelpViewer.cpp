#include "app/HelpViewer.h"

#include <algorithm>

#include <wx/display.h>
#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/image.h>
#include <wx/splitter.h>
#include <wx/treectrl.h>

namespace {

// The width of the pane with the contents, index and search.
constexpr int NavigationWidthDip = 300;
// The help window's first size: the pages' pictures fit beside the contents.
constexpr int WindowWidthDip = 960;
constexpr int WindowHeightDip = 680;

}  // namespace

CHelpViewer::CHelpViewer() = default;
CHelpViewer::~CHelpViewer() = default;

bool CHelpViewer::Show(const std::filesystem::path& book, const wxString& page) {
    if (!m_controller || m_book != book) {
        // The pages' pictures are PNG files.
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
        // No parent: the window is the user's to place and keep beside the
        // tuner, and it goes with this object (never before it).
        auto controller = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE & ~wxHF_BOOKMARKS);
        controller->SetTitleFormat(TitleFormat);
        if (book.empty() || !controller->AddBook(wxFileName(wxString::FromUTF8(book.string())), false))
            return false;
        m_controller = std::move(controller);
        m_book = book;
    }
    if (!m_controller->Display(page)) return false;
    wxFrame* frame = Frame();
    if (frame && frame != m_arranged.get()) Arrange();
    if (frame) frame->Raise();
    return true;
}

void CHelpViewer::Arrange() {
    wxHtmlHelpWindow* window = m_controller->GetHelpWindow();
    if (!window) return;
    // Wide enough for the three tabs (contents, index, search), and the
    // manual's chapters in view rather than folded under the book.
    if (wxSplitterWindow* splitter = window->GetSplitterWindow())
        splitter->SetSashPosition(window->FromDIP(NavigationWidthDip));
    if (wxTreeCtrl* contents = window->GetTreeCtrl()) contents->ExpandAll();
    // Within the display, which a large font scale can make the smaller.
    const wxRect area = wxDisplay(Frame()).GetClientArea();
    const wxSize wanted = Frame()->FromDIP(wxSize(WindowWidthDip, WindowHeightDip));
    Frame()->SetSize(
        wxSize(std::min(wanted.x, area.width * 9 / 10), std::min(wanted.y, area.height * 9 / 10)));
    m_arranged = Frame();
}

wxFrame* CHelpViewer::Frame() const {
    return m_controller ? m_controller->GetFrame() : nullptr;
}

wxString CHelpViewer::OpenedPage() const {
    if (!m_controller || !m_controller->GetHelpWindow()) return {};
    return m_controller->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage();
}
