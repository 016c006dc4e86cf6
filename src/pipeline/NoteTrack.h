#pragma once
// The note now being played and the results that belong to it.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "analysis/AnalysisResult.h"
#include "tuning/NoteIndex.h"
#include "units/Units.h"

// The results of one note, oldest first, holding at most the newest
// MaxSeconds of sound (by the results' hop durations). A drone or mains hum
// above the noise floor would otherwise grow a held note's list for as long as
// the program runs. The reading always uses the newest result, which is kept.
class NoteResultList {
public:
    static constexpr double MaxSeconds = Units::MaxTimeRangeSeconds;
    // Also bounds lists of results without a usable hop duration; 60 s of the
    // shortest hop (256 frames at 96 kHz) is 22500 results.
    static constexpr std::size_t MaxResults = 1u << 16;

    void Append(NoteAnalyzer::AnalysisResult result);
    void Clear();

    bool Empty() const { return results_.empty(); }
    std::size_t Size() const { return results_.size(); }
    // Sum of the kept results' hop durations, seconds.
    double Duration() const { return duration_; }
    const NoteAnalyzer::AnalysisResult& Newest() const { return results_.back(); }
    const std::deque<NoteAnalyzer::AnalysisResult>& Results() const { return results_; }

    auto begin() const { return results_.begin(); }
    auto end() const { return results_.end(); }

private:
    std::deque<NoteAnalyzer::AnalysisResult> results_;
    double duration_ = 0.0;
};

// Which note is sounding. Touched by the user-interface thread only.
struct NoteTrack {
    NoteIndex note = Units::A4Note;             // A4 until the first note is played
    NoteResultList results;                     // this note's results, oldest first
    std::uint32_t lastTime = 0;                 // tick (ms) of the last result appended
    bool lastTimeSet = false;                   // lastTime came from a real result
    bool ended = true;                          // another note or silence followed
    bool storeRequest = false;                  // keep it even with AlwaysStore off
    NoteIndex previousNote = NoteIndexInvalid;  // the note before this one
};
