// Arithmetic of the global indicator's note ladder: which notes are shown,
// the pitch-to-row mapping, the label size and the highlight bar height.
// Notes are NoteIndex numbers (12..108); pitches are cents relative to 440 Hz.
// No wx here.
#pragma once

#include <vector>

namespace Indicators {

constexpr int kLowestLadderNote = 12;
constexpr int kHighestLadderNote = 108;

// The notes a ladder shows for a chosen set (ascending, distinct): an empty
// set becomes 48, 60, 72; a single note n gains n-1 and n+1 where those are
// valid notes. Larger sets are shown as they are.
std::vector<int> WidenLadderNotes(const std::vector<int>& notes);

// Vertical scale: the band edges of the lowest and highest note plus a 5 %
// margin on both sides fill the pane's height.
struct LadderScale {
    double bottom = 0.0;  // B, cents at the bottom edge of the pane
    double span = 1.0;    // S, cents from the bottom edge to the top edge

    // Row of pitch p on a pane clientHeight high; higher pitch, smaller row.
    double Row(double cents, int clientHeight) const;
};
LadderScale MakeLadderScale(double lowerEdgeOfLowest, double upperEdgeOfHighest);

// Label size as a fraction of the pane height: the smallest gap between
// neighbouring notes over the whole range, at most 0.05.
double LabelSizeFactor(const std::vector<int>& ascendingNotes);

// Thickness of a note band, 0.02 x width.
double LadderBandHeight(int clientWidth);

// Highlight bar height: never thinner than 50 cents of the scale nor than
// 1.2 x the tallest label.
double HighlightBarHeight(double largestLabelHeight, int clientHeight, const LadderScale& scale);

}  // namespace Indicators
