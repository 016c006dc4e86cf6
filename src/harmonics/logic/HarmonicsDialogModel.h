#pragma once
// What the harmonics window shows and reports, without the window: the items
// of its three drop-down lists with their item data, the captions of its two
// group boxes, how the list selections map onto the state record it shares
// with the main window, and which status-bar panes need rewriting.

#include <array>
#include <string>
#include <vector>

#include "pipeline/HarmonicsState.h"
#include "tuning/NoteIndex.h"

namespace HarmonicsDialog {

// Control ids of the window (the graph and the status bar get theirs at run
// time).
inline constexpr int IdCurrentGroup = 1080;
inline constexpr int IdCurrentHarmonic = 1072;
inline constexpr int IdStoreReference = 1071;
inline constexpr int IdAlwaysStore = 1076;
inline constexpr int IdReferenceGroup = 1079;
inline constexpr int IdReferenceHarmonic = 1074;
inline constexpr int IdReferenceOption = 1078;

inline constexpr int HighestHarmonic = 64;
// Item data of the first and last "Manual: " reference option (note 12 + data).
inline constexpr int FirstManualOption = 0;
inline constexpr int LastManualOption = NoteIndexMax - NoteIndexMin;  // 96

inline constexpr int StatusPaneCount = 5;

struct ListItem {
    std::string text;
    int data = 0;
    bool operator==(const ListItem&) const = default;
};

// "None" (-1), then "1" .. "64" with their own numbers as data.
std::vector<ListItem> HarmonicItems();
// The eight fixed options (1001 .. 1008), then "Manual: " with the name of
// every note 12 .. 108 under `transpose`, data 0 .. 96.
std::vector<ListItem> ReferenceOptionItems(int transpose);

// "Current Note: E2", or "Current Note:" without a valid note.
std::string CurrentNoteCaption(NoteIndex note, int transpose);
// "Reference Note: E3", or "Reference Note:" without a valid note.
std::string ReferenceNoteCaption(NoteIndex note, int transpose);

// The item data now selected in the three lists.
struct ListSelections {
    int currentHarmonic = NoHarmonicSelected;
    int referenceHarmonic = NoHarmonicSelected;
    int referenceOption = ReferenceOptionPrevious;
};

// Copies the selections into the state; true when any of the three changed
// (the main window is then told).
bool TakeListSelections(HarmonicsState& state, const ListSelections& selections);

// Copies what the user edits in the window (the three list selections, the
// store rule and the graph's spans) from `from` into `to`, leaving the notes
// and histories of `to`.
void KeepUserSelections(HarmonicsState& to, const HarmonicsState& from);

// The status bar's panes as last written. Update() takes the graph's three
// strings (panes 0..2; panes 3 and 4 stay empty) and returns the panes whose
// text differs from what is shown, remembering the new texts: only those are
// rewritten, so an unchanged pane never flickers.
class StatusPanes {
public:
    std::vector<int> Update(const std::array<std::string, 3>& graphStatus);
    const std::string& Text(int pane) const { return m_texts.at(static_cast<std::size_t>(pane)); }

private:
    std::array<std::string, StatusPaneCount> m_texts;
};

}  // namespace HarmonicsDialog
