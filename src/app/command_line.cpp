#include "app/command_line.h"

#include <cstdlib>

#include "core/text_util.h"

namespace qs {

namespace {

// A whole decimal number of 0..2^32-1 (a seed may be any 32-bit value).
std::optional<uint32_t> parseUnsigned32(const std::string& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<uint32_t>(value);
}

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string* error) {
    CommandLine line;
    // Flags that only a run of the game uses: the simulator and the solver would ignore them,
    // and a run that silently ignores what it was told is worse than one that refuses.
    std::string gameFlag;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto next = [&](std::string* out) {
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        auto number = [&](std::optional<uint32_t>* out) {
            std::string text;
            if (!next(&text)) return false;
            *out = parseUnsigned32(text);
            return out->has_value();
        };
        for (const char* flag : {"--headless", "--user-dir", "--until", "--script", "--dump-state",
                                 "--strict-content", "--start-game", "--level", "--bot"})
            if (arg == flag && gameFlag.empty()) gameFlag = flag;
        if (arg == "--headless") line.headless = true;
        else if (arg == "--dump-state") line.dumpState = true;
        else if (arg == "--check-content") line.checkContent = true;
        else if (arg == "--strict-content") line.strictContent = true;
        else if (arg == "--help" || arg == "-h") line.help = true;
        else if (arg == "--version") line.version = true;
        else if (arg == "--data") {
            if (!next(&line.dataDir) || line.dataDir.empty()) return fail("--data needs a folder");
        } else if (arg == "--user-dir") {
            if (!next(&line.userDir) || line.userDir.empty()) return fail("--user-dir needs a folder");
        } else if (arg == "--script") {
            if (!next(&line.scriptFile) || line.scriptFile.empty()) return fail("--script needs a file");
        } else if (arg == "--simulate") {
            std::string mode, level;
            if (!next(&mode) || !next(&level))
                return fail("--simulate needs a mode (arcade, challenge, puzzle) and a level number");
            std::optional<int> n = parseInt(level);
            if (!n || *n < 1) return fail("--simulate needs a level number from 1");
            line.simulateMode = parseGameMode(mode);
            if (!line.simulateMode) return fail("--simulate takes arcade, challenge or puzzle");
            line.simulateLevel = *n;
        } else if (arg == "--solve") {
            std::string mode, level;
            if (!next(&mode) || !next(&level)) return fail("--solve needs the mode puzzle and a level number");
            std::optional<GameMode> parsed = parseGameMode(mode);
            if (!parsed || *parsed != kModePuzzle) return fail("--solve takes only puzzle levels");
            std::optional<int> n = parseInt(level);
            if (!n || *n < 1) return fail("--solve needs a level number from 1");
            line.solveLevel = *n;
        } else if (arg == "--nodes") {
            if (!number(&line.solveBudget) || *line.solveBudget == 0) return fail("--nodes needs a whole number from 1");
        } else if (arg == "--start-game") {
            std::string mode;
            if (!next(&mode)) return fail("--start-game needs a mode (arcade, challenge, puzzle)");
            line.startMode = parseGameMode(mode);
            if (!line.startMode) return fail("--start-game takes arcade, challenge or puzzle");
        } else if (arg == "--level") {
            std::string level;
            std::optional<int> n = next(&level) ? parseInt(level) : std::nullopt;
            if (!n || *n < 1) return fail("--level needs a level number from 1");
            line.startLevel = *n;
        } else if (arg == "--bot") {
            line.bot = true;
        } else if (arg == "--replay") {
            if (!next(&line.replayFile) || line.replayFile.empty()) return fail("--replay needs a replay file");
        } else if (arg == "--force") {
            line.force = true;
        } else if (arg == "--verify-records") {
            line.verifyRecords = true;
        } else if (arg == "--shots") {
            if (!next(&line.shotsFile) || line.shotsFile.empty()) return fail("--shots needs a file");
        } else if (arg == "--seed") {
            if (!number(&line.seed)) return fail("--seed needs a whole number from 0 to 4294967295");
        } else if (arg == "--until") {
            if (!number(&line.untilMs)) return fail("--until needs a time in ms");
        } else {
            return fail("unknown argument \"" + arg + "\" (try --help)");
        }
    }
    if (!line.shotsFile.empty() && !line.simulateMode) return fail("--shots goes with --simulate");
    if (line.solveBudget && line.solveLevel == 0) return fail("--nodes goes with --solve");
    if (line.solveLevel > 0 && line.simulateMode) return fail("--solve and --simulate cannot go together");
    if (line.startLevel > 0 && !line.startMode) return fail("--level goes with --start-game");
    if (!gameFlag.empty() && (line.simulateMode || line.solveLevel > 0))
        return fail(gameFlag + " is for a run of the game; " + (line.simulateMode ? "--simulate" : "--solve") +
                    " does not take it");
    if (!line.replayFile.empty() && !line.headless)
        return fail("--replay plays headless only for now: add --headless");
    if (!line.replayFile.empty() && (line.startMode || line.simulateMode || line.solveLevel > 0 || line.verifyRecords))
        return fail("--replay plays a recorded game: it takes no other game, simulation or check");
    if (line.force && line.replayFile.empty() && !line.verifyRecords)
        return fail("--force goes with --replay or --verify-records");
    if (line.verifyRecords && (line.startMode || line.simulateMode || line.solveLevel > 0))
        return fail("--verify-records checks the records' replays: it takes no game, simulation or solver");
    if (line.bot && !line.startMode) return fail("--bot goes with --start-game (the bot plays games, not menus)");
    return line;
}

std::string commandLineHelp() {
    return "Usage: quibblestar [options]\n"
           "\n"
           "  --data DIR       content folder (default: $QUIBBLESTAR_DATA, else\n"
           "                   ../share/quibblestar beside the program, else the data\n"
           "                   folder of the checkout the program was built from)\n"
           "  --user-dir DIR   folder for options.txt, log.txt, players and records\n"
           "                   (default: $XDG_DATA_HOME/quibblestar or ~/.local/share/quibblestar)\n"
           "  --seed N         seed of the random generator\n"
           "  --headless       no window, no sound: a virtual clock runs frames back to back\n"
           "  --until MS       stop after MS milliseconds of game time\n"
           "  --script FILE    timed input and commands (see the README)\n"
           "  --dump-state     print the program's state as JSON when it stops\n"
           "  --check-content  read every content file under the data folder, report\n"
           "                   each problem with its file and line, and stop\n"
           "  --strict-content any content problem met during the run fails it (exit 3)\n"
           "  --simulate MODE LEVEL --shots FILE\n"
           "                   play a shot list on a level (MODE: arcade, challenge,\n"
           "                   puzzle) without a window and print JSON after each shot\n"
           "  --solve puzzle LEVEL [--nodes N]\n"
           "                   search the fewest shots that collect every crystal of a\n"
           "                   puzzle level (ball queue from --seed, default 1; at most N\n"
           "                   shots played in the search) and print one JSON line\n"
           "  --start-game MODE [--level N]\n"
           "                   start a game of MODE (arcade, challenge, puzzle) at once,\n"
           "                   at the saved level or at level N\n"
           "  --bot            an automatic player plays the game (with --start-game)\n"
           "  --replay FILE --headless\n"
           "                   play a replay (the user folder keeps one a game in\n"
           "                   replays/) as fast as it goes and print one JSON line: the\n"
           "                   result reached, the one stored, whether they agree and the\n"
           "                   first step where they part (exit 0 agree, 1 not, 2 unreadable)\n"
           "  --force          play a replay of other content or another game version\n"
           "  --verify-records check the replay behind every row of the records, one JSON\n"
           "                   line a row (exit 0 when every row has one that agrees)\n"
           "  --version        print the version and the content folder a run would use\n"
           "  --help           this text\n"
           "\n"
           "In the game, F11 or Alt+Enter switches between a window and full screen.\n";
}

std::string defaultUserDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/quibblestar";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.local/share/quibblestar";
    return ".quibblestar";
}

}  // namespace qs
