#pragma once
// Finished notes kept as harmonics references, within a fixed memory budget.
//
// A reference is drawn from each hop's level, consensus frequency, hop
// duration and matched harmonics; the frame's full peak list, by far the
// largest part of an analysis result, is not kept. With "Always Store" on
// every note played is kept, so the whole store is also bounded: storing a
// note beyond MaxBytes drops the notes stored longest ago first.

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "analysis/AnalysisResult.h"
#include "pipeline/HarmonicHistory.h"
#include "pipeline/NoteTrack.h"
#include "tuning/NoteIndex.h"

// One hop of a stored note.
struct StoredFrame {
    double level = 0.0;
    double frequency = -1.0;
    double hopDuration = 0.0;
    std::vector<std::pair<int, NoteAnalyzer::SpectralPeak>> harmonics;  // ascending harmonic number
};

class StoredNote {
public:
    explicit StoredNote(const NoteResultList& results);

    std::size_t Size() const { return frames_.size(); }
    // The heap and object memory the note takes, bytes.
    std::size_t Bytes() const { return bytes_; }
    const std::vector<StoredFrame>& Frames() const { return frames_; }
    // Frame i as an analysis result (without its peak list).
    NoteAnalyzer::AnalysisResult Result(std::size_t i) const;
    // Feeds every frame, oldest first, to history with the given weights:
    // the note's harmonic tracks as the harmonics graph draws them.
    void AddTo(HarmonicHistory& history, const HarmonicWeights& weights) const;

private:
    std::vector<StoredFrame> frames_;
    std::size_t bytes_ = 0;
};

class StoredNotes {
public:
    static constexpr std::size_t MaxBytes = std::size_t{64} << 20;

    explicit StoredNotes(std::size_t maxBytes = MaxBytes) : maxBytes_(maxBytes) {}

    // Keeps results as the reference of note, replacing an older take, then
    // drops the oldest other notes while the store is over its budget (a
    // single note larger than the budget is still kept).
    void Store(NoteIndex note, const NoteResultList& results);

    // The stored note, or nullptr.
    const StoredNote* Find(NoteIndex note) const;
    // The stored note; throws std::out_of_range when there is none.
    const StoredNote& at(NoteIndex note) const { return notes_.at(note).note; }
    std::size_t count(NoteIndex note) const { return notes_.count(note); }
    bool empty() const { return notes_.empty(); }
    std::size_t size() const { return notes_.size(); }
    // The memory all stored notes take, bytes.
    std::size_t Bytes() const { return bytes_; }

private:
    struct Entry {
        StoredNote note;
        std::uint64_t order = 0;  // when it was stored: larger is newer
    };

    std::map<NoteIndex, Entry> notes_;
    std::uint64_t nextOrder_ = 0;
    std::size_t bytes_ = 0;
    std::size_t maxBytes_;
};
