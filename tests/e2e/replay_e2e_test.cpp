#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/gzip.h"
#include "e2e_support.h"
#include "test_support.h"

namespace qs {
namespace {

namespace fs = std::filesystem;
using namespace qs::test;

fs::path goldenFolder() { return fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/replays"; }

// `quibblestar --replay FILE --headless ...`, its stderr folded into the output.
RunResult replay(const std::string& file, const std::string& more = "") {
    return runCommand(game() + " --data " + dataDir() + " --replay '" + file + "' --headless " + more + " 2>&1");
}

// The replays a run left in its user folder, oldest first.
std::vector<fs::path> replaysIn(const fs::path& user) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(user / "replays", ec)) out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

// The golden replays guard the rules: every game kept in tests/replays/ plays again to the
// result and hashes it was recorded with. When a change to the rules is meant,
// scripts/record-replays records them again and the diff shows what moved.
TEST(GoldenReplays, EachPlaysAgainToItsResultAndHashes) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(goldenFolder()))
        if (entry.path().extension() == ".qsr") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 4u) << "the golden replays are missing from " << goldenFolder();
    for (const fs::path& file : files) {
        // --force: a new release number alone does not make a game play otherwise.
        const RunResult run = replay(file.string(), "--force");
        EXPECT_EQ(run.exitCode, 0) << file.filename() << ": " << run.output;
        EXPECT_NE(run.output.find("\"agree\":true"), std::string::npos) << file.filename() << ": " << run.output;
        EXPECT_NE(run.output.find("\"divergence_step\":null"), std::string::npos) << run.output;
        EXPECT_EQ(jsonValue(run.output, "reached"), jsonValue(run.output, "stored")) << file.filename();
    }
}

TEST(ReplayCheck, AChangedReplayIsCaughtAndABadOneRefused) {
    TempDir dir;
    const std::string text = readFile(goldenFolder() / "arcade-bot.qsr");
    ASSERT_FALSE(text.empty());

    // A shot the player never fired: the games part, and the check says where.
    std::string changed = text;
    const size_t fire = changed.find(" fire\n", changed.size() / 2);
    ASSERT_NE(fire, std::string::npos);
    changed.replace(fire, 6, " swap\n");
    const RunResult parted = replay(dir.write("changed.qsr", changed).string(), "--force");
    EXPECT_EQ(parted.exitCode, 1) << parted.output;
    EXPECT_NE(parted.output.find("\"agree\":false"), std::string::npos) << parted.output;
    EXPECT_EQ(parted.output.find("\"divergence_step\":null"), std::string::npos) << parted.output;

    // Damaged, cut short, not a replay at all: refused with the place, exit 2.
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const std::string packed = gzipText(text);
    const Case cases[] = {
        {"cut.qsr", text.substr(0, text.size() / 2), "cut.qsr: line "},
        {"picture.qsr", "\x89PNG\r\n", "picture.qsr: line 1: not a quibblestar replay"},
        {"cut-packed.qsr", packed.substr(0, packed.size() - 9), "cut-packed.qsr: byte "},
        {"missing.qsr", "", "missing.qsr: cannot be read"},
    };
    for (const Case& c : cases) {
        const fs::path path = c.bytes.empty() ? dir / c.name : dir.write(c.name, c.bytes);
        const RunResult run = replay(path.string());
        EXPECT_EQ(run.exitCode, 2) << c.name << ": " << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.name << ": " << run.output;
    }

    // Another game version plays only when forced, and says so.
    std::string other = text;
    const size_t version = other.find("game-version ");
    other.replace(version, other.find('\n', version) - version, "game-version 0.0.1");
    const fs::path otherFile = dir.write("other.qsr", other);
    const RunResult refused = replay(otherFile.string());
    EXPECT_EQ(refused.exitCode, 2) << refused.output;
    EXPECT_NE(refused.output.find("recorded by game version 0.0.1"), std::string::npos) << refused.output;
    EXPECT_NE(refused.output.find("--force"), std::string::npos) << refused.output;
    const RunResult forced = replay(otherFile.string(), "--force");
    EXPECT_EQ(forced.exitCode, 0) << forced.output;
    EXPECT_NE(forced.output.find("\"forced\":true"), std::string::npos) << forced.output;
}

// A game played in a window (the real clock, frames paced by the display, several steps
// sharing a time) replays headless to the very same hash.
TEST(ReplayCheck, AGameRecordedInAWindowReplaysHeadless) {
    TempDir dir;
    const bool xvfb = runCommand("command -v xvfb-run >/dev/null 2>&1").exitCode == 0;
    const std::string window = xvfb ? "xvfb-run -a env SDL_VIDEODRIVER=x11 " : "";
    const RunResult run = runCommand(window + game() + " --data " + dataDir() + " --user-dir " +
                                     (dir / "user").string() + " --start-game arcade --bot --until 6000 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::vector<fs::path> kept = replaysIn(dir / "user");
    ASSERT_EQ(kept.size(), 1u);
    const RunResult check = replay(kept[0].string());
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_NE(check.output.find("\"agree\":true"), std::string::npos) << check.output;
    EXPECT_GT(jsonNumber(jsonValue(check.output, "reached"), "steps").value_or(0), 100) << check.output;
}

TEST(ReplayCheck, VerifyRecordsReportsEveryRow) {
    TempDir dir;
    const fs::path user = dir / "user";
    // A game lost at once: its score is a record of Player's.
    const RunResult run = runCommand(game() + " --headless --seed 3 --data " + dataDir() + " --user-dir " +
                                     user.string() + " --start-game challenge --until 20000");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(replaysIn(user).size(), 1u);
    const RunResult check = replay(replaysIn(user)[0].string());
    ASSERT_EQ(check.exitCode, 0) << check.output;
    const std::string score = std::to_string(jsonNumber(jsonValue(check.output, "stored"), "score").value_or(-1));
    dir.write("user/records.txt", "2, 1, Player, 1, " + score + "\r\n2, 2, Someone, 4, 999999\r\n");
    const RunResult verify =
        runCommand(game() + " --data " + dataDir() + " --user-dir " + user.string() + " --verify-records");
    EXPECT_EQ(verify.exitCode, 1) << verify.output;
    EXPECT_NE(verify.output.find("\"name\":\"Player\",\"level\":\"1\",\"score\":\"" + score + "\",\"replay\":"),
              std::string::npos)
        << verify.output;
    EXPECT_NE(verify.output.find("\"verdict\":\"agrees\""), std::string::npos) << verify.output;
    EXPECT_NE(verify.output.find("\"name\":\"Someone\",\"level\":\"4\",\"score\":\"999999\",\"verdict\":\"missing\""),
              std::string::npos)
        << verify.output;
}

}  // namespace
}  // namespace qs
