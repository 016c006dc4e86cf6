#include "pipeline/NoteTracker.h"

#include <numeric>
#include <utility>

#include "pipeline/CompressionWeights.h"
#include "tuning/NoteNames.h"

NoteTracker::NoteTracker() = default;

void NoteTracker::Seed(float middleA) {
    const double a4 = static_cast<double>(middleA);
    NoteAnalyzer::AnalysisResult seed;
    seed.level = 0.0;
    seed.frequency = a4;
    seed.harmonics[1] = NoteAnalyzer::SpectralPeak{0.0, a4};
    seed.hopDuration = 0.0;
    seed.inharmonicity = 0.0;
    seed.frameFundamental = a4;
    seed.strongestHarmonic = 1;
    seed.peaks.push_back(NoteAnalyzer::SpectralPeak{0.0, a4});

    track_.note = Units::A4Note;
    track_.ended = true;
    track_.storeRequest = false;
    track_.lastTime = 0;
    track_.lastTimeSet = false;
    track_.results.Clear();
    track_.results.Append(std::move(seed));
}

NoteStep NoteTracker::Process(NoteAnalyzer::AnalysisResult result, const NoteTable& table, double calibration,
                              bool alwaysStore, std::uint32_t now) {
    NoteStep step;

    levels_.push_back(static_cast<float>(result.level));
    while (levels_.size() > LevelHistorySize) {
        levels_.pop_front();
    }
    levelMean_ = std::accumulate(levels_.begin(), levels_.end(), 0.0f) / static_cast<float>(levels_.size());

    // Calibration corrects the sound card's clock: every measured frequency
    // the note and the harmonics graph use is scaled. Peaks and the frame's
    // template fundamental stay as measured.
    if (result.frequency != -1.0) {
        result.frequency *= calibration;
    }
    for (auto& [k, peak] : result.harmonics) {
        if (peak.frequency != -1.0) {
            peak.frequency *= calibration;
        }
    }

    if (result.frequency != -1.0) {
        const NoteLookup lookup = FrequencyToNote(table, static_cast<float>(result.frequency));
        step.cents = lookup.deviation;
        if (lookup.withinRange) {
            step.note = lookup.note;
        }
    }

    const NoteIndex old = track_.note;
    const bool oldValid = IsValidNoteIndex(old);
    const bool newValid = IsValidNoteIndex(step.note);

    // Another note, silence or an unnamed pitch ends the held note.
    if (oldValid && !track_.ended && old != step.note) {
        track_.ended = true;
    }

    if (newValid && (!oldValid || track_.ended || old != step.note)) {
        StartNote(step.note, alwaysStore);
        step.noteStarted = true;
    }

    if (newValid) {
        currentHistory_.AddFrame(result);
        track_.results.Append(std::move(result));
        track_.lastTime = now;
        track_.lastTimeSet = true;
        step.appended = true;
    }
    return step;
}

void NoteTracker::StartNote(NoteIndex note, bool alwaysStore) {
    const NoteIndex old = track_.note;
    if (IsValidNoteIndex(old)) {
        if (alwaysStore || track_.storeRequest) {
            stored_.Store(old, track_.results);  // replaces an older take
            track_.storeRequest = false;
        }
        track_.previousNote = old;
    }
    track_.ended = false;
    track_.storeRequest = false;
    track_.note = note;
    track_.results.Clear();
    currentHistory_.Restart();
}

DisplayValues NoteTracker::Display(const NoteTable& table, int transpose, int centAccuracy,
                                   std::uint32_t now) const {
    DisplayValues values;
    const bool noteValid = IsValidNoteIndex(track_.note);

    if (noteValid && !track_.results.Empty() && track_.results.Newest().frequency != -1.0) {
        const auto f = static_cast<float>(track_.results.Newest().frequency);
        const NoteLookup lookup = FrequencyToNote(table, f);
        if (!lookup.withinRange) {
            return values;  // the panes keep everything they show
        }
        values.hasReading = true;
        values.deviation = NeedleDeviation(lookup.deviation);
        values.noteLabel = FormatNoteName(lookup.note, transpose);
        values.centsLabel = FormatCentsLabel(lookup.deviation, centAccuracy);
        values.globalValue = static_cast<float>(FrequencyToCents(f));
    }

    values.hasLevel = true;
    values.energy = static_cast<float>(Units::MeterPositionFromDb(levelMean_));
    // Before the first real result (the seeded A4) there is no time to fade
    // from: the needle shows faded. Taking tick 0 as that time would leave it
    // fully bright whenever the tick count lies more than 24.8 days past 0.
    values.fade = (noteValid && track_.lastTimeSet) ? FadeValue(now, track_.lastTime) : 1.0f;
    return values;
}

void NoteTracker::RebuildReferenceHistory(const NoteTable& table, NoteIndex referenceNote) {
    referenceHistory_.Restart();
    const NoteIndex current = track_.note;
    if (!IsValidNoteIndex(current) || !IsValidNoteIndex(referenceNote)) {
        return;
    }
    const StoredNote* stored = stored_.Find(referenceNote);
    if (stored == nullptr) {
        return;
    }
    stored->AddTo(referenceHistory_, CompressionWeights(table, current, referenceNote));
}
