#include "profile/records_file.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qs {

namespace {

using namespace std::string_literals;

// Rows as "rank name level score" joined by " | ", easy to read in a failed expectation.
std::string rowsText(const RecordTable& rows) {
    std::string out;
    for (const RecordEntry& e : rows)
        out += (out.empty() ? "" : " | ") + e.rank + " " + e.name + " " + e.level + " " + e.score;
    return out;
}

// A table of players P1, P2, ... with the given scores, ranked 1, 2, ... and level 1.
RecordTable tableOf(const std::vector<std::string>& scores) {
    RecordTable table;
    for (std::size_t i = 0; i < scores.size(); ++i)
        table.push_back({std::to_string(i + 1), "P" + std::to_string(i + 1), "1", scores[i]});
    return table;
}

RecordEntry result(const std::string& score) { return {"", "New", "7", score}; }

std::vector<int> damagedLines(const RecordsFileText& read, bool lost) {
    std::vector<int> lines;
    for (const RecordsFileDamage& d : read.damage)
        if (d.lost == lost) lines.push_back(d.line);
    return lines;
}

const std::vector<std::string> kTenScores = {"1000", "900", "800", "700", "600",
                                             "500",  "400", "300", "200", "100"};

TEST(EnterResult, TheResultTakesThePlaceItsScoreEarns) {
    struct Case {
        const char* why;
        std::vector<std::string> scores;
        std::string score;
        int highlighted;
        bool store;
        std::string rows;
    };
    const Case cases[] = {
        {"an empty table: first place", {}, "0", 1, true, "1 New 7 0"},
        {"equal to the third: below it, the tenth drops out", kTenScores, "800", 4, true,
         "1 P1 1 1000 | 2 P2 1 900 | 3 P3 1 800 | 4 New 7 800 | 5 P4 1 700 | 6 P5 1 600 | "
         "7 P6 1 500 | 8 P7 1 400 | 9 P8 1 300 | 10 P9 1 200"},
        {"best of all", {"50", "40"}, "51", 1, true, "1 New 7 51 | 2 P1 1 50 | 3 P2 1 40"},
        {"beats only the tenth", kTenScores, "101", 10, true,
         "1 P1 1 1000 | 2 P2 1 900 | 3 P3 1 800 | 4 P4 1 700 | 5 P5 1 600 | 6 P6 1 500 | "
         "7 P7 1 400 | 8 P8 1 300 | 9 P9 1 200 | 10 New 7 101"},
        {"beats none while there is room: stored after the last", {"50", "40", "30"}, "30", 4, true,
         "1 P1 1 50 | 2 P2 1 40 | 3 P3 1 30 | 4 New 7 30"},
        {"beats none of a full table: shown in place of row ten only", kTenScores, "100", 10, false,
         "1 P1 1 1000 | 2 P2 1 900 | 3 P3 1 800 | 4 P4 1 700 | 5 P5 1 600 | 6 P6 1 500 | "
         "7 P7 1 400 | 8 P8 1 300 | 9 P9 1 200 | 10 New 7 100"},
        // Numbers beyond 32 bits, leading zeros and signs compare by value, not as text; a
        // score that is no number ranks as 0.
        {"scores compare as numbers", {"99999999999", "100", "0050", "abc", "-5"}, "50", 4, true,
         "1 P1 1 99999999999 | 2 P2 1 100 | 3 P3 1 0050 | 4 New 7 50 | 5 P4 1 abc | 6 P5 1 -5"},
        {"a score that is no number ranks as 0", {"abc", "-5"}, "0", 2, true,
         "1 P1 1 abc | 2 New 7 0 | 3 P2 1 -5"},
        {"a bigger number with fewer digits", {"99999999999", "100"}, "1000", 2, true,
         "1 P1 1 99999999999 | 2 New 7 1000 | 3 P2 1 100"},
    };
    for (const Case& c : cases) {
        const RecordsUpdate update = enterResult(tableOf(c.scores), result(c.score));
        EXPECT_EQ(update.highlighted, c.highlighted) << c.why;
        EXPECT_EQ(update.store, c.store) << c.why;
        EXPECT_EQ(rowsText(update.rows), c.rows) << c.why;
    }
}

TEST(EnterResult, MovedRowsRankOneLowerWhenTheirRankIsANumber) {
    struct Case {
        std::string rank;
        std::string moved;
    };
    const Case cases[] = {
        {"3", "4"}, {"9", "10"}, {"09", "10"}, {"99", "100"}, {"", ""}, {"x", "x"}, {"-1", "-1"}, {"2a", "2a"},
    };
    for (const Case& c : cases) {
        const RecordsUpdate update = enterResult({{c.rank, "Old", "1", "10"}}, result("20"));
        ASSERT_EQ(update.rows.size(), 2u);
        EXPECT_EQ(update.rows[0].rank, "1");
        EXPECT_EQ(update.rows[1].rank, c.moved) << c.rank;
    }
}

TEST(EnterResult, NeverShowsMoreThanTenRows) {
    // A table handed over with more rows than the file allows is cut to ten first.
    std::vector<std::string> scores(12, "10");
    RecordsUpdate update = enterResult(tableOf(scores), result("5"));
    EXPECT_EQ(update.rows.size(), 10u);
    EXPECT_EQ(update.highlighted, 10);
    EXPECT_FALSE(update.store);
}

TEST(ParseRecords, ReadsEachModesRowsInFileOrderWithEitherLineEnd) {
    const std::string expected = "2, 1, Bert, 4, 900\r\n1, 1, Anna, 3, 500\r\n1, 2, Cleo, 2, 400\r\n";
    for (const std::string& text : {expected, "2, 1, Bert, 4, 900\n1, 1, Anna, 3, 500\n1, 2, Cleo, 2, 400"s,
                                   "\r\n2,1,Bert,4,900\n\n  1 ,  1, Anna , 3, 500  \r\n1, 2, Cleo, 2, 400\r"s}) {
        const RecordsFileText read = parseRecords(text);
        // Written back as read; the game's own form reads the same.
        EXPECT_EQ(parseRecords(formatRecords(read.lines)).lines, read.lines) << text;
        EXPECT_TRUE(read.damage.empty()) << text;
        EXPECT_EQ(rowsText(recordTable(read.lines, 1)), "1 Anna 3 500 | 2 Cleo 2 400") << text;
        EXPECT_EQ(rowsText(recordTable(read.lines, 2)), "1 Bert 4 900") << text;
        EXPECT_TRUE(recordTable(read.lines, 3).empty());
        EXPECT_TRUE(recordTable(read.lines, 0).empty());
        EXPECT_TRUE(recordTable(read.lines, 4).empty());
    }
}

TEST(ParseRecords, ReadsDamagedLinesAsFarAsTheyAreSound) {
    const std::string head = "1, 1, Anna, 3, 500";
    const std::string full = head + std::string(kRecordsLineLimit - head.size(), ' ');
    std::string elevenArcade;
    for (int i = 1; i <= 12; ++i) elevenArcade += "1, " + std::to_string(i) + ", P, 1, 5\r\n";
    std::string tenArcade;
    for (int i = 1; i <= 10; ++i) tenArcade += "1, " + std::to_string(i) + ", P, 1, 5\r\n";
    struct Case {
        const char* why;
        std::string text;
        std::string read;
        std::vector<int> lost;  // lines that lose something at the next rewrite
        std::vector<int> kept;  // lines only logged
    };
    const Case cases[] = {
        {"the part beyond 255 characters is no line of its own", full + "2, 1, Bob, 9, 9\r\n3, 1, Cleo, 1, 1\r\n",
         head + "\r\n3, 1, Cleo, 1, 1\r\n", {1}, {}},
        {"blanks up to the limit are no damage", full + "\r\n", head + "\r\n", {}, {}},
        {"a control character ends what is read of its line", "1, 1, An\0na, 3, 500\r\n2, 1, Bert, 4, 9\r\n"s,
         "1, 1, An\r\n2, 1, Bert, 4, 9\r\n", {1}, {1}},
        {"a tail of NULs after a crash adds nothing", "1, 1, Anna, 3, 500\r\n\0\0\0"s,
         "1, 1, Anna, 3, 500\r\n", {2}, {}},
        {"a CR inside a line is no line end", "1, 1, Anna\r, 3, 500\n", "1, 1, Anna\r\n", {1}, {1}},
        {"lines of a mode past the tenth are dropped; other modes keep theirs",
         "3, 1, Z, 1, 1\r\n" + elevenArcade + "2, 1, Y, 1, 1\r\n",
         "3, 1, Z, 1, 1\r\n" + tenArcade + "2, 1, Y, 1, 1\r\n", {12, 13}, {}},
        {"a sixth field is not read", "1, 1, Anna, 3, 500, 7\r\n", "1, 1, Anna, 3, 500, 7\r\n", {1}, {}},
        {"a trailing comma loses nothing", "1, 1, Anna, 3, 500,\r\n", "1, 1, Anna, 3, 500,\r\n", {}, {}},
        {"a score that is no number is kept as written", "1, 1, Anna, 3, lots\r\n1, 2, Bo\r\n",
         "1, 1, Anna, 3, lots\r\n1, 2, Bo\r\n", {}, {1, 2}},
        {"a line of a mode without a name is junk, no record", "1, junk\r\n1\r\n1, 1, Anna, 3, 5\r\n",
         "1, 1, Anna, 3, 5\r\n", {1, 2}, {}},
        {"a line of no known mode is kept word for word, in its place",
         "4, 1, Anna, 3, 500\r\n1, 1, Bo, 1, 1\r\n  x,,y  \r\n", "4, 1, Anna, 3, 500\r\n1, 1, Bo, 1, 1\r\nx,,y\r\n",
         {}, {1, 3}},
    };
    for (const Case& c : cases) {
        const RecordsFileText read = parseRecords(c.text);
        EXPECT_EQ(formatRecords(read.lines), c.read) << c.why;
        EXPECT_EQ(damagedLines(read, true), c.lost) << c.why;
        EXPECT_EQ(damagedLines(read, false), c.kept) << c.why;
        for (const RecordsFileDamage& d : read.damage) EXPECT_FALSE(d.what.empty()) << c.why;
    }
}

TEST(ReplaceTable, OtherLinesGoFirstInTheirOrderThenTheModesRows) {
    const RecordsFileText read = parseRecords(
        "2, 1, B1, 1, 9\r\n1, 1, A1, 1, 9\r\n7, x\r\n3, 1, C1, 1, 9\r\n1, 2, A2, 1, 8\r\n2, 2, B2, 1, 8\r\n");
    EXPECT_EQ(formatRecords(replaceTable(read.lines, 1, {{"1", "New", "2", "50"}, {"2", "A1", "1", "9"}})),
              "2, 1, B1, 1, 9\r\n7, x\r\n3, 1, C1, 1, 9\r\n2, 2, B2, 1, 8\r\n"
              "1, 1, New, 2, 50\r\n1, 2, A1, 1, 9\r\n");
    // A mode with no rows yet is appended; nothing else moves.
    EXPECT_EQ(formatRecords(replaceTable(read.lines, 3, {})),
              "2, 1, B1, 1, 9\r\n1, 1, A1, 1, 9\r\n7, x\r\n1, 2, A2, 1, 8\r\n2, 2, B2, 1, 8\r\n");
}

TEST(FormatRecords, EverythingWrittenReadsBackWithinTheLineLimit) {
    // Fields that only just fit a compact line would not fit the ", " form: the name is cut
    // when read, so what is written back reads the same again.
    const std::string compact = "1,1," + std::string(205, 'n') + ",12," + std::string(40, '9');
    ASSERT_EQ(compact.size(), kRecordsLineLimit - 2);
    const RecordsFileText read = parseRecords(compact + "\r\n");
    EXPECT_EQ(damagedLines(read, true), std::vector<int>{1});
    // Unchanged, the line goes back as it came; in the game's own form its name is cut.
    EXPECT_EQ(formatRecords(read.lines), compact + "\r\n");
    const std::string written = formatRecords(replaceTable({}, 1, recordTable(read.lines, 1)));
    EXPECT_EQ(written.size(), kRecordsLineLimit + 2);
    const RecordsFileText again = parseRecords(written);
    EXPECT_EQ(recordTable(again.lines, 1), recordTable(read.lines, 1));
    EXPECT_TRUE(again.damage.empty());

    // A rank that grows by a digit as its row moves down still fits.
    RecordTable table = recordTable(read.lines, 1);
    table[0].rank = "99";
    const RecordsUpdate update = enterResult(table, result(std::string(41, '9')));
    ASSERT_EQ(update.rows.size(), 2u);
    EXPECT_EQ(update.rows[1].rank, "100");
    const std::string moved = formatRecords(replaceTable({}, 1, update.rows));
    const RecordsFileText movedRead = parseRecords(moved);
    EXPECT_TRUE(movedRead.damage.empty());
    EXPECT_EQ(recordTable(movedRead.lines, 1), update.rows);
}

TEST(StorableRecordName, NamesComeBackUnchangedFromTheFile) {
    struct Case {
        std::string name;
        std::string stored;
    };
    const Case cases[] = {
        {"Anna Lee", "Anna Lee"},
        {"Bo, b", "Bo  b"},
        {",Bob,", "Bob"},
        {"  Anna\t", "Anna"},
        {"An\0na\x7F"s, "Anna"},
        {"An\tna", "An\tna"},
        {"\xC4sa", "\xC4sa"},
        {std::string(kMaxRecordNameLength + 5, 'x'), std::string(kMaxRecordNameLength, 'x')},
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::string stored = storableRecordName(c.name);
        EXPECT_EQ(stored, c.stored) << c.name;
        const RecordsFileText read = parseRecords(formatRecords(replaceTable({}, 2, {{"1", stored, "1", "1"}})));
        EXPECT_TRUE(read.damage.empty()) << c.name;
        ASSERT_EQ(recordTable(read.lines, 2).size(), 1u);
        EXPECT_EQ(recordTable(read.lines, 2)[0].name, stored) << c.name;
    }
}

}  // namespace
}  // namespace qs
