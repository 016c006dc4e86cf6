// The progress line shown on a terminal while a long recording is analysed:
// percent done and the time left, rewritten in place.
#pragma once

#include <string>

namespace ZelvoAnalyze {

class ProgressReport {
public:
    // totalSeconds: the recording's length; 0 or less when it is unknown,
    // which shows nothing.
    explicit ProgressReport(double totalSeconds) : total_(totalSeconds) {}

    // The text to write after doneSeconds of the recording took
    // elapsedSeconds of wall time, or "" when nothing is due: nothing for the
    // first second (short files stay silent), then at most four times a second.
    std::string Update(double doneSeconds, double elapsedSeconds);
    // The text that clears the line again, "" when nothing was shown.
    std::string Finish();

private:
    double total_;
    double lastShown_ = -1.0;
    std::size_t shownWidth_ = 0;
};

// "0:07", "12:34", "1:02:03": a number of seconds for the progress line.
std::string FormatDuration(double seconds);

}  // namespace ZelvoAnalyze
