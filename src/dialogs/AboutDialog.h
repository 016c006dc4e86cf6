#pragma once
// The About box: the version and the date of the build, the credits, and a
// link to the manual. It changes nothing; OK, Escape or the close box end it.

#include <string>

#include "dialogs/DialogBase.h"
#include "dialogs/HyperLink.h"
#include "dialogs/logic/AboutText.h"

class CAboutDialog : public CDialogBase {
public:
    static constexpr int DialogId = 144;
    static constexpr int VersionTextId = 1045;
    static constexpr int CreditsTextId = 1046;
    static constexpr int LinkId = 1054;

    // `address` is what the link opens, with `opener` (the browser when
    // empty).
    CAboutDialog(wxWindow* parent, const std::string& address, AddressOpener opener = {},
                 const ProgramVersion& version = ProgramVersion::Current(),
                 const std::string& buildDate = AboutText::BuildDate());

    CHyperLink* Link() const { return m_link; }

private:
    CHyperLink* m_link = nullptr;
};
