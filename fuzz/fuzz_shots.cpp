// libFuzzer target for the shot list reader of the shot simulator: every ball kind, tint
// and bonus read fits a cell (0 to 255), and a list refused leaves nothing half read.
//   scripts/fuzz 30 fuzz_shots     (builds it and runs on fuzz/corpus/shots)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/log.h"
#include "game/shot_simulator.h"

namespace {

bool cellValue(int v) { return v >= 0 && v <= 255; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    qs::Log log;
    const std::optional<std::vector<qs::SimShot>> shots = qs::parseShotList(text, log);
    if (!shots) return 0;
    for (const qs::SimShot& shot : *shots)
        if (!cellValue(shot.current) || !cellValue(shot.currentTint) || !cellValue(shot.currentBonus) ||
            !cellValue(shot.next))
            abort();
    return 0;
}
