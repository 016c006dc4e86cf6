#include "indicators/CompressedHarmonicsIndicator.h"

wxDEFINE_EVENT(EVT_COMPRESSED_STATUS, wxCommandEvent);
wxDEFINE_EVENT(EVT_COMPRESSED_SELECTION, wxCommandEvent);
wxDEFINE_EVENT(EVT_COMPRESSED_RANGE, wxCommandEvent);

// Placeholder body: the owner's interface, without drawing or input yet.
CCompressedHarmonicsIndicator::CCompressedHarmonicsIndicator() = default;

bool CCompressedHarmonicsIndicator::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                           const wxSize& size) {
    return CBackBufferWnd::Create(parent, id, pos, size, wxWANTS_CHARS, "Compressed Harmonics Indicator");
}

void CCompressedHarmonicsIndicator::SetHistories(const HarmonicHistory* current,
                                                 const HarmonicHistory* reference) {
    current_ = current;
    reference_ = reference;
}
void CCompressedHarmonicsIndicator::SetNoteTable(const NoteTable& table) {
    noteTable_ = table;
}
void CCompressedHarmonicsIndicator::SetFontFamily(const std::string& familyName) {
    fontFamily_ = familyName;
}
void CCompressedHarmonicsIndicator::SetTranspose(int transpose) {
    transpose_ = transpose;
}
void CCompressedHarmonicsIndicator::SetSelection(int currentHarmonic, int referenceHarmonic) {
    selectedCurrent_ = currentHarmonic;
    selectedReference_ = referenceHarmonic;
}
int CCompressedHarmonicsIndicator::SelectedCurrent() const {
    return selectedCurrent_;
}
int CCompressedHarmonicsIndicator::SelectedReference() const {
    return selectedReference_;
}
void CCompressedHarmonicsIndicator::SetSpans(float timeSpan, float pitchSpan) {
    timeSpan_ = timeSpan;
    pitchSpan_ = pitchSpan;
}
void CCompressedHarmonicsIndicator::SetStarts(float timeStart, float pitchStart) {
    timeStart_ = timeStart;
    pitchStart_ = pitchStart;
}
float CCompressedHarmonicsIndicator::TimeSpan() const {
    return timeSpan_;
}
float CCompressedHarmonicsIndicator::PitchSpan() const {
    return pitchSpan_;
}
float CCompressedHarmonicsIndicator::TimeStart() const {
    return timeStart_;
}
float CCompressedHarmonicsIndicator::PitchStart() const {
    return pitchStart_;
}
void CCompressedHarmonicsIndicator::Follow() {
    RefreshChanged();
}
void CCompressedHarmonicsIndicator::RefreshChanged() {
    Refresh(false);
}
void CCompressedHarmonicsIndicator::RedrawAll() {
    Refresh(false);
}
std::array<std::string, 3> CCompressedHarmonicsIndicator::GetStatus() const {
    return {};
}
