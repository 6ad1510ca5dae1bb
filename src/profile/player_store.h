#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "profile/player_record.h"
#include "profile/save_file.h"

namespace qs {

class FileSystem;
class Log;

// The players of this run and which of them plays: the `PlayerList` read from
// "players.txt" in the user folder and `currentPlayer`, whose index lives in "options.txt"
// as "player_index".
//
// Every change is a transaction: the new list is built aside, written, and only then
// becomes the list in memory. A failed write leaves the list, `currentPlayer` and
// "player_index" as they were, so memory never drifts from the file (a later re-read
// would otherwise play and save into someone else's profile).
class PlayerStore {
public:
    // Stores one options.txt value (and the owner's copy of it); false when it failed.
    using OptionWriter = std::function<bool(const std::string& key, const std::string& value)>;
    // Tells the player something that needs their attention (a message box).
    using Notice = std::function<void(const std::string& text)>;
    using Change = std::function<void(PlayerList& players, int& currentPlayer)>;

    // `playerIndex` is "player_index" as options.txt gave it.
    PlayerStore(const FileSystem& files, Log& log, OptionWriter writeOption, Notice tellPlayer,
                int playerIndex = 0);

    // Replaces the list by the file's players and returns their count. A missing file is
    // an empty list. A file that exists but cannot be read keeps the list as it was and is
    // never written during this run. Afterwards a `currentPlayer` outside a non-empty list
    // becomes 0 (and is stored).
    int ReadPlayers();

    const PlayerList& players() const { return players_; }
    int count() const { return static_cast<int>(players_.size()); }
    // No player at all: the menu must open name entry for a first player.
    bool empty() const { return players_.empty(); }
    int currentPlayer() const { return currentPlayer_; }
    // The player who plays; nothing while the list is empty.
    const PlayerRecord* current() const;
    // The index of the player with exactly this name (letter case counts), or -1.
    int find(const std::string& name) const;
    // False once the file was found unreadable: it is not written again during this run, and
    // the changes of the run are kept in memory only.
    bool writable() const { return !reader_.closed(); }

    // Lets `change` edit a copy of the list and of `currentPlayer`, then stores the result.
    // Refused when a name cannot be stored or `currentPlayer` would point outside a
    // non-empty list. True when everything changed was written.
    bool update(const Change& change);

    // Appends the record of a first player (levels stored as 0, messages on, nothing to
    // continue) and makes it current.
    bool addFirstPlayer(const std::string& name);
    // Appends a player who has never played; the current player stays.
    bool addPlayer(const std::string& name);
    bool renamePlayer(int index, const std::string& name);
    // Removes a player; `currentPlayer` keeps naming the same person when someone before
    // it goes, and moves to the player now at that place (or the last one) when it goes.
    bool removePlayer(int index);
    // Makes a player current; only "player_index" is written.
    bool selectPlayer(int index);
    // The game's save for the current player in one mode (1..3).
    bool saveProgress(int mode, int levelReached, int levelStartScore, int checkpointScore,
                      int gameState);
    // The current player's "show the game message" flag for one mode.
    bool setShowMessage(int mode, bool show);

    std::filesystem::path file() const;

    // What went wrong with the last failed write (its path and reason), for the player, once:
    // nothing when nothing failed or the failure was told already.
    std::optional<std::string> failureToTell();

private:
    bool commit(PlayerList next, int nextCurrent);
    bool WritePlayers(const PlayerList& players);
    bool writePlayerIndex(int index);
    bool changeCurrent(const char* what, int mode,
                       const std::function<void(ModeProgress&)>& change);

    const FileSystem& files_;
    Log& log_;
    OptionWriter writeOption_;
    PlayerList players_;
    SaveReader reader_;
    int currentPlayer_ = 0;
    // The damaged file as it was read, kept beside it before it is first rewritten.
    std::optional<std::string> damagedOriginal_;
    // A write that keeps failing the same way is logged once, and told once.
    std::string lastFailure_;
    bool failureTold_ = false;
};

}  // namespace qs
