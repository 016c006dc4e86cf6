// zelvo-analyze --settings: the tuner's own settings files name the notes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsDirectory.h"
#include "ToolRunner.h"

using namespace ToolTest;

namespace {

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
