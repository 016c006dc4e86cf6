#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"
#include "persistence/SettingsFiles.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
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

    // A plain file where the folder should be: every file fails.
    EXPECT_EQ(SaveSettingsFiles(SettingsFiles{}, tmp / "tuner_presets.xml").message,
              "Unable to save the settings files tuner_config.xml, tuner_presets.xml, "
              "tuner_temperament.xml, tuner_stretch.xml. The previous files were kept.");
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

// A settings file that is a link is written where it points only when that
// is a regular file or a new name inside the settings folder; the link itself
// always survives, and a refused save changes nothing.
TEST(SettingsFiles, SavesFollowLinksOnlyOntoRegularFilesInTheFolder) {
    namespace fs = std::filesystem;
    const struct {
        const char* what;
        const char* linkTarget;  // relative to the settings folder
        bool saved;
        const char* written;  // where the document lands, when saved
    } cases[] = {
        {"regular file in the folder", "real.xml", true, "real.xml"},
        {"regular file in a subfolder", "sub/real.xml", true, "sub/real.xml"},
        {"link to a link to a file", "second-link", true, "real.xml"},
        {"new name in the folder", "new.xml", true, "new.xml"},
        {"regular file outside", "../dotfile.xml", false, nullptr},
        {"new name outside", "../missing.xml", false, nullptr},
        {"FIFO in the folder", "fifo", false, nullptr},
        {"directory in the folder", "sub", false, nullptr},
        {"device", "/dev/null", false, nullptr},
        {"link loop", "loop-a", false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDirectory tmp;
        const fs::path dir = tmp / "settings";
        fs::create_directories(dir / "sub");
        WriteWholeFile(dir / "real.xml", "old");
        WriteWholeFile(dir / "sub/real.xml", "old");
        WriteWholeFile(tmp / "dotfile.xml", "old");
        ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
        fs::create_symlink("real.xml", dir / "second-link");
        fs::create_symlink("loop-b", dir / "loop-a");
        fs::create_symlink("loop-a", dir / "loop-b");
        fs::create_symlink(c.linkTarget, dir / ConfigFileName);

        const SettingsSaveResult result = SaveSettingsFiles(Sample(), dir);
        EXPECT_TRUE(fs::is_symlink(dir / ConfigFileName));
        EXPECT_EQ(fs::read_symlink(dir / ConfigFileName), c.linkTarget);
        if (c.saved) {
            EXPECT_TRUE(result.Ok());
            EXPECT_EQ(ReadWholeFile(dir / c.written), ConfigDocumentText(Sample().config));
        } else {
            EXPECT_EQ(result.failedFiles, std::vector<std::string>{ConfigFileName});
            EXPECT_NE(result.message.find(ConfigFileName), std::string::npos);
            EXPECT_EQ(ReadWholeFile(dir / "real.xml"), "old");
            EXPECT_EQ(ReadWholeFile(tmp / "dotfile.xml"), "old");
            EXPECT_FALSE(fs::exists(tmp / "missing.xml"));
            EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
        }
        // No temporary file is left behind either way.
        for (const auto& entry : fs::recursive_directory_iterator(tmp.Path()))
            EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
    }
}

// What stands in a settings file's place decides how it is read: anything
// but a regular file counts as missing (and never blocks), a file over the
// size limit as damaged.
TEST(SettingsFiles, SpecialAndOversizedFilesReadAsMissingOrDamaged) {
    TempDirectory tmp;
    const auto dir = tmp.Path();
    ASSERT_TRUE(SaveSettingsFiles(Sample(), dir).Ok());
    const std::string config = ReadWholeFile(dir / ConfigFileName);

    // A FIFO nobody writes to: opening it must not wait for a writer.
    for (const char* name : {ConfigFileName, PresetFileName}) std::filesystem::remove(dir / name);
    ASSERT_EQ(mkfifo((dir / ConfigFileName).c_str(), 0600), 0);
    std::filesystem::create_directory(dir / PresetFileName);
    SettingsFiles loaded;
    LoadSettingsFiles(loaded, dir);
    EXPECT_EQ(loaded.config, ConfigRecord{});
    EXPECT_TRUE(loaded.presets.entries.empty());

    // Over the limit: refused whole, even though it starts with good values.
    std::filesystem::remove(dir / ConfigFileName);
    std::filesystem::remove(dir / PresetFileName);
    std::string padded = config;
    padded.insert(padded.find("</TunerConfig>"), std::string(XmlMaxDocumentBytes, ' '));
    WriteWholeFile(dir / ConfigFileName, padded);
    std::string presets = "<PresetList Version=\"3\">";
    while (presets.size() <= XmlMaxDocumentBytes) presets += "<Preset Name=\"p\">C4</Preset>";
    WriteWholeFile(dir / PresetFileName, presets + "</PresetList>");
    LoadSettingsFiles(loaded, dir);
    EXPECT_EQ(loaded.config, ConfigRecord{});
    EXPECT_TRUE(loaded.presets.entries.empty());

    // Just within the limit: read as usual.
    padded = config;
    padded.insert(padded.find("</TunerConfig>"), std::string(XmlMaxDocumentBytes - config.size(), ' '));
    WriteWholeFile(dir / ConfigFileName, padded);
    LoadSettingsFiles(loaded, dir);
    EXPECT_EQ(loaded.config, Sample().config);
}

TEST(SettingsFiles, LeftoverTemporaryFilesOfOursAreRemoved) {
    TempDirectory tmp;
    const std::vector<std::string> ours = {"tuner_config.xml.tmp-AbC123", "tuner_presets.xml.tmp-000000",
                                           "tuner_temperament.xml.tmp-zZ9aB1",
                                           "tuner_stretch.xml.tmp-XyZ789"};
    const std::vector<std::string> others = {"tuner_config.xml.tmp-AbC12",
                                             "tuner_config.xml.tmp-AbC1234",
                                             "tuner_config.xml.tmp-AbC-12",
                                             "tuner_other.xml.tmp-AbC123",
                                             "tuner_config.xml",
                                             "notes.txt.tmp-AbC123"};
    for (const auto& name : ours) WriteWholeFile(tmp / name, "x");
    for (const auto& name : others) WriteWholeFile(tmp / name, "x");
    // A directory or a link with such a name is not one of ours.
    std::filesystem::create_directory(tmp / "tuner_stretch.xml.tmp-dir123");
    std::filesystem::create_symlink("tuner_config.xml", tmp / "tuner_config.xml.tmp-link12");

    EXPECT_EQ(RemoveLeftoverTemporaryFiles(tmp.Path()), 4);
    for (const auto& name : ours) EXPECT_FALSE(std::filesystem::exists(tmp / name)) << name;
    for (const auto& name : others) EXPECT_TRUE(std::filesystem::exists(tmp / name)) << name;
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "tuner_stretch.xml.tmp-dir123"));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "tuner_config.xml.tmp-link12"));
    EXPECT_EQ(RemoveLeftoverTemporaryFiles(tmp / "missing"), 0);
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
