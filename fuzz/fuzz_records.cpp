// libFuzzer target for the records file: whatever the text, no table is longer than ten
// rows, what the writer puts back reads the same again, and entering a result into one
// mode never loses or reorders a line of another.
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc fuzz/fuzz_records.cpp \
//     src/profile/records_file.cpp src/core/comma_fields.cpp src/core/text_util.cpp \
//     -o build-fuzz/fuzz_records
//   build-fuzz/fuzz_records fuzz/corpus/records
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "profile/records_file.h"

namespace {

// Every line within the limit, each ended by CR LF; and it reads back as `lines`, with
// nothing lost of a row the game made (a row read from the file goes back as it was read,
// damage and all).
void checkWritten(const std::vector<qs::RecordsLine>& lines) {
    const std::string written = qs::formatRecords(lines);
    size_t start = 0;
    while (start < written.size()) {
        const size_t end = written.find("\r\n", start);
        if (end == std::string::npos || end - start > qs::kRecordsLineLimit) abort();
        start = end + 2;
    }
    const qs::RecordsFileText again = qs::parseRecords(written);
    if (again.lines != lines) abort();
    for (const qs::RecordsFileDamage& d : again.damage) {
        const qs::RecordsLine& line = lines[static_cast<size_t>(d.line - 1)];
        if (d.lost && line.mode != 0 && line.kept.empty()) abort();
    }
}

std::vector<qs::RecordsLine> linesNotOf(const std::vector<qs::RecordsLine>& lines, int mode) {
    std::vector<qs::RecordsLine> out;
    for (const qs::RecordsLine& line : lines)
        if (line.mode != mode) out.push_back(line);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const qs::RecordsFileText read = qs::parseRecords(text);
    checkWritten(read.lines);

    // The input's tail doubles as a player's name.
    const std::string name = qs::storableRecordName(text.substr(text.size() > 80 ? text.size() - 80 : 0));
    for (int mode = 1; mode <= 3; ++mode) {
        const qs::RecordTable table = qs::recordTable(read.lines, mode);
        if (table.size() > static_cast<size_t>(qs::kRecordsPerMode)) abort();
        for (const char* score : {"0", "500", "2147483647", "-2147483648"}) {
            const qs::RecordsUpdate update = qs::enterResult(table, {"", name, "12", score});
            if (update.rows.empty() || update.rows.size() > static_cast<size_t>(qs::kRecordsPerMode)) abort();
            if (update.highlighted < 1 || update.highlighted > static_cast<int>(update.rows.size())) abort();
            if (update.rows[update.highlighted - 1].name != name) abort();
            if (!update.store) {
                // Only a full table keeps a result off the file.
                if (table.size() != static_cast<size_t>(qs::kRecordsPerMode) || update.highlighted != 10) abort();
                continue;
            }
            if (update.rows.size() != std::min(table.size() + 1, static_cast<size_t>(qs::kRecordsPerMode))) abort();
            const std::vector<qs::RecordsLine> next = qs::replaceTable(read.lines, mode, update.rows);
            if (linesNotOf(next, mode) != linesNotOf(read.lines, mode)) abort();
            if (qs::recordTable(next, mode) != update.rows) abort();
            checkWritten(next);
        }
    }
    return 0;
}
