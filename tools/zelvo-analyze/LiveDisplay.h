// The terminal tuner's reading: what the tuner window would show after the
// results drained on one display tick, as one line of text.
#pragma once

#include <deque>
#include <string>

#include "HopReading.h"
#include "analysis/AnalysisResult.h"

namespace ZelvoAnalyze {

// Follows the note being played as the tuner's note track does: a result
// with a note starts or continues that note, a result without one ends it,
// and the display keeps showing the last note with its newest deviation
// (the tuner fades its needle there) until another note starts.
class LiveDisplay {
public:
    explicit LiveDisplay(TuningReference reference) : reference_(std::move(reference)) {}

    // One result taken from the queue, in order.
    void Add(const NoteAnalyzer::AnalysisResult& result);

    // The line for this tick: concert note name, the cents label in tenths and
    // the mean level of the last 8 results, tab-separated; "-" for the note
    // and the label before any note was heard. Empty when no result arrived
    // since the last call.
    std::string TakeLine();

private:
    static constexpr std::size_t kLevelsKept = 8;
    TuningReference reference_;
    std::deque<float> levels_;
    HopReading shown_;  // newest reading that named a note
    bool fresh_ = false;
};

}  // namespace ZelvoAnalyze
