#include "dialogs/HyperLink.h"

#include <wx/utils.h>

CHyperLink::CHyperLink(wxWindow* parent, wxWindowID id, const wxString& text, const std::string& address)
    : wxGenericStaticText(parent, id, text) {
    if (text.empty()) SetLabel(wxString::FromUTF8(address));
    SetAddress(address.empty() ? GetLabel().utf8_string() : address);
    m_normalFont = GetFont();
    m_underlinedFont = m_normalFont.Underlined();
    SetCursor(wxCursor(wxCURSOR_HAND));
    // The control's background is its parent's: the link is text on the
    // dialog, not a box.
    SetBackgroundStyle(wxBG_STYLE_SYSTEM);
    Bind(wxEVT_ENTER_WINDOW, &CHyperLink::OnEnter, this);
    Bind(wxEVT_LEAVE_WINDOW, &CHyperLink::OnLeave, this);
    Bind(wxEVT_LEFT_UP, &CHyperLink::OnLeftUp, this);
    ApplyLook();
}

void CHyperLink::SetAddress(const std::string& address) {
    m_address = address;
    SetToolTip(wxString::FromUTF8(address));
}

void CHyperLink::SetUnderline(LinkUnderline mode) {
    m_model.SetUnderline(mode);
    ApplyLook();
}

bool CHyperLink::Follow() {
    const bool opened = m_opener ? m_opener(m_address) : OpenInBrowser(m_address);
    m_model.Clicked(opened);
    ApplyLook();
    return opened;
}

bool CHyperLink::OpenInBrowser(const std::string& address) {
    return wxLaunchDefaultBrowser(wxString::FromUTF8(address));
}

void CHyperLink::OnEnter(wxMouseEvent& event) {
    if (m_model.PointerEntered()) ApplyLook();
    event.Skip();
}

void CHyperLink::OnLeave(wxMouseEvent& event) {
    if (m_model.PointerLeft()) ApplyLook();
    event.Skip();
}

void CHyperLink::OnLeftUp(wxMouseEvent& event) {
    // A press that is dragged off the link and released elsewhere is no click.
    if (GetClientRect().Contains(event.GetPosition())) Follow();
    event.Skip();
}

void CHyperLink::ApplyLook() {
    const LinkRgb colour = m_model.TextColour();
    SetForegroundColour(wxColour(colour.r, colour.g, colour.b));
    // Both fonts have the same metrics, so the size fitted to the text stays.
    SetFont(m_model.Underlined() ? m_underlinedFont : m_normalFont);
    Refresh();
}
