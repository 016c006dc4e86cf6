#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"
#include "persistence/SettingsFiles.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

SettingsFiles Sample()
{
    SettingsFiles s;
    s.config.MiddleA = 442.0f;
    s.config.Pitch = 2;
    s.presets.entries.push_back(Preset{"Guitar & Bass", ParseNoteList("E2, A2, D3, G3, B3, E4")});
    s.presets.SelectedIndex = 0;
    Temperament t;
    t.name = "Werckmeister \"III\"";
    t.SetOffset(1, -9.775f);
    s.temperaments.entries.push_back(t);
    s.temperaments.SelectedKey = 9;
    StretchTable st;
    st.name = "Upright <small>";
    st.SetOffset(100, 12.5f);
    s.stretches.entries.push_back(st);
    return s;
}

std::vector<std::string> FilesIn(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SettingsFiles, SaveCreatesTheDirectoryAndLoadReadsAllFour)
{
    TempDirectory tmp;
    const auto dir = tmp / "nested/zelvo-tuner";
    const SettingsFiles original = Sample();
    const SettingsSaveResult result = SaveSettingsFiles(original, dir);
    EXPECT_TRUE(result.Ok());
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"tuner_config.xml", "tuner_presets.xml",
                                                      "tuner_stretch.xml", "tuner_temperament.xml"}));
    SettingsFiles loaded;
    LoadSettingsFiles(loaded, dir);
    EXPECT_EQ(loaded.config, original.config);
    EXPECT_EQ(loaded.presets, original.presets);
    // -9.775 keeps six decimals in the file; compare through the file's text.
    EXPECT_EQ(TemperamentDocumentText(loaded.temperaments), TemperamentDocumentText(original.temperaments));
    EXPECT_EQ(loaded.stretches, original.stretches);
}

TEST(SettingsFiles, LoadingAnEmptyDirectoryKeepsDefaults)
{
    TempDirectory tmp;
    SettingsFiles s;
    s.presets.SelectedIndex = 2;
    LoadSettingsFiles(s, tmp.Path());
    SettingsFiles expected;
    expected.presets.SelectedIndex = 2;
    EXPECT_EQ(s, expected);
}

TEST(SettingsFiles, AFileThatCannotBeReplacedIsReportedAndLeftAlone)
{
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
    // The other files were still written, and no temporary file is left.
    EXPECT_NE(ReadWholeFile(tmp / "tuner_presets.xml"), "old");
    EXPECT_EQ(FilesIn(tmp.Path()), (std::vector<std::string>{"tuner_config.xml", "tuner_presets.xml",
                                                            "tuner_stretch.xml", "tuner_temperament.xml"}));
}

TEST(SettingsFiles, AFailedWriteKeepsThePreviousFile)
{
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
    const bool saved_ok = SaveConfig(Sample().config, tmp / ConfigFileName);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadWholeFile(tmp / ConfigFileName), before);
    EXPECT_EQ(FilesIn(tmp.Path()).size(), 4u); // no temporary file left behind
}

TEST(SettingsFiles, UnusableDirectoryFailsEveryFile)
{
    TempDirectory tmp;
    WriteWholeFile(tmp / "plain-file", "x");
    const SettingsSaveResult result = SaveSettingsFiles(SettingsFiles{}, tmp / "plain-file");
    EXPECT_EQ(result.failedFiles.size(), 4u);
    EXPECT_EQ(result.message,
              "Unable to save the settings files tuner_config.xml, tuner_presets.xml, "
              "tuner_temperament.xml, tuner_stretch.xml. The previous files were kept.");
    EXPECT_EQ(ReadWholeFile(tmp / "plain-file"), "x");
}

TEST(SettingsFiles, DefaultDirectoryFollowsXdgConfigHome)
{
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string keepXdg = oldXdg ? oldXdg : "";
    const char* oldHome = std::getenv("HOME");
    const std::string keepHome = oldHome ? oldHome : "";
    setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(DefaultSettingsDirectory(), std::filesystem::path("/tmp/xdg-test/zelvo-tuner"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultSettingsDirectory(), std::filesystem::path("/home/someone/.config/zelvo-tuner"));
    if (oldXdg)
        setenv("XDG_CONFIG_HOME", keepXdg.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    if (oldHome)
        setenv("HOME", keepHome.c_str(), 1);
    else
        unsetenv("HOME");
}

} // namespace

namespace {

TEST(SettingsFiles, SymbolicLinksSurviveASave)
{
    TempDirectory tmp;
    std::filesystem::create_directories(tmp / "dotfiles");
    WriteWholeFile(tmp / "dotfiles/tuner_config.xml", "old");
    std::filesystem::create_directories(tmp / "settings");
    std::filesystem::create_symlink(tmp / "dotfiles/tuner_config.xml", tmp / "settings/tuner_config.xml");

    ConfigRecord config;
    config.Pitch = 5;
    ASSERT_TRUE(SaveConfig(config, tmp / "settings/tuner_config.xml"));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "settings/tuner_config.xml"));
    EXPECT_EQ(ReadWholeFile(tmp / "dotfiles/tuner_config.xml"), ConfigDocumentText(config));
}

} // namespace
