#include "LiveDisplay.h"

#include "OutputFormat.h"
#include "pipeline/DisplayValues.h"

namespace ZelvoAnalyze {

std::string LiveLine(const NoteTracker& tracker, const NoteTable& table) {
    // No transposition, and the fade's tick count does not matter here.
    const DisplayValues values = tracker.Display(table, 0, CentAccuracyTenths, 0);
    const std::string reading = values.hasReading ? values.noteLabel + '\t' + values.centsLabel : "-\t-";
    return reading + '\t' + FormatFixed(tracker.LevelMean(), 1);
}

}  // namespace ZelvoAnalyze
