#include "app/command_line.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qs {
namespace {

struct Case {
    std::vector<std::string> args;
    bool ok;
    std::string error;  // a part of the message when refused
};

// Each line is taken or refused as its case says, refusals with their message.
template <size_t N>
void expectParsing(const Case (&cases)[N]) {
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
}

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
    expectParsing(cases);
    std::string error;
    std::optional<CommandLine> line = parseCommandLine({"--solve", "puzzle", "12", "--seed", "3", "--nodes", "500"}, &error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->solveLevel, 12);
    EXPECT_EQ(line->seed, 3u);
    EXPECT_EQ(line->solveBudget, 500u);
    EXPECT_FALSE(line->simulateMode);
}

TEST(CommandLine, RefusesWhatARunWouldIgnore) {
    const Case cases[] = {
        {{"--start-game", "arcade", "--bot", "--level", "3"}, true, ""},
        {{"--bot"}, false, "--bot goes with --start-game"},
        {{"--headless", "--bot", "--until", "100"}, false, "--bot goes with --start-game"},
        {{"--simulate", "arcade", "1", "--start-game", "puzzle"}, false, "--start-game is for a run of the game"},
        {{"--simulate", "arcade", "1", "--headless"}, false, "--headless is for a run of the game"},
        {{"--bot", "--simulate", "arcade", "1", "--start-game", "arcade"}, false, "--bot is for a run of the game"},
        {{"--solve", "puzzle", "1", "--until", "5"}, false, "--solve does not take it"},
        {{"--simulate", "arcade", "1", "--seed", "4294967295", "--data", "d"}, true, ""},
    };
    expectParsing(cases);
}

TEST(CommandLine, ReplaysAreCheckedHeadlessAloneAndForcedOnlyWhenAsked) {
    const Case cases[] = {
        {{"--replay", "game.qsr", "--headless"}, true, ""},
        {{"--headless", "--replay", "game.qsr", "--force", "--data", "d"}, true, ""},
        {{"--verify-records", "--user-dir", "u", "--force"}, true, ""},
        {{"--replay"}, false, "--replay needs a replay file"},
        {{"--replay", "game.qsr"}, false, "add --headless"},
        {{"--replay", "game.qsr", "--headless", "--start-game", "arcade"}, false, "takes no other game"},
        {{"--replay", "game.qsr", "--headless", "--verify-records"}, false, "takes no other game"},
        {{"--force"}, false, "--force goes with --replay or --verify-records"},
        {{"--verify-records", "--start-game", "puzzle"}, false, "takes no game"},
    };
    expectParsing(cases);
    std::string error;
    std::optional<CommandLine> line = parseCommandLine({"--replay", "a b.qsr", "--headless", "--force"}, &error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->replayFile, "a b.qsr");
    EXPECT_TRUE(line->force);
    EXPECT_FALSE(line->verifyRecords);
}

TEST(CommandLine, TheSeedTakesEveryUnsigned32BitValue) {
    struct SeedCase {
        const char* text;
        std::optional<uint32_t> seed;
    };
    const SeedCase cases[] = {
        {"0", 0u}, {"2147483647", 2147483647u}, {"2147483648", 2147483648u}, {"4294967295", 4294967295u},
        {"4294967296", std::nullopt}, {"-1", std::nullopt}, {"12x", std::nullopt}, {"", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const SeedCase& c : cases) {
        std::string error;
        std::optional<CommandLine> line = parseCommandLine({"--seed", c.text}, &error);
        EXPECT_EQ(line.has_value(), c.seed.has_value()) << c.text;
        if (line && c.seed) {
            EXPECT_EQ(line->seed, c.seed) << c.text;
        }
    }
}

}  // namespace
}  // namespace qs
