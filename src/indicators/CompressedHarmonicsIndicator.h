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
#include <vector>

#include <wx/event.h>
#include <wx/font.h>
#include <wx/geometry.h>
#include <wx/graphics.h>

#include "indicators/BackBufferWnd.h"
#include "indicators/math/CompressedHarmonicsMath.h"
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
    int HoveredCurrent() const { return hoveredCurrent_; }
    int HoveredReference() const { return hoveredReference_; }

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

    const Indicators::HarmonicsLayout& Layout() const { return layout_; }

    // What the last paint drew, for tests and measurements.
    struct PaintRecord {
        bool frame = false;
        bool timeAxis = false;
        bool pitchAxis = false;
        bool wholePlot = false;
        int dx = 0, dy = 0;  // the plot's pixels were shifted by (-dx, +dy)
        std::vector<Indicators::PixelRect> plotRegions;
    };
    const PaintRecord& LastPaint() const { return lastPaint_; }

    void Draw(wxDC& dc, const wxRect& client) override;
    void BufferRecreated() override;

protected:
    void OnClientResized() override;

private:
    // Input.
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnRightUp(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnWheel(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);
    int CursorModeAt(wxPoint p) const;
    void UpdateCursor(int mode);
    bool UpdateHover(wxPoint p);
    void Post(const wxEventType& type);
    Indicators::PitchLimits Limits() const;
    Indicators::ViewMapping Mapping() const;
    Indicators::PlotSnapshot Snapshot() const;

    // Painting (CompressedHarmonicsPainting.cpp).
    void DrawFrame(wxDC& dc, const wxRect& client, const Indicators::SystemColours& colours);
    void DrawTimeAxis(wxGraphicsContext& gc, const Indicators::SystemColours& colours);
    void DrawPitchAxis(wxGraphicsContext& gc, const Indicators::SystemColours& colours);
    struct PitchAxisStyle;
    void DrawNoteBand(wxGraphicsContext& gc, const Indicators::VisibleNote& note,
                      const PitchAxisStyle& style);
    // Returns where the name went (empty when the band is too thin for it).
    wxRect2DDouble DrawNoteName(wxGraphicsContext& gc, int note, double top, double bottom, double target,
                                const wxColour& colour);
    void DrawPlotRegion(wxGraphicsContext& gc, const Indicators::PixelRect& region,
                        const Indicators::SystemColours& colours);
    void DrawHistory(wxGraphicsContext& gc, const HarmonicHistory& history, bool isCurrent,
                     const Indicators::PixelRect& region);
    void ShiftPlot(wxDC& dc, int dx, int dy);
    void MakeFonts();

    const HarmonicHistory* current_ = nullptr;
    const HarmonicHistory* reference_ = nullptr;
    NoteTable noteTable_;
    std::string fontFamily_;
    int transpose_ = 0;
    int selectedCurrent_ = -1;
    int selectedReference_ = -1;
    int hoveredCurrent_ = -1;
    int hoveredReference_ = -1;
    Indicators::HarmonicsView view_;
    Indicators::HarmonicsLayout layout_;

    bool draggingPitch_ = false;
    bool draggingTime_ = false;
    wxPoint dragPoint_;
    wxPoint mouse_{-1, -1};
    int cursorMode_ = 4;  // 0 pitch axis, 1 time axis, 2 plot, 3 corner, 4 outside
    bool focused_ = false;

    // What the last paint used.
    bool drawnOnce_ = false;
    bool frameDrawn_ = false;
    bool drawnFocus_ = false;
    Indicators::PlotSnapshot drawn_;
    // Rows and columns of the axes' ticks, for the plot's grid.
    std::vector<int> gridRows_;
    std::vector<int> noteRows_;
    std::vector<int> gridColumns_;
    PaintRecord lastPaint_;

    // Fonts for the current size and family.
    wxFont timeFont_, labelFont_, nameFont_, octaveFont_;
    bool fontsMade_ = false;
};
