#include "pipeline/StoredNotes.h"

#include <algorithm>

StoredNote::StoredNote(const NoteResultList& results) {
    frames_.reserve(results.Size());
    bytes_ = sizeof(StoredNote) + results.Size() * sizeof(StoredFrame);
    for (const NoteAnalyzer::AnalysisResult& result : results) {
        StoredFrame frame;
        frame.level = result.level;
        frame.frequency = result.frequency;
        frame.hopDuration = result.hopDuration;
        frame.harmonics.reserve(result.harmonics.size());
        frame.harmonics.assign(result.harmonics.begin(), result.harmonics.end());
        bytes_ += frame.harmonics.capacity() * sizeof(frame.harmonics.front());
        frames_.push_back(std::move(frame));
    }
}

NoteAnalyzer::AnalysisResult StoredNote::Result(std::size_t i) const {
    const StoredFrame& frame = frames_.at(i);
    NoteAnalyzer::AnalysisResult result;
    result.level = frame.level;
    result.frequency = frame.frequency;
    result.hopDuration = frame.hopDuration;
    result.harmonics.insert(frame.harmonics.begin(), frame.harmonics.end());
    return result;
}

void StoredNote::AddTo(HarmonicHistory& history, const HarmonicWeights& weights) const {
    for (std::size_t i = 0; i < frames_.size(); ++i) history.AddFrame(Result(i), weights);
}

void StoredNotes::Store(NoteIndex note, const NoteResultList& results) {
    StoredNote stored(results);
    if (const auto old = notes_.find(note); old != notes_.end()) {
        bytes_ -= old->second.note.Bytes();
        notes_.erase(old);
    }
    bytes_ += stored.Bytes();
    notes_.insert_or_assign(note, Entry{std::move(stored), nextOrder_++});
    while (bytes_ > maxBytes_ && notes_.size() > 1) {
        const auto oldest = std::min_element(notes_.begin(), notes_.end(), [](const auto& a, const auto& b) {
            return a.second.order < b.second.order;
        });
        bytes_ -= oldest->second.note.Bytes();
        notes_.erase(oldest);
    }
}

const StoredNote* StoredNotes::Find(NoteIndex note) const {
    const auto found = notes_.find(note);
    return found == notes_.end() ? nullptr : &found->second.note;
}
