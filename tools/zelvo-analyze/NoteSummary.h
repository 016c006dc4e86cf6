// Groups hop readings into the notes a player held: consecutive hops that
// name the same note; a hop without a note ends the note being held.
#pragma once

#include <vector>

#include "HopReading.h"

namespace ZelvoAnalyze {

struct NoteSpan {
    NoteIndex note = NoteIndexInvalid;
    double start = 0.0;        // seconds, the start of the note's first hop
    double end = 0.0;          // seconds, the end of its last hop
    float medianCents = 0.0f;  // median deviation over its hops
    int hops = 0;
};

class NoteSummarizer {
public:
    // hopDuration: seconds per hop, to find where a note's first hop began.
    explicit NoteSummarizer(double hopDuration) : hopDuration_(hopDuration) {}

    void Add(const HopReading& reading);
    // Ends the note still held and returns every note in order of time.
    std::vector<NoteSpan> Finish();

private:
    void CloseCurrent();

    double hopDuration_;
    std::vector<NoteSpan> spans_;
    NoteSpan current_;
    std::vector<float> currentCents_;
};

// Median of the values (mean of the middle two for an even count); 0 for none.
float Median(std::vector<float> values);

}  // namespace ZelvoAnalyze
