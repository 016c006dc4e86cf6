#include "LiveDisplay.h"

#include <numeric>

#include "OutputFormat.h"
#include "tuning/NoteNames.h"

namespace ZelvoAnalyze {

void LiveDisplay::Add(const NoteAnalyzer::AnalysisResult& result) {
    levels_.push_back(static_cast<float>(result.level));
    while (levels_.size() > kLevelsKept) levels_.pop_front();
    fresh_ = true;
    // A result without a note ends the note being played but leaves it on
    // display; the next note, or the same one played again, replaces it.
    const HopReading reading = ReadHop(reference_, result, 0.0);
    if (reading.HasNote()) shown_ = reading;
}

std::string LiveDisplay::TakeLine() {
    if (!fresh_) return {};
    fresh_ = false;
    const float levelMean =
        std::accumulate(levels_.begin(), levels_.end(), 0.0f) / static_cast<float>(levels_.size());
    std::string line;
    if (shown_.HasNote())
        line = FormatNoteName(shown_.note, 0) + '\t' + FormatCentsLabel(shown_.cents, 0);
    else
        line = "-\t-";
    return line + '\t' + FormatFixed(levelMean, 1);
}

}  // namespace ZelvoAnalyze
