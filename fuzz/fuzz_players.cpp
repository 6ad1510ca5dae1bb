// libFuzzer target for the players file reader: whatever the text, every player read must
// be one the writer can put back, and what the writer puts back must read the same again
// (a name the writer had to cut to fit its line comes back as the start of itself).
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc fuzz/fuzz_players.cpp \
//     src/profile/players_file.cpp src/core/comma_fields.cpp src/core/text_util.cpp \
//     -o build-fuzz/fuzz_players
//   build-fuzz/fuzz_players fuzz/corpus/players
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "profile/players_file.h"

namespace {

bool inRange(const qs::ModeProgress& m) {
    return (m.levelReached == -1 || m.levelReached >= 1) && (m.showMessage == 0 || m.showMessage == 1) &&
           m.levelStartScore >= 0 && m.gameState >= -1 && m.gameState <= 1 && m.checkpointScore >= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const qs::PlayersFileText read = qs::parsePlayers(text);
    for (const qs::PlayerRecord& record : read.players) {
        if (!qs::isStorablePlayerName(record.name)) abort();
        for (const qs::ModeProgress& mode : record.modes)
            if (!inRange(mode)) abort();
    }
    std::vector<std::string> cut;
    const std::string written = qs::formatPlayers(read.players, &cut);
    size_t start = 0;
    while (start < written.size()) {
        const size_t end = written.find("\r\n", start);
        if (end == std::string::npos || end - start > qs::kPlayerLineLimit) abort();
        start = end + 2;
    }
    const qs::PlayersFileText again = qs::parsePlayers(written);
    if (again.players.size() != read.players.size() || !again.damage.empty()) abort();
    size_t cuts = 0;
    for (size_t i = 0; i < read.players.size(); ++i) {
        const qs::PlayerRecord& before = read.players[i];
        const qs::PlayerRecord& after = again.players[i];
        if (after.modes != before.modes) abort();
        if (after.name == before.name) continue;
        if (before.name.compare(0, after.name.size(), after.name) != 0) abort();
        ++cuts;
    }
    if (cuts > cut.size()) abort();
    return 0;
}
