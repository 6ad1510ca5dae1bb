#pragma once

#include <cstddef>
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
// size, so every record the game writes reads back whole. Name entry stops at 14.
inline constexpr std::size_t kMaxPlayerNameLength = 60;

// A line that was not read as written. Such a file is read as far as it is sound, and the
// original is kept before it is first rewritten, because the rewrite loses what was dropped.
//   - more than 255 characters: the rest of the line is dropped;
//   - a control character other than a tab (NUL included; a CR right before the line end
//     belongs to the line end): the line is read up to it;
//   - a number field that is not a whole 32-bit decimal number: the field takes its default;
//   - anything but blanks after the 16th field: dropped;
//   - a name longer than kMaxPlayerNameLength: cut to that length.
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

// The file text for a list, every field present, CR LF after every line.
std::string formatPlayers(const PlayerList& players);

// True when the name comes back unchanged from the file: no comma, no control character
// but a tab inside, no blank or tab at either end, at most kMaxPlayerNameLength characters.
bool isStorablePlayerName(const std::string& name);

}  // namespace qs
