// The graph's state, the owner's setters, mouse and keyboard input and the
// invalidation of what changed. Painting is in CompressedHarmonicsPainting.cpp.
#include "indicators/CompressedHarmonicsIndicator.h"

#include <wx/utils.h>

using namespace Indicators;

wxDEFINE_EVENT(EVT_COMPRESSED_STATUS, wxCommandEvent);
wxDEFINE_EVENT(EVT_COMPRESSED_SELECTION, wxCommandEvent);
wxDEFINE_EVENT(EVT_COMPRESSED_RANGE, wxCommandEvent);

namespace {

// Pixels within which a line counts as under the cursor.
constexpr double kHitTolerance = 10.0;

// The corner of the frame that is always invalidated with any change.
const wxRect kCornerRect(0, 0, 100, 40);

wxRect ToWx(const PixelRect& r) {
    return {r.x, r.y, r.width, r.height};
}

}  // namespace

CCompressedHarmonicsIndicator::CCompressedHarmonicsIndicator() = default;

bool CCompressedHarmonicsIndicator::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                           const wxSize& size) {
    if (!CBackBufferWnd::Create(parent, id, pos, size, wxWANTS_CHARS, "Compressed Harmonics Indicator"))
        return false;
    const wxSize client = GetClientSize();
    layout_ = HarmonicsGraphLayout(client.x, client.y);
    Bind(wxEVT_LEFT_DOWN, &CCompressedHarmonicsIndicator::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CCompressedHarmonicsIndicator::OnLeftUp, this);
    Bind(wxEVT_MOTION, &CCompressedHarmonicsIndicator::OnMotion, this);
    Bind(wxEVT_RIGHT_UP, &CCompressedHarmonicsIndicator::OnRightUp, this);
    Bind(wxEVT_LEAVE_WINDOW, &CCompressedHarmonicsIndicator::OnLeave, this);
    Bind(wxEVT_MOUSEWHEEL, &CCompressedHarmonicsIndicator::OnWheel, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CCompressedHarmonicsIndicator::OnCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, &CCompressedHarmonicsIndicator::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CCompressedHarmonicsIndicator::OnChar, this);
    Bind(wxEVT_SET_FOCUS, &CCompressedHarmonicsIndicator::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CCompressedHarmonicsIndicator::OnFocus, this);
    return true;
}

void CCompressedHarmonicsIndicator::SetHistories(const HarmonicHistory* current,
                                                 const HarmonicHistory* reference) {
    const bool changed = current != current_ || reference != reference_;
    current_ = current;
    reference_ = reference;
    // Another history object may carry the same generation number.
    if (changed) RedrawAll();
}

void CCompressedHarmonicsIndicator::SetNoteTable(const NoteTable& table) {
    noteTable_ = table;
    SetViewSpans(view_, view_.timeSpan, view_.pitchSpan, Limits());
    RedrawAll();
}

void CCompressedHarmonicsIndicator::SetFontFamily(const std::string& familyName) {
    if (familyName == fontFamily_) return;
    fontFamily_ = familyName;
    fontsMade_ = false;
    RedrawAll();
}

void CCompressedHarmonicsIndicator::SetTranspose(int transpose) {
    if (transpose == transpose_) return;
    transpose_ = transpose;
    RedrawAll();
}

void CCompressedHarmonicsIndicator::SetSelection(int currentHarmonic, int referenceHarmonic) {
    selectedCurrent_ = currentHarmonic;
    selectedReference_ = referenceHarmonic;
    RefreshChanged();
}

int CCompressedHarmonicsIndicator::SelectedCurrent() const {
    return selectedCurrent_;
}
int CCompressedHarmonicsIndicator::SelectedReference() const {
    return selectedReference_;
}

void CCompressedHarmonicsIndicator::SetSpans(float timeSpan, float pitchSpan) {
    SetViewSpans(view_, timeSpan, pitchSpan, Limits());
    RefreshChanged();
}

void CCompressedHarmonicsIndicator::SetStarts(float timeStart, float pitchStart) {
    SetViewStarts(view_, timeStart, pitchStart, Limits());
    RefreshChanged();
}

float CCompressedHarmonicsIndicator::TimeSpan() const {
    return view_.timeSpan;
}
float CCompressedHarmonicsIndicator::PitchSpan() const {
    return view_.pitchSpan;
}
float CCompressedHarmonicsIndicator::TimeStart() const {
    return view_.timeStart;
}
float CCompressedHarmonicsIndicator::PitchStart() const {
    return view_.pitchStart;
}

void CCompressedHarmonicsIndicator::Follow() {
    FollowNewest(view_, layout_.plot, Limits(), current_, draggingTime_, draggingPitch_);
    RefreshChanged();
}

void CCompressedHarmonicsIndicator::RefreshChanged() {
    if (!GetHandle()) return;
    if (!drawnOnce_ || focused_ != drawnFocus_) {
        Refresh(false);
        return;
    }
    const PlotSnapshot now = Snapshot();
    if (now.view.timeStart != drawn_.view.timeStart || now.view.timeSpan != drawn_.view.timeSpan)
        RefreshRect(ToWx(layout_.bottomStrip), false);
    if (now.view.pitchStart != drawn_.view.pitchStart || now.view.pitchSpan != drawn_.view.pitchSpan)
        RefreshRect(ToWx(layout_.pitchAxis), false);
    const PlotUpdatePlan plan = PlanPlotUpdate(drawnOnce_, drawn_, now, layout_.plot);
    // Shifted pixels change the whole plot on screen.
    if (plan.full || plan.dx != 0 || plan.dy != 0) {
        RefreshRect(ToWx(layout_.plot), false);
    } else {
        for (const PixelRect& r : plan.regions) RefreshRect(ToWx(r), false);
    }
    RefreshRect(kCornerRect, false);
}

void CCompressedHarmonicsIndicator::RedrawAll() {
    drawnOnce_ = false;
    frameDrawn_ = false;
    if (GetHandle()) Refresh(false);
}

std::array<std::string, 3> CCompressedHarmonicsIndicator::GetStatus() const {
    const HarmonicsStatusInput in{current_,           reference_,      selectedCurrent_,
                                  selectedReference_, hoveredCurrent_, hoveredReference_};
    return HarmonicsStatus(in, Mapping(), mouse_.x);
}

void CCompressedHarmonicsIndicator::BufferRecreated() {
    drawnOnce_ = false;
    frameDrawn_ = false;
}

void CCompressedHarmonicsIndicator::OnClientResized() {
    const wxSize client = GetClientSize();
    layout_ = HarmonicsGraphLayout(client.x, client.y);
    fontsMade_ = false;
}

PitchLimits CCompressedHarmonicsIndicator::Limits() const {
    return PitchLimitsOf(noteTable_);
}

ViewMapping CCompressedHarmonicsIndicator::Mapping() const {
    return {view_, layout_.plot};
}

PlotSnapshot CCompressedHarmonicsIndicator::Snapshot() const {
    PlotSnapshot s;
    s.view = view_;
    s.currentGeneration = current_ ? current_->Generation() : 0;
    s.referenceGeneration = reference_ ? reference_->Generation() : 0;
    s.currentEnd = current_ ? current_->EndTime() : 0.0f;
    s.referenceEnd = reference_ ? reference_->EndTime() : 0.0f;
    s.selectedCurrent = selectedCurrent_;
    s.selectedReference = selectedReference_;
    s.hoveredCurrent = hoveredCurrent_;
    s.hoveredReference = hoveredReference_;
    return s;
}

void CCompressedHarmonicsIndicator::Post(const wxEventType& type) {
    wxWindow* parent = GetParent();
    if (parent == nullptr) return;
    auto* event = new wxCommandEvent(type, GetId());
    event->SetEventObject(this);
    // Queued, so the parent handles it after this handler has returned.
    wxQueueEvent(parent->GetEventHandler(), event);
}

int CCompressedHarmonicsIndicator::CursorModeAt(wxPoint p) const {
    const bool inPitch = p.y < layout_.plot.y + layout_.plot.height;
    const bool inTime = p.x > layout_.plot.x;
    if (inPitch && inTime) return 2;
    if (inPitch) return 0;
    if (inTime) return 1;
    return 3;
}

void CCompressedHarmonicsIndicator::UpdateCursor(int mode) {
    if (mode == cursorMode_) return;
    cursorMode_ = mode;
    SetCursor(wxCursor(mode == 0 ? wxCURSOR_SIZENS : mode == 1 ? wxCURSOR_SIZEWE : wxCURSOR_ARROW));
}

bool CCompressedHarmonicsIndicator::UpdateHover(wxPoint p) {
    int hoverCurrent = -1, hoverReference = -1;
    if (CursorModeAt(p) == 2) {
        const HarmonicHit hit = HitTestHarmonics(current_, reference_, Mapping(), p.x, p.y, kHitTolerance);
        if (hit.found) (hit.history == HistoryKind::Current ? hoverCurrent : hoverReference) = hit.harmonic;
    }
    const bool changed = hoverCurrent != hoveredCurrent_ || hoverReference != hoveredReference_;
    hoveredCurrent_ = hoverCurrent;
    hoveredReference_ = hoverReference;
    return changed;
}

void CCompressedHarmonicsIndicator::OnLeftDown(wxMouseEvent& event) {
    const wxPoint p = event.GetPosition();
    mouse_ = p;
    if (!HasFocus()) SetFocus();
    const int mode = CursorModeAt(p);
    if (mode == 2) {
        const HarmonicHit hit = HitTestHarmonics(current_, reference_, Mapping(), p.x, p.y, kHitTolerance);
        if (hit.found) {
            int& selected = hit.history == HistoryKind::Current ? selectedCurrent_ : selectedReference_;
            if (selected != hit.harmonic) {
                selected = hit.harmonic;
                Post(EVT_COMPRESSED_SELECTION);
                Post(EVT_COMPRESSED_STATUS);
            }
        }
        RefreshChanged();
    }
    if (mode == 3) {
        draggingPitch_ = draggingTime_ = false;
        return;
    }
    if (!HasCapture()) CaptureMouse();
    UpdateCursor(mode);
    dragPoint_ = p;
    draggingPitch_ = mode == 0 || mode == 2;
    draggingTime_ = mode == 1 || mode == 2;
}

void CCompressedHarmonicsIndicator::OnLeftUp(wxMouseEvent& /*event*/) {
    if (HasCapture()) ReleaseMouse();
    draggingPitch_ = draggingTime_ = false;
}

void CCompressedHarmonicsIndicator::OnCaptureLost(wxMouseCaptureLostEvent& /*event*/) {
    draggingPitch_ = draggingTime_ = false;
}

void CCompressedHarmonicsIndicator::OnMotion(wxMouseEvent& event) {
    const wxPoint p = event.GetPosition();
    mouse_ = p;
    if ((draggingPitch_ || draggingTime_) && HasCapture()) {
        const PixelRect& plot = layout_.plot;
        float timeStart = view_.timeStart, pitchStart = view_.pitchStart;
        if (draggingPitch_ && plot.height > 0)
            pitchStart += static_cast<float>(p.y - dragPoint_.y) * view_.pitchSpan / plot.height;
        if (draggingTime_ && plot.width > 0)
            timeStart -= static_cast<float>(p.x - dragPoint_.x) * view_.timeSpan / plot.width;
        SetViewStarts(view_, timeStart, pitchStart, Limits());
        RefreshChanged();
        dragPoint_ = p;
    } else {
        UpdateCursor(CursorModeAt(p));
        if (UpdateHover(p)) RefreshChanged();
    }
    Post(EVT_COMPRESSED_STATUS);
}

void CCompressedHarmonicsIndicator::OnRightUp(wxMouseEvent& /*event*/) {
    const bool hadSelection = selectedCurrent_ >= 0 || selectedReference_ >= 0;
    selectedCurrent_ = selectedReference_ = -1;
    if (hadSelection) {
        Post(EVT_COMPRESSED_SELECTION);
        Post(EVT_COMPRESSED_STATUS);
    }
    RefreshChanged();
}

void CCompressedHarmonicsIndicator::OnLeave(wxMouseEvent& /*event*/) {
    cursorMode_ = 4;
    if (hoveredCurrent_ >= 0 || hoveredReference_ >= 0) {
        hoveredCurrent_ = hoveredReference_ = -1;
        RefreshChanged();
        Post(EVT_COMPRESSED_STATUS);
    }
}

void CCompressedHarmonicsIndicator::OnWheel(wxMouseEvent& event) {
    const wxPoint p = event.GetPosition();
    if (!WheelZoom(view_, layout_.plot, Limits(), p.x, p.y, event.GetWheelRotation())) return;
    RefreshChanged();
    Post(EVT_COMPRESSED_RANGE);
}

void CCompressedHarmonicsIndicator::OnKeyDown(wxKeyEvent& event) {
    ArrowKey key;
    switch (event.GetKeyCode()) {
        case WXK_UP: key = ArrowKey::Up; break;
        case WXK_DOWN: key = ArrowKey::Down; break;
        case WXK_LEFT: key = ArrowKey::Left; break;
        case WXK_RIGHT: key = ArrowKey::Right; break;
        case WXK_TAB:
            // The graph wants characters, so it moves the focus on itself.
            Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
            return;
        default: event.Skip(); return;
    }
    ApplyArrowKey(view_, key, event.ShiftDown(), Limits());
    RefreshChanged();
}

void CCompressedHarmonicsIndicator::OnChar(wxKeyEvent& event) {
    // Typing into the graph does nothing; a short beep says so. Enter and
    // Escape belong to the window around the graph.
    const int code = event.GetKeyCode();
    if (code != WXK_RETURN && code != WXK_NUMPAD_ENTER && code != WXK_ESCAPE) wxBell();
    event.Skip();
}

void CCompressedHarmonicsIndicator::OnFocus(wxFocusEvent& event) {
    focused_ = event.GetEventType() == wxEVT_SET_FOCUS;
    RefreshChanged();
    event.Skip();
}
