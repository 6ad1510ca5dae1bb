#include "profile/players_file.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qs {
namespace {

using namespace std::string_literals;

std::vector<int> damagedLines(const PlayersFileText& read) {
    std::vector<int> lines;
    for (const PlayersFileDamage& d : read.damage) lines.push_back(d.line);
    return lines;
}

// What the reader made of a text, as the writer would put it back.
std::string reread(const std::string& text) { return formatPlayers(parsePlayers(text).players); }

// A line of 16 fields, all empty but one.
std::string lineWith(int position, const std::string& value) {
    std::string line = "Anna";
    for (int field = 2; field <= kPlayerFieldCount; ++field) line += field == position ? ", " + value : ",";
    return line;
}

TEST(ParsePlayers, EmptyFieldsTakeTheirDefaults) {
    // Levels -1, messages on, scores 0 and an unfinished game in every mode.
    const char* defaults = "Anna, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n";
    for (const char* text : {"Anna", "  Anna  \r\n", "Anna,,,,,,,,,,,,,,,", "Anna, , ,\t,  ,"}) {
        PlayersFileText read = parsePlayers(text);
        EXPECT_EQ(formatPlayers(read.players), defaults) << text;
        EXPECT_TRUE(read.damage.empty()) << text;
    }
}

TEST(ParsePlayers, FieldsFollowTheColumnsModeByMode) {
    PlayersFileText read = parsePlayers("Anna Lee, 4, 9, 12, 0, 1, 0, 10, 20, 30, -1, 0, 1, 5, 6, 7\n");
    ASSERT_EQ(read.players.size(), 1u);
    const PlayerRecord& anna = read.players[0];
    EXPECT_EQ(anna.name, "Anna Lee");
    struct Case {
        int mode;
        ModeProgress expected;
    };
    const Case cases[] = {
        {1, {4, 0, 10, -1, 5}},
        {2, {9, 1, 20, 0, 6}},
        {3, {12, 0, 30, 1, 7}},
    };
    for (const Case& c : cases) {
        const ModeProgress* progress = anna.progress(c.mode);
        ASSERT_NE(progress, nullptr);
        EXPECT_EQ(*progress, c.expected) << "mode " << c.mode;
    }
    EXPECT_EQ(anna.progress(0), nullptr);
    EXPECT_EQ(anna.progress(4), nullptr);
}

TEST(ParsePlayers, CorrectsNumbersOutsideTheirRangeWithoutCallingItDamage) {
    struct Case {
        int position;
        const char* written;
        int read;
    };
    const Case cases[] = {
        // levelReached: 0 or less means never played
        {2, "0", -1}, {3, "-7", -1}, {4, "1", 1}, {2, "+15", 15},
        // showMessage: only 0 turns it off
        {5, "0", 0}, {6, "2", 1}, {7, "-1", 1},
        // scores are never negative
        {8, "-1", 0}, {9, "2147483647", 2147483647}, {14, "-500", 0}, {16, "75", 75},
        // gameState is -1, 0 or 1; anything else counts as an unfinished game
        {11, "-1", -1}, {12, "0", 0}, {13, "-2", 1}, {11, "5", 1},
    };
    for (const Case& c : cases) {
        PlayersFileText read = parsePlayers(lineWith(c.position, c.written));
        ASSERT_EQ(read.players.size(), 1u);
        // Position 2 + 3 k + (mode - 1) holds number k of the mode.
        const int number = (c.position - 2) / 3;
        const ModeProgress& progress = *read.players[0].progress((c.position - 2) % 3 + 1);
        const int values[] = {progress.levelReached, progress.showMessage, progress.levelStartScore,
                              progress.gameState, progress.checkpointScore};
        EXPECT_EQ(values[number], c.read) << "field " << c.position << " \"" << c.written << "\"";
        EXPECT_TRUE(read.damage.empty()) << "field " << c.position << " \"" << c.written << "\"";
    }
}

TEST(ParsePlayers, ReadsDamagedLinesAsFarAsTheyAreSound) {
    const std::string longName(70, 'n');
    struct Case {
        const char* why;
        std::string text;
        std::string read;
        std::vector<int> damaged;
    };
    const Case cases[] = {
        {"a line whose number field is not a number is junk, no player",
         "Anna, 5x, 2, 3\r\nBert, 4\r\n",
         "Bert, 4, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n",
         {1}},
        {"a number beyond 32 bits is not a number",
         "Anna, 1, 1, 1, 1, 1, 1, 99999999999\r\n",
         "",
         {1}},
        {"a name with a comma shifts every number into junk",
         "Bo, b, 4\r\n",
         "",
         {1}},
        {"a line of text is junk",
         "The quick brown fox, jumps over the lazy dog\r\n",
         "",
         {1}},
        {"a seventeenth field is dropped",
         "Anna, 1, 2, 3, 0, 0, 0, 4, 5, 6, 0, 0, 0, 7, 8, 9, 10\r\n",
         "Anna, 1, 2, 3, 0, 0, 0, 4, 5, 6, 0, 0, 0, 7, 8, 9\r\n",
         {1}},
        {"a NUL ends what is read of its line",
         "Bert, 4\r\nAn\0na, 5\r\nCleo\r\n"s,
         "Bert, 4, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
         "An, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
         "Cleo, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n",
         {2}},
        {"a CR inside a line is no line end",
         "Anna\r, 5\nBert\r\n",
         "Anna, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
         "Bert, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n",
         {1}},
        {"a tail of NULs after a crash adds no player",
         "Anna, 3\r\n\0\0\0\0"s,
         "Anna, 3, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n",
         {2}},
        {"a name longer than the game writes is kept whole",
         longName + ", 2\r\n",
         longName + ", 2, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n",
         {}},
    };
    for (const Case& c : cases) {
        PlayersFileText read = parsePlayers(c.text);
        EXPECT_EQ(formatPlayers(read.players), c.read) << c.why;
        EXPECT_EQ(damagedLines(read), c.damaged) << c.why;
        for (const PlayersFileDamage& d : read.damage) EXPECT_FALSE(d.what.empty()) << c.why;
    }
}

TEST(ParsePlayers, ToleratesWhatTheFormatAllows) {
    // Blank lines, a trailing comma and a file without a final line end lose nothing.
    PlayersFileText read = parsePlayers("\r\n   \r\nAnna, 2,\r\n\r\nBert");
    EXPECT_EQ(formatPlayers(read.players),
              "Anna, 2, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
              "Bert, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n");
    EXPECT_TRUE(read.damage.empty());
    EXPECT_TRUE(parsePlayers("").players.empty());
}

TEST(ParsePlayers, AcceptsEitherLineEnd) {
    const std::string expected = reread("Anna, 3\r\nBert, 4\r\n");
    for (const char* text : {"Anna, 3\nBert, 4\n", "Anna, 3\r\nBert, 4", "Anna, 3\nBert, 4\r"}) {
        PlayersFileText read = parsePlayers(text);
        EXPECT_EQ(formatPlayers(read.players), expected) << text;
        EXPECT_TRUE(read.damage.empty()) << text;
    }
}

TEST(ParsePlayers, DropsWhatALineHoldsBeyond255Characters) {
    // The blanks push "Bob, 9" past the limit: it must not come back as a player of its own
    // nor run into the level.
    const std::string head = "Anna, 3";
    const std::string full = head + std::string(kPlayerLineLimit - head.size(), ' ');
    struct Case {
        std::string text;
        std::vector<int> damaged;
    };
    const Case cases[] = {
        {full + "\r\nCleo\r\n", {}},
        {full + "Bob, 9\r\nCleo\r\n", {1}},
        {full + "Bob, 9\nCleo", {1}},
    };
    for (const Case& c : cases) {
        PlayersFileText read = parsePlayers(c.text);
        EXPECT_EQ(formatPlayers(read.players),
                  "Anna, 3, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
                  "Cleo, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n");
        EXPECT_EQ(damagedLines(read), c.damaged);
    }
}

TEST(FormatPlayers, WritesSixteenFieldsAndCrLf) {
    PlayerRecord anna = newPlayerRecord("Anna");
    anna.modes[1] = {12, 0, 3400, 0, 2000};
    EXPECT_EQ(formatPlayers({anna, newPlayerRecord("Bert")}),
              "Anna, -1, 12, -1, 1, 0, 1, 0, 3400, 0, -1, 0, -1, 0, 2000, 0\r\n"
              "Bert, -1, -1, -1, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n");
    EXPECT_EQ(formatPlayers({}), "");
}

TEST(FormatPlayers, EverythingTheGameStoresReadsBackUnchanged) {
    PlayerRecord widest = newPlayerRecord(std::string(kMaxPlayerNameLength - 1, 'w') + "!");
    for (ModeProgress& mode : widest.modes) mode = {2147483647, 0, 2147483647, 0, 2147483647};
    PlayerRecord lowest = newPlayerRecord("");
    for (ModeProgress& mode : lowest.modes) mode = {-1, 1, 0, -1, 0};
    PlayerRecord mixed = newPlayerRecord("Anna  Lee-2.");
    mixed.modes[0] = {5, 1, 120, 1, 100};
    mixed.modes[2] = {30, 0, 0, 0, 9};
    const PlayerList players = {widest, lowest, mixed, newPlayerRecord("\xC4sa")};

    const std::string text = formatPlayers(players);
    PlayersFileText read = parsePlayers(text);
    EXPECT_EQ(read.players, players);
    EXPECT_TRUE(read.damage.empty());
    std::string longest = text.substr(0, text.find("\r\n"));
    EXPECT_LE(longest.size(), kPlayerLineLimit);
}

// A name is kept as the file gave it; only a line that the numbers would push past 255
// characters loses the end of its name, never a number.
TEST(FormatPlayers, ALongNameIsWrittenWholeWhileItsLineFits) {
    const std::string name(200, 'N');
    const PlayersFileText read = parsePlayers(name + ", 3\r\n");
    ASSERT_EQ(read.players.size(), 1u);
    std::vector<std::string> cut;
    EXPECT_EQ(formatPlayers(read.players, &cut), name + ", 3, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n");
    EXPECT_TRUE(cut.empty());

    PlayerList grown = read.players;
    for (ModeProgress& mode : grown[0].modes) mode = {2147483647, 0, 2147483647, 0, 2147483647};
    const std::string text = formatPlayers(grown, &cut);
    EXPECT_EQ(cut, std::vector<std::string>{name});
    EXPECT_EQ(text.size(), kPlayerLineLimit + 2);
    const PlayersFileText again = parsePlayers(text);
    ASSERT_EQ(again.players.size(), 1u);
    EXPECT_EQ(again.players[0].modes, grown[0].modes);
    EXPECT_TRUE(again.damage.empty());
}

TEST(FormatPlayers, TheFirstPlayersLevelsReadBackAsNeverPlayed) {
    const PlayerRecord first = firstPlayerRecord("Anna");
    EXPECT_EQ(formatPlayers({first}), "Anna, 0, 0, 0, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n");
    PlayersFileText read = parsePlayers(formatPlayers({first}));
    EXPECT_EQ(read.players, PlayerList{newPlayerRecord("Anna")});
    EXPECT_TRUE(read.damage.empty());
}

TEST(IsStorablePlayerName, OnlyNamesThatComeBackUnchanged) {
    struct Case {
        std::string name;
        bool storable;
    };
    const Case cases[] = {
        {"Anna", true},
        {"anna lee 2", true},
        {"", true},
        {std::string(kPlayerLineLimit, 'x'), true},
        {std::string(kPlayerLineLimit + 1, 'x'), false},
        {"Bo,b", false},
        {" Anna", false},
        {"Anna ", false},
        {"An\tna", true},
        {"Anna\t", false},
        {"An\0na"s, false},
        {"Anna\x7F", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isStorablePlayerName(c.name), c.storable) << c.name;
}

}  // namespace
}  // namespace qs
