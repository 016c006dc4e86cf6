#include "app/pipeline/NoteTracker.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tuning/NoteTable.h"
#include "tuning/Temperament.h"

using NoteAnalyzer::AnalysisResult;

namespace {

constexpr double NoPitch = -1.0;

AnalysisResult Result(double f, double level = -20.0, double hop = 0.025)
{
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

double Hz(double centsRe440)
{
    return 440.0 * std::exp(centsRe440 / 1731.23404907);
}

class NoteTrackerTest : public ::testing::Test {
protected:
    NoteStep Feed(double f, bool alwaysStore = true, double calibration = 1.0)
    {
        now += 25;
        return tracker.Process(Result(f), table, calibration, alwaysStore, now);
    }

    NoteTable table = DefaultNoteTable();
    NoteTracker tracker;
    std::uint32_t now = 1000;
};

}  // namespace

TEST_F(NoteTrackerTest, SeededTrackShowsA4FadedAtAnyTick)
{
    tracker.Seed(440.0f);
    EXPECT_EQ(tracker.Track().note, 69);
    EXPECT_TRUE(tracker.Track().ended);
    ASSERT_EQ(tracker.Track().results.Size(), 1u);
    EXPECT_EQ(tracker.Track().results.Newest().harmonics.at(1).frequency, 440.0);
    // Including ticks more than 2^31 ms past zero, where tick 0 as the time
    // of the last result would read as the future.
    for (std::uint32_t tick : {0u, 500u, 0x7FFFFFFFu, 0x90000000u, 0xFFFFFFFFu}) {
        const DisplayValues v = tracker.Display(table, 0, CentAccuracyTenths, tick);
        ASSERT_TRUE(v.hasReading);
        EXPECT_EQ(v.noteLabel, "A4");
        EXPECT_EQ(v.centsLabel, "+00.0");
        EXPECT_FLOAT_EQ(v.deviation, 0.0f);
        ASSERT_TRUE(v.hasLevel);
        EXPECT_FLOAT_EQ(v.fade, 1.0f) << tick;
        EXPECT_FLOAT_EQ(v.energy, 0.0f);  // no level yet: silence
    }
}

TEST_F(NoteTrackerTest, HeldNoteCollectsItsResultsAndFades)
{
    tracker.Seed(440.0f);
    const NoteStep first = Feed(Hz(10.0));
    EXPECT_TRUE(first.noteStarted);  // the seed was ended
    EXPECT_EQ(first.note, 69);
    EXPECT_NEAR(first.cents, 10.0f, 1e-3);
    for (int i = 0; i < 4; ++i) {
        const NoteStep s = Feed(Hz(12.0));
        EXPECT_FALSE(s.noteStarted);
        EXPECT_TRUE(s.appended);
    }
    EXPECT_EQ(tracker.Track().results.Size(), 5u);
    EXPECT_FALSE(tracker.Track().ended);
    EXPECT_EQ(tracker.Track().lastTime, now);
    EXPECT_EQ(tracker.CurrentHistory().Segments().size(), 4u);

    DisplayValues v = tracker.Display(table, 2, CentAccuracyTenths, now + 100);
    EXPECT_EQ(v.noteLabel, "G4");  // transposed by 2; the octave stays
    EXPECT_EQ(v.centsLabel, "+12.0");
    EXPECT_NEAR(v.deviation, 12.0f / 50.0f, 1e-5);
    EXPECT_NEAR(v.globalValue, 12.0f, 1e-3);
    EXPECT_FLOAT_EQ(v.fade, 0.0f);
    EXPECT_FLOAT_EQ(tracker.Display(table, 0, CentAccuracyWhole, now + 400).fade, 0.5f);
    EXPECT_EQ(tracker.Display(table, 0, CentAccuracyWhole, now).centsLabel, "+12");
}

TEST_F(NoteTrackerTest, LevelHistoryKeepsTheLastEightLevels)
{
    for (int i = 0; i < 10; ++i) {
        tracker.Process(Result(NoPitch, -10.0 * i), table, 1.0, true, now);
    }
    ASSERT_EQ(tracker.LevelHistory().size(), 8u);
    EXPECT_FLOAT_EQ(tracker.LevelHistory().front(), -20.0f);
    EXPECT_FLOAT_EQ(tracker.LevelMean(), -55.0f);  // mean of -20 .. -90
    EXPECT_NEAR(tracker.Display(table, 0, 0, now).energy, (-60.0f + 55.0f) / -60.0f, 1e-6);
}

TEST_F(NoteTrackerTest, CalibrationScalesFrequencyAndHarmonicsButNotPeaks)
{
    tracker.Seed(440.0f);
    const double c = 440.0 / 441.0;
    Feed(440.0, true, c);
    const AnalysisResult& r = tracker.Track().results.Newest();
    EXPECT_DOUBLE_EQ(r.frequency, 440.0 * c);
    EXPECT_DOUBLE_EQ(r.harmonics.at(2).frequency, 880.0 * c);
    EXPECT_DOUBLE_EQ(r.peaks.at(0).frequency, 440.0);
    EXPECT_DOUBLE_EQ(r.frameFundamental, 440.0);
    const DisplayValues v = tracker.Display(table, 0, CentAccuracyTenths, now);
    EXPECT_EQ(v.centsLabel, "-03.9");  // 1200 * log2(440 / 441)
}

TEST_F(NoteTrackerTest, PitchesBeyondTheEndBandsNameNoNote)
{
    const double c0 = -5700.0;
    const double c8 = 3900.0;
    EXPECT_EQ(Feed(Hz(c0 - 60.0)).note, NoteIndexInvalid);
    EXPECT_EQ(Feed(Hz(c8 + 60.0)).note, NoteIndexInvalid);
    EXPECT_EQ(Feed(Hz(c0 - 40.0)).note, 12);
    EXPECT_EQ(Feed(Hz(c8 + 40.0)).note, 108);
}

TEST_F(NoteTrackerTest, SilenceEndsTheNoteAndTheNextResultStartsAFreshTrack)
{
    Feed(440.0);
    Feed(440.0);
    const NoteStep silent = Feed(NoPitch);
    EXPECT_FALSE(silent.appended);
    EXPECT_TRUE(tracker.Track().ended);
    EXPECT_EQ(tracker.Track().results.Size(), 2u);  // kept until the next note

    const int generation = tracker.CurrentHistory().Generation();
    const NoteStep again = Feed(440.0);
    EXPECT_TRUE(again.noteStarted);
    EXPECT_EQ(tracker.Track().results.Size(), 1u);
    EXPECT_EQ(tracker.Track().previousNote, 69);
    EXPECT_EQ(tracker.Stored().at(69).Size(), 2u);
    EXPECT_GT(tracker.CurrentHistory().Generation(), generation);
    EXPECT_TRUE(tracker.CurrentHistory().Segments().empty());
}

TEST_F(NoteTrackerTest, AnOutOfRangeResultEndsTheNoteToo)
{
    Feed(440.0);
    Feed(Hz(3900.0 + 60.0));
    EXPECT_TRUE(tracker.Track().ended);
    EXPECT_TRUE(Feed(440.0).noteStarted);
}

TEST_F(NoteTrackerTest, WithoutAlwaysStoreASwitchDiscardsTheOldNote)
{
    Feed(440.0, false);
    Feed(440.0, false);
    Feed(Hz(100.0), false);  // A#4
    EXPECT_EQ(tracker.Track().note, 70);
    EXPECT_EQ(tracker.Track().previousNote, 69);
    EXPECT_TRUE(tracker.Stored().empty());
}

TEST_F(NoteTrackerTest, StoreRequestKeepsTheNoteOnceAndIsCleared)
{
    Feed(440.0, false);
    tracker.RequestStore();
    Feed(440.0, false);
    Feed(Hz(100.0), false);
    ASSERT_EQ(tracker.Stored().count(69), 1u);
    EXPECT_EQ(tracker.Stored().at(69).Size(), 2u);
    EXPECT_FALSE(tracker.Track().storeRequest);
    Feed(Hz(200.0), false);  // B4: A#4 had no request
    EXPECT_EQ(tracker.Stored().count(70), 0u);
}

TEST_F(NoteTrackerTest, AlwaysStoreKeepsEveryNoteAndAReturnReplacesIt)
{
    Feed(440.0);
    Feed(440.0);
    Feed(440.0);
    Feed(Hz(100.0));
    ASSERT_EQ(tracker.Stored().at(69).Size(), 3u);
    Feed(440.0);
    Feed(Hz(100.0));
    EXPECT_EQ(tracker.Stored().at(69).Size(), 1u);
    EXPECT_EQ(tracker.Stored().at(70).Size(), 1u);
}

TEST_F(NoteTrackerTest, ReadingThatLeftTheRangeKeepsEveryPaneAsItIs)
{
    Feed(Hz(3900.0 + 45.0));  // C8, 45 cents sharp
    ASSERT_EQ(tracker.Track().note, 108);
    // A retuning moves every target up 20 cents: the held reading now lies
    // beyond C8's band.
    const NoteTable raised = BuildNoteTable(StretchTable{}, Temperament{}, 0,
                                            static_cast<float>(Hz(-20.0)));
    const DisplayValues v = tracker.Display(raised, 0, 0, now);
    EXPECT_FALSE(v.hasReading);
    EXPECT_FALSE(v.hasLevel);
    EXPECT_TRUE(tracker.Display(table, 0, 0, now).hasReading);
}

TEST_F(NoteTrackerTest, HeldNoteKeepsOnlyItsNewestSixtySeconds)
{
    for (int i = 0; i < 3000; ++i) {  // 75 s of a drone at 25 ms per result
        Feed(440.0 + (i == 2999 ? 1.0 : 0.0));
    }
    const NoteResultList& results = tracker.Track().results;
    EXPECT_EQ(results.Size(), 2400u);
    EXPECT_LE(results.Duration(), NoteResultList::MaxSeconds + 1e-6);
    EXPECT_DOUBLE_EQ(results.Newest().frequency, 441.0);  // the reading uses the newest
    EXPECT_LE(tracker.CurrentHistory().EndTime(), HarmonicHistory::MaxSeconds);
    EXPECT_LE(tracker.CurrentHistory().Segments().size(), 2400u);

    Feed(Hz(100.0));
    EXPECT_EQ(tracker.Stored().at(69).Size(), 2400u);  // stored notes the same way
}

TEST_F(NoteTrackerTest, ResultsWithoutHopDurationAreBoundedByCount)
{
    NoteResultList list;
    AnalysisResult r = Result(440.0, -20.0, 0.0);
    for (std::size_t i = 0; i < NoteResultList::MaxResults + 10; ++i) {
        list.Append(r);
    }
    EXPECT_EQ(list.Size(), NoteResultList::MaxResults);
}

TEST_F(NoteTrackerTest, ReferenceHistoryIsRebuiltFromTheStoredNoteCompressedOntoTheCurrent)
{
    for (int i = 0; i < 5; ++i) {
        Feed(220.0);  // A3
    }
    Feed(440.0);  // A4 now current, A3 stored
    ASSERT_EQ(tracker.Stored().at(57).Size(), 5u);

    tracker.RebuildReferenceHistory(table, 57);
    const HarmonicHistory& ref = tracker.ReferenceHistory();
    ASSERT_EQ(ref.Segments().size(), 4u);
    for (const auto& segment : ref.Segments()) {
        for (const auto& line : segment.lines) {
            EXPECT_NE(line.harmonic, 0);  // W[0] = 0
            // A3's fundamental doubled and its second harmonic both land on A4.
            EXPECT_NEAR(line.pitch1, 0.0f, 1e-3) << line.harmonic;
        }
        EXPECT_EQ(segment.lines.size(), 2u);
    }

    const int generation = ref.Generation();
    tracker.RebuildReferenceHistory(table, 50);  // nothing stored there
    EXPECT_GT(ref.Generation(), generation);
    EXPECT_TRUE(ref.Segments().empty());
    tracker.RebuildReferenceHistory(table, NoteIndexInvalid);
    EXPECT_TRUE(ref.Segments().empty());
}
