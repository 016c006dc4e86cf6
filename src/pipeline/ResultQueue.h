#pragma once
// The queue of analysis results between the recorder thread, which appends
// one per hop, and the display tick, which takes them out in order.
//
// It holds at most the newest MaxSeconds of sound, by the results' hop
// durations: when the display stalls, or a device delivers faster than real
// time, the oldest results are dropped and counted rather than memory
// growing without limit. Not thread-safe; the pipeline guards it.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "analysis/AnalysisResult.h"

class ResultQueue {
public:
    static constexpr double MaxSeconds = 10.0;
    // Also bounds results without a usable hop duration; 10 s of the
    // shortest hop (256 frames at 96 kHz) is 3750 results.
    static constexpr std::size_t MaxResults = 4096;

    // Appends at the back, then drops the oldest while the queue covers more
    // than MaxSeconds or holds more than MaxResults. The newest always stays.
    void Push(NoteAnalyzer::AnalysisResult result);

    // Marks the end of the queue as it is now: TakeBefore with this mark
    // takes only results pushed before it, however many come meanwhile.
    std::uint64_t EndMark() const { return pushed_; }
    // Moves the oldest result out when it was pushed before `mark`; false
    // when the queue is empty or its oldest result came later.
    bool TakeBefore(std::uint64_t mark, NoteAnalyzer::AnalysisResult& result);

    // Empties the queue and hands its results over, so the caller can
    // destroy them outside its lock. The drop count stays.
    std::deque<NoteAnalyzer::AnalysisResult> TakeAll();

    std::size_t Size() const { return results_.size(); }
    // Sum of the held results' hop durations, seconds.
    double Duration() const { return duration_; }
    // Results dropped to keep the bound since the queue was made.
    std::uint64_t Dropped() const { return dropped_; }

private:
    NoteAnalyzer::AnalysisResult PopFront();

    std::deque<NoteAnalyzer::AnalysisResult> results_;
    double duration_ = 0.0;
    std::uint64_t pushed_ = 0;  // results ever pushed: the front is number pushed_ - Size()
    std::uint64_t dropped_ = 0;
};
