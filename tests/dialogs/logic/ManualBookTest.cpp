// The manual as shipped: every page is reachable from the contents, every
// link and picture leads somewhere, and the help book the program opens is
// complete in the build's resource folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "TempDirectory.h"
#include "dialogs/logic/ManualAddress.h"

namespace fs = std::filesystem;

namespace {

const fs::path Source = ZELVO_MANUAL_SOURCE_DIR;
const fs::path Built = ZELVO_MANUAL_BUILD_DIR;

std::vector<std::string> Matches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern, std::regex::icase);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1].str());
    return found;
}

std::set<std::string> SourcePages() {
    std::set<std::string> pages;
    for (const auto& entry : fs::directory_iterator(Source))
        if (entry.path().extension() == ".html") pages.insert(entry.path().filename().string());
    return pages;
}

// A "page.html#anchor" target resolves: the page exists and names the anchor.
void ExpectTargetExists(const std::string& target, const std::string& from) {
    const auto hash = target.find('#');
    const std::string page = target.substr(0, hash);
    const std::string text = ReadWholeFile(Source / page);
    ASSERT_FALSE(text.empty()) << from << " names " << target;
    if (hash == std::string::npos) return;
    const std::string anchor = target.substr(hash + 1);
    EXPECT_NE(text.find("name=\"" + anchor + "\""), std::string::npos) << from << " names " << target;
}

}  // namespace

TEST(ManualBook, ContentsIndexAndProjectReachEveryPageAndOnlyRealOnes) {
    const std::string contents = ReadWholeFile(Source / "zelvo-tuner.hhc");
    const std::string index = ReadWholeFile(Source / "zelvo-tuner.hhk");
    std::set<std::string> listed;
    for (const auto& [file, text] : {std::pair{"contents", contents}, std::pair{"index", index}}) {
        const auto targets = Matches(text, R"re(name="Local" value="([^"]+)")re");
        EXPECT_FALSE(targets.empty()) << file;
        for (const std::string& target : targets) {
            ExpectTargetExists(target, file);
            if (std::string(file) == "contents") listed.insert(target.substr(0, target.find('#')));
        }
    }
    EXPECT_EQ(listed, SourcePages());
    // The project starts at the start page and lists every page.
    const std::string project = ReadWholeFile(Source / ManualAddress::HelpBookFile);
    EXPECT_NE(project.find(std::string("Default topic=") + ManualAddress::StartPage), std::string::npos);
    for (const char* key : {"Contents file=zelvo-tuner.hhc", "Index file=zelvo-tuner.hhk", "Title="})
        EXPECT_NE(project.find(key), std::string::npos) << key;
    const auto files = project.substr(project.find("[FILES]"));
    for (const std::string& page : SourcePages())
        EXPECT_NE(files.find(page + "\n"), std::string::npos) << page;
}

TEST(ManualBook, EveryPageHasATitleAndItsLinksAndPicturesLeadSomewhere) {
    for (const std::string& page : SourcePages()) {
        SCOPED_TRACE(page);
        const std::string text = ReadWholeFile(Source / page);
        const auto titles = Matches(text, "<title>([^<]+)</title>");
        ASSERT_EQ(titles.size(), 1u);
        for (const std::string& target : Matches(text, R"re(href="([^"]+)")re")) {
            if (target.find(':') != std::string::npos) continue;  // an outside address
            ExpectTargetExists(target, page);                     // style sheets too
        }
        // The pictures are taken by the build.
        for (const std::string& picture : Matches(text, R"re(<img src="([^"]+)")re"))
            EXPECT_TRUE(fs::is_regular_file(Built / picture)) << picture;
    }
}

TEST(ManualBook, TheBuildHoldsTheWholeBook) {
    for (const auto& entry : fs::directory_iterator(Source)) {
        const std::string name = entry.path().filename().string();
        if (name == "CMakeLists.txt") continue;
        EXPECT_EQ(ReadWholeFile(Built / name), ReadWholeFile(entry.path())) << name;
    }
}
