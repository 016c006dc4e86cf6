#include "pipeline/NoteTracker.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tuning/NoteTable.h"
#include "tuning/Temperament.h"

using NoteAnalyzer::AnalysisResult;

namespace {

constexpr double NoPitch = -1.0;

AnalysisResult Result(double f, double level = -20.0, double hop = 0.025) {
    AnalysisResult r;
    r.level = level;
    r.frequency = f;
    r.hopDuration = hop;
    if (f != NoPitch) {
        r.harmonics[1] = NoteAnalyzer::SpectralPeak{1.0, f};
        r.harmonics[2] = NoteAnalyzer::SpectralPeak{0.5, 2.0 * f};
        r.peaks.push_back(NoteAnalyzer::SpectralPeak{1.0, f});
        r.frameFundamental = f;
    }
    return r;
}

double Hz(double centsRe440) {
    return CentsToFrequency(centsRe440);
}

constexpr double C8Cents = 3900.0;

class NoteTrackerTest : public ::testing::Test {
protected:
    NoteStep Feed(double f, bool alwaysStore = true, double calibration = 1.0) {
        now += 25;
        return tracker.Process(Result(f), table, calibration, alwaysStore, now);
    }
    // Holds each note for `count` results.
    void Play(std::initializer_list<std::pair<double, int>> notes, bool alwaysStore) {
        for (const auto& [f, count] : notes)
            for (int i = 0; i < count; ++i) Feed(f, alwaysStore);
    }

    NoteTable table = DefaultNoteTable();
    NoteTracker tracker;
    std::uint32_t now = 1000;
};

}  // namespace

TEST_F(NoteTrackerTest, SeededTrackShowsA4FullyFadedAtAnyTick) {
    tracker.Seed(440.0f);
    EXPECT_TRUE(tracker.Track().ended);
    // Including ticks more than 2^31 ms past zero, where tick 0 as the time
    // of the last result would read as the future.
    for (std::uint32_t tick : {0u, 0x7FFFFFFFu, 0x90000000u, 0xFFFFFFFFu}) {
        const DisplayValues v = tracker.Display(table, 0, CentAccuracyTenths, tick);
        ASSERT_TRUE(v.hasReading && v.hasLevel);
        EXPECT_EQ(v.noteLabel + v.centsLabel, "A4+00.0");
        EXPECT_FLOAT_EQ(v.fade, 1.0f) << tick;
        EXPECT_FLOAT_EQ(v.energy, 0.0f);  // no level yet: silence
    }
}

TEST_F(NoteTrackerTest, HeldNoteCollectsItsResultsAndFades) {
    tracker.Seed(440.0f);
    EXPECT_TRUE(Feed(Hz(10.0)).noteStarted);  // the seed was ended
    Play({{Hz(12.0), 4}}, true);
    EXPECT_EQ(tracker.Track().results.Size(), 5u);
    EXPECT_EQ(tracker.CurrentHistory().Segments().size(), 4u);
    const DisplayValues v = tracker.Display(table, 2, CentAccuracyTenths, now + 100);
    EXPECT_EQ(v.noteLabel + v.centsLabel, "G4+12.0");  // transposed by 2; the octave stays
    EXPECT_NEAR(v.globalValue, 12.0f, 1e-3);
    EXPECT_FLOAT_EQ(v.fade, 0.0f);  // the fade itself: DisplayArithmeticTest
}

TEST_F(NoteTrackerTest, EnergyIsTheMeanOfTheLastEightLevels) {
    for (int i = 0; i < 10; ++i) tracker.Process(Result(NoPitch, -10.0 * i), table, 1.0, true, now);
    ASSERT_EQ(tracker.LevelHistory().size(), 8u);
    EXPECT_FLOAT_EQ(tracker.LevelMean(), -55.0f);  // mean of -20 .. -90
    EXPECT_NEAR(tracker.Display(table, 0, 0, now).energy, (-60.0f + 55.0f) / -60.0f, 1e-6);
}

TEST_F(NoteTrackerTest, CalibrationScalesFrequencyAndHarmonicsButNotPeaks) {
    const double c = 440.0 / 441.0;
    Feed(440.0, true, c);
    const AnalysisResult& r = tracker.Track().results.Newest();
    EXPECT_DOUBLE_EQ(r.frequency, 440.0 * c);
    EXPECT_DOUBLE_EQ(r.harmonics.at(2).frequency, 880.0 * c);
    EXPECT_DOUBLE_EQ(r.peaks.at(0).frequency, 440.0);
    EXPECT_DOUBLE_EQ(r.frameFundamental, 440.0);
    EXPECT_EQ(tracker.Display(table, 0, CentAccuracyTenths, now).centsLabel, "-03.9");
}

TEST_F(NoteTrackerTest, EndBandsAndSilenceEndTheNote) {
    EXPECT_EQ(Feed(Hz(-5700.0 - 40.0)).note, 12);
    EXPECT_EQ(Feed(Hz(C8Cents + 40.0)).note, 108);
    for (const double beyond : {-5700.0 - 60.0, C8Cents + 60.0}) {
        Feed(440.0);
        EXPECT_EQ(Feed(Hz(beyond)).note, NoteIndexInvalid);
        EXPECT_TRUE(tracker.Track().ended);
    }
    Play({{440.0, 2}}, true);
    EXPECT_FALSE(Feed(NoPitch).appended);
    EXPECT_TRUE(tracker.Track().ended);
    EXPECT_EQ(tracker.Track().results.Size(), 2u);  // kept until the next note
    const int generation = tracker.CurrentHistory().Generation();
    EXPECT_TRUE(Feed(440.0).noteStarted);
    EXPECT_EQ(tracker.Stored().at(69).Size(), 2u);
    EXPECT_GT(tracker.CurrentHistory().Generation(), generation);
    EXPECT_TRUE(tracker.CurrentHistory().Segments().empty());
}

TEST_F(NoteTrackerTest, WithoutAlwaysStoreOnlyARequestedNoteIsKeptOnce) {
    Play({{440.0, 2}, {Hz(100.0), 1}}, false);  // A4, then A#4
    EXPECT_EQ(tracker.Track().note, 70);
    EXPECT_EQ(tracker.Track().previousNote, 69);
    EXPECT_TRUE(tracker.Stored().empty());

    Feed(440.0, false);
    tracker.RequestStore();
    Play({{440.0, 1}, {Hz(100.0), 1}}, false);
    EXPECT_EQ(tracker.Stored().at(69).Size(), 2u);
    EXPECT_FALSE(tracker.Track().storeRequest);
    Feed(Hz(200.0), false);  // B4: A#4 had no request
    EXPECT_EQ(tracker.Stored().count(70), 0u);
}

TEST_F(NoteTrackerTest, ReadingThatLeftTheRangeKeepsEveryPaneAsItIs) {
    Feed(Hz(C8Cents + 45.0));
    ASSERT_EQ(tracker.Track().note, 108);
    // Every target 20 cents up: the held reading now lies beyond C8's band.
    const NoteTable raised = BuildNoteTable(StretchTable{}, Temperament{}, 0, static_cast<float>(Hz(-20.0)));
    const DisplayValues v = tracker.Display(raised, 0, 0, now);
    EXPECT_FALSE(v.hasReading || v.hasLevel);
}

TEST_F(NoteTrackerTest, HeldNoteKeepsOnlyItsNewestSixtySeconds) {
    for (int i = 0; i < 3000; ++i) {  // 75 s of a drone at 25 ms per result
        Feed(440.0 + (i == 2999 ? 1.0 : 0.0));
    }
    const NoteResultList& results = tracker.Track().results;
    EXPECT_EQ(results.Size(), 2400u);
    EXPECT_DOUBLE_EQ(results.Newest().frequency, 441.0);  // the reading uses the newest
    Feed(Hz(100.0));
    EXPECT_EQ(tracker.Stored().at(69).Size(), 2400u);

    NoteResultList withoutHops;  // bounded by count instead
    for (std::size_t i = 0; i < NoteResultList::MaxResults + 10; ++i)
        withoutHops.Append(Result(440.0, -20.0, 0.0));
    EXPECT_EQ(withoutHops.Size(), NoteResultList::MaxResults);
}

TEST_F(NoteTrackerTest, ReferenceHistoryIsRebuiltFromTheStoredNoteCompressedOntoTheCurrent) {
    Play({{220.0, 5}, {440.0, 1}}, true);  // A4 now current, A3 stored
    tracker.RebuildReferenceHistory(table, 57);
    const HarmonicHistory& ref = tracker.ReferenceHistory();
    ASSERT_EQ(ref.Segments().size(), 4u);
    for (const auto& segment : ref.Segments()) {
        ASSERT_EQ(segment.lines.size(), 2u);  // W[0] = 0: no index-0 line
        for (const auto& line : segment.lines) {
            // A3's fundamental doubled and its second harmonic both land on A4.
            EXPECT_NE(line.harmonic, 0);
            EXPECT_NEAR(line.pitch1, 0.0f, 1e-3) << line.harmonic;
        }
    }
    const int generation = ref.Generation();
    tracker.RebuildReferenceHistory(table, 50);  // nothing stored there
    EXPECT_GT(ref.Generation(), generation);
    EXPECT_TRUE(ref.Segments().empty());
}
