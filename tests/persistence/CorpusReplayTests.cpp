// Replays the inputs kept from fuzzing through the reader and every loader.
// Each must end with one of the reader's result codes and leave the loaded
// values inside their documented ranges.
#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"

#include "TempDirectory.h"  // ReadWholeFile

#include <gtest/gtest.h>

#include <cmath>

namespace {

::testing::AssertionResult IsResultCode(XmlReadResult r) {
    for (XmlReadResult code : {XmlReadComplete, XmlReadUnexpectedEnd, XmlReadSyntaxError,
                               XmlReadUnmatchedEndTag, XmlReadLimitExceeded, XmlReadStoppedByHandler})
        if (r == code) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "unknown result code " << r;
}

TEST(CorpusReplay, EveryInputReadsSafely) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(ZELVO_PERSISTENCE_CORPUS_DIR))
        if (entry.is_regular_file()) files.push_back(entry.path());
    ASSERT_GE(files.size(), 10u);
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
        EXPECT_LE(temperaments.entries.size(), MaxListEntries);
        for (const Temperament& t : temperaments.entries)
            for (const auto& [key, cents] : t.offsets) {
                EXPECT_TRUE(key >= 0 && key <= 11) << key;
                EXPECT_LE(std::fabs(cents), MaxOffsetCents);
            }

        StretchList stretches;
        EXPECT_TRUE(IsResultCode(ReadStretchDocument(stretches, bytes)));
        EXPECT_LE(stretches.entries.size(), MaxListEntries);
        for (const StretchTable& s : stretches.entries)
            for (const auto& [note, cents] : s.offsets) {
                EXPECT_TRUE(IsValidNoteIndex(note)) << note;
                EXPECT_LE(std::fabs(cents), MaxOffsetCents);
            }
    }
}

}  // namespace
