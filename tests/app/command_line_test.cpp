#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace qs {
namespace {

struct Case {
    std::vector<std::string> args;
    bool ok;
    std::string error;  // a part of the message when refused
};

TEST(CommandLine, SolveTakesAPuzzleLevelAndAnOptionalBudget) {
    const Case cases[] = {
        {{"--solve", "puzzle", "7"}, true, ""},
        {{"--solve", "puzzle", "12", "--seed", "3", "--nodes", "500", "--data", "d"}, true, ""},
        {{"--solve", "arcade", "1"}, false, "only puzzle"},
        {{"--solve", "challenge", "1"}, false, "only puzzle"},
        {{"--solve", "puzzle", "0"}, false, "level number from 1"},
        {{"--solve", "puzzle", "two"}, false, "level number from 1"},
        {{"--solve", "puzzle"}, false, "needs the mode puzzle and a level"},
        {{"--solve", "puzzle", "1", "--nodes", "0"}, false, "--nodes needs"},
        {{"--solve", "puzzle", "1", "--nodes"}, false, "--nodes needs"},
        {{"--nodes", "100"}, false, "--nodes goes with --solve"},
        {{"--solve", "puzzle", "1", "--simulate", "puzzle", "1"}, false, "cannot go together"},
    };
    for (const Case& c : cases) {
        std::string error;
        std::optional<CommandLine> line = parseCommandLine(c.args, &error);
        std::string joined;
        for (const std::string& a : c.args) joined += a + " ";
        EXPECT_EQ(line.has_value(), c.ok) << joined << error;
        if (!c.ok) {
            EXPECT_NE(error.find(c.error), std::string::npos) << joined << ": " << error;
        }
    }
    std::string error;
    std::optional<CommandLine> line = parseCommandLine({"--solve", "puzzle", "12", "--seed", "3", "--nodes", "500"}, &error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->solveLevel, 12);
    EXPECT_EQ(line->seed, 3u);
    EXPECT_EQ(line->solveBudget, 500u);
    EXPECT_FALSE(line->simulateMode);
}

}  // namespace
}  // namespace qs
