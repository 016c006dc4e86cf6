// Helpers for the pane tests: a shown host frame, off-screen rendering of a
// pane into an image, and colour comparisons.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>

#include <gtest/gtest.h>

#include "GuiPump.h"

#include "indicators/IndicatorDrawing.h"
#include "indicators/math/IndicatorColours.h"
#include "pipeline/HarmonicHistory.h"

// Lets pending window-system events (sizes, maps) arrive.
inline void PumpEvents() {
    PumpFor(std::chrono::milliseconds(20));
}

// Fixture whose host frame is shown (mouse capture needs a mapped window)
// and destroyed again after each test.
class PaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = new wxFrame(nullptr, wxID_ANY, "pane test", wxPoint(0, 0), wxSize(900, 700));
        host->Show();
        PumpEvents();
        colours = Indicators::ReadSystemColours();
    }
    void TearDown() override {
        host->Destroy();
        PumpEvents();
    }

    wxFrame* host = nullptr;
    Indicators::SystemColours colours;
};

// Resizes at once, the way the window system's size event would.
inline void Resize(wxWindow& window, wxSize size) {
    window.SetClientSize(size);
    wxSizeEvent event(window.GetSize(), window.GetId());
    event.SetEventObject(&window);
    window.ProcessWindowEvent(event);
}

inline void SendMouse(wxWindow& window, wxEventType type, wxPoint p, int wheel = 0) {
    wxMouseEvent event(type);
    event.SetPosition(p);
    event.SetEventObject(&window);
    event.m_wheelRotation = wheel;
    event.m_wheelDelta = 120;
    window.ProcessWindowEvent(event);
}

// The pane's face as the paint handler would put it on screen, over red: a
// bitmap of the pane's logical size at the display's scale.
template <class Pane>
wxImage RenderPane(Pane& pane) {
    const wxSize size = pane.GetClientSize();
    wxBitmap bitmap;
    bitmap.CreateWithDIPSize(wxSize(std::max(size.x, 1), std::max(size.y, 1)), pane.GetContentScaleFactor(),
                             24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxRED_BRUSH);
        dc.Clear();
        if constexpr (requires { pane.PaintInto(dc); })
            pane.PaintInto(dc);
        else
            pane.PaintFace(dc);
    }
    return bitmap.ConvertToImage();
}

inline Indicators::RgbColour PixelAt(const wxImage& image, int x, int y) {
    return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
}

// Largest per-channel difference.
inline int ColourDistance(Indicators::RgbColour a, Indicators::RgbColour b) {
    return std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
}

// Pixels of `plot` (scaled by `scale`) whose colours differ clearly.
inline int DifferingPixels(const wxImage& a, const wxImage& b, Indicators::PixelRect plot, int scale) {
    int differing = 0;
    for (int y = scale * plot.y; y < scale * (plot.y + plot.height); ++y)
        for (int x = scale * plot.x; x < scale * (plot.x + plot.width); ++x)
            if (ColourDistance(PixelAt(a, x, y), PixelAt(b, x, y)) > 40) ++differing;
    return differing;
}

// Frames of a 220 Hz note, 40 ms apart, whose partial k lies offsets[k]
// cents from the fundamental's pitch, plus `drift` cents per frame.
inline void AddFrames(HarmonicHistory& history, const std::vector<double>& offsets, int frames,
                      double drift = 0.0) {
    for (int f = 0; f < frames; ++f) {
        NoteAnalyzer::AnalysisResult result;
        result.level = -10.0;
        result.frequency = 220.0;
        result.hopDuration = 0.04;
        for (size_t k = 1; k < offsets.size(); ++k)
            result.harmonics[static_cast<int>(k)] = {
                0.5, 220.0 * k * std::exp2((offsets[k] + drift * f) / 1200.0)};
        history.AddFrame(result);
    }
}

inline HarmonicHistory MakeHistory(const std::vector<double>& offsets, int frames) {
    HarmonicHistory history;
    AddFrames(history, offsets, frames);
    return history;
}
