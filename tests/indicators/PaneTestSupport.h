// Helpers for the pane tests: a shown host frame, off-screen rendering of a
// pane into an image, and colour comparisons.
#pragma once

#include <algorithm>
#include <cstdlib>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>

#include <gtest/gtest.h>

#include "GuiPump.h"

#include "indicators/IndicatorDrawing.h"
#include "indicators/math/IndicatorColours.h"

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

// The pane's face as the paint handler would put it on screen, over red.
template <class Pane>
wxImage RenderPane(Pane& pane) {
    const wxSize size = pane.GetClientSize();
    wxBitmap bitmap(std::max(size.x, 1), std::max(size.y, 1), 24);
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
