#include "indicators/math/GlobalIndicatorMath.h"

#include <algorithm>

namespace Indicators {

std::vector<int> WidenLadderNotes(const std::vector<int>& notes) {
    if (notes.empty()) return {48, 60, 72};
    if (notes.size() == 1) {
        const int n = notes.front();
        std::vector<int> widened;
        if (n - 1 >= kLowestLadderNote) widened.push_back(n - 1);
        widened.push_back(n);
        if (n + 1 <= kHighestLadderNote) widened.push_back(n + 1);
        return widened;
    }
    return notes;
}

double LadderScale::Row(double cents, int clientHeight) const {
    return (1.0 - (cents - bottom) / span) * clientHeight;
}

LadderScale MakeLadderScale(double lowerEdgeOfLowest, double upperEdgeOfHighest) {
    const double margin = 0.05 * (upperEdgeOfHighest - lowerEdgeOfLowest);
    LadderScale scale;
    scale.bottom = lowerEdgeOfLowest - margin;
    scale.span = upperEdgeOfHighest + margin - scale.bottom;
    // A degenerate table (all edges equal) would divide by zero; one cent of
    // span keeps the rows finite.
    if (!(scale.span > 0.0)) scale.span = 1.0;
    return scale;
}

double LabelSizeFactor(const std::vector<int>& ascendingNotes) {
    if (ascendingNotes.size() < 2) return 0.05;
    int smallestGap = ascendingNotes[1] - ascendingNotes[0];
    for (std::size_t i = 2; i < ascendingNotes.size(); ++i)
        smallestGap = std::min(smallestGap, ascendingNotes[i] - ascendingNotes[i - 1]);
    const double range = ascendingNotes.back() - ascendingNotes.front();
    if (range <= 0.0) return 0.05;
    return std::min(smallestGap / range, 0.05);
}

double LadderBandHeight(int clientWidth) {
    return 0.02 * clientWidth;
}

double HighlightBarHeight(double largestLabelHeight, int clientHeight, const LadderScale& scale) {
    return std::max(1.2 * largestLabelHeight, clientHeight * 50.0 / scale.span);
}

}  // namespace Indicators
