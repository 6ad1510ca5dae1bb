#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qs {

// "records.txt": the ten best results of each mode (1 arcade, 2 challenge, 3 puzzle), one
// per line as "mode, rank, name, level, score". The modes' lines may stand in any order.
// Written with CR LF; read with CR LF or LF.
inline constexpr const char* kRecordsFile = "records.txt";
inline constexpr std::size_t kRecordsLineLimit = 255;
inline constexpr int kRecordsPerMode = 10;
// Any player's name fits (name entry stops well short of it) and still leaves the line room
// for a rank, a level and a score of any 32-bit size.
inline constexpr std::size_t kMaxRecordNameLength = 60;
// Thirty records and a few lines of a later version fit in a few kilobytes; a file this large
// is none the game wrote, and reading or rewriting it would only cost time, memory and the
// player's data. Such a file is left as it is.
inline constexpr std::uintmax_t kRecordsFileLimit = std::uintmax_t{1024} * 1024;

// One row of a table. The fields are text exactly as read or built: the file is the
// player's, so a rank or level that is not a number is shown and written back as it was.
struct RecordEntry {
    std::string rank, name, level, score;

    bool operator==(const RecordEntry& o) const {
        return rank == o.rank && name == o.name && level == o.level && score == o.score;
    }
    bool operator!=(const RecordEntry& o) const { return !(*this == o); }
};

// One mode's rows, best first, at most kRecordsPerMode.
using RecordTable = std::vector<RecordEntry>;

// A line of the file as it is written back: a row of mode 1..3, or (mode 0) a line that
// belongs to no mode the game knows, kept word for word so a rewrite never loses it.
struct RecordsLine {
    int mode = 0;
    RecordEntry entry;  // mode 1..3
    std::string kept;   // mode 0; for a row read from the file, its text as read

    // A row is its mode and fields; the text it was read as only says how it is written back.
    bool operator==(const RecordsLine& o) const {
        return mode == o.mode && entry == o.entry && (mode != 0 || kept == o.kept);
    }
    bool operator!=(const RecordsLine& o) const { return !(*this == o); }
};

// A line that was not read as written, or not the way the game writes it. Where `lost`
// is set, the next rewrite loses part of the file, so the original is kept beside it first:
//   - more than 255 characters: the rest of the line is dropped;
//   - a control character other than a tab (a CR right before the line end belongs to the
//     line end): the line is read up to it;
//   - an eleventh or later line of one mode: dropped (the first ten in file order count);
//   - anything but blanks after the fifth field: dropped;
//   - fields too long to be written back within 255 characters: the name is cut first (when
//     its mode's table is rewritten; until then the line is written back as it was read);
//   - a line of a known mode without a name field: junk, not a record; skipped.
// Logged only, nothing lost (`lost` false):
//   - a score that is not a whole decimal number: kept as written, it ranks as 0;
//   - a mode that is not 1, 2 or 3: the line is kept as it is and written back in place.
struct RecordsFileDamage {
    int line = 0;  // 1-based, counting every line end in the file
    std::string what;
    bool lost = true;
};

struct RecordsFileText {
    std::vector<RecordsLine> lines;  // in file order, empty lines skipped
    std::vector<RecordsFileDamage> damage;
};

RecordsFileText parseRecords(const std::string& text);

// The file text for the lines in their order, CR LF after every line. A row read from the
// file is written back exactly as it was read.
std::string formatRecords(const std::vector<RecordsLine>& lines);

// The rows of one mode in file order; empty for a mode outside 1..3.
RecordTable recordTable(const std::vector<RecordsLine>& lines, int mode);

// The lines a rewrite of one mode leaves: every other line first, unchanged and in its
// order, then the mode's new rows (a row that is the same as one read keeps its text).
std::vector<RecordsLine> replaceTable(const std::vector<RecordsLine>& lines, int mode,
                                      const RecordTable& rows);

struct RecordsUpdate {
    RecordTable rows;     // what the screen shows, at most kRecordsPerMode
    int highlighted = 0;  // 1-based row of the new result
    bool store = false;   // `rows` is the mode's new table and the file is to be rewritten
};

// Enters a result (its name, level and score; the rank is set here) into a table. It goes
// above the first row whose score is smaller (an equal score goes below) and the rows it
// passes move down one place, a numeric rank growing by one; the tenth drops out. A result
// that beats no row is stored after the last row while the table has room, and otherwise
// only shown in place of row ten.
RecordsUpdate enterResult(RecordTable table, const RecordEntry& result);

// A player's name as a records line can hold it: commas become blanks, control characters
// (tabs aside) go, blanks at the ends are trimmed and the rest is cut to
// kMaxRecordNameLength.
std::string storableRecordName(const std::string& name);

}  // namespace qs
