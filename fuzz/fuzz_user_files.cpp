// libFuzzer target for the user files as the game reads them at start: the input becomes
// the user folder's options.txt, players.txt and records.txt (the first bytes choose which
// file gets which part), and the game's own readers and stores go over them, with their size
// limits. Whatever the files hold, the settings stay inside what the game can run with, no
// file that could not be read is written, and every file that is rewritten keeps its damaged
// original beside it first.
//   scripts/fuzz 30 fuzz_user_files
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <unistd.h>

#include "core/file_system.h"
#include "core/log.h"
#include "core/options.h"
#include "profile/player_store.h"
#include "profile/players_file.h"
#include "profile/records_store.h"
#include "profile/save_file.h"

namespace {

namespace fs = std::filesystem;

const fs::path& folder() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("qs-fuzz-user-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::optional<std::string> contents(const fs::path& path) { return qs::FileSystem::readFile(path); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // Two cut points from the first bytes split the rest into the three files.
    const size_t a = size > 0 ? data[0] : 0, b = size > 1 ? data[1] : 0;
    const std::string rest = input.substr(std::min<size_t>(size, 2));
    const size_t cut1 = std::min(rest.size(), a * rest.size() / 255);
    const size_t cut2 = std::max(cut1, std::min(rest.size(), b * rest.size() / 255));
    for (const fs::directory_entry& entry : fs::directory_iterator(folder())) fs::remove_all(entry.path());
    write(folder() / "options.txt", rest.substr(0, cut1));
    write(folder() / "players.txt", rest.substr(cut1, cut2 - cut1));
    write(folder() / "records.txt", rest.substr(cut2));
    const std::string playersBefore = rest.substr(cut1, cut2 - cut1);
    const std::string recordsBefore = rest.substr(cut2);

    qs::Log log;
    log.setErrorSink([](const std::string&) {});
    qs::GameOptions options = qs::defaultOptions();
    qs::ReadOptions(options, folder() / "options.txt", log, nullptr);
    if (options.move_cnt < 1 || options.move_cnt > 160 || options.ball_step < 1) abort();

    const qs::FileSystem files(folder(), folder());
    qs::PlayerStore players(
        files, log,
        [&log](const std::string& key, const std::string& value) {
            return qs::WriteOptionValue(folder() / "options.txt", key, value, log);
        },
        nullptr, options.player_index);
    players.ReadPlayers();
    if (players.count() > 0 && (players.currentPlayer() < 0 || players.currentPlayer() >= players.count())) abort();
    const bool playersWritten = players.addPlayer("Fuzz");
    if (!players.writable() && contents(folder() / "players.txt") != playersBefore) abort();
    if (playersWritten && contents(folder() / "players.txt") != playersBefore) {
        // Rewritten: either the file was sound or its original is kept beside it.
        const qs::PlayersFileText reread = qs::parsePlayers(playersBefore);
        if (!reread.damage.empty() && !fs::exists(qs::damagedCopyPath(folder() / "players.txt", 1))) abort();
    }

    qs::RecordsStore records(files, log, nullptr);
    for (int mode = 1; mode <= 3; ++mode)
        if (records.table(mode).rows.size() > static_cast<size_t>(qs::kRecordsPerMode)) abort();
    const qs::RecordsView entered = records.enter(2, "Fuzz", 3, 1234);
    if (!records.writable() && contents(folder() / "records.txt") != recordsBefore) abort();
    if (entered.stored && entered.rows.empty()) abort();
    return 0;
}
