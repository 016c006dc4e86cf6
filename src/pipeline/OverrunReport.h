#pragma once
// Sound that never reached the display within one recording, said once.
//
// Two places lose sound when the analysis falls behind: the capture device
// drops frames that arrive while no buffer is free (the recorder did not
// keep up), and the result queue drops the oldest results when the display
// did not take them within its bound (each one hop of sound). Either way the
// readings that follow come from sound with a gap in it, so both count
// towards one number of frames, reported the first time it is not zero.

#include <cstdint>
#include <string>

// "input overrun: N frames dropped".
std::string OverrunMessage(std::uint64_t frames);

class OverrunReport {
public:
    // A recording starts: its losses count from the queue's drop total now;
    // each result the queue drops stands for hopFrames frames.
    void Begin(std::uint64_t droppedResultsTotal, int hopFrames);
    // The message the first time the recording lost any sound, given the
    // recorder's dropped frames and the queue's drop total; empty before
    // that, after it, and outside a recording.
    std::string Take(std::uint64_t droppedFrames, std::uint64_t droppedResultsTotal);
    // The recording ended; nothing more is reported until the next Begin.
    void End() { active_ = false; }

private:
    std::uint64_t resultsAtBegin_ = 0;
    std::uint64_t hopFrames_ = 0;
    bool active_ = false;
    bool reported_ = false;
};
