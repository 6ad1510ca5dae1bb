#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/game_mode.h"

namespace qs {

struct CommandLine {
    bool headless = false;
    std::string dataDir;   // empty: found by findDataFolder (app/data_folder.h)
    std::string userDir;   // empty: $XDG_DATA_HOME/quibblestar
    std::optional<uint32_t> seed;
    std::optional<uint32_t> untilMs;
    std::string scriptFile;
    bool dumpState = false;
    bool checkContent = false;   // check the content folder and stop
    bool strictContent = false;  // any content problem fails the run
    // The shot simulator: a level of a mode, a shot list file.
    std::optional<GameMode> simulateMode;
    int simulateLevel = 0;
    std::string shotsFile;
    // The puzzle solver: a puzzle level, and how many shots it may play in its search.
    int solveLevel = 0;
    std::optional<uint32_t> solveBudget;
    // A game started without the menu, and the automatic player.
    std::optional<GameMode> startMode;
    int startLevel = 0;
    bool bot = false;
    // A replay checked headless (--replay FILE --headless), also when of other content or
    // another game version (--force); the records' replays checked (--verify-records).
    std::string replayFile;
    bool force = false;
    bool verifyRecords = false;
    bool help = false;
    bool version = false;  // print the version and the content folder a run would use
};

// Parses the arguments (without the program name); on a bad one returns nothing and says
// why in *error.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string* error);

std::string commandLineHelp();

// The default user folder: $XDG_DATA_HOME/quibblestar, else ~/.local/share/quibblestar.
std::string defaultUserDir();

}  // namespace qs
