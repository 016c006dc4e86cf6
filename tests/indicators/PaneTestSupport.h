// Helpers for the pane tests: a shown host frame, off-screen rendering of a
// pane into an image, and colour comparisons.
#pragma once

#include <functional>

#include <wx/frame.h>
#include <wx/image.h>

#include <gtest/gtest.h>

#include "indicators/IndicatorColours.h"

class CBackBufferWnd;
class CEnergyIndicator;

// Fixture whose host frame is shown (mouse capture needs a mapped window)
// and destroyed again after each test.
class PaneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    wxFrame* host = nullptr;
};

// Lets pending window-system events (sizes, maps) arrive.
void PumpEvents();
// Pumps events until done() holds, for at most about a second; returns done().
bool PumpEventsUntil(const std::function<bool()>& done);

// The pane's face as the paint handler would put it on screen.
wxImage RenderPane(CBackBufferWnd& pane);
wxImage RenderPane(CEnergyIndicator& pane);

Indicators::RgbColour PixelAt(const wxImage& image, int x, int y);
// Largest per-channel difference.
int ColourDistance(Indicators::RgbColour a, Indicators::RgbColour b);
// `over` blended onto `under` with the given alpha (0..255).
Indicators::RgbColour Blend(Indicators::RgbColour over, int alpha, Indicators::RgbColour under);
