#include "pipeline/ResultQueue.h"

#include <cmath>
#include <utility>

#include "pipeline/HopDuration.h"

void ResultQueue::Push(NoteAnalyzer::AnalysisResult result) {
    duration_ += UsableHopDuration(result.hopDuration);
    results_.push_back(std::move(result));
    ++pushed_;
    // The tolerance keeps exactly MaxSeconds of hops whose sum rounds up.
    while (results_.size() > 1 && (duration_ > MaxSeconds + 1e-9 || results_.size() > MaxResults)) {
        PopFront();
        ++dropped_;
    }
}

bool ResultQueue::TakeBefore(std::uint64_t mark, NoteAnalyzer::AnalysisResult& result) {
    const std::uint64_t front = pushed_ - results_.size();
    if (results_.empty() || front >= mark) return false;
    result = PopFront();
    return true;
}

std::deque<NoteAnalyzer::AnalysisResult> ResultQueue::TakeAll() {
    std::deque<NoteAnalyzer::AnalysisResult> taken;
    taken.swap(results_);
    duration_ = 0.0;
    return taken;
}

NoteAnalyzer::AnalysisResult ResultQueue::PopFront() {
    NoteAnalyzer::AnalysisResult front = std::move(results_.front());
    results_.pop_front();
    duration_ -= UsableHopDuration(front.hopDuration);
    // Recomputed for a single result so that rounding does not accumulate.
    if (results_.size() <= 1)
        duration_ = results_.empty() ? 0.0 : UsableHopDuration(results_.front().hopDuration);
    return front;
}
