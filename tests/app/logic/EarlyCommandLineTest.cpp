#include <gtest/gtest.h>

#include "app/logic/EarlyCommandLine.h"

TEST(EarlyCommandLine, AnswersOnlyAVersionRequestBeforeAnyFileName) {
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{}, false},
        {{"--version"}, true},
        {{"--sync", "--version"}, true},
        {{"--", "--version"}, false},  // a file called "--version"
        {{"-version"}, false},
        {{"--versions"}, false},
    };
    for (const auto& [args, answers] : cases) {
        const std::optional<std::string> reply = EarlyCommandLineReply(args, "3.1.4");
        EXPECT_EQ(reply.has_value(), answers) << ::testing::PrintToString(args);
        if (reply) {
            EXPECT_EQ(*reply, "zelvo-tuner 3.1.4\n");
        }
    }
}
