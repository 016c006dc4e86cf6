// The recording mode of the tool: one file through the analyzer, printed
// hop by hop or note by note.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "ToolSettings.h"

namespace ZelvoAnalyze {

// What is printed of a file: a line per hop, per held note, or per harmonic
// of every hop with a reading.
enum class FileReport { Hops, Notes, Partials };

// Reads path, analyses it with the settings for its rate and the chosen
// quality, and writes the lines `report` names to out.
// Every problem found before the first reading (file, rate the analyzer
// rejects) throws a std::runtime_error whose message names it, and nothing
// has been written then. A file that breaks off far short of its declared
// length throws after the readings it did yield (before any note lines).
// What a run over a file does besides printing its readings.
struct FileRunExtras {
    std::optional<std::string> chartPath;  // intonation chart to write, .svg or .png
    std::ostream* progress = nullptr;      // a terminal to show progress on, or none
};

// The chart (if asked for) is written after the readings are printed.
void AnalyzeFile(const std::string& path, const EffectiveSettings& settings, FileReport report,
                 std::ostream& out, const FileRunExtras& extras = {});

}  // namespace ZelvoAnalyze
