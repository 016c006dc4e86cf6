// Precise pitch at a note's end: the reading a note leaves behind when it is
// cut, damped, fades into the noise or dies away in a tail, and the readings
// of its last, quiet hops.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "PrecisePitchTestSupport.h"
#include "TestSignals.h"
#include "analysis/Analyzer.h"

namespace {

using namespace ZelvoTest::PrecisePitchTesting;
using Trace = testing::Message;

// A pluck decaying into background noise: under the floor the estimates
// scatter about the note, and the reading there averages the note's recent
// estimates rather than the vote's few hops (those alone stray up to 4
// cents here).
TEST(PrecisePitch, ReadingUnderTheFloorAveragesTheScatter) {
    for (const int rate : {11025, 44100}) {
        for (const int quality : {0, 1}) {
            SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality);
            std::vector<Partial> pluck = ZelvoTest::HarmonicTone(110.0, 6);
            for (Partial& p : pluck) p.decayDbPerSecond = 12.0;
            auto signal = Note(pluck, rate, 5.0);
            unsigned state = 12345u;
            for (double& x : signal) {
                state = state * 1664525u + 1013904223u;
                x += 1e-3 * (static_cast<double>(state >> 8) / (1u << 24) - 0.5);
            }
            double worst = 0.0;
            for (const Hop& h : Analyse(Settings(rate, quality, true), signal))
                if (h.frequency > 0.0 && h.level < -30.0)
                    worst = std::max(worst, std::fabs(Cents(h.frequency, 110.0)));
            EXPECT_LT(worst, 1.5);
        }
    }
}

// A six-harmonic A2 at -12 cents stopped dead, at several points within a
// hop: the frames that hold the silence after it keep out of the vote, so the
// last reading is the steady one.
TEST(PrecisePitch, AbruptCutKeepsTheSteadyReading) {
    const double a2 = 110.0 * std::exp2(-12.0 / 1200.0);
    for (const int rate : {11025, 22050, 44100, 48000, 96000}) {
        for (const int quality : {0, 1}) {
            for (const double cutInHop : {0.0, 0.3, 0.6, 0.9}) {
                SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality << ", cut " << cutInHop);
                const AnalyzerSettings s = Settings(rate, quality, true);
                auto signal = Note(ZelvoTest::HarmonicTone(a2, 6), rate, 1.0);
                const auto cut = static_cast<std::size_t>(
                    (std::floor(0.6 * rate / s.advanceSize) + cutInHop) * s.advanceSize);
                std::fill(signal.begin() + static_cast<std::ptrdiff_t>(cut), signal.end(), 0.0);
                const auto hops = Analyse(s, signal);
                const Hop& steady = hops[cut / static_cast<std::size_t>(s.advanceSize) - 1];
                ASSERT_GT(steady.frequency, 0.0);
                EXPECT_NEAR(Cents(LastReading(hops)->frequency, steady.frequency), 0.0, 1.0);
                EXPECT_NEAR(Cents(steady.frequency, a2), 0.0, 0.5);
            }
        }
    }
}

// A note ends and the frames after it hold no estimate: the tuner keeps one
// reading, not the mean of whichever estimates are left in the vote as the
// silent hops push them out. The note moves 8 cents over its last hops, so
// such a mean would move too.
TEST(PrecisePitch, ReadingStaysPutOnceTheNoteHasNoEstimate) {
    for (const int rate : {11025, 44100}) {
        for (const int quality : {0, 1}) {
            SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality);
            const AnalyzerSettings s = Settings(rate, quality, true);
            auto signal = Note(ZelvoTest::HarmonicTone(220.0, 6), rate, 1.0);
            const auto bent =
                ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(220.0 * std::exp2(8.0 / 1200.0), 6), rate, 0,
                                      3 * s.advanceSize, true);
            signal.insert(signal.end(), bent.begin(), bent.end());
            // Quiet enough to be under the held note's gate, not silent.
            const auto faint = ZelvoTest::Synthesize({{1000.0, 1e-4}}, rate, 0, rate / 2, true);
            signal.insert(signal.end(), faint.begin(), faint.end());
            const auto hops = Analyse(s, signal);
            // Once the frame holds none of the note, the reading is what the
            // note left behind: the mean of its last estimates, between its
            // two pitches, and it stays.
            const double frameSeconds = static_cast<double>(s.analysisSize) / rate;
            const double gone = static_cast<double>(signal.size() - faint.size()) / rate + frameSeconds;
            const Hop* kept = LastReading(hops);
            ASSERT_NE(kept, nullptr);
            EXPECT_GT(kept->time, gone);
            EXPECT_GT(Cents(kept->frequency, 220.0), -0.5);
            EXPECT_LT(Cents(kept->frequency, 220.0), 8.5);
            for (const Hop& h : hops) {
                if (h.time > gone && h.frequency > 0.0) {
                    EXPECT_EQ(h.frequency, kept->frequency) << h.time;
                }
            }
        }
    }
}

// A note with a slow vibrato (2.5 Hz, 10 cents each way) stopped dead at
// several points of its swing. The vote's few hops catch the swing wherever
// the note ended (classic mode ends up to several cents off its centre); the
// reading a note leaves behind is the mean of its last estimates instead.
TEST(PrecisePitch, NoteEndedInAVibratoKeepsItsCentre) {
    const double centre = 196.0;
    for (const int rate : {11025, 44100}) {
        for (const int quality : {0, 1}) {
            double classicSpread = 0.0;
            for (const double end : {1.5, 1.6, 1.7, 1.8}) {
                SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality << ", end " << end);
                std::vector<double> signal(static_cast<std::size_t>(2.2 * rate), 0.0);
                double phase = 0.0;
                for (std::size_t i = 0; i < signal.size() && static_cast<double>(i) < end * rate; ++i) {
                    const double t = static_cast<double>(i) / rate;
                    phase += 2.0 * std::numbers::pi * centre *
                             std::exp2(10.0 / 1200.0 * std::sin(2.0 * std::numbers::pi * 2.5 * t)) / rate;
                    for (int k = 1; k <= 6; ++k) signal[i] += 0.25 / k * std::sin(k * phase);
                }
                const double precise = LastReading(Analyse(Settings(rate, quality, true), signal))->frequency;
                const double classic =
                    LastReading(Analyse(Settings(rate, quality, false), signal))->frequency;
                EXPECT_NEAR(Cents(precise, centre), 0.0, 1.0);
                classicSpread = std::max(classicSpread, std::fabs(Cents(classic, centre)));
            }
            EXPECT_GT(classicSpread, 3.0);
        }
    }
}

// A note released abruptly into a faint tail 12 cents off (a release sample,
// reverberation) 30 dB down and dying away: the tail's frames vote again once
// their level falls more slowly than the cut, but the reading the note left
// stays. A note whose attack falls as steeply and then sounds on is still
// followed when it bends.
TEST(PrecisePitch, TailAfterTheEndDoesNotMoveTheReadingButTheNoteGoingOnDoes) {
    const double f0 = 220.0;
    const double sharp = f0 * std::exp2(12.0 / 1200.0);
    for (const int rate : {11025, 44100}) {
        for (const int quality : {0, 1}) {
            SCOPED_TRACE(Trace() << rate << " Hz, quality " << quality);
            const AnalyzerSettings s = Settings(rate, quality, true);
            const int hop = s.advanceSize;
            const int at = 60 * hop;
            auto ended = ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(f0, 6), rate, 0, at, true);
            // Dying away at 40 dB a second from the end on.
            auto tailPartials =
                ZelvoTest::HarmonicTone(sharp, 6, 0.25 * 0.0316 * std::pow(10.0, 2.0 * at / rate));
            for (Partial& p : tailPartials) p.decayDbPerSecond = 40.0;
            const auto tail = ZelvoTest::Synthesize(tailPartials, rate, at, 40 * hop, true);
            ended.insert(ended.end(), tail.begin(), tail.end());
            const auto endedHops = Analyse(s, ended);
            EXPECT_NEAR(Cents(LastReading(endedHops)->frequency, f0), 0.0, 1.0);

            // The attack: four times the level for a frame, then the note.
            auto attack = ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(f0, 6, 0.9), rate, 0, 8 * hop, true);
            const auto held = ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(f0, 6), rate, 8 * hop, at, true);
            const auto bent =
                ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(sharp, 6), rate, 8 * hop + at, at, true);
            attack.insert(attack.end(), held.begin(), held.end());
            attack.insert(attack.end(), bent.begin(), bent.end());
            EXPECT_NEAR(Cents(Analyse(s, attack).back().frequency, sharp), 0.0, 1.0);
        }
    }
}

}  // namespace
