#include "HarmonicsDialogPicture.h"

#include "ScreenGrab.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include "harmonics/HarmonicsDialog.h"
#include "pipeline/HarmonicHistory.h"
#include "tuning/NoteTable.h"

namespace {

// A string's partials: the k-th at k x f x sqrt(1 + B k^2), fading with k
// and with time; `offCents` moves one partial away from that.
HarmonicHistory StringHistory(double fundamental, double inharmonicity, int offPartial, double offCents) {
    HarmonicHistory history;
    const double hop = 256.0 / 11025.0;
    for (int frame = 0; frame < 160; ++frame) {
        NoteAnalyzer::AnalysisResult result;
        result.hopDuration = hop;
        result.frequency = fundamental;
        result.level = -10.0;
        for (int k = 1; k <= 8; ++k) {
            double f = k * fundamental * std::sqrt(1.0 + inharmonicity * k * k);
            if (k == offPartial) f *= std::pow(2.0, offCents / 1200.0);
            const double dB = -6.0 * (k - 1) - 0.15 * frame * (1.0 + 0.3 * k);
            result.harmonics[k] = {std::pow(10.0, dB / 20.0), f};
        }
        history.AddFrame(result);
    }
    return history;
}

void Pump(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_ALL);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    }
}

}  // namespace

bool SaveHarmonicsDialogPicture(const wxString& folder, const wxString& name) {
    // E2 (82.41 Hz) as a stretched string, one partial 15 cents off, against
    // E1 an octave lower.
    const HarmonicHistory current = StringHistory(82.41, 0.0004, 5, 15.0);
    const HarmonicHistory reference = StringHistory(41.2, 0.0002, 0, 0.0);

    // The gallery paints outside a main loop; the window system's events
    // need one to be dispatched.
    wxEventLoopGuarantor loop;
    HarmonicsDialogHost host;
    host.savedRect = {40, 40, 40 + 760, 40 + 480};
    auto* dialog = new CHarmonicsDialog(host);
    dialog->SetNoteTable(DefaultNoteTable());
    HarmonicsState state;
    state.currentNote = 40;
    state.referenceNote = 28;
    state.referenceOption = 1004;
    state.currentHarmonic = 5;
    state.referenceHarmonic = 2;
    state.pitchSpan = 60.0f;
    state.timeSpan = 4.0f;
    state.currentHistory = &current;
    state.referenceHistory = &reference;
    dialog->Notify(state, 0, true);
    dialog->GetStatusBar()->SetStatusText("5th harmonic of current note (selected)", 0);
    dialog->GetStatusBar()->SetStatusText("1.25 s", 1);
    dialog->Raise();
    Pump(std::chrono::milliseconds(300));
    // The view moves to the newest frames and the current note's pitch as it
    // does while a note plays; it needs the graph laid out first.
    dialog->FramesAdded();
    Pump(std::chrono::milliseconds(300));

    // The window's frame is the window manager's; the picture is the client
    // area with the status bar, in the screen's pixels.
    const double scale = dialog->GetContentScaleFactor();
    const wxSize size = dialog->GetClientSize() + wxSize(0, dialog->GetStatusBar()->GetSize().y);
    const wxPoint at = dialog->GetScreenPosition();
    const wxRect area(wxPoint(static_cast<int>(at.x * scale), static_cast<int>(at.y * scale)),
                      wxSize(static_cast<int>(size.x * scale), static_cast<int>(size.y * scale)));
    const wxImage picture = ScreenArea(area);
    dialog->Destroy();
    Pump(std::chrono::milliseconds(50));

    const wxString path = wxFileName(folder, name + ".png").GetFullPath();
    if (!picture.IsOk() || !picture.SaveFile(path, wxBITMAP_TYPE_PNG)) {
        std::fprintf(stderr, "zelvo-gallery: could not write %s\n",
                     static_cast<const char*>(path.utf8_str()));
        return false;
    }
    std::printf("%s\n", static_cast<const char*>(path.utf8_str()));
    return true;
}
