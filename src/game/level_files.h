#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/game_mode.h"

namespace qs {

class BallGrid;
class FileSystem;
class Log;

// The values a level file gives the game; all replaced at every level start.
struct LevelValues {
    int descentInterval = 0;      // arcade: ms between one-pixel descents while the field is high
    int drainInterval = 0;        // challenge: ms between drain steps of the gauge
    double scoreDivisor = 1;      // arcade: progress = plain level score / scoreDivisor
    double gaugeFactor = 1;       // challenge: scale of what a scoring shot adds to the gauge
    std::vector<int> levelBonusList;
    int newBonus = 0;             // the item the statistics screen presents after the level
    std::vector<std::string> newBonusText;
    int pushInterval = 0;         // puzzle: shots between two 30-pixel pushes
    int firstRowShift = 0;        // puzzle: 1 = the first ball row has width 12
    std::vector<int> levelColourList;  // puzzle: distinct colours in order of first appearance
    int crystalsInLevel = 0;
    int pendingDescent = 0;       // puzzle: 360, the field slides in at level start
    int lastLevel = 0;            // 999999 while a file for the next level exists
};

inline constexpr int kMoreLevels = 999999;
inline constexpr int kFirstPuzzleRow = 23;
inline constexpr int kMaxPuzzleRows = 12;

// "levels\arcade-01.ini", "levels\puzzle-12.ini", ...
std::string levelFileName(GameMode mode, int level);

// Reads the arcade or challenge file of `level` into `values` and the grid's colour count.
// A missing file, a malformed number or a value the game cannot play with is logged with
// the file and line, and the result is false; the values are then left as they were.
bool ReadArcadeLevel(const FileSystem& files, Log& log, GameMode mode, int level,
                     LevelValues& values, BallGrid& grid);

// Reads a puzzle file: places its balls, land and crystals from row 23 down, sets the row
// widths, `rows` 24, `limitRow` and the level values. Returns the first row's shift (0 or 1),
// or nothing (logged, grid and values untouched) when the file cannot be played. The caller
// empties the grid first.
std::optional<int> ReadPuzzleLevel(const FileSystem& files, Log& log, const std::string& fileName,
                                   int level, LevelValues& values, BallGrid& grid);

}  // namespace qs
