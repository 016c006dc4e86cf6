// The temperament editor's scale files: reading refuses what is not a
// readable scale file with a reason, writing replaces the file with the
// scale text.

#include <string>

#include <gtest/gtest.h>

#include "TempDirectory.h"
#include "dialogs/logic/ScalaFiles.h"

TEST(ScalaFiles, FilesThatCannotBeScalesAreRefusedWithTheReason) {
    TempDirectory dir;
    WriteWholeFile(dir / "huge.scl", std::string(MaxScalaFileBytes + 1, '!'));
    const struct {
        std::filesystem::path file;
        const char* reasonHolds;
    } cases[] = {
        {dir / "missing.scl", "could not be read"},
        {dir.Path(), "could not be read"},
        {dir / "huge.scl", "too large"},
    };
    for (const auto& c : cases) {
        const ScalaImportResult result = ImportScalaFile(c.file);
        EXPECT_FALSE(result.temperament);
        EXPECT_NE(result.error.find(c.reasonHolds), std::string::npos) << result.error;
    }
    const std::string error = ExportScalaFile(Temperament{}, dir / "no-such-folder" / "out.scl");
    EXPECT_NE(error.find("could not be written"), std::string::npos) << error;
}

TEST(ScalaFiles, AnExportedTemperamentReplacesTheFileAndImportsWithTheSameOffsets) {
    TempDirectory dir;
    Temperament temperament;
    temperament.name = "Round trip";
    const float offsets[12] = {0.0f,   -9.8f, -7.8f, -5.9f,  -9.8f, -2.0f,
                               -11.7f, -3.9f, -7.8f, -11.7f, -3.9f, -7.8f};
    for (int key = 0; key < 12; ++key) temperament.SetOffset(key, offsets[key]);
    WriteWholeFile(dir / "w3.scl", "old contents");
    ASSERT_EQ(ExportScalaFile(temperament, dir / "w3.scl"), "");
    EXPECT_EQ(ReadWholeFile(dir / "w3.scl"), FormatScalaTemperament(temperament));
    const ScalaImportResult result = ImportScalaFile(dir / "w3.scl");
    ASSERT_TRUE(result.temperament) << result.error;
    // The scale is stored relative to C, so a C offset other than 0 would
    // move the others; here C is 0 and every offset comes back.
    for (int key = 0; key < 12; ++key)
        EXPECT_NEAR(result.temperament->Offset(key), offsets[key], 0.01) << key;
}
