#pragma once
// The manual's window: the toolkit's HTML help viewer (contents tree, index
// and full-text search) on the help book built with the program. It is made
// on first use and stays until its owner goes; closing the window only
// hides the pages until they are asked for again.

#include <filesystem>
#include <memory>

#include <wx/frame.h>
#include <wx/string.h>
#include <wx/weakref.h>

class wxHtmlHelpController;
class wxWindow;

class CHelpViewer {
public:
    CHelpViewer();
    ~CHelpViewer();
    CHelpViewer(const CHelpViewer&) = delete;
    CHelpViewer& operator=(const CHelpViewer&) = delete;

    // Shows the help book `book` (its .hhp project file) at `page`; false
    // when the book cannot be read.
    bool Show(const std::filesystem::path& book, const wxString& page);

    // The help window while it is open, else nullptr.
    wxFrame* Frame() const;
    // The address of the page it shows; empty without a window.
    wxString OpenedPage() const;

    // The help window's title: this format with the page's title for %s.
    static constexpr const char* TitleFormat = "Zelvo Tuner Help: %s";

private:
    // Lays a new help window out: the navigation pane's width, the
    // contents unfolded.
    void Arrange();

    std::unique_ptr<wxHtmlHelpController> m_controller;
    wxWeakRef<wxFrame> m_arranged;  // the help window last laid out
    std::filesystem::path m_book;   // the book the controller holds
};
