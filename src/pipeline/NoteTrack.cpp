#include "pipeline/NoteTrack.h"

#include <cmath>
#include <utility>

#include "pipeline/HopDuration.h"

void NoteResultList::Append(NoteAnalyzer::AnalysisResult result) {
    duration_ += UsableHopDuration(result.hopDuration);
    results_.push_back(std::move(result));
    // Drop the oldest while the rest still covers more than the limit; the
    // newest result always stays.
    while (results_.size() > 1 && (duration_ > MaxSeconds + 1e-9 || results_.size() > MaxResults)) {
        duration_ -= UsableHopDuration(results_.front().hopDuration);
        results_.pop_front();
    }
    if (results_.size() == 1) {
        duration_ = UsableHopDuration(results_.front().hopDuration);  // no drift from the sums
    }
}

void NoteResultList::Clear() {
    results_.clear();
    duration_ = 0.0;
}
