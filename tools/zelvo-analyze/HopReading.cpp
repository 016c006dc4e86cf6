#include "HopReading.h"

namespace ZelvoAnalyze {

HopReading ReadHop(const TuningReference& reference, const NoteAnalyzer::AnalysisResult& result,
                   double endTime) {
    HopReading reading;
    reading.endTime = endTime;
    reading.level = result.level;
    if (result.frequency == -1.0) return reading;
    reading.frequency = result.frequency * reference.calibration;
    const NoteLookup lookup = FrequencyToNote(reference.table, static_cast<float>(reading.frequency));
    if (lookup.withinRange && IsValidNoteIndex(lookup.note)) {
        reading.note = lookup.note;
        reading.cents = lookup.deviation;
    }
    return reading;
}

}  // namespace ZelvoAnalyze
