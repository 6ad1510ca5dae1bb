#include "profile/players_file.h"

#include <optional>

#include "core/comma_fields.h"
#include "core/text_util.h"
#include "profile/save_file.h"

namespace qs {

namespace {

// A tab is a blank to the reader (fields are trimmed of it), so it is no damage.

// The five numbers of a mode, in the order they follow each other across the modes.
struct NumberField {
    const char* name;
    int ModeProgress::*field;
    int whenEmpty;
    int (*correct)(int);
};

int correctLevel(int v) { return v <= 0 ? -1 : v; }
int correctFlag(int v) { return v == 0 || v == 1 ? v : 1; }
int correctScore(int v) { return v < 0 ? 0 : v; }
int correctGameState(int v) { return v < -1 || v > 1 ? 1 : v; }

// Field 2 + 3 k + (mode - 1) holds number k of the mode.
const NumberField kNumbers[] = {
    {"levelReached", &ModeProgress::levelReached, -1, correctLevel},
    {"showMessage", &ModeProgress::showMessage, 1, correctFlag},
    {"levelStartScore", &ModeProgress::levelStartScore, 0, correctScore},
    {"gameState", &ModeProgress::gameState, 1, correctGameState},
    {"checkpointScore", &ModeProgress::checkpointScore, 0, correctScore},
};

class LineReader {
public:
    LineReader(int lineNumber, std::vector<PlayersFileDamage>& damage)
        : lineNumber_(lineNumber), damage_(damage) {}

    // The sound part of a raw line (line end already removed); nothing for a blank line.
    std::optional<PlayerRecord> read(std::string line) {
        line = trim(soundSaveLine(std::move(line), kPlayerLineLimit, [this](std::string what) { report(std::move(what)); }));
        if (line.empty()) return std::nullopt;

        PlayerRecord record;
        record.name = trim(GetCommaField(line, 1));
        int position = 2;
        for (const NumberField& number : kNumbers) {
            for (ModeProgress& mode : record.modes) {
                std::optional<int> value = readNumber(line, position++, number);
                // A line whose numbers are not numbers is junk, not a player to be made up
                // from defaults; the damaged original is kept before the file is rewritten.
                if (!value) return std::nullopt;
                mode.*(number.field) = *value;
            }
        }
        if (hasTextAfterField(line, kPlayerFieldCount)) {
            report("more than " + std::to_string(kPlayerFieldCount) + " fields; the rest is dropped");
        }
        return record;
    }

private:
    std::optional<int> readNumber(const std::string& line, int position, const NumberField& number) {
        const std::string text = trim(GetCommaField(line, position));
        if (text.empty()) return number.whenEmpty;
        std::optional<int> value = parseInt(text);
        if (!value) {
            report("field " + std::to_string(position) + " (" + number.name + ") \"" + cutLine(text, 40) +
                   "\" is not a number: the line is no player's and is skipped");
            return std::nullopt;
        }
        return number.correct(*value);
    }

    void report(std::string what) { damage_.push_back({lineNumber_, std::move(what)}); }

    int lineNumber_;
    std::vector<PlayersFileDamage>& damage_;
};

}  // namespace

PlayersFileText parsePlayers(const std::string& text) {
    PlayersFileText result;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool lastLine = end == std::string::npos;
        if (lastLine) end = text.size();
        std::size_t length = end - start;
        // The CR of a CR LF (or of a file that ends in CR) belongs to the line end.
        if (length > 0 && text[start + length - 1] == '\r') --length;
        ++lineNumber;
        LineReader reader(lineNumber, result.damage);
        if (auto record = reader.read(text.substr(start, length)))
            result.players.push_back(std::move(*record));
        start = end + 1;
    }
    return result;
}

std::string formatPlayers(const PlayerList& players, std::vector<std::string>* cutNames) {
    std::string out;
    for (const PlayerRecord& record : players) {
        std::string numbers;
        for (const NumberField& number : kNumbers) {
            for (const ModeProgress& mode : record.modes) {
                numbers += ", ";
                numbers += std::to_string(mode.*(number.field));
            }
        }
        std::string name = record.name;
        if (name.size() + numbers.size() > kPlayerLineLimit) {
            name = trim(name.substr(0, kPlayerLineLimit - numbers.size()));
            if (cutNames) cutNames->push_back(record.name);
        }
        out += name + numbers + "\r\n";
    }
    return out;
}

bool isStorablePlayerName(const std::string& name) {
    if (name.size() > kPlayerLineLimit) return false;
    for (char c : name)
        if (c == ',' || isSaveControl(c)) return false;
    return trim(name) == name;
}

}  // namespace qs
