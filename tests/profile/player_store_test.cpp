#include "profile/player_store.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_system.h"
#include "core/log.h"
#include "profile/players_file.h"
#include "test_support.h"

namespace qs {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A user folder, a store over it, and everything the store says: log errors, messages to
// the player and the options it stores.
struct Profiles {
    explicit Profiles(int playerIndex = 0)
        : store(files, log,
                [this](const std::string& key, const std::string& value) {
                    if (failOptions) return false;
                    optionWrites.push_back(key + "=" + value);
                    return true;
                },
                [this](const std::string& text) { notices.push_back(text); }, playerIndex) {
        fs::create_directories(dir / "user");
        log.setErrorSink([this](const std::string& message) { errors.push_back(message); });
    }

    fs::path file() const { return files.userPath("players.txt"); }
    fs::path bad() const { return files.userPath("players.txt.bad"); }
    void writeFile(const std::string& text) const { dir.write("user/players.txt", text); }
    std::string fileText() const { return test::readFile(file()); }
    // Makes the next atomic save of the players file fail, even for root: its temporary
    // file cannot be created where a folder stands.
    void blockSaving() const { fs::create_directories(dir / "user" / "players.txt.tmp"); }

    std::string names() const {
        std::string out;
        for (const PlayerRecord& record : store.players()) out += (out.empty() ? "" : " ") + record.name;
        return out;
    }
    bool logged(const std::string& part) const {
        for (const std::string& e : errors)
            if (e.find(part) != std::string::npos) return true;
        return false;
    }

    test::TempDir dir;
    FileSystem files{dir / "data", dir / "user"};
    Log log;
    std::vector<std::string> errors;
    std::vector<std::string> notices;
    std::vector<std::string> optionWrites;
    bool failOptions = false;
    PlayerStore store;
};

const char* kFourPlayers = "Anna\r\nBert\r\nCleo\r\nDora\r\n";

TEST(PlayerStore, AMissingFileMeansAFirstPlayerIsNeeded) {
    Profiles p(3);
    EXPECT_EQ(p.store.ReadPlayers(), 0);
    EXPECT_TRUE(p.store.empty());
    EXPECT_EQ(p.store.current(), nullptr);
    EXPECT_TRUE(p.optionWrites.empty());  // no list, nothing to reset the index against

    ASSERT_TRUE(p.store.addFirstPlayer("Anna"));
    EXPECT_EQ(p.fileText(), "Anna, 0, 0, 0, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n");
    EXPECT_EQ(p.store.currentPlayer(), 0);
    EXPECT_EQ(p.optionWrites, std::vector<std::string>{"player_index=0"});
    ASSERT_NE(p.store.current(), nullptr);
    EXPECT_EQ(p.store.current()->name, "Anna");

    EXPECT_EQ(p.store.ReadPlayers(), 1);
    EXPECT_EQ(p.store.players(), PlayerList{newPlayerRecord("Anna")});
    EXPECT_TRUE(p.errors.empty());
}

TEST(PlayerStore, ProgressIsSavedForTheCurrentPlayerAndMode) {
    Profiles p(1);
    p.writeFile(kFourPlayers);
    p.store.ReadPlayers();
    ASSERT_TRUE(p.store.saveProgress(2, 12, 3400, 2000, 0));
    ASSERT_TRUE(p.store.setShowMessage(3, false));

    Profiles again(1);
    again.writeFile(p.fileText());
    again.store.ReadPlayers();
    PlayerRecord bert = newPlayerRecord("Bert");
    for (ModeProgress& mode : bert.modes) mode.gameState = 1;  // the file said nothing
    bert.modes[1] = {12, 1, 3400, 0, 2000};
    bert.modes[2].showMessage = 0;
    ASSERT_NE(again.store.current(), nullptr);
    EXPECT_EQ(*again.store.current(), bert);
    EXPECT_EQ(again.store.players()[0].modes[1].levelReached, -1);
}

TEST(PlayerStore, ReReadingPutsAStrayIndexBackOnTheFirstPlayer) {
    struct Case {
        const char* file;
        int stored;
        int current;
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {kFourPlayers, 4, 0, {"player_index=0"}},
        {kFourPlayers, -1, 0, {"player_index=0"}},
        {kFourPlayers, 3, 3, {}},
        {"\r\n", 2, 2, {}},  // an empty list waits for a first player instead
    };
    for (const Case& c : cases) {
        Profiles p(c.stored);
        p.writeFile(c.file);
        p.store.ReadPlayers();
        EXPECT_EQ(p.store.currentPlayer(), c.current) << c.stored;
        EXPECT_EQ(p.optionWrites, c.writes) << c.stored;
    }

    // The list is indexed with it at once, whether or not options.txt takes it.
    Profiles p(9);
    p.failOptions = true;
    p.writeFile(kFourPlayers);
    p.store.ReadPlayers();
    EXPECT_EQ(p.store.currentPlayer(), 0);
    EXPECT_TRUE(p.logged("player_index"));
}

TEST(PlayerStore, RemovingAPlayerKeepsTheCurrentPersonOrTakesTheNewSelection) {
    struct Case {
        int current;
        int removed;
        const char* names;
        int expectedCurrent;
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {2, 0, "Bert Cleo Dora", 1, {"player_index=1"}},  // Cleo stays current
        {2, 2, "Anna Bert Dora", 2, {}},                  // Dora moved into the place
        {3, 3, "Anna Bert Cleo", 2, {"player_index=2"}},  // the last one goes: the new last
        {1, 3, "Anna Bert Cleo", 1, {}},
    };
    for (const Case& c : cases) {
        Profiles p(c.current);
        p.writeFile(kFourPlayers);
        p.store.ReadPlayers();
        ASSERT_TRUE(p.store.removePlayer(c.removed));
        EXPECT_EQ(p.names(), c.names) << c.current << " " << c.removed;
        EXPECT_EQ(p.store.currentPlayer(), c.expectedCurrent) << c.current << " " << c.removed;
        EXPECT_EQ(p.optionWrites, c.writes) << c.current << " " << c.removed;
        EXPECT_EQ(p.store.ReadPlayers(), 3);
        EXPECT_EQ(p.names(), c.names);
    }

    Profiles p;
    p.writeFile("Anna\r\n");
    p.store.ReadPlayers();
    ASSERT_TRUE(p.store.removePlayer(0));
    EXPECT_TRUE(p.store.empty());
    EXPECT_EQ(p.fileText(), "");
    EXPECT_EQ(p.store.ReadPlayers(), 0);
}

TEST(PlayerStore, AFailedSaveLeavesMemoryFileAndIndexAsTheyWere) {
    struct Case {
        const char* what;
        std::function<bool(PlayerStore&)> change;
    };
    const Case cases[] = {
        {"add", [](PlayerStore& s) { return s.addPlayer("Emil"); }},
        {"add first", [](PlayerStore& s) { return s.addFirstPlayer("Emil"); }},
        {"rename", [](PlayerStore& s) { return s.renamePlayer(3, "Emil"); }},
        {"remove before the current", [](PlayerStore& s) { return s.removePlayer(0); }},
        {"remove the current", [](PlayerStore& s) { return s.removePlayer(2); }},
        {"save progress", [](PlayerStore& s) { return s.saveProgress(1, 7, 10, 5, 1); }},
        {"message flag", [](PlayerStore& s) { return s.setShowMessage(2, false); }},
    };
    for (const Case& c : cases) {
        Profiles p(2);
        p.writeFile(kFourPlayers);
        p.store.ReadPlayers();
        const PlayerList before = p.store.players();
        p.blockSaving();

        EXPECT_FALSE(c.change(p.store)) << c.what;
        EXPECT_EQ(p.store.players(), before) << c.what;
        EXPECT_EQ(p.store.currentPlayer(), 2) << c.what;
        EXPECT_EQ(p.fileText(), kFourPlayers) << c.what;
        // An index stored ahead of the list is put back.
        if (!p.optionWrites.empty()) {
            EXPECT_EQ(p.optionWrites.back(), "player_index=2") << c.what;
        }
        EXPECT_TRUE(p.logged(p.file().string())) << c.what;
    }
}

TEST(PlayerStore, AnIndexOptionsTxtRefusesChangesNothing) {
    Profiles p(2);
    p.writeFile(kFourPlayers);
    p.store.ReadPlayers();
    p.failOptions = true;
    EXPECT_FALSE(p.store.selectPlayer(1));
    EXPECT_FALSE(p.store.removePlayer(0));
    EXPECT_FALSE(p.store.addFirstPlayer("Emil"));
    EXPECT_EQ(p.store.currentPlayer(), 2);
    EXPECT_EQ(p.names(), "Anna Bert Cleo Dora");
    EXPECT_EQ(p.fileText(), kFourPlayers);

    p.failOptions = false;
    ASSERT_TRUE(p.store.selectPlayer(1));
    EXPECT_EQ(p.store.currentPlayer(), 1);
    EXPECT_EQ(p.fileText(), kFourPlayers);  // choosing a player leaves the players alone
}

TEST(PlayerStore, RefusesChangesTheFileCannotHold) {
    struct Case {
        const char* what;
        std::function<bool(PlayerStore&)> change;
    };
    const Case cases[] = {
        {"a comma in a name", [](PlayerStore& s) { return s.addPlayer("Bo,b"); }},
        {"a blank at the end", [](PlayerStore& s) { return s.renamePlayer(0, "Anna "); }},
        {"a name too long for a line", [](PlayerStore& s) { return s.addPlayer(std::string(256, 'x')); }},
        {"no such player to rename", [](PlayerStore& s) { return s.renamePlayer(4, "Emil"); }},
        {"no such player to remove", [](PlayerStore& s) { return s.removePlayer(-1); }},
        {"no such player to choose", [](PlayerStore& s) { return s.selectPlayer(4); }},
        {"no such mode", [](PlayerStore& s) { return s.saveProgress(4, 1, 0, 0, 1); }},
        {"mode 0", [](PlayerStore& s) { return s.setShowMessage(0, false); }},
        {"a current player off the list",
         [](PlayerStore& s) { return s.update([](PlayerList&, int& current) { current = 4; }); }},
    };
    for (const Case& c : cases) {
        Profiles p(1);
        p.writeFile(kFourPlayers);
        p.store.ReadPlayers();
        const PlayerList before = p.store.players();
        EXPECT_FALSE(c.change(p.store)) << c.what;
        EXPECT_EQ(p.store.players(), before) << c.what;
        EXPECT_EQ(p.store.currentPlayer(), 1) << c.what;
        EXPECT_EQ(p.fileText(), kFourPlayers) << c.what;
        EXPECT_TRUE(p.optionWrites.empty()) << c.what;
        EXPECT_FALSE(p.errors.empty()) << c.what;
    }

    Profiles none;
    none.store.ReadPlayers();
    EXPECT_FALSE(none.store.saveProgress(1, 3, 0, 0, 1));  // nobody to save for
    EXPECT_FALSE(fs::exists(none.file()));
}

TEST(PlayerStore, AnUnreadableFileIsNeverWrittenAndThePlayerIsToldOnce) {
    struct Case {
        const char* what;
        std::function<bool(const Profiles&)> block;  // false: not possible here
    };
    const Case cases[] = {
        {"a folder", [](const Profiles& p) { return fs::create_directory(p.file()); }},
        {"a pipe", [](const Profiles& p) { return ::mkfifo(p.file().c_str(), 0600) == 0; }},
        {"no read permission",
         [](const Profiles& p) {
             // Root reads it anyway.
             if (::geteuid() == 0) return false;
             p.writeFile(kFourPlayers);
             fs::permissions(p.file(), fs::perms::none);
             return true;
         }},
    };
    for (const Case& c : cases) {
        Profiles p;
        if (!c.block(p)) continue;
        const fs::file_type type = fs::symlink_status(p.file()).type();

        EXPECT_EQ(p.store.ReadPlayers(), 0) << c.what;
        EXPECT_FALSE(p.store.writable()) << c.what;
        // The run goes on with players kept in memory; the file is never touched.
        EXPECT_TRUE(p.store.addFirstPlayer("Anna")) << c.what;
        EXPECT_EQ(p.store.ReadPlayers(), 1) << c.what;
        EXPECT_TRUE(p.store.addPlayer("Bert")) << c.what;
        EXPECT_EQ(p.store.count(), 2) << c.what;
        ASSERT_NE(p.store.current(), nullptr) << c.what;
        EXPECT_EQ(p.store.current()->name, "Anna") << c.what;

        EXPECT_EQ(p.notices.size(), 1u) << c.what;
        EXPECT_TRUE(p.logged(p.file().string())) << c.what;
        EXPECT_EQ(fs::symlink_status(p.file()).type(), type) << c.what;
        EXPECT_FALSE(fs::exists(p.dir / "user" / "players.txt.tmp")) << c.what;
        fs::permissions(p.file(), fs::perms::owner_all, fs::perm_options::add);
    }
}

TEST(PlayerStore, AFileThatTurnsUnreadableKeepsThePlayersReadBefore) {
    Profiles p(1);
    p.writeFile(kFourPlayers);
    p.store.ReadPlayers();
    const PlayerList before = p.store.players();
    fs::remove(p.file());
    fs::create_directory(p.file());

    EXPECT_EQ(p.store.ReadPlayers(), 4);
    EXPECT_EQ(p.store.players(), before);
    EXPECT_EQ(p.store.currentPlayer(), 1);
    EXPECT_EQ(p.notices.size(), 1u);
    // The progress of this run is kept in memory; the folder in the file's place stays.
    EXPECT_TRUE(p.store.saveProgress(1, 5, 0, 0, 1));
    EXPECT_EQ(p.store.current()->progress(1)->levelReached, 5);
    EXPECT_TRUE(fs::is_directory(p.file()));
}

TEST(PlayerStore, ADamagedFileIsKeptBesideItBeforeItsFirstRewrite) {
    const std::string damaged = "Anna, 4\r\nBert, x\r\nCl\0eo, 3\r\nDora\r\n"s;
    Profiles p;
    p.writeFile(damaged);
    // Bert's line is junk: no player is made up of it.
    EXPECT_EQ(p.store.ReadPlayers(), 3);
    EXPECT_EQ(p.names(), "Anna Cl Dora");
    EXPECT_TRUE(p.logged(p.file().string() + " line 2: "));
    EXPECT_TRUE(p.logged(p.file().string() + " line 3: "));
    EXPECT_FALSE(fs::exists(p.bad()));  // reading alone changes nothing
    EXPECT_TRUE(p.notices.empty());

    ASSERT_TRUE(p.store.addPlayer("Emil"));
    EXPECT_EQ(test::readFile(p.bad()), damaged);
    EXPECT_EQ(p.fileText(), formatPlayers(p.store.players()));

    // Later rewrites leave the kept copy to the player.
    fs::remove(p.bad());
    ASSERT_TRUE(p.store.renamePlayer(3, "Dorothea"));
    EXPECT_FALSE(fs::exists(p.bad()));

    // A sound file never gets a copy.
    Profiles sound;
    sound.writeFile(kFourPlayers);
    sound.store.ReadPlayers();
    ASSERT_TRUE(sound.store.addPlayer("Emil"));
    EXPECT_FALSE(fs::exists(sound.bad()));
    EXPECT_TRUE(sound.errors.empty());
}

TEST(PlayerStore, ADamagedFileIsNotRewrittenUntilItsCopyIsKept) {
    const std::string damaged = "Anna, 4, 1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 9\r\n";
    Profiles p;
    p.writeFile(damaged);
    p.store.ReadPlayers();
    // Its copy cannot be written: a folder stands where the copy's temporary file goes.
    fs::create_directories(p.bad().string() + ".tmp");
    EXPECT_FALSE(p.store.addPlayer("Bert"));
    EXPECT_EQ(p.fileText(), damaged);
    EXPECT_EQ(p.names(), "Anna");
    EXPECT_TRUE(p.logged(p.bad().string()));

    fs::remove(p.bad().string() + ".tmp");
    ASSERT_TRUE(p.store.addPlayer("Bert"));
    EXPECT_EQ(test::readFile(p.bad()), damaged);
}

TEST(PlayerStore, AFileTooLargeToBePlayersIsLeftAsItIs) {
    Profiles p;
    p.writeFile("Anna, 3\r\n" + std::string(kPlayersFileLimit, 'x'));
    const auto size = fs::file_size(p.file());
    EXPECT_EQ(p.store.ReadPlayers(), 0);
    EXPECT_FALSE(p.store.writable());
    EXPECT_TRUE(p.logged("more than the " + std::to_string(kPlayersFileLimit)));
    EXPECT_EQ(p.notices.size(), 1u);
    // The run's first player lives in memory; the file stays as it was.
    EXPECT_TRUE(p.store.addFirstPlayer("Bert"));
    EXPECT_EQ(fs::file_size(p.file()), size);
}

// A name from the file longer than name entry makes is the player's name, whole.
TEST(PlayerStore, ALongNameFromTheFileIsWrittenBackWhole) {
    const std::string name(100, 'L');
    Profiles p;
    p.writeFile(name + ", 3\r\nBert\r\n");
    ASSERT_EQ(p.store.ReadPlayers(), 2);
    ASSERT_TRUE(p.store.selectPlayer(0));
    ASSERT_TRUE(p.store.saveProgress(1, 4, 10, 0, 1));
    EXPECT_EQ(p.fileText().substr(0, name.size() + 5), name + ", 4, ");
    EXPECT_EQ(p.store.players()[0].name, name);
    EXPECT_TRUE(p.errors.empty());
}

// A players file behind a dangling link fails every write the same way: the log and the
// player hear of it once, with the path and the reason.
TEST(PlayerStore, AWriteThatKeepsFailingIsSaidOnceWithItsPathAndReason) {
    Profiles p;
    fs::create_symlink(p.dir / "gone" / "players.txt", p.file());
    p.store.ReadPlayers();
    for (const char* name : {"Anna", "Bert", "Cleo"}) EXPECT_FALSE(p.store.addPlayer(name));
    ASSERT_EQ(p.errors.size(), 1u) << ::testing::PrintToString(p.errors);
    EXPECT_NE(p.errors[0].find((p.dir / "gone").string()), std::string::npos) << p.errors[0];
    EXPECT_NE(p.errors[0].find("No such file or directory"), std::string::npos) << p.errors[0];
    const std::optional<std::string> told = p.store.failureToTell();
    ASSERT_TRUE(told);
    EXPECT_EQ(*told, p.errors[0]);
    EXPECT_FALSE(p.store.failureToTell());
}

// Damaged, rewritten, damaged again: the first damaged original is still there.
TEST(PlayerStore, ASecondDamageKeepsTheFirstDamagedOriginal) {
    Profiles p;
    p.writeFile("Anna, 4x\r\n");
    p.store.ReadPlayers();
    ASSERT_TRUE(p.store.addPlayer("Bert"));
    p.writeFile("Anna, 4y\r\n");
    p.store.ReadPlayers();
    ASSERT_TRUE(p.store.addPlayer("Bert"));
    EXPECT_EQ(test::readFile(p.bad()), "Anna, 4x\r\n");
    EXPECT_EQ(test::readFile(p.bad().string() + ".2"), "Anna, 4y\r\n");
}

TEST(PlayerStore, WritesCrLfWhateverTheFileHad) {
    Profiles p;
    p.writeFile("Anna, 2\nBert, 3\n");
    p.store.ReadPlayers();
    ASSERT_TRUE(p.store.selectPlayer(1));
    ASSERT_TRUE(p.store.saveProgress(1, 4, 0, 0, 1));
    EXPECT_EQ(p.fileText(),
              "Anna, 2, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
              "Bert, 4, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n");
}

}  // namespace
}  // namespace qs
