#include "pipeline/StoredNotes.h"

#include <gtest/gtest.h>

using NoteAnalyzer::AnalysisResult;
using NoteAnalyzer::SpectralPeak;

namespace {

// A held note of `hops` results with five harmonics and a long peak list.
NoteResultList Note(int hops, double f = 440.0) {
    NoteResultList list;
    for (int i = 0; i < hops; ++i) {
        AnalysisResult r;
        r.level = -20.0 - i;
        r.frequency = f + 0.1 * i;
        r.hopDuration = 0.025;
        for (int k = 1; k <= 5; ++k)
            r.harmonics[k] = SpectralPeak{0.5 / k, k * r.frequency * (1.0 + 1e-4 * k)};
        r.peaks.assign(200, SpectralPeak{0.01, 1000.0});
        list.Append(std::move(r));
    }
    return list;
}

}  // namespace

TEST(StoredNotes, KeepWhatAReferenceIsDrawnFrom) {
    const NoteResultList played = Note(40);
    const StoredNote stored(played);
    ASSERT_EQ(stored.Size(), played.Size());
    for (std::size_t i = 0; i < played.Size(); ++i) EXPECT_TRUE(stored.Result(i).peaks.empty());
    // The harmonic tracks drawn from the stored note are the played note's.
    HarmonicWeights weights = HarmonicHistory::DefaultWeights();
    weights[2] = 0.45f;
    HarmonicHistory fromPlayed, fromStored;
    for (const AnalysisResult& r : played) fromPlayed.AddFrame(r, weights);
    stored.AddTo(fromStored, weights);
    ASSERT_EQ(fromStored.Segments().size(), fromPlayed.Segments().size());
    for (std::size_t s = 0; s < fromPlayed.Segments().size(); ++s) {
        const auto& a = fromPlayed.Segments()[s].lines;
        const auto& b = fromStored.Segments()[s].lines;
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t l = 0; l < a.size(); ++l)
            EXPECT_TRUE(a[l].pitch1 == b[l].pitch1 && a[l].opacity1 == b[l].opacity1 &&
                        a[l].harmonic == b[l].harmonic);
    }
    // Without the peak lists a hop costs a fraction of a whole result.
    EXPECT_LT(stored.Bytes(), played.Size() * 200 * sizeof(SpectralPeak) / 4);
}

TEST(StoredNotes, OverTheBudgetTheOldestNotesGoFirst) {
    const std::size_t noteBytes = StoredNote(Note(100)).Bytes();
    StoredNotes store(3 * noteBytes);
    // Each step stores one note of 100 hops; then the notes that remain.
    const struct {
        NoteIndex note;
        std::vector<NoteIndex> kept;
    } steps[] = {
        {60, {60}},         {62, {60, 62}},
        {64, {60, 62, 64}}, {65, {62, 64, 65}},  // 60 was stored longest ago
        {62, {62, 64, 65}},  // a new take of 62 replaces the old one, and is now the newest
        {67, {62, 65, 67}},  // so 64 goes
    };
    for (const auto& step : steps) {
        store.Store(step.note, Note(100));
        std::vector<NoteIndex> kept;
        for (NoteIndex n = 0; n < 128; ++n)
            if (store.Find(n) != nullptr) kept.push_back(n);
        EXPECT_EQ(kept, step.kept) << "after storing " << step.note;
        EXPECT_LE(store.Bytes(), 3 * noteBytes);
    }
    // A single note larger than the whole budget is still kept, alone.
    store.Store(69, Note(400));
    EXPECT_EQ(store.size(), 1u);
    EXPECT_EQ(store.at(69).Size(), 400u);
}
