#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "profile/player_record.h"

namespace qs {

// "players.txt": one player per line, 16 fields separated by ", ": the name, then for
// modes 1..3 in turn levelReached, showMessage, levelStartScore, gameState and
// checkpointScore. Written with CR LF; read with CR LF or LF.
inline constexpr const char* kPlayersFile = "players.txt";
inline constexpr int kPlayerFieldCount = 16;
inline constexpr std::size_t kPlayerLineLimit = 255;
// A name this long still leaves room on a 255-character line for fifteen numbers of any
// size. Name entry stops at 14; a longer name found in the file is kept whole as long as its
// line fits (see formatPlayers).
inline constexpr std::size_t kMaxPlayerNameLength = 60;
// Players files this large hold no players the game wrote (that is some 16,000 players of
// the longest lines); reading one would only cost the start-up time and memory, and
// rewriting it would put its junk in the players' place. Such a file is left as it is.
inline constexpr std::uintmax_t kPlayersFileLimit = std::uintmax_t{4} * 1024 * 1024;

// A line that was not read as written. Such a file is read as far as it is sound, and the
// original is kept before it is first rewritten, because the rewrite loses what was dropped.
//   - more than 255 characters: the rest of the line is dropped;
//   - a control character other than a tab (NUL included; a CR right before the line end
//     belongs to the line end): the line is read up to it;
//   - a number field that is not a whole 32-bit decimal number: the line is no player's and
//     is skipped;
//   - anything but blanks after the 16th field: dropped.
// An empty field is not damage (it takes its default), and neither is a number the reader
// corrects (a level of 0, a message flag of 7): those are part of the format.
struct PlayersFileDamage {
    int line = 0;  // 1-based, counting every line end in the file
    std::string what;
};

struct PlayersFileText {
    PlayerList players;
    std::vector<PlayersFileDamage> damage;
};

// Reads the text of a players file: empty lines are skipped, empty fields take their
// defaults (level -1, message 1, scores 0, gameState 1), and out-of-range numbers are
// corrected (a level of 0 or less becomes -1, a message flag other than 0 or 1 becomes 1,
// a negative score 0, a gameState outside -1..1 becomes 1).
PlayersFileText parsePlayers(const std::string& text);

// The file text for a list, every field present, CR LF after every line. A name whose line
// would pass 255 characters is cut so that the line fits (its numbers count for more); the
// names cut go to *cutNames.
std::string formatPlayers(const PlayerList& players, std::vector<std::string>* cutNames = nullptr);

// True when the name comes back unchanged from the file: no comma, no control character
// but a tab inside, no blank or tab at either end, at most kPlayerLineLimit characters.
bool isStorablePlayerName(const std::string& name);

}  // namespace qs
