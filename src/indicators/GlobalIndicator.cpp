#include "indicators/GlobalIndicator.h"

#include <algorithm>
#include <memory>

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include "indicators/IndicatorDrawing.h"
#include "tuning/NoteNames.h"

using namespace Indicators;

CGlobalIndicator::CGlobalIndicator() = default;

CGlobalIndicator::CGlobalIndicator(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                   long style) {
    Create(parent, id, pos, size, style);
}

CGlobalIndicator::~CGlobalIndicator() = default;

bool CGlobalIndicator::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                              long style) {
    if (!CBackBufferWnd::Create(parent, id, pos, size, style, "Global Indicator")) return false;
    SetLabel("Global Indicator");
    return true;
}

void CGlobalIndicator::SetNotes(const NoteSet& notes) {
    const std::vector<int> chosen(notes.begin(), notes.end());
    const std::vector<int> shown = WidenLadderNotes(chosen);
    m_notes = NoteSet(shown.begin(), shown.end());
    MarkStale();
}

void CGlobalIndicator::SetNoteTable(const NoteTable& table) {
    m_noteTable = table;
    MarkStale();
}

void CGlobalIndicator::SetTranspose(int transpose) {
    m_transpose = transpose;
    MarkStale();
}

void CGlobalIndicator::MarkStale() {
    m_stale = true;
    Refresh();
}

void CGlobalIndicator::RefreshIfChanged() {
    if (value != m_drawnValue) Refresh();
}

void CGlobalIndicator::OnClientResized() {
    m_ladderCache = wxBitmap();
    m_stale = true;
}

void CGlobalIndicator::OnSystemColoursChanged() {
    m_ladderCache = wxBitmap();
    m_stale = true;
}

const NoteTable& CGlobalIndicator::EffectiveTable() const {
    // The owner hands over its table right after creation; until then (or
    // if a table ever arrives incomplete) the ladder uses equal temperament
    // so that every note it shows has a band.
    static const NoteTable equalTemperament = DefaultNoteTable();
    return m_noteTable.size() == static_cast<std::size_t>(NoteIndexCount) ? m_noteTable : equalTemperament;
}

LadderScale CGlobalIndicator::GetScale() const {
    const NoteTable& table = EffectiveTable();
    const NoteBand* lowest = FindNoteBand(table, *m_notes.begin());
    const NoteBand* highest = FindNoteBand(table, *m_notes.rbegin());
    if (lowest == nullptr || highest == nullptr)
        return MakeLadderScale(-5750.0, 3950.0);  // the whole table, C0 to C8
    return MakeLadderScale(lowest->lower, highest->upper);
}

void CGlobalIndicator::RenderLadder(int width, int height) {
    if (!FitsWindow(m_ladderCache, this, wxSize(width, height)))
        m_ladderCache = MakeScaledBitmap(this, wxSize(width, height));
    if (!m_ladderCache.IsOk()) return;

    const SystemColours colours = ReadSystemColours();
    wxMemoryDC dc(m_ladderCache);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc) return;
    SetHighQuality(*gc, true);

    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->SetBrush(gc->CreateBrush(wxBrush(ToWxColour(colours.window))));
    gc->DrawRectangle(0, 0, width, height);

    const wxColour text = ToWxColour(colours.windowText);
    const wxColour dark = ToWxColour(LadderDarkColour(colours));
    const wxColour light = ToWxColour(LadderLightColour(colours));

    const std::vector<int> notes(m_notes.begin(), m_notes.end());
    const LadderScale scale = GetScale();
    const NoteTable& table = EffectiveTable();
    m_largestLabelHeight = 0.0f;
    if (!notes.empty()) {
        const double dpi = WindowDpi(this);
        const double size = height * LabelSizeFactor(notes) * 96.0 / dpi;
        gc->SetFont(MakeIndicatorFont("Arial", size, true, FontUnit::Pixel, this), text);

        // Dark at both ends, light across the middle half.
        wxGraphicsGradientStops stops(dark, dark);
        stops.Add(light, 0.25f);
        stops.Add(light, 0.75f);
        const wxGraphicsBrush bar = gc->CreateLinearGradientBrush(0, 0, width, 0, stops);

        for (int n : notes) {
            const NoteBand* band = FindNoteBand(table, n);
            if (band == nullptr) continue;
            const double y = scale.Row(band->center, height);
            const double b = LadderBandHeight(width);
            gc->SetBrush(bar);
            gc->DrawRectangle(0, y - b / 2.0, width, b);

            const wxString label = wxString::FromUTF8(FormatNoteName(n, m_transpose));
            double labelWidth = 0.0;
            double labelHeight = 0.0;
            gc->GetTextExtent(label, &labelWidth, &labelHeight);
            gc->DrawText(label, (width - labelWidth) / 2.0, y - labelHeight / 2.0);
            m_largestLabelHeight = std::max(m_largestLabelHeight, static_cast<float>(labelHeight));
        }
    }
    DrawFaceFrame(*gc, width, height, colours);
    m_stale = false;
}

void CGlobalIndicator::Draw(wxDC& dc, const wxRect& client) {
    const int width = client.width;
    const int height = client.height;
    if (width <= 0 || height <= 0) return;
    if (m_stale || !FitsWindow(m_ladderCache, this, client.GetSize())) RenderLadder(width, height);

    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
    if (!gc) return;
    if (m_ladderCache.IsOk()) {
        gc->SetInterpolationQuality(wxINTERPOLATION_NONE);
        gc->DrawBitmap(m_ladderCache, 0, 0, width, height);
    }

    SetHighQuality(*gc, true);
    const RgbColour highlight = ReadSystemColours().highlight;
    const LadderScale scale = GetScale();
    const double y = scale.Row(value, height);
    const double barHeight = HighlightBarHeight(m_largestLabelHeight, height, scale);
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->SetBrush(gc->CreateBrush(wxBrush(ToWxColour(highlight, 0x40))));
    gc->DrawRectangle(0, y - barHeight / 2.0, width, barHeight);
    gc->SetPen(gc->CreatePen(wxGraphicsPenInfo(ToWxColour(highlight, 0x80), 1.0)));
    gc->StrokeLine(0, y, width, y);

    m_drawnValue = value;
}
