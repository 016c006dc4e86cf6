#include "pipeline/OverrunReport.h"

std::string OverrunMessage(std::uint64_t frames) {
    return "input overrun: " + std::to_string(frames) + " frames dropped";
}

void OverrunReport::Begin(std::uint64_t droppedResultsTotal, int hopFrames) {
    resultsAtBegin_ = droppedResultsTotal;
    hopFrames_ = hopFrames > 0 ? static_cast<std::uint64_t>(hopFrames) : 0;
    active_ = true;
    reported_ = false;
}

std::string OverrunReport::Take(std::uint64_t droppedFrames, std::uint64_t droppedResultsTotal) {
    if (!active_ || reported_) return {};
    // The queue's total never falls; a smaller one means another queue.
    const std::uint64_t results =
        droppedResultsTotal > resultsAtBegin_ ? droppedResultsTotal - resultsAtBegin_ : 0;
    const std::uint64_t frames = droppedFrames + results * hopFrames_;
    if (frames == 0) return {};
    reported_ = true;
    return OverrunMessage(frames);
}
