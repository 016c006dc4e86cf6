// zelvo-analyze end to end: generated tones in, printed readings out.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

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
