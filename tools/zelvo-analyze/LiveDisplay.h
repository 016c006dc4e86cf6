// The terminal tuner's reading: what the tuner window shows after a display
// tick, as one line of text.
#pragma once

#include <string>

#include "pipeline/NoteTracker.h"
#include "tuning/NoteTable.h"

namespace ZelvoAnalyze {

// The line for the tracker's state: the concert name of the held note, its
// cents label in tenths and the mean level of the last 8 results,
// tab-separated. The last note stays shown after it ended, as the tuner
// keeps it (faded) until another note starts; "-" for the note and the label
// before any note was heard.
std::string LiveLine(const NoteTracker& tracker, const NoteTable& table);

}  // namespace ZelvoAnalyze
