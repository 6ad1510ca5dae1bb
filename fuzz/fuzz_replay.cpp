// libFuzzer target for the replay reader: whatever the bytes (plain or packed), a replay
// refused says where ("line N" or "byte N"); one read writes back to a text that reads the
// same, packed or not; and the step source hands out every step and every command once.
//   scripts/fuzz 30 fuzz_replay     (builds it and runs on fuzz/corpus/replay)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "game/replay.h"
#include "game/replay_source.h"

namespace {

// Beyond this many steps the walk through the source would only cost the run its pace.
constexpr uint64_t kStepsWalked = 200000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<qs::Replay> replay = qs::parseReplay(bytes, &error);
    if (!replay) {
        if (error.rfind("line ", 0) != 0 && error.rfind("byte ", 0) != 0) abort();
        return 0;
    }
    const std::string text = qs::replayText(*replay);
    for (const std::string& again : {text, qs::packReplay(*replay)}) {
        const std::optional<qs::Replay> reread = qs::parseReplay(again, &error);
        if (!reread || qs::replayText(*reread) != text) abort();
    }
    if (replay->stepCount() > kStepsWalked) return 0;
    qs::ReplaySource source(*replay);
    std::vector<qs::GameCommand> commands;
    size_t handed = 0;
    uint64_t steps = 0;
    while (!source.done()) {
        source.next(&commands);
        handed += commands.size();
        ++steps;
    }
    if (steps != replay->stepCount() || handed != replay->commands.size()) abort();
    return 0;
}
