// The reusable parts of zelvo-analyze: option parsing, the hop loop, note
// grouping, the text it prints, settings resolution and the live display line.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "AnalyzeOptions.h"
#include "AudioFileChecks.h"
#include "AudioFileReader.h"
#include "HopFeeder.h"
#include "LiveDisplay.h"
#include "LiveSession.h"
#include "NoteSummary.h"
#include "OutputFormat.h"
#include "ToolRunner.h"
#include "ToolSettings.h"
#include "analysis/AnalyzerSettings.h"

using namespace ZelvoAnalyze;

namespace {

// The command line as one string, split at the spaces.
ParsedOptions Parse(const std::string& line) {
    return ParseAnalyzeOptions(ToolTest::Split(line, ' '));
}

HopReading Hop(double endTime, NoteIndex note, float cents) {
    HopReading r;
    r.endTime = endTime;
    r.note = note;
    r.cents = cents;
    r.frequency = IsValidNoteIndex(note) ? 440.0 : -1.0;
    return r;
}

}  // namespace

TEST(AnalyzeOptions, ValuesRangeEndsAndLiveOptions) {
    // Options left out stay unset so that the settings files can supply them.
    EXPECT_FALSE(Parse("tone.wav").options.quality || Parse("tone.wav").options.middleA);
    // Range ends are accepted; "--" lets a file name start with a dash.
    auto p = Parse("--notes --quality fast --noise-floor=-60 --middle-a 880 --plot out.Svg -- -odd.wav");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.mode, RunMode::Notes);
    EXPECT_EQ(*p.options.quality, 1);
    EXPECT_DOUBLE_EQ(*p.options.noiseFloor, -60.0);
    EXPECT_DOUBLE_EQ(*p.options.middleA, 880.0);
    EXPECT_EQ(p.options.plot, "out.Svg");
    EXPECT_EQ(p.options.file, "-odd.wav");
    p = Parse("--live --device 2 --format 0x400 --seconds 1.5");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(*p.options.format, 0x400);
    EXPECT_EQ(Parse("--help --bogus").options.mode, RunMode::Help);
    p = Parse("--partials a.wav");  // a file mode like --notes
    EXPECT_TRUE(p.error.empty() && p.options.mode == RunMode::Partials && p.options.file == "a.wav");
    EXPECT_FALSE(Parse("tone.wav").options.classic);
    EXPECT_TRUE(Parse("--classic tone.wav").options.classic);
    EXPECT_EQ(Parse("--classic=yes tone.wav").error, "option --classic takes no value");
    // --version is answered ahead of everything else on the line.
    for (const char* line : {"--version", "--version --bogus", "a.wav --version"})
        EXPECT_EQ(Parse(line).options.mode, RunMode::Version) << line;
}

TEST(AnalyzeOptions, RefusesBadCommandLines) {
    for (const char* line : {"--bogus a.wav",
                             "a.wav b.wav",
                             "",
                             "--quality slow a.wav",
                             "--noise-floor 1 a.wav",
                             "--noise-floor -60.1 a.wav",
                             "--noise-floor nan a.wav",
                             "--middle-a 219.9 a.wav",
                             "--middle-a 440Hz a.wav",
                             "--middle-a",
                             "--notes=1 a.wav",
                             "--device 3 a.wav",
                             "--live a.wav",
                             "--live --notes",
                             "--live --seconds 0",
                             "--live --device -2",
                             "--list-devices a.wav",
                             "--partials --notes a.wav",
                             "--live --partials",
                             "--list-devices --partials",
                             "--partials=1 a.wav"})
        EXPECT_NE(Parse(line).error, "") << line;
    const std::pair<const char*, const char*> named[] = {
        {"--bogus a.wav", "--bogus"},
        {"--plot chart.jpg a.wav", "--plot needs a file name ending in .svg or .png"},
        {"--plot .png a.wav", "--plot needs"},
        {"--plot", "missing value after --plot"},
        {"--live --plot c.png", "--plot charts a recording"},
        {"--list-devices --plot c.png", "--list-devices takes no other"}};
    for (const auto& [line, mentions] : named)
        EXPECT_NE(Parse(line).error.find(mentions), std::string::npos) << line << ": " << Parse(line).error;
}

// The hop loop on a real analyzer: whole hops only, times counted in frames.
TEST(HopFeeder, FeedsWholeHopsFromAnUnevenSource) {
    const int rate = 11025;
    NoteAnalyzer::Analyzer analyzer(NoteAnalyzer::SettingsFor(rate, 0));
    analyzer.noiseFloor = -30.0;
    std::vector<double> signal(256 * 40 + 100);  // 40 hops and a part hop
    for (std::size_t i = 0; i < signal.size(); ++i)
        signal[i] = 0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / rate);
    // A source that hands out odd-sized pieces, as a file reader may.
    std::size_t position = 0;
    const FrameSource source = [&](double* frames, int count) {
        const int piece = std::min<int>({count, 77, static_cast<int>(signal.size() - position)});
        std::copy_n(signal.begin() + static_cast<std::ptrdiff_t>(position), piece, frames);
        position += static_cast<std::size_t>(piece);
        return piece;
    };
    std::vector<std::pair<double, double>> timeAndFrequency;
    const long long hops = FeedHops(analyzer, source, [&](const NoteAnalyzer::AnalysisResult& r, double t) {
        timeAndFrequency.emplace_back(t, r.frequency);
        EXPECT_NEAR(r.hopDuration, 256.0 / rate, 1e-12);
    });
    EXPECT_EQ(hops, 40);
    ASSERT_EQ(timeAndFrequency.size(), 40u);
    EXPECT_DOUBLE_EQ(timeAndFrequency.front().first, 256.0 / rate);
    EXPECT_DOUBLE_EQ(timeAndFrequency.back().first, 40 * 256.0 / rate);
    // The pieces join without a seam: the last reading is still the tone.
    EXPECT_NEAR(timeAndFrequency.back().second, 440.0, 0.05);
}

TEST(NoteSummary, GroupsConsecutiveHopsOfOneNote) {
    const double hop = 0.5;
    NoteSummarizer summary(hop);
    // Another note ends A4 at once; a hop without a reading ends B4, so the
    // B4 after it is a new note.
    const NoteIndex none = NoteIndexInvalid;
    const std::tuple<double, NoteIndex, float> hops[] = {
        {0.5, none, 0.0f}, {1.0, 69, 1.0f},  {1.5, 69, 3.0f},   {2.0, 69, 2.0f},
        {2.5, 71, -4.0f},  {3.0, 71, -2.0f}, {3.5, none, 0.0f}, {4.0, 71, 9.0f},
    };
    for (const auto& [end, note, cents] : hops) summary.Add(Hop(end, note, cents));
    const auto spans = summary.Finish();
    // A span starts one hop before its first reading's end; an even count's
    // median is the mean of the middle two.
    const NoteSpan expected[] = {{69, 0.5, 2.0, 2.0f, 3}, {71, 2.0, 3.0, -3.0f, 2}, {71, 3.5, 4.0, 9.0f, 1}};
    ASSERT_EQ(spans.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(FormatNoteLine(spans[i]), FormatNoteLine(expected[i])) << i;
    EXPECT_TRUE(NoteSummarizer(hop).Finish().empty());
}

TEST(OutputFormat, HopNoteAndCentsTexts) {
    HopReading r = Hop(0.1857, 69, -0.004f);
    r.frequency = 439.99912;
    r.level = -6.04;
    EXPECT_EQ(FormatHopLine(r), "0.186\t439.999\tA4\t0.00\t-6.0");
    HopReading none;
    none.endTime = 0.0232;
    none.level = -96.3295;
    EXPECT_EQ(FormatHopLine(none), "0.023\t-1\t-\t-\t-96.3");
    // A frequency outside the note range keeps its number but names no note.
    none.frequency = 9000.0;
    EXPECT_EQ(FormatHopLine(none), "0.023\t9000.000\t-\t-\t-96.3");
    EXPECT_EQ(FormatNoteLine(NoteSpan{70, 0.0232, 1.5, -7.853f, 64}), "Bb4\t0.023\t1.500\t-7.85\t64");
    // Runaway cents print as no value.
    EXPECT_EQ(FormatNoteLine(NoteSpan{12, 0.0, 1.0, -1.0e30f, 3}), "C0\t0.000\t1.000\t-\t3");
    const std::pair<double, const char*> cents[] = {{1.0e6, "1000000.00"},
                                                    {9.3e18, "-"},
                                                    {std::numeric_limits<double>::quiet_NaN(), "-"},
                                                    {-std::numeric_limits<double>::infinity(), "-"}};
    for (const auto& [value, text] : cents) EXPECT_EQ(FormatCents(value), text) << value;
}

TEST(AudioFileReader, MixesChannelsByAveraging) {
    const double interleaved[] = {1.0, 0.0, -0.5, -0.5, 0.25, std::numeric_limits<double>::quiet_NaN()};
    std::vector<double> mono(3);
    MixToMono(interleaved, 3, 2, mono.data());
    EXPECT_EQ(mono, (std::vector{0.5, -0.5, 0.125}));  // a sample that is not a number counts as silence
}

TEST(AudioFileChecks, ReadsExtendedRatesAsWritten) {
    const struct {
        unsigned char bytes[10];
        double rate;  // NaN: expect NaN
    } cases[] = {
        {{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, 44100.0},
        {{0x40, 0x0E, 0xAC, 0x44, 0x80, 0, 0, 0, 0, 0}, 44100.5},
        {{0x40, 0x1C, 0xEE, 0x6B, 0x28, 0, 0, 0, 0, 0}, 1e9},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0.0},
        {{0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, -44100.0},
        {{0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}, std::numeric_limits<double>::infinity()},
        {{0x7F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0}, std::numeric_limits<double>::quiet_NaN()},
    };
    for (const auto& c : cases) {
        const double rate = ExtendedToDouble(c.bytes);
        EXPECT_TRUE(std::isnan(c.rate) ? std::isnan(rate) : rate == c.rate) << rate;
    }
}

TEST(AudioFileChecks, DecodedLengthMustReachAHopAndMostOfTheDeclaredLength) {
    const struct {
        long long decoded, declared;
        std::string problem;
    } cases[] = {
        {44100, 44100, ""},
        {44100 - 255, 44100, ""},  // the trailing part hop is never counted
        {40000, 44100, ""},
        {39000, 44100, "holds no decodable audio after 3.54 s of the 4.00 s it declares"},
        {255, -1, "holds no decodable audio"},
        {0, 44100, "holds no decodable audio"},
        {256, -1, ""},  // a stream that does not declare its length
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodedLengthProblem(c.decoded, c.declared, 256, 11025.0), c.problem) << c.decoded;
}

TEST(ToolSettings, CommandLineBeatsFilesBeatsDefaults) {
    // Values a hand-edited file may hold fall back to the defaults.
    TunerSettings odd;
    odd.middleA = 0.0f;
    odd.noiseFloor = 12.0f;
    odd.analysisQuality = 7;
    odd.expectedFreq = 1.0f;  // not above 1 Hz: no calibration
    for (const auto& defaults :
         {ResolveSettings(AnalyzeOptions{}, std::nullopt), ResolveSettings(AnalyzeOptions{}, odd)}) {
        EXPECT_EQ(defaults.quality, 0);
        EXPECT_DOUBLE_EQ(defaults.noiseFloor, -30.0);
        EXPECT_DOUBLE_EQ(defaults.reference.calibration, 1.0);
        EXPECT_EQ(defaults.reference.table, DefaultNoteTable());
        EXPECT_EQ(defaults.device, -1);
        EXPECT_EQ(defaults.format, 4);
        EXPECT_TRUE(defaults.precisePitch);
    }
    // The middle A, noise floor and calibration of the files are checked end
    // to end with --settings; the quality only here.
    TunerSettings files;
    files.analysisQuality = 1;
    EXPECT_EQ(ResolveSettings(AnalyzeOptions{}, files).quality, 1);
    AnalyzeOptions options;
    options.quality = 0;
    EXPECT_EQ(ResolveSettings(options, files).quality, 0);
    options.classic = true;
    EXPECT_FALSE(ResolveSettings(options, files).precisePitch);
}

TEST(LiveDisplay, ShowsTheLastNoteAndTheMeanLevel) {
    // The pipeline's note tracker takes the results as a display tick does.
    NoteTracker tracker;
    const NoteTable table = DefaultNoteTable();
    const auto add = [&](const NoteAnalyzer::AnalysisResult& r) { tracker.Process(r, table, 1.0, false, 0); };
    NoteAnalyzer::AnalysisResult result;
    result.level = -96.3295;
    add(result);
    EXPECT_EQ(LiveLine(tracker, table), "-\t-\t-96.3");  // nothing heard yet

    result.frequency = 440.0 * std::pow(2.0, 3.34 / 1200.0);
    for (int i = 0; i < 8; ++i) {
        result.level = i < 4 ? -40.0 : -20.0;
        add(result);
    }
    EXPECT_EQ(LiveLine(tracker, table), "A4\t+03.3\t-30.0");

    // Silence ends the note but, as in the tuner, the last note stays shown.
    result.frequency = -1.0;
    result.level = -20.0;
    add(result);  // the oldest -40 drops out of the 8 kept
    EXPECT_EQ(LiveLine(tracker, table), "A4\t+03.3\t-27.5");

    result.frequency = 261.6256 * std::pow(2.0, -12.0 / 1200.0);
    add(result);
    EXPECT_EQ(LiveLine(tracker, table), "C4\t-12.0\t-25.0");
}

TEST(LiveSession, ConfigCarriesTheResolvedSettingsToThePipeline) {
    EffectiveSettings s;
    s.device = 2;
    s.format = 0x400;
    s.quality = 1;
    s.noiseFloor = -45.0;
    s.knownFreq = 440.0f;
    s.expectedFreq = 445.0f;
    s.precisePitch = false;
    const ConfigRecord c = LiveConfig(s);
    EXPECT_FALSE(c.PrecisePitch);
    EXPECT_EQ(std::tuple(c.Device, c.Format, c.AnalysisQuality, c.NoiseFloor, c.KnownFreq, c.ExpectedFreq),
              std::tuple(2, 0x400, 1, -45.0f, 440.0f, 445.0f));
}

TEST(OutputFormat, PartialLines) {
    // The 3rd partial of a 220 Hz string, 5 cents sharp of 660 Hz.
    const double sharp = 660.0 * std::pow(2.0, 5.0 / 1200.0);
    EXPECT_EQ(FormatPartialLine(0.1857, 3, sharp, 0.25, 220.0), "0.186\t3\t661.909\t-12.0\t5.00");
    // Flat, and the fundamental itself.
    EXPECT_EQ(FormatPartialLine(1.0, 2, 440.0 * std::pow(2.0, -12.5 / 1200.0), 1.0, 220.0),
              "1.000\t2\t436.835\t0.0\t-12.50");
    EXPECT_EQ(FormatPartialLine(1.0, 1, 220.0, 0.5, 220.0), "1.000\t1\t220.000\t-6.0\t0.00");
    // No amplitude, no fundamental: no value rather than -inf or NaN.
    EXPECT_EQ(FormatPartialLine(1.0, 4, 880.0, 0.0, -1.0), "1.000\t4\t880.000\t-\t-");
}
