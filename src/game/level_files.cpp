#include "game/level_files.h"

#include <algorithm>
#include <cstdio>

#include "core/comma_fields.h"
#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"
#include "game/ball_grid.h"

namespace qs {

std::string levelFileName(GameMode mode, int level) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", level);
    return std::string("levels\\") + gameModeName(mode) + "-" + number + ".ini";
}

namespace {

// A line that carries data, with its line number in the file for messages.
struct DataLine {
    int number = 0;
    std::string text;
};

// Comments and empty lines go; a ";" inside a line ends it. A line of blanks stays a data line.
std::vector<DataLine> dataLines(const std::string& contents) {
    std::vector<DataLine> lines;
    int number = 0;
    for (const std::string& raw : splitLines(contents)) {
        ++number;
        std::string line = cutLine(raw);
        if (!line.empty() && line[0] == ';') continue;
        const size_t comment = line.find(';');
        if (comment != std::string::npos) line.resize(comment);
        if (line.empty()) continue;
        lines.push_back({number, line});
    }
    return lines;
}

class LevelReader {
public:
    LevelReader(Log& log, std::string fileName) : log_(log), fileName_(std::move(fileName)) {}

    void error(int line, const std::string& message) {
        if (line > 0)
            log_.error(fileName_ + " line " + std::to_string(line) + ": " + message);
        else
            log_.error(fileName_ + ": " + message);
    }

    std::optional<int> integer(const DataLine& line, const char* what) {
        std::optional<int> value = parseInt(trim(line.text));
        if (!value) error(line.number, std::string(what) + " \"" + trim(line.text) + "\" is not a whole number");
        return value;
    }

    std::optional<double> real(const DataLine& line, const char* what) {
        std::optional<double> value = parseReal(trim(line.text));
        if (!value) error(line.number, std::string(what) + " \"" + trim(line.text) + "\" is not a number");
        return value;
    }

    // Fields in order up to the first empty one or the first value outside 1..10.
    bool bonusList(const DataLine& line, std::vector<int>& list) {
        list.clear();
        for (int n = 1;; ++n) {
            const std::string field = trim(GetCommaField(line.text, n));
            if (field.empty()) return true;
            std::optional<int> value = parseInt(field);
            if (!value) {
                error(line.number, "the bonus \"" + field + "\" is not a whole number");
                return false;
            }
            if (*value < 1 || *value > 10) return true;
            list.push_back(*value);
        }
    }

    // A new bonus names one of the bonuses 1..10 (0: none); any other number would announce a
    // bonus that does not exist, so it is said and taken as none.
    int newBonus(const DataLine& line, int value) {
        if (value >= 0 && value <= 10) return value;
        error(line.number, "the new bonus " + std::to_string(value) + " is none of the bonuses 1 to 10; none is announced");
        return 0;
    }

    // A file without text lines keeps the previous level's text.
    void textLine(const DataLine& line, std::vector<std::string>& text) {
        if (!textStarted_) text.clear();
        textStarted_ = true;
        text.push_back(line.text);
    }

private:
    Log& log_;
    std::string fileName_;
    bool textStarted_ = false;
};

std::optional<std::string> readLevelFile(const FileSystem& files, LevelReader& reader,
                                         const std::string& fileName) {
    std::optional<std::string> contents = files.readContent(fileName);
    if (!contents) reader.error(0, "the level file is missing");
    return contents;
}

int lastLevelFor(const FileSystem& files, GameMode mode, int level) {
    return files.contentExists(levelFileName(mode, level + 1)) ? kMoreLevels : level;
}

}  // namespace

bool ReadArcadeLevel(const FileSystem& files, Log& log, GameMode mode, int level,
                     LevelValues& values, BallGrid& grid) {
    const std::string fileName = levelFileName(mode, level);
    LevelReader reader(log, fileName);
    std::optional<std::string> contents = readLevelFile(files, reader, fileName);
    if (!contents) return false;

    LevelValues next = values;
    next.levelBonusList.clear();
    next.newBonus = 0;
    int colourCount = grid.colourCount;
    const std::vector<DataLine> lines = dataLines(*contents);
    for (size_t i = 0; i < lines.size(); ++i) {
        const DataLine& line = lines[i];
        switch (i + 1) {
            case 1: {
                std::optional<int> v = reader.integer(line, mode == kModeChallenge ? "the drain interval" : "the descent interval");
                if (!v) return false;
                (mode == kModeChallenge ? next.drainInterval : next.descentInterval) = *v;
                break;
            }
            case 2: {
                std::optional<double> v = reader.real(line, mode == kModeChallenge ? "the gauge factor" : "the score divisor");
                if (!v) return false;
                if (mode == kModeChallenge) {
                    next.gaugeFactor = *v;
                } else {
                    if (*v <= 0) {
                        reader.error(line.number, "the score divisor must be above 0");
                        return false;
                    }
                    next.scoreDivisor = *v;
                }
                break;
            }
            case 3: {
                std::optional<int> v = reader.integer(line, "the colour count");
                if (!v) return false;
                if (*v < 1 || *v > kColourCount) {
                    reader.error(line.number, "the colour count must be 1 to 7");
                    return false;
                }
                colourCount = *v;
                break;
            }
            case 4:
                if (!reader.bonusList(line, next.levelBonusList)) return false;
                break;
            case 5: {
                std::optional<int> v = reader.integer(line, "the new bonus");
                if (!v) return false;
                next.newBonus = reader.newBonus(line, *v);
                break;
            }
            default:
                reader.textLine(line, next.newBonusText);
        }
    }
    if (lines.size() < 3) {
        reader.error(0, "the file ends before its colour count (line 3 of its data)");
        return false;
    }
    next.lastLevel = lastLevelFor(files, mode, level);
    values = std::move(next);
    grid.colourCount = colourCount;
    return true;
}

std::optional<int> ReadPuzzleLevel(const FileSystem& files, Log& log, const std::string& fileName,
                                   int level, LevelValues& values, BallGrid& grid) {
    LevelReader reader(log, fileName);
    std::optional<std::string> contents = readLevelFile(files, reader, fileName);
    if (!contents) return std::nullopt;

    LevelValues next = values;
    next.levelBonusList.clear();
    next.levelColourList.clear();
    next.newBonus = 0;
    next.crystalsInLevel = 0;
    std::optional<int> pushInterval;
    int pushLine = 0;
    std::optional<int> shift;
    std::vector<DataLine> ballRows;

    bool afterHash = false;
    int count = 0;
    for (const DataLine& line : dataLines(*contents)) {
        if (trim(line.text) == "#") {
            afterHash = true;
            count = 0;
            continue;
        }
        ++count;
        if (!afterHash) {
            if (count == 1) {
                pushInterval = reader.integer(line, "the push interval");
                if (!pushInterval) return std::nullopt;
                pushLine = line.number;
            } else if (count == 2) {
                const std::string field = trim(GetCommaField(line.text, 1));
                shift = parseInt(field);
                if (!shift || (*shift != 0 && *shift != 1)) {
                    reader.error(line.number, "the first row's shift \"" + field + "\" must be 0 or 1");
                    return std::nullopt;
                }
            } else {
                ballRows.push_back(line);
            }
        } else if (count == 1) {
            if (!reader.bonusList(line, next.levelBonusList)) return std::nullopt;
        } else if (count == 2) {
            std::optional<int> v = reader.integer(line, "the new bonus");
            if (!v) return std::nullopt;
            next.newBonus = reader.newBonus(line, *v);
        } else {
            reader.textLine(line, next.newBonusText);
        }
    }

    if (!pushInterval || !shift) {
        reader.error(0, "the file ends before its push interval and first row's shift");
        return std::nullopt;
    }
    if (*pushInterval <= 0) {
        reader.error(pushLine, "the push interval must be above 0");
        return std::nullopt;
    }
    if (ballRows.size() > static_cast<size_t>(kMaxPuzzleRows)) {
        reader.error(ballRows[kMaxPuzzleRows].number,
                     "more than 12 ball rows: the field would start below the bottom row");
        return std::nullopt;
    }

    // Work the rows out first, so that a file that cannot be played leaves the grid alone.
    struct Placement {
        int column, row, kind;
    };
    std::vector<Placement> placements;
    int row = kFirstPuzzleRow;
    int width = 11 + *shift;
    for (const DataLine& line : ballRows) {
        bool clippedSomething = false;
        for (size_t i = 0; i < line.text.size(); ++i) {
            const char c = line.text[i];
            int kind = kCellEmpty;
            if (c >= '1' && c <= '9') kind = c - '0';
            else if (c == 'L') kind = kCellLand;
            else if (c == 'C') kind = kCellCrystal;
            if (kind == kCellEmpty) continue;
            const int column = static_cast<int>(i) + 2;
            // The closed net's playable columns: 2 .. width + 1.
            if (column > width + 1) {
                clippedSomething = true;
                continue;
            }
            if (kind > kColourCount && kind <= 9) {
                reader.error(line.number, std::string("colour ") + c + " does not exist (colours are 1 to 7); cell left empty");
                continue;
            }
            placements.push_back({column, row, kind});
            if (isColour(kind) &&
                std::find(next.levelColourList.begin(), next.levelColourList.end(), kind) == next.levelColourList.end())
                next.levelColourList.push_back(kind);
            if (kind == kCellCrystal) ++next.crystalsInLevel;
        }
        if (clippedSomething)
            reader.error(line.number, "cells beyond column " + std::to_string(width + 1) + " of row " +
                                          std::to_string(row) + " are left out");
        width = 23 - width;
        --row;
    }
    if (next.levelColourList.empty()) {
        reader.error(0, "the puzzle has no ball of a colour 1 to 7");
        return std::nullopt;
    }

    next.pushInterval = *pushInterval;
    next.firstRowShift = *shift;
    next.pendingDescent = 360;
    next.lastLevel = lastLevelFor(files, kModePuzzle, level);
    values = std::move(next);

    grid.rows = kFirstPuzzleRow + 1;
    grid.limitRow = ballRows.empty() ? kFirstPuzzleRow + 1 : kFirstPuzzleRow + 1 - static_cast<int>(ballRows.size());
    grid.setAlternatingWidths(kFirstPuzzleRow, 11 + *shift);
    for (const Placement& p : placements) {
        const GridCell* cell = grid.cellAt(p.column, p.row);
        grid.setCell(p.column, p.row, p.kind, cell ? cell->tint : 0, 0);
    }
    return *shift;
}

}  // namespace qs
