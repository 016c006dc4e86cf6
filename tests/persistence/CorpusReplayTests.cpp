// Replays the inputs kept from fuzzing through the reader and every loader.
// Each must end with one of the reader's result codes and leave the loaded
// values inside their documented ranges.
#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

namespace {

::testing::AssertionResult IsResultCode(XmlReadResult r) {
    for (XmlReadResult code : {XmlReadComplete, XmlReadUnexpectedEnd, XmlReadSyntaxError,
                               XmlReadUnmatchedEndTag, XmlReadStoppedByHandler})
        if (r == code) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "unknown result code " << r;
}

TEST(CorpusReplay, EveryInputReadsSafely) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(ZELVO_PERSISTENCE_CORPUS_DIR))
        if (entry.is_regular_file()) files.push_back(entry.path());
    ASSERT_GE(files.size(), 10u);
    TempDirectory dir;
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const std::string bytes = ReadWholeFile(file);
        EXPECT_TRUE(IsResultCode(XmlReader(bytes, nullptr, nullptr)));

        ConfigRecord config;
        EXPECT_TRUE(IsResultCode(ReadConfigDocument(config, bytes)));
        ConfigRecord checked = config;
        EXPECT_FALSE(ApplyConfigFallbacks(checked)) << "loaded value outside its range";

        PresetList presets;
        EXPECT_TRUE(IsResultCode(ReadPresetDocument(presets, bytes)));
        for (const Preset& p : presets.entries)
            for (NoteIndex n : p.notes) EXPECT_TRUE(IsValidNoteIndex(n));

        TemperamentList temperaments;
        EXPECT_TRUE(IsResultCode(ReadTemperamentDocument(temperaments, bytes)));
        for (const Temperament& t : temperaments.entries) {
            EXPECT_EQ(t.offsets.size(), 12u);
            EXPECT_EQ(t.offsets.begin()->first, 0);
            EXPECT_EQ(t.offsets.rbegin()->first, 11);
        }

        StretchList stretches;
        EXPECT_TRUE(IsResultCode(ReadStretchDocument(stretches, bytes)));
        for (const StretchTable& s : stretches.entries) {
            EXPECT_EQ(s.offsets.size(), 97u);
            EXPECT_EQ(s.offsets.begin()->first, 12);
            EXPECT_EQ(s.offsets.rbegin()->first, 108);
        }

        // The same bytes as a file on disk, through the file loaders.
        WriteWholeFile(dir / "input.xml", bytes);
        ConfigRecord fromFile;
        LoadConfig(fromFile, dir / "input.xml");
        EXPECT_EQ(fromFile, config);
        PresetList presetsFromFile;
        LoadPresetList(presetsFromFile, dir / "input.xml");
        EXPECT_EQ(presetsFromFile, presets);
    }
}

}  // namespace
