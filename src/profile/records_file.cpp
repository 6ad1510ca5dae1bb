#include "profile/records_file.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/comma_fields.h"
#include "core/text_util.h"
#include "profile/player_record.h"
#include "profile/save_file.h"

namespace qs {

namespace {

constexpr int kRecordFieldCount = 5;

// A tab is a blank to the reader (fields are trimmed of it), so it is no damage.

bool allDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A score as a whole decimal number of any length: scores are compared as numbers, and a
// hand-made file may hold more digits than an int takes.
struct Decimal {
    bool negative = false;
    std::string digits = "0";  // no leading zeros
};

std::optional<Decimal> readDecimal(const std::string& s) {
    Decimal d;
    std::size_t i = 0;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        d.negative = s[0] == '-';
        i = 1;
    }
    const std::string digits = s.substr(i);
    if (!allDigits(digits)) return std::nullopt;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return Decimal{};  // "-0" is 0
    d.digits = digits.substr(first);
    return d;
}

// What a score ranks as: a score that is no number ranks as 0 (it is kept as written).
Decimal scoreValue(const std::string& score) { return readDecimal(score).value_or(Decimal{}); }

// <0, 0 or >0 as a is smaller than, equal to or greater than b.
int compareDecimals(const Decimal& a, const Decimal& b) {
    if (a.negative != b.negative) return a.negative ? -1 : 1;
    int magnitude = 0;
    if (a.digits.size() != b.digits.size())
        magnitude = a.digits.size() < b.digits.size() ? -1 : 1;
    else
        magnitude = a.digits.compare(b.digits) < 0 ? -1 : (a.digits == b.digits ? 0 : 1);
    return a.negative ? -magnitude : magnitude;
}

// A moved row's rank grows by one when it is a number; any other rank is the player's
// text and stays.
std::string nextRank(std::string rank) {
    if (!allDigits(rank)) return rank;
    for (std::size_t i = rank.size(); i-- > 0;) {
        if (rank[i] != '9') {
            ++rank[i];
            return rank;
        }
        rank[i] = '0';
    }
    return "1" + rank;
}

std::size_t formattedLength(const RecordEntry& e) {
    // The mode is one digit; four ", " separators.
    return 1 + 8 + e.rank.size() + e.name.size() + e.level.size() + e.score.size();
}

// Cuts fields until the row's line fits the limit, the name first (it matters least to the
// order) and the score last. True when anything was cut.
bool fitLine(RecordEntry& e) {
    bool cut = false;
    for (std::string* field : {&e.name, &e.level, &e.rank, &e.score}) {
        const std::size_t length = formattedLength(e);
        if (length <= kRecordsLineLimit) break;
        const std::size_t excess = length - kRecordsLineLimit;
        field->resize(field->size() > excess ? field->size() - excess : 0);
        // A cut can leave a blank at the end, which the reader would trim away.
        *field = trim(*field);
        cut = true;
    }
    return cut;
}

class Reader {
public:
    explicit Reader(RecordsFileText& out) : out_(out) {}

    void read(int lineNumber, std::string line) {
        line_ = lineNumber;
        line = trim(soundSaveLine(std::move(line), kRecordsLineLimit, [this](std::string what) { report(std::move(what)); }));
        if (line.empty()) return;

        const std::string modeText = trim(GetCommaField(line, 1));
        const std::optional<int> mode = parseInt(modeText);
        if (!mode || !isValidMode(*mode)) {
            // Perhaps a mode of a later version: not ours to judge or to drop.
            report("mode \"" + modeText + "\" is not 1, 2 or 3; the line is kept as it is", false);
            out_.lines.push_back({0, {}, line});
            return;
        }
        int& count = counts_[*mode - kFirstMode];
        if (count == kRecordsPerMode) {
            report("an eleventh or later record of mode " + std::to_string(*mode) + "; dropped");
            return;
        }
        if (std::count(line.begin(), line.end(), ',') < 2) {
            // Not even a name: junk, not a record to be shown with blanks. (A row cut short
            // by the line limit still has its rank and name.)
            report("no name field: no record; skipped");
            return;
        }
        RecordEntry entry{trim(GetCommaField(line, 2)), trim(GetCommaField(line, 3)),
                          trim(GetCommaField(line, 4)), trim(GetCommaField(line, 5))};
        if (hasTextAfterField(line, kRecordFieldCount))
            report("more than " + std::to_string(kRecordFieldCount) + " fields; the rest is dropped");
        if (!readDecimal(entry.score))
            report("score \"" + entry.score + "\" is not a whole number; kept, it ranks as 0", false);
        if (fitLine(entry)) report("fields too long to be written back; cut");
        out_.lines.push_back({*mode, std::move(entry), line});
        ++count;
    }

private:
    void report(std::string what, bool lost = true) {
        out_.damage.push_back({line_, std::move(what), lost});
    }

    RecordsFileText& out_;
    int line_ = 0;
    std::array<int, kModeCount> counts_{};
};

}  // namespace

RecordsFileText parseRecords(const std::string& text) {
    RecordsFileText result;
    Reader reader(result);
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t length = end - start;
        // The CR of a CR LF (or of a file that ends in CR) belongs to the line end.
        if (length > 0 && text[start + length - 1] == '\r') --length;
        reader.read(++lineNumber, text.substr(start, length));
        start = end + 1;
    }
    return result;
}

std::string formatRecords(const std::vector<RecordsLine>& lines) {
    std::string out;
    for (const RecordsLine& line : lines) {
        if (line.mode == 0 || !line.kept.empty()) {
            out += line.kept;
        } else {
            const RecordEntry& e = line.entry;
            out += std::to_string(line.mode) + ", " + e.rank + ", " + e.name + ", " + e.level + ", " + e.score;
        }
        out += "\r\n";
    }
    return out;
}

RecordTable recordTable(const std::vector<RecordsLine>& lines, int mode) {
    RecordTable table;
    if (!isValidMode(mode)) return table;
    for (const RecordsLine& line : lines)
        if (line.mode == mode) table.push_back(line.entry);
    return table;
}

std::vector<RecordsLine> replaceTable(const std::vector<RecordsLine>& lines, int mode,
                                      const RecordTable& rows) {
    std::vector<RecordsLine> out;
    for (const RecordsLine& line : lines)
        if (line.mode != mode) out.push_back(line);
    std::vector<bool> used(lines.size(), false);
    for (const RecordEntry& row : rows) {
        RecordsLine next{mode, row, {}};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!used[i] && lines[i].mode == mode && lines[i].entry == row) {
                used[i] = true;
                next.kept = lines[i].kept;
                break;
            }
        }
        out.push_back(std::move(next));
    }
    return out;
}

RecordsUpdate enterResult(RecordTable table, const RecordEntry& result) {
    if (table.size() > static_cast<std::size_t>(kRecordsPerMode)) table.resize(kRecordsPerMode);
    const Decimal score = scoreValue(result.score);
    std::size_t at = 0;
    while (at < table.size() && compareDecimals(scoreValue(table[at].score), score) >= 0) ++at;

    RecordsUpdate update;
    update.store = at < table.size() || table.size() < static_cast<std::size_t>(kRecordsPerMode);
    // A full table the result does not beat shows it in place of its last row.
    if (!update.store) at = kRecordsPerMode - 1;

    update.rows.assign(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(at));
    RecordEntry entered = result;
    entered.rank = std::to_string(at + 1);
    fitLine(entered);
    update.rows.push_back(std::move(entered));
    if (update.store) {
        for (std::size_t i = at; i < table.size() && update.rows.size() < static_cast<std::size_t>(kRecordsPerMode); ++i) {
            RecordEntry moved = table[i];
            moved.rank = nextRank(moved.rank);
            fitLine(moved);
            update.rows.push_back(std::move(moved));
        }
    }
    update.highlighted = static_cast<int>(at) + 1;
    return update;
}

std::string storableRecordName(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == ',')
            out += ' ';
        else if (!isSaveControl(c))
            out += c;
    }
    out = trim(out);
    if (out.size() > kMaxRecordNameLength) out = trim(out.substr(0, kMaxRecordNameLength));
    return out;
}

}  // namespace qs
