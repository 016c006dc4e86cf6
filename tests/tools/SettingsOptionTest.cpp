// zelvo-analyze --settings: the tuner's own settings files name the notes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
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
    // The median deviation of the one note the run reports with --notes.
    double NoteCents(std::vector<std::string> extra = {}, const std::string& file = "",
                     const std::string& note = "A4") {
        extra.insert(extra.begin(), {"--notes", "--settings", settings.string()});
        extra.push_back(file.empty() ? wav : file);
        const ToolRun run = RunTool(kAnalyze, extra);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const auto lines = Split(run.out, '\n');
        const auto fields = lines.size() == 1 ? Split(lines[0], '\t') : std::vector<std::string>{};
        EXPECT_EQ(fields.size(), 5u) << run.out;  // one note line of five fields
        if (fields.size() != 5) return NAN;
        EXPECT_EQ(fields[0], note);
        return std::stod(fields[3]);
    }
    void Write(const std::string& name, const std::string& text) { WriteWholeFile(settings / name, text); }

    TempDirectory dir;
    std::filesystem::path settings = dir.Path() / "settings";
    std::string wav = dir.File("a440.wav");
};

}  // namespace

TEST_F(SettingsOption, MiddleAFromTheConfigurationUnlessTheCommandLineSaysOtherwise) {
    Write("tuner_config.xml", Config("<System><MiddleA>442</MiddleA></System>"));
    EXPECT_NEAR(NoteCents(), -7.85, 0.05);
    EXPECT_NEAR(NoteCents({"--middle-a", "440"}), 0.0, 0.05);
}

TEST_F(SettingsOption, CalibrationNoiseFloorAndTemperament) {
    // The device reads 441 Hz for a true 440: readings are scaled by 440/441.
    Write("tuner_config.xml",
          Config("<Calibration><KnownFreq>440</KnownFreq><ExpectedFreq>441</ExpectedFreq></Calibration>"));
    EXPECT_NEAR(NoteCents(), 1200.0 * std::log2(440.0 / 441.0), 0.05);

    // A floor above the tone's level (-12 dB here) closes the gate, unless the
    // command line lowers it again.
    Write("tuner_config.xml", Config("<System><NoiseFloor>-5</NoiseFloor></System>"));
    const ToolRun gated = RunTool(kAnalyze, {"--notes", "--settings", settings.string(), wav});
    EXPECT_EQ(gated.status, 0);
    EXPECT_EQ(gated.out, "");
    EXPECT_NEAR(NoteCents({"--noise-floor", "-30"}), 0.0, 0.05);

    // A temperament with +6 cents on A only, in key C: A is held at 0 and every
    // other note moves down, so A4 itself still reads 0 while a tone on C5
    // (equal-tempered) reads 6 cents sharp.
    Write("tuner_config.xml", Config(""));
    Write("tuner_temperament.xml",
          "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"0\"><Temperament Name=\"A up\">"
          "<Offset Index=\"9\" Cents=\"6\" /></Temperament></TemperamentList>");
    EXPECT_NEAR(NoteCents(), 0.0, 0.05);
    const auto c5 = dir.File("c5.wav");
    MakeTone(c5, {"--duration", "1.5", "523.2511"});
    EXPECT_NEAR(NoteCents({}, c5, "C5"), 6.0, 0.05);
}

// Each file puts an implausible value or a special file where a setting is
// expected; the run reads A4 exactly as with no settings at all.
TEST_F(SettingsOption, ImplausibleOrSpecialFilesLeaveTheDefaults) {
    const struct {
        const char* what;
        const char* file;
        std::string text;  // empty: a FIFO nobody writes to
    } cases[] = {
        {"FIFO as the configuration", "tuner_config.xml", ""},
        {"calibration far beyond a factor of two", "tuner_config.xml",
         Config("<Calibration><KnownFreq>3.4e38</KnownFreq><ExpectedFreq>1.0000001</ExpectedFreq></"
                "Calibration>")},
        {"stretch offset beyond an octave", "tuner_stretch.xml",
         "<StretchList Version=\"3\" SelectedIndex=\"0\"><Stretch Name=\"s\">"
         "<Offset Index=\"69\" Cents=\"-1e30\" /></Stretch></StretchList>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(settings);
        std::filesystem::create_directory(settings);
        if (c.text.empty())
            ASSERT_EQ(mkfifo((settings / c.file).c_str(), 0600), 0);
        else
            Write(c.file, c.text);
        EXPECT_NEAR(NoteCents(), 0.0, 0.05);
    }
}

TEST_F(SettingsOption, UnusableDirectoryIsAnError) {
    for (const std::string& bad : {dir.File("nowhere"), wav}) {
        const ToolRun run = RunTool(kAnalyze, {"--settings", bad, wav});
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Split(run.err, '\n').size(), 1u) << run.err;
    }
    EXPECT_THROW(ZelvoAnalyze::LoadTunerSettings(dir.File("nowhere")), std::runtime_error);
}
