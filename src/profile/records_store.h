#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "profile/records_file.h"
#include "profile/save_file.h"

namespace qs {

class FileSystem;
class Log;

// What the scores screen shows of one mode.
struct RecordsView {
    RecordTable rows;     // at most kRecordsPerMode, best first
    int highlighted = 0;  // 1-based row of the result just entered; 0 for none
    bool stored = false;  // the result is in the file now
};

// The records tables in "records.txt" in the user folder. The file is read afresh each
// time a table is asked for, so the screen always shows what is stored.
//
// A file that exists but cannot be read is never written during this run (what it holds
// is unknown); results are then shown but not stored. A damaged file is read as far as it
// is sound and its original is kept as "records.txt.bad" before it is first rewritten.
class RecordsStore {
public:
    // Tells the player something that needs their attention (a message box).
    using Notice = std::function<void(const std::string& text)>;

    RecordsStore(const FileSystem& files, Log& log, Notice tellPlayer);

    // The stored rows of a mode (1..3), nothing highlighted. Empty for any other mode.
    RecordsView table(int mode);

    // Enters the result of a game just ended and returns the rows to show with the result
    // highlighted. The file is rewritten only when the result earns a place; a failed write
    // leaves the old file, is logged, and still shows the result (`stored` false). Names
    // are made storable first (see storableRecordName). A mode outside 1..3 shows nothing
    // and writes nothing.
    RecordsView enter(int mode, const std::string& name, int level, int score);

    // False once the file was found unreadable: nothing is stored for the rest of the run.
    bool writable() const { return !reader_.closed(); }

    std::filesystem::path file() const;

private:
    // Brings lines_ up to date with the file; false when it cannot be read.
    bool read();
    bool write(const std::vector<RecordsLine>& lines);
    bool checkMode(int mode, const char* what);

    const FileSystem& files_;
    Log& log_;
    std::vector<RecordsLine> lines_;
    SaveReader reader_;
    // The text last read, so an unchanged file is not parsed and its damage not logged again.
    std::optional<std::string> lastText_;
    // The damaged file as it was read, kept beside it before it is first rewritten.
    std::optional<std::string> damagedOriginal_;
};

}  // namespace qs
