#include "NoteSummary.h"

#include <algorithm>

namespace ZelvoAnalyze {

float Median(std::vector<float> values) {
    if (values.empty()) return 0.0f;
    const std::size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + mid, values.end());
    const float upper = values[mid];
    if (values.size() % 2 == 1) return upper;
    const float lower = *std::max_element(values.begin(), values.begin() + mid);
    return (lower + upper) / 2.0f;
}

void NoteSummarizer::Add(const HopReading& reading) {
    if (current_.hops > 0 && reading.note != current_.note) CloseCurrent();
    if (!reading.HasNote()) return;
    if (current_.hops == 0) {
        current_.note = reading.note;
        current_.start = std::max(0.0, reading.endTime - hopDuration_);
    }
    current_.end = reading.endTime;
    ++current_.hops;
    currentCents_.push_back(reading.cents);
}

void NoteSummarizer::CloseCurrent() {
    if (current_.hops > 0) {
        current_.medianCents = Median(currentCents_);
        spans_.push_back(current_);
    }
    current_ = NoteSpan{};
    currentCents_.clear();
}

std::vector<NoteSpan> NoteSummarizer::Finish() {
    CloseCurrent();
    return std::move(spans_);
}

}  // namespace ZelvoAnalyze
