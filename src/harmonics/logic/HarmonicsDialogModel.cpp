#include "harmonics/logic/HarmonicsDialogModel.h"

#include "tuning/NoteNames.h"

namespace HarmonicsDialog {

std::vector<ListItem> HarmonicItems() {
    std::vector<ListItem> items;
    items.reserve(HighestHarmonic + 1);
    items.push_back({"None", NoHarmonicSelected});
    for (int k = 1; k <= HighestHarmonic; ++k) items.push_back({std::to_string(k), k});
    return items;
}

std::vector<ListItem> ReferenceOptionItems(int transpose) {
    std::vector<ListItem> items = {
        {"No reference", ReferenceOptionNone},        {"Previous Note", ReferenceOptionPrevious},
        {"Octave above", ReferenceOptionOctaveAbove}, {"Octave below", ReferenceOptionOctaveBelow},
        {"Fifth above", ReferenceOptionFifthAbove},   {"Fifth below", ReferenceOptionFifthBelow},
        {"Third above", ReferenceOptionThirdAbove},   {"Third below", ReferenceOptionThirdBelow},
    };
    for (int data = FirstManualOption; data <= LastManualOption; ++data)
        items.push_back({"Manual: " + FormatNoteName(NoteIndexMin + data, transpose), data});
    return items;
}

namespace {

std::string Caption(const char* label, NoteIndex note, int transpose) {
    std::string text = label;
    if (IsValidNoteIndex(note)) text += " " + FormatNoteName(note, transpose);
    return text;
}

}  // namespace

std::string CurrentNoteCaption(NoteIndex note, int transpose) {
    return Caption("Current Note:", note, transpose);
}

std::string ReferenceNoteCaption(NoteIndex note, int transpose) {
    return Caption("Reference Note:", note, transpose);
}

bool TakeListSelections(HarmonicsState& state, const ListSelections& selections) {
    const bool changed = state.currentHarmonic != selections.currentHarmonic ||
                         state.referenceHarmonic != selections.referenceHarmonic ||
                         state.referenceOption != selections.referenceOption;
    state.currentHarmonic = selections.currentHarmonic;
    state.referenceHarmonic = selections.referenceHarmonic;
    state.referenceOption = selections.referenceOption;
    return changed;
}

void KeepUserSelections(HarmonicsState& to, const HarmonicsState& from) {
    to.alwaysStore = from.alwaysStore;
    to.currentHarmonic = from.currentHarmonic;
    to.referenceHarmonic = from.referenceHarmonic;
    to.referenceOption = from.referenceOption;
    to.pitchSpan = from.pitchSpan;
    to.timeSpan = from.timeSpan;
}

std::vector<int> StatusPanes::Update(const std::array<std::string, 3>& graphStatus) {
    std::vector<int> changed;
    for (std::size_t i = 0; i < m_texts.size(); ++i) {
        const std::string& text = i < graphStatus.size() ? graphStatus[i] : std::string();
        if (m_texts[i] == text) continue;
        m_texts[i] = text;
        changed.push_back(static_cast<int>(i));
    }
    return changed;
}

}  // namespace HarmonicsDialog
