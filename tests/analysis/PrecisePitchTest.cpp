// Precise pitch mode of the analyzer on synthetic notes: stiff strings,
// decaying notes, octave holds and jumps. Classic mode runs alongside
// where it shows that a signal really provokes the fault being guarded.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "PrecisePitchTestSupport.h"
#include "TestSignals.h"
#include "analysis/Analyzer.h"
#include "analysis/PrecisePitch.h"

namespace {

using namespace ZelvoTest::PrecisePitchTesting;
using Trace = testing::Message;

TEST(PrecisePitch, IsOffUnlessAsked) {
    EXPECT_FALSE(NoteAnalyzer::SettingsFor(44100, 0).precisePitch ||
                 NoteAnalyzer::SettingsFor(44100, 1).precisePitch || AnalyzerSettings{}.precisePitch);
}

// The stretched tone's partials lie sharp of n f1; the refinement divides the
// stretch out and reads the first partial, 82.4182 Hz, where the plain mean
// of f_n / n reads about 82.47.
TEST(PrecisePitch, StretchedToneReadsItsFirstPartial) {
    const auto tone = ZelvoTest::HarmonicTone(82.41, 12, 0.25, 1, 0.0002);
    const double firstPartial = 82.41 * std::sqrt(1.0002);
    for (int rate : {11025, 22050, 44100, 48000, 96000}) {
        for (int quality : {0, 1}) {
            SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality);
            const auto signal = Note(tone, rate, 1.0);
            EXPECT_NEAR(LastFrequency(rate, quality, true, signal), firstPartial, 0.02);
            EXPECT_GT(LastFrequency(rate, quality, false, signal), firstPartial + 0.04);
        }
    }
}

// A piano-like string: partials k f0 (1 + b k^2), amplitude 0.25 / k, strongly
// stretched, its fundamental a tenth of the second partial. The reading stays
// within half a cent of the first partial.
TEST(PrecisePitch, WeakFundamentalStiffStringReadsItsFirstPartial) {
    const struct {
        double f0, b;
        int rate;
    } cases[] = {{55.0, 3e-4, 11025}, {41.2, 2e-4, 44100}, {98.0, 4e-4, 48000}, {65.4, 1e-4, 96000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Trace() << c.f0 << " Hz, B " << c.b);
        std::vector<Partial> string;
        for (int k = 1; k <= 16; ++k)
            string.push_back({k * c.f0 * (1.0 + c.b * k * k), (k == 1 ? 0.2 : 1.0) * 0.25 / k, 0.7 * k});
        const auto signal = Note(string, c.rate, 1.0);
        const double firstPartial = c.f0 * (1.0 + c.b);
        EXPECT_NEAR(Cents(LastFrequency(c.rate, 0, true, signal), firstPartial), 0.0, 0.5);
        EXPECT_GT(Cents(LastFrequency(c.rate, 0, false, signal), firstPartial), 1.0);
    }
}

// Odd partials dying away faster than even ones: late in the note every
// partial left is also one of the octave above. Classic mode moves up; precise
// mode stays with the note while its odd partials are still in the frame.
TEST(PrecisePitch, StringWhoseOddPartialsDecayFasterStaysInItsOctave) {
    for (const int rate : {11025, 44100}) {
        SCOPED_TRACE(rate);
        std::vector<Partial> string = ZelvoTest::HarmonicTone(82.41, 10);
        for (std::size_t i = 0; i < string.size(); ++i) string[i].decayDbPerSecond = i % 2 == 0 ? 9.0 : 3.0;
        const auto signal = Note(string, rate, 5.0);
        const auto precise = Analyse(Settings(rate, 0, true), signal, -50.0);
        EXPECT_GT(Readings(precise), 150);
        EXPECT_EQ(Readings(precise, 82.41, 50.0), 0);
        EXPECT_GT(Readings(Analyse(Settings(rate, 0, false), signal, -50.0), 82.41, 50.0), 20);
    }
}

// A plucked note falling 40 dB under the floor: read well below the floor,
// and let go within 0.2 s once the frame is under the held note's gate
// (floor - 30 dB). Classic mode lets go at the floor.
TEST(PrecisePitch, DecayingNoteIsReadBelowTheFloorAndReleased) {
    const double floor = -30.0;
    auto lowestRead = [](const std::vector<Hop>& hops) {
        double lowest = 0.0;
        for (const Hop& h : hops)
            if (h.frequency > 0.0) lowest = std::min(lowest, h.level);
        return lowest;
    };
    for (const int rate : {11025, 48000}) {
        for (const int quality : {0, 1}) {
            SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality);
            std::vector<Partial> pluck = ZelvoTest::HarmonicTone(196.0, 6);
            for (Partial& p : pluck) p.decayDbPerSecond = 20.0;
            const auto signal = Note(pluck, rate, 4.0);
            const auto hops = Analyse(Settings(rate, quality, true), signal, floor);
            // Once the frame is full of the note, its tail is read as truly.
            std::vector<Hop> tail;
            std::copy_if(hops.begin(), hops.end(), std::back_inserter(tail),
                         [](const Hop& h) { return h.time > 0.3; });
            EXPECT_EQ(Readings(tail, 196.0, 2.0), 0);
            EXPECT_LT(lowestRead(hops), floor - 25.0);
            const auto underGate =
                std::find_if(hops.begin(), hops.end(), [&](const Hop& h) { return h.level < floor - 30.0; });
            ASSERT_NE(underGate, hops.end());
            EXPECT_LE(LastReading(hops)->time, underGate->time + 0.2);
            EXPECT_GT(lowestRead(Analyse(Settings(rate, quality, false), signal, floor)), floor - 1.0);
        }
    }
}

// Organ-like tones: the first six partials within about 10 dB of each other
// and strong octave ranks (partials 8 and 16) that every octave above shares.
// Classic mode reads them two octaves up; precise mode reads the fundamental
// from the first reading on (within 10 cents, 1 cent once the frame is full).
TEST(PrecisePitch, OrganLikeToneReadsItsFundamentalFromTheStart) {
    const double levels[] = {0.035, 0.059, 0.042, 0.023, 0.009, 0.015, 0.0, 0.045,
                             0.0,   0.003, 0.0,   0.004, 0.0,   0.0,   0.0, 0.03};
    for (const double f0 : {130.81, 196.0, 261.63}) {
        for (const int rate : {11025, 44100}) {
            SCOPED_TRACE(Trace() << f0 << " Hz at " << rate);
            std::vector<Partial> organ;
            for (int k = 1; k <= 16; ++k)
                if (levels[k - 1] > 0.0) organ.push_back({k * f0, 4.0 * levels[k - 1], 0.9 * k});
            const auto signal = Note(organ, rate, 1.0);
            auto hops = Analyse(Settings(rate, 0, true), signal);
            EXPECT_GT(Readings(hops), 20);
            EXPECT_EQ(Readings(hops, f0, 10.0), 0);
            hops.erase(hops.begin(),
                       std::find_if(hops.begin(), hops.end(), [](const Hop& h) { return h.time > 0.3; }));
            EXPECT_EQ(Readings(hops, f0, 1.0), 0);
            EXPECT_GT(Cents(LastFrequency(rate, 0, false, signal), f0), 1100.0);
        }
    }
}

// The template reads a frame two octaves up (C5) while C4 is the held note.
// The octave between is the held note's to decide; a note under it whose own
// partials (none of them C4's) stand out is a step down under the held note's
// release, and the estimate moves there. Without such partials, or with
// nothing held, the usual lowering applies.
TEST(PrecisePitch, StepDownPassesBelowTheHeldNote) {
    const double c3 = 130.81;
    auto series = [](double f0, int first, int step, double amplitude) {
        std::vector<NoteAnalyzer::SpectralPeak> peaks;
        for (int n = first; n * f0 < 3000.0; n += step) peaks.push_back({amplitude, n * f0});
        return peaks;
    };
    const struct {
        const char* name;
        std::vector<NoteAnalyzer::SpectralPeak> peaks;
        double held, expected;
    } cases[] = {
        {"C3 under the held C4's release", series(c3, 1, 1, 0.1), 2 * c3, c3},
        {"only the held C4", series(c3, 2, 2, 0.1), 2 * c3, 4 * c3},
        {"C3's own partials too weak",
         [&] {
             auto p = series(c3, 2, 2, 0.1);
             for (const auto& q : series(c3, 1, 2, 0.005)) p.push_back(q);
             std::sort(p.begin(), p.end(), [](auto& a, auto& b) { return a.frequency < b.frequency; });
             return p;
         }(),
         2 * c3, 4 * c3},
        {"nothing held", series(c3, 1, 1, 0.1), -1.0, c3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NoteAnalyzer::FundamentalEstimate estimate;
        estimate.frameFundamental = 4 * c3;
        estimate.inharmonicity = 0.0;
        NoteAnalyzer::BuildHarmonicMap(c.peaks, estimate.frameFundamental, 0.0, estimate.harmonics);
        NoteAnalyzer::PreferLowerFundamental(c.peaks, 20.0, c.held, estimate);
        EXPECT_NEAR(Cents(estimate.frameFundamental, c.expected), 0.0, 1.0);
    }
}

// A note that moves to its octave or twelfth without a new attack is followed
// within 0.3 s, whether its own partials stop at once or die away in a quick
// release (60 dB/s) under the new note; so is one with an attack, and one
// that steps down an octave under the old note's release.
TEST(PrecisePitch, LegatoJumpsToAPartialAreFollowed) {
    const struct {
        double from, to, attackGain, releaseDbPerSecond;
    } cases[] = {{110.0, 220.0, 1.0, 0.0},  {82.41, 164.82, 1.0, 0.0}, {110.0, 330.0, 1.0, 0.0},
                 {110.0, 220.0, 4.0, 0.0},  {110.0, 220.0, 1.0, 60.0}, {82.41, 164.82, 1.0, 60.0},
                 {110.0, 330.0, 1.0, 60.0}, {220.0, 110.0, 1.0, 60.0}, {164.82, 82.41, 1.0, 60.0}};
    for (const int rate : {11025, 44100}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(Trace() << c.from << " -> " << c.to << " x" << c.attackGain << " at " << rate);
            const AnalyzerSettings s = Settings(rate, 0, true);
            const int switchAt = 40 * s.advanceSize;
            auto signal =
                ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(c.from, 8, 0.1), rate, 0, switchAt, true);
            auto next = ZelvoTest::HarmonicTone(c.to, 8, 0.1 * c.attackGain);
            if (c.releaseDbPerSecond > 0.0) {
                // The old note's release, timed from the change (the decay counts from sample 0).
                const double gain = std::pow(10.0, c.releaseDbPerSecond * switchAt / rate / 20.0);
                for (Partial p : ZelvoTest::HarmonicTone(c.from, 8, 0.1 * gain)) {
                    p.decayDbPerSecond = c.releaseDbPerSecond;
                    next.push_back(p);
                }
            }
            const auto second = ZelvoTest::Synthesize(next, rate, switchAt, 40 * s.advanceSize, true);
            signal.insert(signal.end(), second.begin(), second.end());
            const double switchTime = static_cast<double>(switchAt) / rate;
            const auto hops = Analyse(s, signal);
            for (const Hop& h : hops) {
                if (h.time < switchTime && h.time > 0.3) {
                    EXPECT_NEAR(Cents(h.frequency, c.from), 0.0, 5.0);
                }
            }
            const auto followed = std::find_if(hops.begin(), hops.end(), [&](const Hop& h) {
                return h.time > switchTime && h.frequency > 0.0 && std::fabs(Cents(h.frequency, c.to)) < 20.0;
            });
            ASSERT_NE(followed, hops.end());
            EXPECT_LE(followed->time - switchTime, 0.3);
        }
    }
}

// Odd partials that die away within a second, far into the background noise,
// while the even ones ring on: nothing but the octave's partials is left, and
// the note, which never had a new attack, is still read in its own octave.
TEST(PrecisePitch, NoteWhoseOddPartialsVanishStaysInItsOctave) {
    for (const int rate : {11025, 44100}) {
        for (const int quality : {0, 1}) {
            SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality);
            std::vector<Partial> string = ZelvoTest::HarmonicTone(98.0, 10);
            for (std::size_t i = 0; i < string.size(); ++i)
                string[i].decayDbPerSecond = i % 2 == 0 ? 45.0 : 3.0;
            const auto hops = Analyse(Settings(rate, quality, true), Note(string, rate, 4.0));
            EXPECT_GT(Readings(hops), 100);
            EXPECT_EQ(Readings(hops, 98.0, 50.0), 0);
        }
    }
}

// The held note's odd partials dip by 20 dB for a few hops and come back (a
// tremulant, a beat between ranks): the hold may let go for a moment, but
// takes the note back, and the octave is never read for more than four hops
// (without taking it back, for half a second).
TEST(PrecisePitch, NoteWhoseOddPartialsDipAndReturnKeepsItsOctave) {
    for (const int rate : {11025, 44100}) {
        for (const int quality : {0, 1}) {
            SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality);
            const AnalyzerSettings s = Settings(rate, quality, true);
            const std::vector<Partial> tone = ZelvoTest::HarmonicTone(130.81, 8);
            std::vector<Partial> dipped = tone;
            for (std::size_t i = 0; i < dipped.size(); i += 2) dipped[i].amplitude /= 10.0;
            std::vector<double> signal;
            long at = 0;
            for (const auto& [partials, hops] : {std::pair{&tone, 40}, {&dipped, 6}, {&tone, 30}}) {
                const auto part = ZelvoTest::Synthesize(*partials, rate, at, hops * s.advanceSize, true);
                signal.insert(signal.end(), part.begin(), part.end());
                at += hops * s.advanceSize;
            }
            int run = 0;
            int longest = 0;
            for (const Hop& h : Analyse(s, signal)) {
                run = h.frequency > 0.0 && std::fabs(Cents(h.frequency, 2.0 * 130.81)) < 50.0 ? run + 1 : 0;
                longest = std::max(longest, run);
            }
            EXPECT_LE(longest, 4);
        }
    }
}

// How the held note's own-partial share must fall, hop by hop (dB against
// the note's strongest partial), before the hold lets it go: fast (a legato
// change, the old note's release leaving the frame) or deep within the hops
// kept, never by a natural decay, a single frame's dip, or in the noise.
TEST(OwnShareHistory, TellsAReleaseFromDecayDipsAndNoise) {
    const struct {
        const char* name;
        std::vector<double> db;
        bool collapsed;
    } cases[] = {
        {"steady", {0, 0, 0, 0, 0, 0}, false},
        {"natural decay, 0.5 dB a hop", {0, -0.5, -1, -1.5, -2, -2.5, -3, -3.5}, false},
        {"legato: the old note leaves the frame", {0, 0, 0, -3.4, -6.9}, true},
        {"one frame's dip", {-6.4, -6.3, -6.4, -5.9, -14}, false},
        {"slower release, 1.5 dB a hop", {0, -1.5, -3, -4.5, -6, -7.5, -9.5}, true},
        {"too few hops yet", {0, -3.4, -6.9}, false},
        {"already in the noise", {-36, -36, -38, -44, -50}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NoteAnalyzer::OwnShareHistory history;
        for (const double db : c.db) {
            const double share = std::pow(10.0, db / 20.0);
            history.Push({share, share});
        }
        EXPECT_EQ(history.Collapsed(2), c.collapsed);
        EXPECT_EQ(history.Collapsed(3), c.collapsed);
        EXPECT_EQ(history.Established(2), c.db.front() >= -20.0);
    }
}

// The held note's own partials (amplitudes in dB, hop by hop) against those
// it shares with the octave: only a fade hop after hop under a rise of the
// shared ones is a new note at the octave.
TEST(OwnShareHistory, TellsANewNoteAtTheOctaveFromADecay) {
    const struct {
        const char* name;
        std::vector<double> own, shared;
        bool faded;
    } cases[] = {
        {"legato to the octave", {0, -1, -2, -3, -4.6}, {-6, -6, -3, 0, 0}, true},
        {"natural decay, both fall", {0, -1.5, -3, -4.5, -6}, {0, -1.5, -3, -4.5, -6}, false},
        {"odd partials decay faster", {0, -2, -4, -6, -8}, {0, -0.5, -1, -1.5, -2}, false},
        {"a beat, not hop after hop", {0, -5, -2, -5, -6}, {-6, -6, -3, 0, 0}, false},
        {"fade too shallow yet", {0, -1, -2, -3, -4}, {-6, -6, -3, 0, 0}, false},
        {"shared ones rise alone", {0, 0, 0, 0, 0}, {-6, -6, -3, 0, 0}, false},
        {"too few hops", {0, -3, -6}, {-6, -3, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NoteAnalyzer::OwnShareHistory history;
        for (std::size_t i = 0; i < c.own.size(); ++i) {
            NoteAnalyzer::OwnShares shares;
            shares.octaveOwn = shares.twelfthOwn = 0.1 * std::pow(10.0, c.own[i] / 20.0);
            shares.octaveShared = shares.twelfthShared = 0.1 * std::pow(10.0, c.shared[i] / 20.0);
            history.Push(shares);
        }
        EXPECT_EQ(history.FadedUnderNewNote(2), c.faded);
        EXPECT_EQ(history.FadedUnderNewNote(3), c.faded);
    }
}

// A held note steps down to its octave or twelfth without a new attack: the
// new note's partials hold every partial of the old one, whose release keeps
// the vote divided for most of its span. Once two frames read the lower note
// the reading follows it.
TEST(PrecisePitch, StepDownToTheOctaveIsFollowedOnTheSecondFrame) {
    const struct { double from, to; } cases[] = {{220.0, 110.0}, {330.0, 110.0}, {261.63, 130.81}};
    for (const int rate : {11025, 44100}) {
        for (const int quality : {0, 1}) {
            for (const auto& c : cases) {
                SCOPED_TRACE(Trace() << c.from << " -> " << c.to << " at " << rate << ", quality "
                                     << quality);
                const AnalyzerSettings s = Settings(rate, quality, true);
                const int switchAt = 60 * s.advanceSize;
                auto signal =
                    ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(c.from, 8, 0.1), rate, 0, switchAt, true);
                auto next = ZelvoTest::HarmonicTone(c.to, 16, 0.1);
                const double gain = std::pow(10.0, 60.0 * switchAt / rate / 20.0);
                for (Partial p : ZelvoTest::HarmonicTone(c.from, 8, 0.1 * gain)) {
                    p.decayDbPerSecond = 60.0;
                    next.push_back(p);
                }
                const auto second = ZelvoTest::Synthesize(next, rate, switchAt, 40 * s.advanceSize, true);
                signal.insert(signal.end(), second.begin(), second.end());
                const auto hops = Analyse(s, signal);
                const auto hopOf = [&](auto it) { return static_cast<int>(it - hops.begin()); };
                const auto firstLower = std::find_if(hops.begin() + 60, hops.end(), [&](const Hop& h) {
                    return std::fabs(Cents(h.frequency, c.to)) < 20.0;
                });
                ASSERT_NE(firstLower, hops.end());
                for (auto h = hops.begin() + 60; h != firstLower; ++h)
                    EXPECT_NEAR(Cents(h->frequency, c.from), 0.0, 5.0);
                // Within a frame and a hop of the step; within 20 cents while
                // the frame still holds the old note's release, 5 once it has
                // left.
                const int frameHops = s.analysisSize / s.advanceSize;
                EXPECT_LE(hopOf(firstLower) - 60, frameHops + 1);
                for (auto h = firstLower; h != hops.end(); ++h) {
                    const double within = hopOf(h) - hopOf(firstLower) < frameHops ? 20.0 : 5.0;
                    EXPECT_NEAR(Cents(h->frequency, c.to), 0.0, within) << h->time;
                }
            }
        }
    }
}

// The envelope that tells onsets and frames ending in silence from a note's
// own ups and downs. After ten hops at `before`: one hop at `after`, then one
// that sounds for its first `soundingSamples` only.
TEST(LevelEnvelope, OnsetsAndSilentEndings) {
    constexpr int hop = 256;
    const struct {
        const char* name;
        double f, before, after;
        int soundingSamples;
        bool onset, silentEnd, energyFell;
    } cases[] = {
        {"steady low sine", 27.5, 0.5, 0.5, hop, false, false, false},
        {"steady high sine", 1000.0, 0.5, 0.5, hop, false, false, false},
        {"slow decay", 110.0, 0.5, 0.45, hop, false, false, false},
        {"attack 12 dB", 110.0, 0.1, 0.4, hop, true, false, false},
        {"rise of 3 dB", 110.0, 0.3, 0.42, hop, false, false, false},
        {"falls 12 dB", 110.0, 0.5, 0.125, hop, false, false, true},
        {"stops after a quarter", 110.0, 0.5, 0.5, hop / 4, false, true, false},
        {"stops after a twentieth", 110.0, 0.5, 0.5, hop / 20, false, true, true},
        {"stops near the end", 110.0, 0.5, 0.5, hop - 8, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NoteAnalyzer::LevelEnvelope envelope;
        auto push = [&](double amplitude, int index, int sounding) {
            auto samples = ZelvoTest::Synthesize({{c.f, amplitude}}, 11025, long{index} * hop, hop);
            std::fill(samples.begin() + sounding, samples.end(), 0.0);
            envelope.Push(samples);
        };
        for (int i = 0; i < 10; ++i) push(c.before, i, hop);
        EXPECT_FALSE(envelope.Onset() || envelope.EndFellSilent() || envelope.EnergyFell(8, 10.0));
        push(c.after, 10, hop);
        push(c.after, 11, c.soundingSamples);
        EXPECT_EQ(envelope.Onset(), c.onset);
        EXPECT_EQ(envelope.EndFellSilent(), c.silentEnd);
        EXPECT_EQ(envelope.EnergyFell(8, 10.0), c.energyFell);
    }
}

}  // namespace
