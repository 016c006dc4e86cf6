#include "dialogs/logic/ManualAddress.h"

#include <gtest/gtest.h>

#include "TempDirectory.h"

namespace fs = std::filesystem;

TEST(ManualAddress, FileUrlsEncodeWhatAnAddressCannotHold) {
    const struct {
        const char* path;
        const char* url;
    } cases[] = {
        {"/home/a b/x.html", "file:///home/a%20b/x.html"},
        {"/tmp/100%/#1?.html", "file:///tmp/100%25/%231%3F.html"},
        {"/m\xc3\xbcsik/I.html", "file:///m%C3%BCsik/I.html"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ManualAddress::FileUrl(c.path), c.url);
        EXPECT_EQ(ManualAddress::LocalPath(c.url), fs::path(c.path)) << c.url;
    }
}

TEST(ManualAddress, LocalPathOfOtherAddressesIsEmpty) {
    for (const char* address : {"https://example.org/manual", "", "file:", "file://", "file://host/x",
                                "file:///a%2", "file:///a%zz", "mailto:x@y"})
        EXPECT_TRUE(ManualAddress::LocalPath(address).empty()) << address;
    EXPECT_EQ(ManualAddress::LocalPath("file://localhost/usr/x.html"), fs::path("/usr/x.html"));
}

TEST(ManualAddress, AMissingInstalledManualGivesWayToTheOneFound) {
    TempDirectory dir;
    const fs::path found = dir.Path() / "share dir" / "Intro.html";
    fs::create_directories(found.parent_path());
    WriteWholeFile(found, "<html></html>");
    const fs::path installed = dir.Path() / "installed.html";
    WriteWholeFile(installed, "<html></html>");
    const std::string installedUrl = ManualAddress::FileUrl(installed);
    const std::string foundUrl = ManualAddress::FileUrl(found);
    const std::string missingUrl = ManualAddress::FileUrl(dir.Path() / "nowhere" / "Intro.html");

    const struct {
        const char* what;
        std::string configured;
        fs::path found;
        std::string opened;
    } cases[] = {
        {"installed manual present", installedUrl, found, installedUrl},
        {"installed manual missing", missingUrl, found, foundUrl},
        {"nothing found at all", missingUrl, {}, missingUrl},
        {"a web address is kept", "https://example.org/zelvo", found, "https://example.org/zelvo"},
        {"no address configured", "", found, foundUrl},
    };
    for (const auto& c : cases) EXPECT_EQ(ManualAddress::Resolve(c.configured, c.found), c.opened) << c.what;
}

TEST(ManualAddress, TheBuildNamesTheInstalledStartPage) {
    const std::string configured = ManualAddress::Configured();
    EXPECT_EQ(configured.rfind("file:///", 0), 0u) << configured;
    EXPECT_EQ(ManualAddress::LocalPath(configured).filename(), ManualAddress::StartPage);
    EXPECT_EQ(ManualAddress::LocalPath(configured).parent_path().filename(), ManualAddress::ManualFolder);
}
