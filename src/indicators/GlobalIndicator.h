// The narrow vertical pane of the main window that places the current pitch
// on a ladder of the notes being tuned: each note of the chosen preset is a
// horizontal band at the height of its target pitch, labelled with its name,
// and a translucent bar moves up and down with the measured pitch.
//
// Use: SetNotes with the selected preset's notes, SetNoteTable and
// SetTranspose whenever the tuning reference or the transposition changes;
// on each valid reading write value (cents re 440 Hz) and call
// RefreshIfChanged().
#pragma once

#include <vector>

#include <wx/bitmap.h>

#include "indicators/BackBufferWnd.h"
#include "indicators/math/GlobalIndicatorMath.h"
#include "tuning/NoteTable.h"
#include "tuning/Preset.h"

class CGlobalIndicator : public CBackBufferWnd {
public:
    CGlobalIndicator();
    CGlobalIndicator(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize, long style = 0);
    ~CGlobalIndicator() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    // Replaces the notes on the ladder: an empty set shows 48, 60 and 72, a
    // single note n also shows its valid neighbours n-1 and n+1. Re-renders
    // the ladder and invalidates.
    void SetNotes(const NoteSet& notes);
    // A copy of the owner's note table; re-renders the ladder and
    // invalidates. Until a full table arrives the ladder is drawn with
    // equal temperament at 440 Hz.
    void SetNoteTable(const NoteTable& table);
    // The transposition used for the labels; re-renders and invalidates.
    void SetTranspose(int transpose);
    // Marks the ladder for rendering again and invalidates.
    void MarkStale();

    // The measured pitch in cents re 440 Hz, written by the owner, who then
    // calls RefreshIfChanged().
    float value = 0.0f;

    // Invalidates the pane when value differs from the value last painted.
    void RefreshIfChanged();

    float GetDrawnValue() const { return m_drawnValue; }
    const NoteSet& GetNotes() const { return m_notes; }
    int GetTranspose() const { return m_transpose; }
    float GetLargestLabelHeight() const { return m_largestLabelHeight; }
    // The scale of the current notes and table (pitch to row mapping).
    Indicators::LadderScale GetScale() const;

    void Draw(wxDC& dc, const wxRect& client) override;

protected:
    void OnClientResized() override;
    void OnSystemColoursChanged() override;

private:
    void RebuildLadderCache();
    void RenderLadder(int width, int height);
    const NoteTable& EffectiveTable() const;

    wxBitmap m_ladderCache;  // client-sized rendering of the ladder
    bool m_stale = true;
    float m_drawnValue = -1.0f;
    float m_largestLabelHeight = 0.0f;
    NoteSet m_notes{48, 60, 72};
    NoteTable m_noteTable;
    int m_transpose = 0;
};
