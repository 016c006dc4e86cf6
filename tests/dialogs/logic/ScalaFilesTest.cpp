// The temperament editor's scale files: reading and writing refuse what
// cannot be a scale file with a reason. (Writing over a file and reading it
// back: the editor's test.)

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
