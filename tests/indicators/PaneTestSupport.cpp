#include "PaneTestSupport.h"

#include <algorithm>
#include <cstdlib>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include "indicators/BackBufferWnd.h"
#include "indicators/EnergyIndicator.h"

void PaneTest::SetUp()
{
    host = new wxFrame(nullptr, wxID_ANY, "pane test", wxPoint(0, 0), wxSize(900, 700));
    host->Show();
    PumpEvents();
}

void PaneTest::TearDown()
{
    host->Destroy();
    PumpEvents();
}

void PumpEvents()
{
    for (int i = 0; i < 5; ++i)
        wxTheApp->Yield(true);
}

bool PumpEventsUntil(const std::function<bool()>& done)
{
    // Window-system drawing is driven by the frame clock, so give it real
    // time as well as a chance to run.
    for (int i = 0; i < 200 && !done(); ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return done();
}

namespace {

wxImage Render(wxSize size, const std::function<void(wxDC&)>& paint)
{
    wxBitmap bitmap(std::max(size.x, 1), std::max(size.y, 1), 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxRED_BRUSH);
        dc.Clear();
        paint(dc);
    }
    return bitmap.ConvertToImage();
}

}  // namespace

wxImage RenderPane(CBackBufferWnd& pane)
{
    return Render(pane.GetClientSize(), [&](wxDC& dc) { pane.PaintInto(dc); });
}

wxImage RenderPane(CEnergyIndicator& pane)
{
    return Render(pane.GetClientSize(), [&](wxDC& dc) { pane.PaintFace(dc); });
}

Indicators::RgbColour PixelAt(const wxImage& image, int x, int y)
{
    return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
}

int ColourDistance(Indicators::RgbColour a, Indicators::RgbColour b)
{
    return std::max({std::abs(a.red - b.red), std::abs(a.green - b.green),
                     std::abs(a.blue - b.blue)});
}

Indicators::RgbColour Blend(Indicators::RgbColour over, int alpha, Indicators::RgbColour under)
{
    auto mix = [alpha](int o, int u) {
        return static_cast<std::uint8_t>((o * alpha + u * (255 - alpha)) / 255);
    };
    return {mix(over.red, under.red), mix(over.green, under.green), mix(over.blue, under.blue)};
}
