// What the settings files do on Windows: wide (non-ASCII) folder and file
// names, replacing a file that is already there, a read-only file, and the
// default folder (the current directory). Built only for Windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempDirectory.h"
#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"
#include "persistence/SettingsFiles.h"

namespace {

namespace fs = std::filesystem;

SettingsFiles SampleWith(float middleA) {
    SettingsFiles s;
    s.config.MiddleA = middleA;
    s.presets.entries = {Preset{"Gitarre – Größe €", ParseNoteList("E2, A2, D3, G3, B3, E4")}};
    return s;
}

// Names in the folder other than the four settings files (temporaries left
// behind by a save).
int OtherFiles(const fs::path& dir) {
    int others = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        others += name != ConfigFileName && name != PresetFileName && name != TemperamentFileName &&
                  name != StretchFileName;
    }
    return others;
}

// The second save replaces the files the first one left.
TEST(WindowsFiles, NonAsciiFolderNamesRoundTripAndASaveReplacesTheFiles) {
    TempDirectory tmp;
    const fs::path dir = tmp.Path() / fs::path(u8"Stimmgerät Ωμέγα 調律");
    ASSERT_TRUE(SaveSettingsFiles(SampleWith(442.0f), dir).Ok());
    ASSERT_TRUE(SaveSettingsFiles(SampleWith(415.0f), dir).Ok());
    SettingsFiles loaded;
    LoadSettingsFiles(loaded, dir);
    EXPECT_EQ(loaded, SampleWith(415.0f));
    EXPECT_EQ(OtherFiles(dir), 0);
}

TEST(WindowsFiles, AReadOnlyFileIsKeptAndTheFailureReported) {
    TempDirectory tmp;
    const fs::path file = tmp / ConfigFileName;
    ASSERT_TRUE(SaveConfig(SampleWith(442.0f).config, file));
    const std::string before = ReadWholeFile(file);
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    EXPECT_FALSE(SaveConfig(SampleWith(415.0f).config, file));
    EXPECT_EQ(ReadWholeFile(file), before);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(OtherFiles(tmp.Path()), 0);
}

TEST(WindowsFiles, TheDefaultFolderIsTheCurrentDirectory) {
    TempDirectory tmp;
    const fs::path previous = fs::current_path();
    fs::current_path(tmp.Path());
    EXPECT_EQ(fs::weakly_canonical(DefaultSettingsDirectory()), fs::weakly_canonical(tmp.Path()));
    fs::current_path(previous);
}

}  // namespace
