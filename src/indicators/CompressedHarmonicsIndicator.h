// The compressed harmonics graph: every harmonic k of the current note and of
// a reference note drawn against time at the pitch of f / k, so that a
// perfectly harmonic tone is one line and any partial that deviates stands
// apart. The owner (the harmonics window) hands it the two histories, the note
// table and the spans; the graph tells its parent about hover, selection and
// zoom with the three events declared below, queued so the parent handles them
// after the graph's own handler has returned.
#pragma once

#include <array>
#include <string>

#include <wx/event.h>

#include "indicators/BackBufferWnd.h"
#include "pipeline/HarmonicHistory.h"
#include "tuning/NoteTable.h"

// Queued to the parent after mouse moves, leaving, and selection changes.
wxDECLARE_EVENT(EVT_COMPRESSED_STATUS, wxCommandEvent);
// Queued to the parent when the selected harmonic of either history changed.
wxDECLARE_EVENT(EVT_COMPRESSED_SELECTION, wxCommandEvent);
// Queued to the parent after every wheel zoom.
wxDECLARE_EVENT(EVT_COMPRESSED_RANGE, wxCommandEvent);

class CCompressedHarmonicsIndicator : public CBackBufferWnd {
public:
    CCompressedHarmonicsIndicator();

    // Creates the child window (window text "Compressed Harmonics Indicator").
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    // Either history may be null; the graph only reads them.
    void SetHistories(const HarmonicHistory* current, const HarmonicHistory* reference);
    void SetNoteTable(const NoteTable& table);
    // Family of the note-name font ("Tuner", loaded privately at start-up).
    void SetFontFamily(const std::string& familyName);
    // Transposition of the note names on the pitch axis.
    void SetTranspose(int transpose);
    // Highlighted harmonic of each history, -1 for none.
    void SetSelection(int currentHarmonic, int referenceHarmonic);
    int SelectedCurrent() const;
    int SelectedReference() const;

    void SetSpans(float timeSpan, float pitchSpan);
    void SetStarts(float timeStart, float pitchStart);
    float TimeSpan() const;
    float PitchSpan() const;
    float TimeStart() const;
    float PitchStart() const;

    // After the owner added frames: keep the newest data in view, then redraw.
    void Follow();
    // Invalidates what changed since the last paint.
    void RefreshChanged();
    // Forces a complete redraw (new histories, new note names).
    void RedrawAll();

    // Harmonic description, time under the cursor, amplitude and frequency.
    std::array<std::string, 3> GetStatus() const;

private:
    const HarmonicHistory* current_ = nullptr;
    const HarmonicHistory* reference_ = nullptr;
    NoteTable noteTable_;
    std::string fontFamily_;
    int transpose_ = 0;
    int selectedCurrent_ = -1;
    int selectedReference_ = -1;
    float timeStart_ = 0.0f;
    float timeSpan_ = 5.0f;
    float pitchStart_ = -12.5f;
    float pitchSpan_ = 25.0001f;
};
