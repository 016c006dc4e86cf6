// zelvo-analyze end to end: generated tones in, printed readings and charts
// out, the settings files read; zelvo-tone and zelvo-tuner --version too.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "AnalyzeOptions.h"
#include "SettingsDirectory.h"
#include "ToolRunner.h"

using namespace ToolTest;

namespace {

struct Reading {
    double time = 0, frequency = -1, cents = 0, level = 0;
    std::string note;
};

// The hop lines of a run, checking the shape of every line on the way.
std::vector<Reading> HopReadings(const ToolRun& run) {
    std::vector<Reading> readings;
    for (const auto& line : Split(run.out, '\n')) {
        const auto f = Split(line, '\t');
        EXPECT_EQ(f.size(), 5u) << line;
        if (f.size() != 5) continue;
        EXPECT_EQ(f[2] == "-", f[3] == "-") << line;
        readings.push_back(
            {std::stod(f[0]), std::stod(f[1]), f[3] == "-" ? 0.0 : std::stod(f[3]), std::stod(f[4]), f[2]});
    }
    return readings;
}

// The readings that name a note and end within [from, to]. From 0.4 s on, a
// steady tone fills the analysis frame and the consensus window has moved
// past the frames that were still filling and lean towards the sound's start.
std::vector<Reading> Named(const std::vector<Reading>& all, double from = 0.0,
                           double to = std::numeric_limits<double>::infinity()) {
    std::vector<Reading> named;
    for (const auto& r : all)
        if (r.note != "-" && r.time >= from && r.time <= to) named.push_back(r);
    return named;
}

// A tone as AIFF whose COMM chunk then gets the given 80-bit sample rate.
void WriteAiffWithRate(const std::string& path, const std::vector<unsigned char>& rate) {
    MakeTone(path, {"--duration", "0.5", "440"});
    std::string bytes = ReadWholeFile(path);
    const std::size_t comm = bytes.find("COMM");
    ASSERT_NE(comm, std::string::npos);
    bytes.replace(comm + 16, 10,
                  std::string(rate.begin(), rate.end()));  // after the chunk head, channels, frames and bits
    WriteWholeFile(path, bytes);
}

// The big-endian 32-bit number at offset in bytes.
unsigned BigEndian32(const std::string& bytes, std::size_t offset) {
    unsigned value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

std::string Config(const std::string& body) {
    return "<TunerConfig Version=\"2\">" + body + "</TunerConfig>";
}

class SettingsOption : public ::testing::Test {
protected:
    void SetUp() override {
        MakeTone(wav, {"--duration", "1.5", "--harmonics", "3", "440"});
        std::filesystem::create_directory(settings);
    }

    TempDirectory dir;
    std::filesystem::path settings = dir.Path() / "settings";
    std::string wav = dir.File("a440.wav");
};

}  // namespace

TEST(AnalyzeTool, CleanStereoA440ReadsA4AtFullScaleLevel) {
    TempDirectory dir;
    const auto wav = dir.File("a440.wav");
    MakeTone(wav, {"--duration", "2", "--channels", "2", "--amplitude", "0.5", "440"});  // channels averaged
    const ToolRun run = RunTool(kAnalyze, {wav});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto all = HopReadings(run);
    ASSERT_EQ(all.size(), 86u);  // 2 s at 11025 Hz in hops of 256 frames
    EXPECT_NEAR(all[0].time, 256.0 / 11025.0, 0.0005);
    EXPECT_NEAR(all.back().time, 86 * 256.0 / 11025.0, 0.0005);
    const auto named = Named(all);
    EXPECT_GT(named.size(), 70u);
    for (const auto& r : named) EXPECT_EQ(r.note, "A4") << "at " << r.time;
    const auto steady = Named(all, 0.4, 2.0);
    EXPECT_GT(steady.size(), 60u);
    for (const auto& r : steady) {
        EXPECT_NEAR(r.cents, 0.0, 0.05) << "at " << r.time;
        EXPECT_NEAR(r.frequency, 440.0, 0.015) << "at " << r.time;
    }
    // 16-bit samples read as s / 32768, as the tuner's capture converts them:
    // a tone at half full scale is 6 dB down.
    EXPECT_NEAR(all[40].level, -6.0, 0.1);
}

TEST(AnalyzeTool, PartialsOfAHarmonicToneLieOnTheFundamental) {
    TempDirectory dir;
    const auto wav = dir.File("a220.wav");
    MakeTone(wav, {"--duration", "1.5", "--harmonics", "4", "220"});
    const ToolRun run = RunTool(kAnalyze, {"--partials", wav});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<int> seen(5, 0);
    std::string hop;        // the end time of the hop the lines belong to
    double firstLevel = 0;  // the level of its first harmonic
    for (const auto& line : Split(run.out, '\n')) {
        const auto f = Split(line, '\t');
        ASSERT_EQ(f.size(), 5u) << line;
        const double time = std::stod(f[0]);
        const int k = std::stoi(f[1]);
        ASSERT_GE(k, 1) << line;
        if (time < 0.4 || k > 4) continue;  // the frame is still filling
        ++seen[static_cast<std::size_t>(k)];
        EXPECT_NEAR(std::stod(f[2]), 220.0 * k, 0.5 * k) << line;
        // A harmonic tone: every partial divided by its number is the fundamental.
        EXPECT_NEAR(std::stod(f[4]), 0.0, 0.5) << line;
        // Amplitudes 1 / k, relative to the first harmonic of the same hop.
        if (k == 1) {
            hop = f[0];
            firstLevel = std::stod(f[3]);
        } else if (f[0] == hop) {
            EXPECT_NEAR(std::stod(f[3]) - firstLevel, 20.0 * std::log10(1.0 / k), 1.0) << line;
        }
    }
    for (int k = 1; k <= 4; ++k) EXPECT_GT(seen[static_cast<std::size_t>(k)], 30) << "harmonic " << k;
}

TEST(AnalyzeTool, BadInputExitsWithStatusTwoAndNoReading) {
    TempDirectory dir;
    const auto wav = dir.File("ok.wav");
    MakeTone(wav, {"--duration", "0.5", "440"});
    WriteWholeFile(dir.File("header-only.wav"), "RIFF");
    WriteWholeFile(dir.File("notes.txt"), "not a folder");
    // A valid WAV without a single frame, and AIFFs at rates the analyzer refuses.
    SF_INFO info{0, 11025, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    sf_close(sf_open(dir.File("no-frames.wav").c_str(), SFM_WRITE, &info));
    WriteAiffWithRate(dir.File("rate400.aiff"), {0x40, 0x07, 0xC8, 0, 0, 0, 0, 0, 0, 0});
    WriteAiffWithRate(dir.File("rate1e9.aiff"), {0x40, 0x1C, 0xEE, 0x6B, 0x28, 0, 0, 0, 0, 0});
    WriteAiffWithRate(dir.File("rateNaN.aiff"), {0x7F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0});
    // The first half of an Ogg Vorbis file opens but decodes to nothing.
    MakeTone(dir.File("whole.ogg"), {"--duration", "4", "440"});
    const std::string ogg = ReadWholeFile(dir.File("whole.ogg"));
    WriteWholeFile(dir.File("half.ogg"), ogg.substr(0, ogg.size() / 2));

    const struct {
        std::vector<std::string> args;
        std::string mentions;
    } cases[] = {
        {{"--frobnicate", wav}, "--frobnicate"},  // stands for every refused command line
        {{dir.File("missing.wav")}, "missing.wav"},
        {{dir.File("header-only.wav")}, "header-only.wav"},
        {{dir.File("no-frames.wav")}, "no audio"},
        {{dir.File("rate400.aiff")}, "sample rate 400 Hz is outside 1000 to 768000 Hz"},
        {{dir.File("rate1e9.aiff")}, "sample rate 1000000000 Hz"},
        {{dir.File("rateNaN.aiff")}, "sample rate NaN Hz"},
        {{dir.File("half.ogg")}, "half.ogg: holds no decodable audio"},
        {{dir.File("notes.txt/a.wav")}, "Not a directory"},  // the system's reason, not "no such file"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ToolRun run = RunTool(kAnalyze, c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Split(run.err, '\n').size(), 1u) << run.err;
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
    }
    const auto help = RunTool(kAnalyze, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--notes"), std::string::npos);
}

// Output that cannot be written (a full disk) is a failure, not a silent success.
TEST(AnalyzeTool, FullOutputExitsWithStatusTwo) {
    TempDirectory dir;
    const auto wav = dir.File("a440.wav");
    MakeTone(wav, {"--duration", "0.5", "440"});
    for (const bool notes : {false, true}) {
        std::vector<std::string> args = {"-c", "exec \"$0\" \"$@\" >/dev/full", kAnalyze, wav};
        if (notes) args.insert(args.begin() + 3, "--notes");
        const ToolRun run = RunTool("/bin/sh", args);
        EXPECT_EQ(run.status, 2) << notes;
        EXPECT_EQ(run.err, "zelvo-analyze: cannot write the output\n") << notes;
    }
}

// A disk that fills up part way: the tone file is removed, not left cut off.
TEST(ToneTool, RemovesTheFileItCouldNotFinish) {
    TempDirectory dir;
    const auto wav = dir.File("long.wav");
    // A file size limit of 8 blocks stands for the full disk; with SIGXFSZ
    // ignored the write fails with EFBIG.
    const ToolRun run =
        RunTool("/bin/sh",
                {"-c", "ulimit -f 8; trap '' XFSZ; exec \"$0\" --out \"$1\" --duration 5 440", kTone, wav});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(wav));
}

TEST(PlotTool, WritesValidPngAndSvgBesideUnchangedReadings) {
    TempDirectory dir;
    const auto wav = dir.File("scale.wav");
    MakeTone(wav, {"--duration", "0.8", "--harmonics", "4", "--detune", "12", "440", "494", "523"});
    const ToolRun plain = RunTool(kAnalyze, {"--notes", wav});
    ASSERT_EQ(plain.status, 0) << plain.err;

    const ToolRun png = RunTool(kAnalyze, {"--notes", "--plot", dir.File("chart.PNG"), wav});
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out, plain.out);
    EXPECT_EQ(png.err, "");  // no progress line when stderr is not a terminal
    const std::string bytes = ReadWholeFile(dir.File("chart.PNG"));
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(bytes, 16), 1200u);
    EXPECT_EQ(BigEndian32(bytes, 20), 480u);
    EXPECT_EQ(bytes.substr(bytes.size() - 8, 4), "IEND");

    const ToolRun svg = RunTool(kAnalyze, {"--plot=" + dir.File("chart.svg"), wav});
    ASSERT_EQ(svg.status, 0) << svg.err;
    EXPECT_FALSE(svg.out.empty());
    // Cairo writes well-formed SVG; what the chart adds is what is drawn:
    // grid, band, frame, three traces with their medians and the text glyphs.
    const std::string text = ReadWholeFile(dir.File("chart.svg"));
    EXPECT_NE(text.find("<svg"), std::string::npos);
    int paths = 0;
    for (std::size_t at = 0; (at = text.find("<path", at)) != std::string::npos; ++at) ++paths;
    EXPECT_GT(paths, 10);
    // Command-line refusals are checked on the parser; here charts that cannot be written.
    for (const char* chart : {"no/such/dir/c.svg", "no/such/dir/c.png"}) {
        const ToolRun run = RunTool(kAnalyze, {"--plot", dir.File(chart), wav});
        EXPECT_EQ(run.status, 2) << chart;
        EXPECT_NE(run.err.find("cannot write the chart to"), std::string::npos) << run.err;
    }
}

TEST(VersionOption, BothProgramsNameTheBuildsVersion) {
    const ToolRun analyze = RunTool(kAnalyze, {"--version"});
    EXPECT_EQ(analyze.status, 0);
    EXPECT_EQ(analyze.out, std::string("zelvo-analyze ") + ZELVO_EXPECTED_VERSION + "\n");
    EXPECT_EQ(analyze.out, ZelvoAnalyze::VersionText());
    // Answered before any window is made, so no display is needed.
    const ToolRun tuner = RunTool(ZELVO_TUNER_PATH, {"--version"}, {"DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(tuner.status, 0) << tuner.err;
    EXPECT_EQ(tuner.out, std::string("zelvo-tuner ") + ZELVO_EXPECTED_VERSION + "\n");
    EXPECT_EQ(tuner.err, "");
}

// --settings: the tuner's own settings files name the notes.
TEST_F(SettingsOption, TheFilesNameTheNotesUnlessTheCommandLineSaysOtherwise) {
    const std::string c5 = dir.File("c5.wav");
    MakeTone(c5, {"--duration", "1.5", "523.2511"});  // equal-tempered
    // A temperament with +6 cents on A only, in key C: A is held at 0 and
    // every other note moves down.
    const std::string aUp =
        "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"0\"><Temperament Name=\"A up\">"
        "<Offset Index=\"9\" Cents=\"6\" /></Temperament></TemperamentList>";
    const struct {
        std::string config, temperament;
        std::vector<std::string> options;
        const std::string& file;
        std::string note;  // "": no note line at all
        double cents;
    } cases[] = {
        {"<System><MiddleA>442</MiddleA></System>", "", {}, wav, "A4", -7.85},
        {"<System><MiddleA>442</MiddleA></System>", "", {"--middle-a", "440"}, wav, "A4", 0.0},
        // The device reads 441 Hz for a true 440: readings are scaled by 440/441.
        {"<Calibration><KnownFreq>440</KnownFreq><ExpectedFreq>441</ExpectedFreq></Calibration>",
         "",
         {},
         wav,
         "A4",
         -3.93},
        // A floor above the tone's level (-12 dB here) closes the gate.
        {"<System><NoiseFloor>-5</NoiseFloor></System>", "", {}, wav, "", 0.0},
        {"<System><NoiseFloor>-5</NoiseFloor></System>", "", {"--noise-floor", "-30"}, wav, "A4", 0.0},
        {"", aUp, {}, wav, "A4", 0.0},
        {"", aUp, {}, c5, "C5", 6.0},
    };
    for (const auto& c : cases) {
        WriteWholeFile(settings / "tuner_config.xml", Config(c.config));
        std::filesystem::remove(settings / "tuner_temperament.xml");
        if (!c.temperament.empty()) WriteWholeFile(settings / "tuner_temperament.xml", c.temperament);
        std::vector<std::string> args = {"--notes", "--settings", settings.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(c.file);
        const ToolRun run = RunTool(kAnalyze, args);
        SCOPED_TRACE(c.config + c.temperament + " " + ::testing::PrintToString(c.options));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        // One note line: note, start, end, median cents, hops.
        const auto lines = Split(run.out, '\n');
        ASSERT_EQ(lines.size(), c.note.empty() ? 0u : 1u) << run.out;
        if (c.note.empty()) continue;
        const auto fields = Split(lines[0], '\t');
        ASSERT_EQ(fields.size(), 5u) << run.out;
        EXPECT_EQ(fields[0], c.note);
        EXPECT_NEAR(std::stod(fields[3]), c.cents, 0.05);
    }
}

TEST_F(SettingsOption, UnusableDirectoryIsAnError) {
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("nowhere"), "no such settings directory"},
        {wav, "not a directory"},
        {wav + "/settings", "Not a directory"},  // the system's reason for the path
    };
    for (const auto& [bad, reason] : cases) {
        const ToolRun run = RunTool(kAnalyze, {"--settings", bad, wav});
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Split(run.err, '\n').size(), 1u) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    }
    EXPECT_THROW(ZelvoAnalyze::LoadTunerSettings(dir.File("nowhere")), std::runtime_error);
}
