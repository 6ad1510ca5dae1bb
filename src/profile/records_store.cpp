#include "profile/records_store.h"

#include <algorithm>
#include <system_error>

#include "core/file_system.h"
#include "core/log.h"
#include "profile/player_record.h"
#include "profile/save_file.h"

namespace qs {

namespace fs = std::filesystem;

RecordsStore::RecordsStore(const FileSystem& files, Log& log, Notice tellPlayer)
    : files_(files), log_(log), reader_(log, std::move(tellPlayer), "records file", "results will not be stored") {}

fs::path RecordsStore::file() const { return files_.userPath(kRecordsFile); }

bool RecordsStore::read() {
    const fs::path path = file();
    std::string text;
    switch (reader_.read(path, kRecordsFileLimit, text)) {
        case SaveReader::Result::kMissing:
            lines_.clear();
            lastText_.reset();
            damagedOriginal_.reset();
            return true;
        case SaveReader::Result::kClosed:
            // What was read before goes on.
            return false;
        case SaveReader::Result::kRead: break;
    }
    // The screen asks again on every page; the same damage is not worth logging each time.
    if (lastText_ == text) return true;

    RecordsFileText parsed = parseRecords(text);
    logSaveDamage(log_, path, parsed.damage);
    const bool lossy = std::any_of(parsed.damage.begin(), parsed.damage.end(),
                                   [](const RecordsFileDamage& d) { return d.lost; });
    if (lossy)
        damagedOriginal_ = text;
    else
        damagedOriginal_.reset();
    lines_ = std::move(parsed.lines);
    lastText_ = std::move(text);
    return true;
}

bool RecordsStore::checkMode(int mode, const char* what) {
    if (isValidMode(mode)) return true;
    log_.error(file().string() + ": no records to " + what + " for mode " + std::to_string(mode) +
               "; there is no such mode");
    return false;
}

RecordsView RecordsStore::table(int mode) {
    if (!checkMode(mode, "show")) return {};
    read();
    return {recordTable(lines_, mode), 0, false};
}

RecordsView RecordsStore::enter(int mode, const std::string& name, int level, int score) {
    if (!checkMode(mode, "enter")) return {};
    read();
    const std::string storableName = storableRecordName(name);
    if (storableName != name)
        log_.WriteLog(file().string() + ": the name \"" + name + "\" is stored as \"" + storableName + "\"");
    const RecordEntry result{"", storableName, std::to_string(level), std::to_string(score)};
    RecordsUpdate update = enterResult(recordTable(lines_, mode), result);

    RecordsView view{update.rows, update.highlighted, false};
    if (!update.store) return view;
    if (reader_.closed()) {
        log_.error(file().string() + " is not saved: it could not be read, so it is left alone during this run");
        return view;
    }
    std::vector<RecordsLine> next = replaceTable(lines_, mode, update.rows);
    if (write(next)) {
        lines_ = std::move(next);
        view.stored = true;
    }
    return view;
}

bool RecordsStore::write(const std::vector<RecordsLine>& lines) {
    std::string text = formatRecords(lines);
    if (!writeSave(file(), text, damagedOriginal_, log_)) return false;
    lastText_ = std::move(text);
    return true;
}

}  // namespace qs
