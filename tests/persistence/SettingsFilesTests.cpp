#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"
#include "persistence/SettingsFiles.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>
#include <optional>

namespace {

SettingsFiles Sample() {
    SettingsFiles s;
    s.config = ConfigRecord{.Pitch = 2, .MiddleA = 442.0f};
    s.presets.entries = {Preset{"Guitar & Bass", ParseNoteList("E2, A2, D3, G3, B3, E4")}};
    return s;
}

// Exactly the four settings files, no temporary file left behind.
void ExpectOnlyTheFourFiles(const std::filesystem::path& dir) {
    for (const char* name : {ConfigFileName, PresetFileName, TemperamentFileName, StretchFileName})
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
    const auto files = std::filesystem::directory_iterator(dir);
    EXPECT_EQ(std::distance(begin(files), end(files)), 4);
}

TEST(SettingsFiles, EveryFileRoundTripsWithAwkwardNames) {
    SettingsFiles original = Sample();
    original.presets.SelectedIndex = 2;
    original.temperaments.SelectedIndex = 5;  // does not fit the list: kept as it is
    original.temperaments.SelectedKey = 7;
    original.stretches.SelectedIndex = 1;
    int k = 0;
    for (const char* name : {"\"Tom\" & 'Jerry' <x>", "Größe – Stimmung €", "", "  tab\tand spaces  "}) {
        original.presets.entries.push_back(Preset{name, ParseNoteList("C1,C2, e2-g2, Bb3")});
        // Values with six decimals or fewer: the file keeps six.
        original.temperaments.entries.emplace_back().name = name;
        original.temperaments.entries.back().SetOffset(k % 12, -13.75f + 0.5f * k);
        original.stretches.entries.emplace_back().name = name;
        original.stretches.entries.back().SetOffset(12 + k, 0.125f * k);
        original.stretches.entries.back().SetOffset(108, -35.5f);
        ++k;
    }
    TempDirectory tmp;
    const auto dir = tmp / "nested/zelvo-tuner";  // created by the save
    const SettingsSaveResult result = SaveSettingsFiles(original, dir);
    EXPECT_TRUE(result.Ok());
    EXPECT_EQ(result.message, "");
    ExpectOnlyTheFourFiles(dir);
    SettingsFiles loaded;
    loaded.presets.entries.push_back(Preset{"stale", {}});  // replaced, not appended to
    LoadSettingsFiles(loaded, dir);
    EXPECT_EQ(loaded, original);

    // Missing files empty the lists but keep the selections.
    LoadSettingsFiles(loaded, tmp.Path());
    EXPECT_TRUE(loaded.presets.entries.empty() && loaded.stretches.entries.empty());
    EXPECT_EQ(loaded.presets.SelectedIndex, 2);
}

TEST(SettingsFiles, AFileThatCannotBeReplacedIsReportedAndLeftAlone) {
    TempDirectory tmp;
    // A directory where the configuration file should be: the rename fails.
    std::filesystem::create_directories(tmp / "tuner_config.xml/keep");
    WriteWholeFile(tmp / "tuner_config.xml/keep/marker", "x");
    WriteWholeFile(tmp / "tuner_presets.xml", "old");

    const SettingsSaveResult result = SaveSettingsFiles(Sample(), tmp.Path());
    EXPECT_EQ(result.failedFiles, std::vector<std::string>{"tuner_config.xml"});
    EXPECT_EQ(result.message,
              "Unable to save the settings file tuner_config.xml. The previous file was kept.");
    EXPECT_EQ(ReadWholeFile(tmp / "tuner_config.xml/keep/marker"), "x");
    // The other files were still written.
    EXPECT_EQ(ReadWholeFile(tmp / "tuner_presets.xml"), PresetDocumentText(Sample().presets));
    ExpectOnlyTheFourFiles(tmp.Path());
}

TEST(SettingsFiles, AFailedWriteKeepsThePreviousFile) {
    TempDirectory tmp;
    ASSERT_TRUE(SaveSettingsFiles(SettingsFiles{}, tmp.Path()).Ok());
    const std::string before = ReadWholeFile(tmp / ConfigFileName);

    // Limit the size of files this process may write so that the new
    // configuration cannot be stored completely (root is bound by it too).
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool savedOk = SaveConfig(Sample().config, tmp / ConfigFileName);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(ReadWholeFile(tmp / ConfigFileName), before);
    ExpectOnlyTheFourFiles(tmp.Path());
}

TEST(SettingsFiles, UnusableDirectoryFailsEveryFile) {
    TempDirectory tmp;
    WriteWholeFile(tmp / "plain-file", "x");
    EXPECT_EQ(SaveSettingsFiles(SettingsFiles{}, tmp / "plain-file").message,
              "Unable to save the settings files tuner_config.xml, tuner_presets.xml, "
              "tuner_temperament.xml, tuner_stretch.xml. The previous files were kept.");
    EXPECT_EQ(ReadWholeFile(tmp / "plain-file"), "x");
}

TEST(SettingsFiles, SymbolicLinksSurviveASave) {
    TempDirectory tmp;
    std::filesystem::create_directories(tmp / "settings");
    WriteWholeFile(tmp / "dotfile.xml", "old");
    std::filesystem::create_symlink(tmp / "dotfile.xml", tmp / "settings/tuner_config.xml");

    ASSERT_TRUE(SaveConfig(Sample().config, tmp / "settings/tuner_config.xml"));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "settings/tuner_config.xml"));
    EXPECT_EQ(ReadWholeFile(tmp / "dotfile.xml"), ConfigDocumentText(Sample().config));
}

TEST(SettingsFiles, DefaultDirectoryFollowsXdgConfigHome) {
    // Puts the variable back as it was whatever happens below.
    struct SavedVariable {
        const char* name;
        std::optional<std::string> value;
        explicit SavedVariable(const char* n) : name(n) {
            if (const char* v = std::getenv(n)) value = v;
        }
        ~SavedVariable() { value ? setenv(name, value->c_str(), 1) : unsetenv(name); }
    } xdg("XDG_CONFIG_HOME"), home("HOME");
    setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(DefaultSettingsDirectory(), std::filesystem::path("/tmp/xdg-test/zelvo-tuner"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultSettingsDirectory(), std::filesystem::path("/home/someone/.config/zelvo-tuner"));
}

}  // namespace
