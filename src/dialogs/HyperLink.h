#pragma once
// A piece of text that looks and behaves like a web link: blue, purple once
// an address opened from it, red while the pointer is over it and (by
// default) underlined only then, a hand cursor and the address as tooltip.
// A click opens the address in the default browser. Built on the generic
// static text, which is a real window on every port and so gets the
// pointer's enter, leave and click events; it sizes itself to its text.

#include <functional>
#include <string>

#include <wx/font.h>
#include <wx/stattext.h>  // before the generic one, which needs the port's declared

#include <wx/generic/stattextg.h>

#include "dialogs/logic/HyperLinkModel.h"

// Opens an address; true when it could.
using AddressOpener = std::function<bool(const std::string& address)>;

class CHyperLink : public wxGenericStaticText {
public:
    // Without a text the address is shown; without an address the text is
    // the address.
    CHyperLink(wxWindow* parent, wxWindowID id, const wxString& text, const std::string& address = {});

    // The address, also shown as the tooltip.
    void SetAddress(const std::string& address);
    const std::string& Address() const { return m_address; }

    // Replaces how addresses are opened (the default browser otherwise).
    void SetOpener(AddressOpener opener) { m_opener = std::move(opener); }
    void SetUnderline(LinkUnderline mode);

    const HyperLinkModel& Model() const { return m_model; }

    // What a click does: opens the address; only an opened address marks
    // the link visited. Returns whether it opened.
    bool Follow();

    // The default opener: the desktop's browser.
    static bool OpenInBrowser(const std::string& address);

private:
    void OnEnter(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    // Colour and font from the model.
    void ApplyLook();

    HyperLinkModel m_model;
    std::string m_address;
    AddressOpener m_opener;
    wxFont m_normalFont;
    wxFont m_underlinedFont;
};
