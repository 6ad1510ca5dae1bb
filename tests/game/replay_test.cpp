#include "game/replay.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/file_system.h"
#include "core/gzip.h"
#include "core/log.h"
#include "core/options.h"
#include "core/random.h"
#include "game/bot.h"
#include "game/combo_table.h"
#include "game/game_session.h"
#include "game/replay_folder.h"
#include "game/replay_player.h"
#include "game/replay_recorder.h"
#include "profile/records_file.h"
#include "test_support.h"

namespace qs {
namespace {

// The shipped content: the replays are checked against the levels a player has.
FileSystem shippedContent() { return FileSystem(std::string(QUIBBLESTAR_SOURCE_DIR) + "/data", {}); }

// A bot game of `steps` steps recorded as the game scene records it. The clock moves as a
// window's does: several steps in one frame share a time, then it jumps by a frame or more.
struct RecordedGame {
    // With `pointer` a player's pointer moves every step (and the bot's aim gives way to it).
    RecordedGame(GameMode mode, uint32_t seed, int steps, int begLevel = 0, bool pointer = false)
        : files(shippedContent()), options(defaultOptions()), combos(readComboTable(files, log)), random(seed) {
        options.beg_level = begLevel;
        session = std::make_unique<GameSession>(options, combos, random, files, log, progress);
        session->beginGame(mode, 1000);
        ReplayHeader header;
        header.gameVersion = "test";
        header.seed = seed;
        header.mode = mode;
        header.begLevel = begLevel;
        header.player = "Tester";
        header.options = playOptions(options);
        header.contentFingerprint = contentFingerprint(files, mode, header.options);
        recorder.begin(header, *session);
        const uint32_t deltas[] = {17, 0, 16, 17, 0, 33, 16, 0};
        uint32_t now = 1000;
        Bot bot;
        for (int i = 0; i < steps; ++i) {
            now += deltas[i % 8];
            // The statistics and the try-again screen are clicked on at once.
            std::vector<GameCommand> commands = bot.play(*session);
            if (session->state() == kGameStatistics) commands.push_back(command::NextLevel{});
            if (session->state() == kGameTryAgain) commands.push_back(command::TryAgain{});
            if (pointer) commands.push_back(command::Pointer{300 + i % 200, 200 + i % 7});
            session->step(now, commands);
            recorder.recordStep(now, commands, *session);
        }
        recorder.finish(*session);
    }

    Log log;
    FileSystem files;
    GameOptions options;
    std::vector<ComboText> combos;
    Random random;
    MemoryProgressStore progress;
    std::unique_ptr<GameSession> session;
    ReplayRecorder recorder;
};

ReplayCheck check(const Replay& replay) {
    Log log;
    return checkReplay(replay, shippedContent(), log, defaultOptions());
}

TEST(ReplayRecording, PlaysBackToTheSameHashesInEveryMode) {
    struct Case {
        GameMode mode;
        uint32_t seed;
        int begLevel;
    };
    const Case cases[] = {{kModeArcade, 11, 0}, {kModeChallenge, 12, 3}, {kModePuzzle, 13, 2}};
    for (const Case& c : cases) {
        RecordedGame game(c.mode, c.seed, 2400, c.begLevel);
        const Replay& replay = game.recorder.replay();
        ASSERT_EQ(replay.stepCount(), 2400u) << gameModeName(c.mode);
        EXPECT_EQ(replay.hashes.size(), 24u);
        EXPECT_GT(game.session->shotCount(), 3) << "the bot played: " << gameModeName(c.mode);
        EXPECT_EQ(game.session->state(), kGamePlaying) << gameModeName(c.mode);
        const ReplayCheck result = check(replay);
        EXPECT_TRUE(result.agree) << gameModeName(c.mode);
        EXPECT_FALSE(result.divergence.has_value()) << gameModeName(c.mode);
        EXPECT_EQ(result.reached, replay.result) << gameModeName(c.mode);
        EXPECT_EQ(result.reached.hash, sessionStateHash(*game.session));
        // The file's text plays the same as the replay in memory.
        std::string error;
        const std::optional<Replay> read = parseReplay(packReplay(replay), &error);
        ASSERT_TRUE(read) << error;
        EXPECT_TRUE(check(*read).agree) << gameModeName(c.mode);
    }
}

TEST(ReplayRecording, KeepsOnlyThePointerMovesTheSessionTook) {
    RecordedGame game(kModeArcade, 21, 600, 0, true);
    size_t pointers = 0;
    for (const ReplayCommand& c : game.recorder.replay().commands)
        pointers += std::holds_alternative<command::Pointer>(c.command);
    // One was handed every step; the bot's aim and the ball's flights leave most unused.
    EXPECT_GT(pointers, 0u);
    EXPECT_LT(pointers, 600u);
}

TEST(ReplayRecording, AChangedInputShowsWhereTheGamesPart) {
    RecordedGame game(kModeArcade, 31, 3000);
    const Replay& recorded = game.recorder.replay();
    struct Case {
        const char* what;
        std::function<void(Replay&)> change;
    };
    const Case cases[] = {
        {"another seed", [](Replay& r) { r.header.seed += 1; }},
        {"the shots of the second half left out",
         [](Replay& r) {
             const uint64_t half = r.stepCount() / 2;
             std::vector<ReplayCommand> kept;
             for (const ReplayCommand& c : r.commands)
                 if (c.step < half || !std::holds_alternative<command::Fire>(c.command)) kept.push_back(c);
             r.commands = kept;
         }},
        {"a slower clock", [](Replay& r) { r.clock[r.clock.size() / 2].delta += 400; }},
        {"a faster ball",
         [](Replay& r) {
             for (ReplayOption& option : r.header.options)
                 if (option.key == "ball_step") option.value *= 2;
         }},
    };
    for (const Case& c : cases) {
        Replay changed = recorded;
        c.change(changed);
        const ReplayCheck result = check(changed);
        EXPECT_FALSE(result.agree) << c.what;
        ASSERT_TRUE(result.divergence.has_value()) << c.what;
        EXPECT_LE(*result.divergence, recorded.stepCount()) << c.what;
    }
    // Another seed parts at the first hash after the field was drawn: the level starts once
    // the cannon is up, about 95 steps in.
    Replay reseeded = recorded;
    reseeded.header.seed += 1;
    EXPECT_EQ(check(reseeded).divergence, std::optional<uint64_t>(2 * kReplayHashInterval));
}

TEST(ReplayRecording, ContentOrVersionOtherThanTheGamesIsNamed) {
    RecordedGame game(kModePuzzle, 5, 10);
    const FileSystem files = shippedContent();
    EXPECT_EQ(replayMismatch(game.recorder.replay(), files, "test"), "");
    EXPECT_NE(replayMismatch(game.recorder.replay(), files, "9.9.9").find("version test"), std::string::npos);
    Replay other = game.recorder.replay();
    other.header.contentFingerprint ^= 1;
    EXPECT_NE(replayMismatch(other, files, "test").find("other content"), std::string::npos);
    test::TempDir dir;
    dir.write("levels/puzzle-01.ini", "x");
    EXPECT_NE(contentFingerprint(FileSystem(dir.path(), {}), kModePuzzle, {}),
              contentFingerprint(files, kModePuzzle, {}));
}

// A small replay with every kind of line: its text is the fixture the bad inputs are made of.
Replay smallReplay() {
    Replay r;
    r.header.gameVersion = "1.0.0";
    r.header.contentFingerprint = 0x0123456789abcdefull;
    r.header.seed = 42;
    r.header.mode = kModeChallenge;
    r.header.start = SavedProgress{5, 1200, 900, 1};
    r.header.player = "Ann Lee";
    r.header.beginClock = 500;
    r.header.options = {{"ball_step", 8}, {"bonus_probability", -3}};
    r.clock = {{17, 2}, {0, 1}, {16, 3}};
    r.commands = {{0, command::Pointer{400, 300}},
                  {1, command::AimAngle{0.1 + 0.2}},
                  {1, command::Fire{}},
                  {4, command::Pointer{390, 310}},
                  {5, command::NextLevel{}}};
    r.hashes = {{3, 0xfedcba9876543210ull}};
    r.result = ReplayResult{kModeChallenge, 6, 1300, 0x00000000000000ffull, 6};
    return r;
}

TEST(ReplayFile, WritesAndReadsBackEveryLine) {
    const Replay r = smallReplay();
    const std::string text = replayText(r);
    // Each command's step counts from the line before; a pointer moves from the last one.
    EXPECT_NE(text.find("commands\n0 pointer 400 300\n1 aim_angle 0x1.3333333333334p-2\n0 fire\n3 move -10 10\n"
                        "1 next_level\nhashes\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.substr(0, text.find("clock\n")),
              "quibblestar-replay 1\ngame-version 1.0.0\ncontent 0123456789abcdef\nseed 42\nmode challenge\n"
              "beg-level 0\nstart 5 1200 900 1\nplayer Ann Lee\nbegin-clock 500\noption ball_step 8\n"
              "option bonus_probability -3\n");
    for (const std::string& bytes : {text, packReplay(r)}) {
        std::string error;
        const std::optional<Replay> read = parseReplay(bytes, &error);
        ASSERT_TRUE(read) << error;
        EXPECT_EQ(replayText(*read), text);
        EXPECT_EQ(read->header.player, "Ann Lee");
        EXPECT_EQ(read->header.options, r.header.options);
        EXPECT_EQ(read->clock, r.clock);
        EXPECT_EQ(read->hashes, r.hashes);
        EXPECT_EQ(read->result, r.result);
        ASSERT_EQ(read->commands.size(), r.commands.size());
        // The aim comes back to the very bit.
        EXPECT_EQ(std::get<command::AimAngle>(read->commands[1].command).radians, 0.1 + 0.2);
        for (size_t i = 0; i < r.commands.size(); ++i)
            EXPECT_EQ(describe(read->commands[i].command), describe(r.commands[i].command));
    }
}

TEST(ReplayFile, EveryCommandOfTheGameHasALine) {
    for (size_t i = 0; i < std::variant_size_v<GameCommand>; ++i) {
        const std::vector<GameCommand> samples = {
            command::Pointer{-5, 610}, command::AimAngle{-1.25},  command::Fire{},
            command::Swap{},           command::FireRocket{},     command::Hurry{},
            command::Escape{},         command::OpenExitDialog{}, command::CloseExitDialog{},
            command::LeaveForMenu{},   command::ShowRecords{},    command::ShowTryAgain{},
            command::TryAgain{},       command::NextLevel{},      command::ScorePieceArrived{}};
        ASSERT_EQ(samples.size(), std::variant_size_v<GameCommand>) << "a new command needs a sample here";
        const std::optional<GameCommand> read = parseReplayCommand(replayCommandText(samples[i]));
        ASSERT_TRUE(read) << replayCommandText(samples[i]);
        EXPECT_EQ(read->index(), i);
        EXPECT_EQ(replayCommandText(*read), replayCommandText(samples[i]));
    }
    for (const char* bad : {"", "jump", "fire now", "pointer 1", "pointer x 2", "aim_angle", "aim_angle 12",
                            "aim_angle nan", "aim_angle 0.5x"})
        EXPECT_FALSE(parseReplayCommand(bad)) << bad;
}

// The text with line `line` (1-based) replaced, or cut off after `keep` bytes.
std::string withLine(const std::string& text, int line, const std::string& replacement) {
    size_t start = 0;
    for (int i = 1; i < line; ++i) start = text.find('\n', start) + 1;
    const size_t end = text.find('\n', start);
    return text.substr(0, start) + replacement + text.substr(end);
}

TEST(ReplayFile, RefusesBadInputNamingThePlace) {
    const std::string good = replayText(smallReplay());
    // Lines of the good text: 1 magic ... 9 begin-clock, 10-11 options, 12 "clock", 13 runs,
    // 14 "commands", 15-19 commands, 20 "hashes", 21 hash, 22 result, 23 "end".
    struct Case {
        std::string bytes;
        const char* error;
    };
    const Case cases[] = {
        {"", "line 1: the file is empty"},
        {"GIF89a", "line 1: not a quibblestar replay"},
        {withLine(good, 1, "quibblestar-replay 2"), "line 1: format version 2 (this game reads version 1)"},
        {withLine(good, 4, "seed -1"), "line 4: the seed is not a number"},
        {withLine(good, 5, "mode tennis"), "line 5: the mode \"tennis\" is none of"},
        {withLine(good, 7, "start 5 1200 900"), "line 7: \"start\" takes 4 value(s), found 3"},
        {withLine(good, 10, "option ball_step eight"), "line 10: the option ball_step has no whole number"},
        {withLine(good, 13, "17*2 0*0"), "line 13: the clock run \"0*0\" is not DELTA*COUNT"},
        {withLine(good, 15, "9 pointer 400 300"), "line 15: step 9 is past the last step (6 steps"},
        {withLine(good, 17, "5 fire"), "line 17: step 6 is past the last step"},
        {withLine(good, 18, "3 dance"), "line 18: \"dance\" is no command of the game"},
        {withLine(good, 15, "0 move 1 1"), "line 15: a pointer move with no pointer position before it"},
        {withLine(good, 18, "3 move 1"), "line 18: a pointer move is \"move DX DY\""},
        {withLine(good, 21, "3 fedcba98765432"), "line 21: a hash line is"},
        {withLine(good, 22, "result challenge 6 1300 00000000000000ff 7"),
         "line 22: the result is after step 7 but the clock runs hold 6"},
        {good + "more\n", "line 24: text after \"end\""},
        {good.substr(0, good.find("commands")), "line 14: the file ends in the clock runs (cut short?)"},
        {good.substr(0, good.find("end\n")), "line 23: \"end\" expected after the result (cut short?)"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parseReplay(c.bytes, &error)) << c.error;
        EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error) << error;
    }
    // The packed file: a damaged or cut stream is named by its byte.
    const std::string packed = packReplay(smallReplay());
    std::string damaged = packed;
    damaged[20] = static_cast<char>(damaged[20] ^ 0x55);
    for (const std::string& bytes : {damaged, packed.substr(0, packed.size() / 2), packed + "xyz"}) {
        std::string error;
        EXPECT_FALSE(parseReplay(bytes, &error));
        EXPECT_EQ(error.substr(0, 5), "byte ") << error;
    }
    // A packed text that would not fit in memory is stopped while it unpacks.
    std::string error;
    EXPECT_FALSE(gunzipText(gzipText(std::string(5000, 'a')), 4096, &error));
    EXPECT_NE(error.find("unpacks to more than 4096 bytes"), std::string::npos) << error;
}

TEST(ReplayFolder, KeepsTheNewestGamesAndEveryRecordsReplay) {
    test::TempDir dir;
    const std::filesystem::path folder = dir / "replays";
    // 55 games a minute apart, each with a score of its own; game 3 holds a record of Ann's.
    for (int i = 0; i < 55; ++i) {
        Replay r = smallReplay();
        r.result.score = 1000 + i;
        r.header.player = "Ann";
        dir.write("replays/" + replayFileName(static_cast<std::time_t>(1800000000 + 60 * i), kModeChallenge, 1),
                  packReplay(r));
    }
    dir.write("replays/notes.txt", "not a replay");
    const std::vector<RecordsLine> records = parseRecords("2, 1, Ann, 6, 1003\r\n2, 2, Bob, 6, 1004\r\n").lines;
    Log log;
    const std::vector<std::filesystem::path> removed = pruneReplays(folder, kReplaysKept, records, log);
    EXPECT_EQ(removed.size(), 4u);
    EXPECT_EQ(replayFiles(folder).size(), 51u);
    EXPECT_TRUE(std::filesystem::exists(folder / "notes.txt"));
    // Game 3 stays for its record (Bob's row is not his game); games 0 to 2 and 4 went.
    const std::optional<std::filesystem::path> found = findRecordReplay(folder, kModeChallenge, "Ann", "1003");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->filename().string(), replayFileName(1800000000 + 180, kModeChallenge, 1));
    EXPECT_FALSE(findRecordReplay(folder, kModeChallenge, "Bob", "1004"));
    EXPECT_FALSE(findRecordReplay(folder, kModeArcade, "Ann", "1003"));
    // Nothing more to prune: a second pass removes nothing.
    EXPECT_TRUE(pruneReplays(folder, kReplaysKept, records, log).empty());
}

TEST(ReplayFolder, AReplayFileThatCannotBeReadSaysWhich) {
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(readReplayFile(dir / "none.qsr", &error));
    EXPECT_NE(error.find("none.qsr: cannot be read"), std::string::npos) << error;
    dir.write("bad.qsr", "quibblestar-replay 1\ngame-version\n");
    EXPECT_FALSE(readReplayFile(dir / "bad.qsr", &error));
    EXPECT_NE(error.find("bad.qsr: line 2: \"game-version\" takes 1 value(s), found 0"), std::string::npos) << error;
}

}  // namespace
}  // namespace qs
