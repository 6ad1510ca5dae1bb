#include "profile/player_store.h"

#include <algorithm>
#include <system_error>

#include "core/file_system.h"
#include "core/log.h"
#include "profile/players_file.h"
#include "profile/save_file.h"

namespace qs {

namespace fs = std::filesystem;

PlayerStore::PlayerStore(const FileSystem& files, Log& log, OptionWriter writeOption,
                         Notice tellPlayer, int playerIndex)
    : files_(files),
      log_(log),
      writeOption_(std::move(writeOption)),
      reader_(log, std::move(tellPlayer), "player file", "progress will not be saved"),
      currentPlayer_(playerIndex) {}

fs::path PlayerStore::file() const { return files_.userPath(kPlayersFile); }

int PlayerStore::ReadPlayers() {
    const fs::path path = file();
    std::string text;
    switch (reader_.read(path, kPlayersFileLimit, text)) {
        case SaveReader::Result::kMissing:
            players_.clear();
            damagedOriginal_.reset();
            break;
        case SaveReader::Result::kRead: {
            PlayersFileText parsed = parsePlayers(text);
            logSaveDamage(log_, path, parsed.damage);
            if (parsed.damage.empty())
                damagedOriginal_.reset();
            else
                damagedOriginal_ = std::move(text);
            players_ = std::move(parsed.players);
            break;
        }
        case SaveReader::Result::kClosed:
            // Once the file could not be read, the players read before (if any) go on.
            return count();
    }

    // A stored index can be left over from a longer list (or a hand-edited options file).
    if (!players_.empty() && (currentPlayer_ < 0 || currentPlayer_ >= count())) {
        // The index must be usable whether or not options.txt takes it: the menu and the
        // game index the list with it.
        currentPlayer_ = 0;
        writePlayerIndex(0);
    }
    return count();
}

const PlayerRecord* PlayerStore::current() const {
    if (currentPlayer_ < 0 || currentPlayer_ >= count()) return nullptr;
    return &players_[currentPlayer_];
}

int PlayerStore::find(const std::string& name) const {
    for (int i = 0; i < count(); ++i)
        if (players_[i].name == name) return i;
    return -1;
}

bool PlayerStore::update(const Change& change) {
    PlayerList next = players_;
    int nextCurrent = currentPlayer_;
    change(next, nextCurrent);
    return commit(std::move(next), nextCurrent);
}

bool PlayerStore::commit(PlayerList next, int nextCurrent) {
    const std::string path = file().string();
    for (const PlayerRecord& record : next) {
        if (!isStorablePlayerName(record.name)) {
            log_.error(path + ": the name \"" + record.name +
                       "\" cannot be stored (a comma, a control character, a blank at an end "
                       "or more than " + std::to_string(kPlayerLineLimit) + " characters)");
            return false;
        }
    }
    if (!next.empty() && (nextCurrent < 0 || nextCurrent >= static_cast<int>(next.size()))) {
        log_.error(path + ": player " + std::to_string(nextCurrent) + " cannot be made current in a list of " +
                   std::to_string(next.size()));
        return false;
    }
    const bool listChanged = next != players_;
    const bool indexChanged = nextCurrent != currentPlayer_;
    if (reader_.closed()) {
        // The file could not be read, so it is left alone; the players of this run live in
        // memory only, and the game goes on with them.
        if (listChanged) log_.WriteLog(path + " is not saved: it could not be read, so it is left alone during this run");
        if (indexChanged && !writePlayerIndex(nextCurrent)) return false;
        players_ = std::move(next);
        currentPlayer_ = nextCurrent;
        return true;
    }
    // The small write goes first: it is the one that can be undone if the player file
    // then fails.
    if (indexChanged && !writePlayerIndex(nextCurrent)) return false;
    if (listChanged && !WritePlayers(next)) {
        if (indexChanged && !writePlayerIndex(currentPlayer_))
            log_.error("player_index could not be set back to " + std::to_string(currentPlayer_) +
                       " after " + path + " failed");
        return false;
    }
    players_ = std::move(next);
    currentPlayer_ = nextCurrent;
    return true;
}

bool PlayerStore::WritePlayers(const PlayerList& players) {
    std::vector<std::string> cut;
    const std::string text = formatPlayers(players, &cut);
    for (const std::string& name : cut)
        log_.WriteLog(file().string() + ": the name \"" + name + "\" is cut to fit its line of " +
                      std::to_string(kPlayerLineLimit) + " characters");
    std::string failure;
    if (writeSave(file(), text, damagedOriginal_, log_, &failure)) {
        lastFailure_.clear();
        return true;
    }
    if (failure != lastFailure_) {
        log_.error(failure);
        lastFailure_ = failure;
        failureTold_ = false;
    }
    return false;
}

std::optional<std::string> PlayerStore::failureToTell() {
    if (lastFailure_.empty() || failureTold_) return std::nullopt;
    failureTold_ = true;
    return lastFailure_;
}

bool PlayerStore::writePlayerIndex(int index) {
    // Without a writer (tools, fuzz runs) the index lives in memory only.
    if (!writeOption_) return true;
    if (writeOption_("player_index", std::to_string(index))) return true;
    log_.error("options.txt: player_index " + std::to_string(index) + " could not be stored");
    return false;
}

bool PlayerStore::addFirstPlayer(const std::string& name) {
    return update([&](PlayerList& players, int& current) {
        players.push_back(firstPlayerRecord(name));
        current = static_cast<int>(players.size()) - 1;
    });
}

bool PlayerStore::addPlayer(const std::string& name) {
    return update([&](PlayerList& players, int&) { players.push_back(newPlayerRecord(name)); });
}

bool PlayerStore::renamePlayer(int index, const std::string& name) {
    if (index < 0 || index >= count()) {
        log_.error(file().string() + ": there is no player " + std::to_string(index) + " to rename");
        return false;
    }
    return update([&](PlayerList& players, int&) { players[index].name = name; });
}

bool PlayerStore::removePlayer(int index) {
    if (index < 0 || index >= count()) {
        log_.error(file().string() + ": there is no player " + std::to_string(index) + " to remove");
        return false;
    }
    return update([index](PlayerList& players, int& current) {
        players.erase(players.begin() + index);
        const int last = static_cast<int>(players.size()) - 1;
        if (index < current)
            --current;  // the same person, one place up
        else if (index == current)
            current = std::min(index, std::max(last, 0));  // whoever the list now highlights
        if (current < 0 || current > last) current = 0;
    });
}

bool PlayerStore::selectPlayer(int index) {
    if (index < 0 || index >= count()) {
        log_.error(file().string() + ": there is no player " + std::to_string(index) + " to choose");
        return false;
    }
    return commit(players_, index);
}

bool PlayerStore::changeCurrent(const char* what, int mode,
                                const std::function<void(ModeProgress&)>& change) {
    if (!current()) {
        log_.error(file().string() + ": no current player to store the " + what + " for");
        return false;
    }
    if (!isValidMode(mode)) {
        log_.error(file().string() + ": the " + what + " of mode " + std::to_string(mode) +
                   " cannot be stored; there is no such mode");
        return false;
    }
    return update([&](PlayerList& players, int& current) { change(*players[current].progress(mode)); });
}

bool PlayerStore::saveProgress(int mode, int levelReached, int levelStartScore, int checkpointScore,
                               int gameState) {
    return changeCurrent("progress", mode, [&](ModeProgress& progress) {
        progress.levelReached = levelReached;
        progress.levelStartScore = levelStartScore;
        progress.checkpointScore = checkpointScore;
        progress.gameState = gameState;
    });
}

bool PlayerStore::setShowMessage(int mode, bool show) {
    return changeCurrent("game message flag", mode,
                         [&](ModeProgress& progress) { progress.showMessage = show ? 1 : 0; });
}

}  // namespace qs
