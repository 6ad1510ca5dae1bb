// libFuzzer target for the combo table reader (text\combo.txt): no more entries than the
// file has lines, and nothing else but that it reads any text safely.
//   scripts/fuzz 30 fuzz_combo     (builds it and runs on fuzz/corpus/combo)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "content_root.h"
#include "core/log.h"
#include "game/combo_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzing::ContentRoot root("combo");
    root.write("text/combo.txt", data, size);
    qs::Log log;
    const std::vector<qs::ComboText> combos = qs::readComboTable(root.files(), log);
    const size_t lines = static_cast<size_t>(std::count(data, data + size, '\n') + std::count(data, data + size, '\r')) + 1;
    if (combos.size() > lines) abort();
    for (const qs::ComboText& combo : combos)
        if (combo.text.find_first_of("\r\n") != std::string::npos) abort();
    return 0;
}
