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

// A list keeps at most its limit of entries, and offsets only on its keys
// (pitch classes or notes) and within range.
template <typename List>
void ExpectOffsetsInRange(const List& list, int lowestKey, int highestKey) {
    EXPECT_LE(list.entries.size(), MaxListEntries);
    for (const auto& entry : list.entries)
        for (const auto& [key, cents] : entry.offsets) {
            EXPECT_TRUE(key >= lowestKey && key <= highestKey) << key;
            EXPECT_LE(std::fabs(cents), MaxOffsetCents);
        }
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
        ExpectOffsetsInRange(temperaments, 0, 11);
        StretchList stretches;
        EXPECT_TRUE(IsResultCode(ReadStretchDocument(stretches, bytes)));
        ExpectOffsetsInRange(stretches, NoteIndexMin, NoteIndexMax);
    }
}

}  // namespace
